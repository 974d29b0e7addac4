// Files for the FORTRAN tests: a scratch directory of their own under the
// system's temporary directory, removed with everything in it, and the
// FORTRAN exports called with paths in it.
#pragma once

#include "test_host.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace uvt_test {

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Bytes exactly as given (binary mode), and back.
void writeBytes(const std::filesystem::path& file, const std::string& bytes);
std::string readBytes(const std::filesystem::path& file);
// The file's text with the platform's line ends turned into "\n".
std::string readText(const std::filesystem::path& file);

// The exports with a path given as UTF-16 text.
int32_t dumpTo(uintptr_t table, const std::filesystem::path& file);
uintptr_t loadFrom(const std::filesystem::path& file);
void importFrom(uintptr_t table, const std::filesystem::path& file);
int32_t dumpTo(uintptr_t table, const std::u16string& path);
uintptr_t loadFrom(const std::u16string& path);
void importFrom(uintptr_t table, const std::u16string& path);
int32_t setFunctionName(uintptr_t table, const char* name);

// What a table holds, with references between rows as row numbers, so that
// tables with different ids compare equal when they mean the same.
struct RowState {
    std::string name;
    int32_t type;
    int32_t dimension;  // a code below 0, or the row number of the named row
    int32_t depth;
    int32_t io;
    int32_t parentRow;  // row number of the parent, or -50
    bool operator==(const RowState&) const = default;
};
struct TableState {
    std::string functionName;
    int32_t timeStamp;
    int32_t hostIds[2];
    std::vector<RowState> rows;
    bool operator==(const TableState&) const = default;
};
TableState stateOf(uintptr_t table);
void PrintTo(const RowState& row, std::ostream* out);
void PrintTo(const TableState& table, std::ostream* out);

}  // namespace uvt_test
