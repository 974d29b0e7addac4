// The end-to-end tests' fixture: runs the built uvt program in a shell,
// with files of its own in a fresh directory per test.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace uvt_tool_test {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeAll(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("uvt-tool-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // input, when given, is the program's standard input; a fullOutput
    // run writes its standard output to /dev/full.
    Outcome run(const std::vector<std::string>& args, const std::optional<std::string>& input = std::nullopt,
                bool fullOutput = false) const {
        std::string command = environment_ + quote(UVT_TOOL);
        // Appended piece by piece: GCC 12 at -O3 reports a false overlap
        // (-Wrestrict) inside operator+ of a literal and a temporary string.
        for (const std::string& arg : args) command.append(" ").append(quote(arg));
        const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
        command += " >" + (fullOutput ? std::string("/dev/full") : quote(out.string())) + " 2>" + quote(err.string());
        if (input) {
            const fs::path in = dir_ / "stdin";
            writeAll(in, *input);
            command += " <" + quote(in.string());
        }
        const int raw = std::system(command.c_str());
        Outcome result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = fullOutput ? std::string() : readAll(out);
        result.err = readAll(err);
        return result;
    }

    static std::string example(const std::string& name) { return std::string(UVT_EXAMPLES) + "/" + name; }
    static std::string data(const std::string& name) { return std::string(UVT_TOOL_DATA) + "/" + name; }
    std::string temp(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
    std::string environment_;  // "NAME=value " before the program
};

// The first line of out that begins with prefix.
inline std::string line(const std::string& out, const std::string& prefix) {
    std::istringstream in(out);
    std::string l;
    while (std::getline(in, l)) {
        if (l.rfind(prefix, 0) == 0) return l;
    }
    return "(no line " + prefix + ")";
}

}  // namespace uvt_tool_test
