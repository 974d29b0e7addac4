#include "input_output.h"

#include "table_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#  include <fcntl.h>
#  include <io.h>
#endif

namespace uvt_tool {

namespace {

std::string systemText(int error) { return std::strerror(error); }

}  // namespace

bool isStandardStream(const std::string& name) { return name == "-"; }

std::string displayName(const std::string& name) { return isStandardStream(name) ? "(standard input)" : name; }

std::string readInput(const std::string& name) {
    if (isStandardStream(name)) {
#ifdef _WIN32
        _setmode(_fileno(stdin), _O_BINARY);
#endif
        std::string bytes((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
        if (std::cin.bad()) throw ToolError("cannot read the standard input");
        return bytes;
    }
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(name, error);
    if (error) throw ToolError("cannot open: " + error.message());
    if (std::filesystem::is_directory(status)) throw ToolError("is a directory, not a table file");
    errno = 0;
    std::ifstream in(name, std::ios::binary);
    if (!in) throw ToolError("cannot open: " + systemText(errno != 0 ? errno : EACCES));
    std::string bytes;
    // A stream buffer throws from underflow on some read errors; every
    // error becomes the same message naming the file.
    try {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        throw ToolError("cannot read the file");
    }
    if (in.bad()) throw ToolError("cannot read the file");
    return bytes;
}

void writeOutput(const std::string& name, const std::string& bytes) {
    if (isStandardStream(name)) {
        std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        finishStandardOutput();
        return;
    }
    std::error_code error;
    if (std::filesystem::is_directory(name, error)) throw ToolError("is a directory, not a file to write");
    errno = 0;
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    if (!out) throw ToolError("cannot open for writing: " + systemText(errno != 0 ? errno : EACCES));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    const int writeError = errno;
    out.close();
    if (!out) throw ToolError("cannot write the file: " + systemText(writeError != 0 ? writeError : EIO));
}

void finishStandardOutput() {
    // Reported once: what stays in the stream's buffer would fail again.
    static bool lost = false;
    if (lost) return;
    errno = 0;
    std::cout.flush();
    const int error = errno;
    if (!std::cout || std::fflush(stdout) != 0) {
        lost = true;
        throw OutputError("cannot write to the standard output: " + systemText(error != 0 ? error : EIO));
    }
}

}  // namespace uvt_tool
