// Labels of run-time values by row, by handle and by type and place, the
// bounded copy-out, and the table's function name and time stamp.
#include "runtime_views.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

struct ExpectedValue {
    const char* label;
    int32_t io;
};

// A top-level scalar X, a top-level array Y, a structure R with member D, and
// a structure array S with a scalar A, a structure T with member B and an
// array Z; the values in tree order.
const std::vector<ExpectedValue> kLabels = {
    {"X", 1},          {"Y(1)", 1},       {"Y(2)", 1},       {"Y(3)", 1},       {"R.D", 2},
    {"S.(1).A", 1},    {"S(1).T.B", 3},   {"S(1).Z(1)", 1},  {"S(1).Z(2)", 1},  {"S(1).Z(3)", 1},
    {"S(1).Z(4)", 1},  {"S.(2).A", 1},    {"S(2).T.B", 3},   {"S(2).Z(1)", 1},  {"S(2).Z(2)", 1},
    {"S(2).Z(3)", 1},  {"S(2).Z(4)", 1},
};

class Labels : public UvtTest {
protected:
    void SetUp() override {
        UvtTest::SetUp();
        host.sizes[-2] = 3;
        host.sizes[-13] = 2;
        host.sizes[-23] = 4;
        table = makeTable({{"X", "Real"},
                           {"Y", "Real", "Number of Components"},
                           {"R", "Structure"},
                           {"D", "Integer", "Scalar", "1", "Output Only"},
                           {"S", "Structure", "Number of Inlet Streams"},
                           {"A", "Integer", "Scalar", "1"},
                           {"T", "Structure", "Scalar", "1"},
                           {"B", "Character", "Scalar", "2", "Input and Output"},
                           {"Z", "Real", "Number of Outlet Streams", "1"}});
        rtmInitArrays(table);
    }
    void TearDown() override {
        DeleteUVT(table);
        UvtTest::TearDown();
    }

    std::vector<uintptr_t> allValues() {
        std::vector<uintptr_t> handles;
        uintptr_t handle = 0;
        EXPECT_EQ(rtmGetFirstHandle(table, -1, &handle), nullptr);
        while (rtmIsHandleValid(table, handle) != 0 && handles.size() < 100) {
            handles.push_back(handle);
            EXPECT_EQ(rtmGetNextHandle(table, handle, -1, &handle), nullptr);
        }
        return handles;
    }

    uintptr_t handleOf(const char* path) {
        uintptr_t handle = 0;
        EXPECT_EQ(rtmHandleByName(table, path, &handle), nullptr) << path;
        return handle;
    }

    uintptr_t table = 0;
};

TEST_F(Labels, EveryLabelFromAllThreeExportsAndBack) {
    const std::vector<uintptr_t> handles = allValues();
    ASSERT_EQ(handles.size(), kLabels.size());
    for (std::size_t i = 0; i < handles.size(); ++i) {
        const ExpectedValue& expected = kLabels[i];
        SCOPED_TRACE(expected.label);
        char byHandle[512];
        ASSERT_EQ(rtmGetLabelByHandle(table, handles[i], byHandle, 0), nullptr);
        EXPECT_STREQ(byHandle, expected.label);
        EXPECT_EQ(handleOf(expected.label), handles[i]) << "a label is a path name of its value";

        int32_t type = -1;
        int32_t element = 0;
        ASSERT_EQ(rtmGetTypeByHandle(table, handles[i], &type), nullptr);
        ASSERT_EQ(rtmGetElementByHandle(table, handles[i], -1, &element), nullptr);
        char byPlace[64];
        int32_t io = -1;
        EXPECT_EQ(rtmGetLabel(table, type, element - 1, &io, byPlace, sizeof byPlace), byPlace);
        EXPECT_STREQ(byPlace, expected.label);
        EXPECT_EQ(io, expected.io);
    }
    // By row, in each direction: every row's label is its value's label.
    int rowsSeen = 0;
    for (int32_t direction = 0; direction < 2; ++direction) {
        for (int32_t row = 0; row < rtmGetNumberOfRows(table, direction); ++row) {
            uintptr_t handle = 0;
            ASSERT_EQ(rtmHandleByRow(table, row, direction, &handle), nullptr);
            std::size_t index = 0;
            while (index < handles.size() && handles[index] != handle) ++index;
            ASSERT_LT(index, handles.size());
            char byRow[64];
            ASSERT_EQ(rtmGetLabelByRow(table, row, direction, byRow, sizeof byRow), nullptr);
            EXPECT_STREQ(byRow, kLabels[index].label) << "row " << row << " direction " << direction;
            ++rowsSeen;
        }
    }
    EXPECT_EQ(rowsSeen, 16 + 3) << "16 input values, 3 output values (R.D and both T.B)";
}

TEST_F(Labels, BoundedCopyOut) {
    struct CopyCase {
        int32_t length;
        std::string bytes;  // what the buffer holds afterwards, up to the first untouched byte
    };
    const std::string label = "S(2).T.B";
    const std::vector<CopyCase> cases = {
        {4, std::string("S(2\0", 4)},
        {8, std::string("S(2).T.\0", 8)},
        {9, label + '\0'},
        {20, label + std::string(12, '\0')},
        {0, label + '\0'},
        {-5, label + '\0'},
        {1, std::string(1, '\0')},
    };
    int32_t row = 0;
    while (row < rtmGetNumberOfRows(table, 1)) {
        uintptr_t handle = 0;
        ASSERT_EQ(rtmHandleByRow(table, row, 1, &handle), nullptr);
        if (handle == handleOf("S(2).T.B")) break;
        ++row;
    }
    for (const CopyCase& entry : cases) {
        SCOPED_TRACE(entry.length);
        char byRow[40];
        std::memset(byRow, '#', sizeof byRow);
        ASSERT_EQ(rtmGetLabelByRow(table, row, 1, byRow, entry.length), nullptr);
        EXPECT_EQ(std::string(byRow, entry.bytes.size()), entry.bytes);
        EXPECT_EQ(byRow[entry.bytes.size()], '#') << "nothing written past the copy";

        char byPlace[40];
        std::memset(byPlace, '#', sizeof byPlace);
        int32_t io = 0;
        ASSERT_EQ(rtmGetLabel(table, 2, 1, &io, byPlace, entry.length), byPlace);
        EXPECT_EQ(std::string(byPlace, entry.bytes.size()), entry.bytes);
        EXPECT_EQ(byPlace[entry.bytes.size()], '#');
        EXPECT_EQ(io, 3);
    }
}

TEST_F(Labels, LabelByRowMessagesLeaveTheBuffer) {
    const uintptr_t unbound = makeTable({{"N", "Integer"}});
    struct Case {
        const char* title;
        uintptr_t table;
        int32_t row;
        int32_t direction;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"null table before direction", 0, 0, 2, "Invalid table"},
        {"direction before layout", unbound, 0, 2, "IO argument not supported"},
        {"negative direction", table, 0, -1, "IO argument not supported"},
        {"no layout before row", unbound, -1, 0, "Arrays not initialized"},
        {"row -1", table, -1, 0, "Row number is out of bound"},
        {"row = count", table, rtmGetNumberOfRows(table, 0), 0, "Row number is out of bound"},
        {"output row = count", table, 3, 1, "Row number is out of bound"},
    };
    for (const Case& entry : cases) {
        char buffer[8] = "KEEP";
        EXPECT_STREQ(rtmGetLabelByRow(entry.table, entry.row, entry.direction, buffer, sizeof buffer), entry.expected)
            << entry.title;
        EXPECT_STREQ(buffer, "KEEP") << entry.title;
    }
    DeleteUVT(unbound);
}

TEST_F(Labels, LabelByHandleMessages) {
    const uintptr_t other = makeTable({{"X", "Real"}});
    const uintptr_t unbound = makeTable({{"X", "Real"}});
    rtmInitArrays(other);
    const uintptr_t x = handleOf("X");
    struct Case {
        const char* title;
        uintptr_t table;
        uintptr_t handle;
        const char* expected;
        const char* buffer;  // afterwards
    };
    const std::vector<Case> cases = {
        {"0", table, 0, "Invalid handle", "KEEP"},
        {"sentinel", table, UVT_INVALID_HANDLE, "Invalid handle", "KEEP"},
        {"null table", 0, x, "Invalid table", ""},
        {"no layout", unbound, x, "Arrays not initialized", ""},
        {"another table's value", table, nodeAt(other, "X"), "Invalid table", ""},
        {"value of this table through another", other, x, "Invalid table", ""},
        {"structure", table, handleOf("R"), "Invalid argument", ""},
        {"structure array", table, handleOf("S"), "Invalid argument", ""},
        {"element of a structure array", table, handleOf("S(2)"), "Invalid argument", ""},
        {"array", table, handleOf("S(1).Z"), "Invalid argument", ""},
        {"root", table, header(table).runtimeRoot, "Invalid argument", ""},
        {"value", table, x, nullptr, "X"},
    };
    for (const Case& entry : cases) {
        char buffer[64] = "KEEP";
        const char* answer = rtmGetLabelByHandle(entry.table, entry.handle, buffer, 0);
        if (entry.expected == nullptr) {
            EXPECT_EQ(answer, nullptr) << entry.title;
        } else {
            EXPECT_STREQ(answer, entry.expected) << entry.title;
        }
        EXPECT_STREQ(buffer, entry.buffer) << entry.title;
    }
    EXPECT_STREQ(rtmGetLabelByHandle(table, x, nullptr, 0), "Invalid argument");
    char buffer[64] = "KEEP";
    EXPECT_STREQ(rtmGetLabelByHandle(table, 0x7777770, buffer, 0), "Invalid handle");
    EXPECT_STREQ(buffer, "KEEP");
    EXPECT_FALSE(memory.takeFaults().empty());
    DeleteUVT(other);
    DeleteUVT(unbound);
}

TEST_F(Labels, LabelByPlaceFindsNothingOutsideTheArrays) {
    const uintptr_t unbound = makeTable({{"N", "Integer"}});
    struct Case {
        const char* title;
        uintptr_t table;
        int32_t type;
        int32_t place;
    };
    const std::vector<Case> cases = {
        {"type 3", table, 3, 0},          {"type -1", table, -1, 0},
        {"Integer place = count", table, 0, 3}, {"Real place = count", table, 1, 12},
        {"Character place = count", table, 2, 2}, {"place -1", table, 1, -1},
        {"null table", 0, 1, 0},          {"no layout", unbound, 0, 0},
    };
    for (const Case& entry : cases) {
        char buffer[16] = "KEEP";
        int32_t io = 9;
        EXPECT_EQ(rtmGetLabel(entry.table, entry.type, entry.place, &io, buffer, sizeof buffer), nullptr)
            << entry.title;
        EXPECT_EQ(io, 0) << entry.title;
        EXPECT_STREQ(buffer, "KEEP") << entry.title;
    }
    char buffer[16];
    int32_t io = 9;
    EXPECT_EQ(rtmGetLabel(table, 0, 2, &io, buffer, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "S.(2).A");
    EXPECT_EQ(io, 1);
    DeleteUVT(unbound);
}

class FunctionName : public UvtTest {};

TEST_F(FunctionName, NameAndTimeStamp) {
    const uintptr_t table = makeTable({{"N", "Integer"}});
    char name[16];
    std::memset(name, '#', sizeof name);
    int32_t stamp = 0;
    rtmGetFunction(table, name, &stamp);
    EXPECT_STREQ(name, "") << "no name set yet";
    EXPECT_EQ(name[1], '#') << "the name and its NUL, nothing more";
    EXPECT_EQ(stamp, header(table).timeStamp);
    EXPECT_NE(stamp, 0);

    Bstr calc("calc");
    dfnSetFunctionName(table, calc.variant());
    std::memset(name, '#', sizeof name);
    rtmGetFunction(table, name, &stamp);
    EXPECT_STREQ(name, "CALC");
    EXPECT_EQ(name[5], '#');

    std::memset(name, '#', sizeof name);
    stamp = 17;
    rtmGetFunction(0, name, &stamp);
    EXPECT_EQ(name[0], '#');
    EXPECT_EQ(stamp, 17);
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
