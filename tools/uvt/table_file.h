// Reading a table in any of its four forms, and writing one.
#pragma once

#include "grid.h"
#include "uvt.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace uvt_tool {

// A problem the user has to hear about; main prints it after the file name.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The standard output could not take what was written to it.
class OutputError : public ToolError {
public:
    using ToolError::ToolError;
};

enum class Form { Fortran, State, Text, Json };

std::optional<Form> formFromName(const std::string& name);
const char* formName(Form form);

// Owns one table of the library.
class Table {
public:
    explicit Table(uintptr_t handle = 0) : handle_(handle) {}
    ~Table() { DeleteUVT(handle_); }
    Table(Table&& other) noexcept : handle_(other.release()) {}
    Table& operator=(Table&& other) noexcept {
        if (this != &other) {
            DeleteUVT(handle_);
            handle_ = other.release();
        }
        return *this;
    }
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;
    uintptr_t handle() const { return handle_; }
    // Hands the table over to the caller.
    uintptr_t release() {
        const uintptr_t handle = handle_;
        handle_ = 0;
        return handle;
    }

private:
    uintptr_t handle_;
};

// Something the reader refused or changed, or that a compiler would read
// differently: where it is in the file ("line 3", "byte 41",
// "rows[2].io") and what happened.
struct ReadNotice {
    std::string position;
    std::string message;
};

// A table read from a file, with what changed on the way, and its grid as
// read once after loading (reading the grid asks the library to check
// every row against the rows before it).
struct LoadedTable {
    Table table;
    std::vector<ReadNotice> notices;
    std::optional<std::vector<GridRow>> rows;
    // The grid, read when no reader did; problem() as dfnIsComplete gives it.
    const std::vector<GridRow>& grid();
    std::string problem();
};

// Tells the form from the file's first line that is not blank; throws when
// it fits none.
Form detectForm(const std::string& bytes);

// Builds a table from the bytes of a file in the given form. path is the
// file's own path when the library may read it itself (empty for the
// standard input). The table has no configuration interface attached.
LoadedTable readTable(const std::string& bytes, Form form, const std::string& path);

// The bytes of the table in the given form. A FORTRAN function is named
// functionName, which must pass fortranNameProblem.
std::string writeTable(uintptr_t table, Form form, const std::string& functionName);

// The longest function name the library writes into a FORTRAN file.
constexpr std::size_t kFortranNameLength = 8;
// Empty when a FORTRAN compiler takes name as a function name (a letter,
// then letters, digits and underscores, at most kFortranNameLength
// characters), else the rule it breaks.
std::string fortranNameProblem(const std::string& name);

// The function name and time stamp as the table holds them.
struct TableHeader {
    std::string functionName;
    int32_t timeStamp = 0;
};
TableHeader readHeader(uintptr_t table);

// "2023-11-14 22:13:20 UTC" for seconds since 1970 (any int32, also negative).
std::string formatTimeStamp(int32_t seconds);

// The lines of a text, without their line ends ("\n" or "\r\n").
std::vector<std::string> textLines(const std::string& bytes);

}  // namespace uvt_tool
