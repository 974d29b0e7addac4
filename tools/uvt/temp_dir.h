// A private directory for the files the library reads and writes itself;
// removed with everything in it when it goes.
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
    std::string file(const std::string& name) const;

private:
    std::filesystem::path path_;
};

}  // namespace uvt_tool
