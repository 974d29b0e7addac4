// The test host shared by every test: the host doubles (tracking memory,
// recording symbol-size and event routines, the configuration object) and
// the fixture every test derives from, which installs them and checks for
// leaks and misused blocks after the test.
#pragma once

#include "host_doubles.h"

#include <gtest/gtest.h>

namespace uvt_test {

// Appends a row and sets its five cells; fails the test on any message.
void appendRow(uintptr_t table, const RowSpec& row);
uintptr_t makeTable(const std::vector<RowSpec>& rows, const int32_t* hostIds = nullptr);

class UvtTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TrackingMemory& memory = TrackingMemory::instance();
    HostRecorder& host = HostRecorder::instance();
};

}  // namespace uvt_test
