// A private directory for the files the library reads and writes itself;
// removed with everything in it when it goes, and also when the process is
// interrupted or terminated while it exists.
#pragma once

#include <filesystem>
#include <string>

namespace uvt_tool {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The path of a file in the directory; the file is removed with it,
    // also on a signal.
    std::string file(const std::string& name);

private:
    std::filesystem::path path_;
};

}  // namespace uvt_tool
