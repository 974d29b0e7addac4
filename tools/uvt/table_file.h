// Reading a table from a file in any of its three forms, and writing one.
#pragma once

#include "uvt.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace uvt_tool {

// A problem the user has to hear about; main prints it after the file name.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Form { Fortran, State, Text };

std::optional<Form> formFromName(const std::string& name);
const char* formName(Form form);

// Owns one table of the library.
class Table {
public:
    explicit Table(uintptr_t handle) : handle_(handle) {}
    ~Table() { DeleteUVT(handle_); }
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

std::string readFileBytes(const std::string& path);
// Writes the bytes in binary, so that a file reads back byte for byte.
void writeFileBytes(const std::string& path, const std::string& bytes);

// Tells the form from the content; throws when it fits none.
Form detectForm(const std::string& bytes);

// Builds a table from the bytes of a file in the given form. The table has
// no configuration interface attached when this returns.
uintptr_t readTable(const std::string& bytes, Form form);

// The bytes of the table in the given form. The FORTRAN function is named
// after fortranFileName (up to its first "."), as the library names it.
std::string writeTable(uintptr_t table, Form form, const std::string& fortranFileName);

// The function name and time stamp as the table holds them.
struct TableHeader {
    std::string functionName;
    int32_t timeStamp = 0;
};
TableHeader readHeader(uintptr_t table);

// "2023-11-14 22:13:20 UTC" for seconds since 1970 (any int32, also negative).
std::string formatTimeStamp(int32_t seconds);

}  // namespace uvt_tool
