#include "temp_dir.h"

#include "table_file.h"

#include <chrono>
#include <random>
#include <system_error>

namespace uvt_tool {

TempDir::TempDir() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) throw ToolError("no directory for temporary files: " + error.message());
    std::mt19937_64 random(static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = base / ("uvt-" + std::to_string(random() % 1000000000ULL));
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
            return;
        }
    }
    throw ToolError("cannot make a temporary directory in " + base.string());
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& name) const { return (path_ / name).string(); }

}  // namespace uvt_tool
