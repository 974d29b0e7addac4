#include "temp_dir.h"

#include "table_file.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#  include <direct.h>
#  include <io.h>
#else
#  include <unistd.h>
#endif

namespace uvt_tool {

namespace {

// What a signal handler removes: fixed buffers, since it may neither
// allocate nor walk a directory. The tool holds one directory at a time
// with at most a few files in it.
constexpr std::size_t kPathBytes = 4096;
constexpr int kMaxFiles = 4;
char gDirectory[kPathBytes];
char gFiles[kMaxFiles][kPathBytes];
volatile std::sig_atomic_t gFileCount = 0;
volatile std::sig_atomic_t gHeld = 0;

const int kSignals[] = {
    SIGINT, SIGTERM,
#ifndef _WIN32
    SIGHUP, SIGQUIT, SIGPIPE,
#endif
};

void removeHeld() {
    for (int i = 0; i < gFileCount; ++i) {
#ifdef _WIN32
        _unlink(gFiles[i]);
#else
        unlink(gFiles[i]);
#endif
    }
#ifdef _WIN32
    _rmdir(gDirectory);
#else
    rmdir(gDirectory);
#endif
}

extern "C" void removeOnSignal(int signal) {
    if (gHeld != 0) {
        gHeld = 0;
        removeHeld();
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool copyPath(char* to, const std::string& path) {
    if (path.size() >= kPathBytes) return false;
    std::memcpy(to, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

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
            if (gHeld == 0 && copyPath(gDirectory, path_.string())) {
                gFileCount = 0;
                gHeld = 1;
                for (int signal : kSignals) std::signal(signal, &removeOnSignal);
            }
            return;
        }
    }
    throw ToolError("cannot make a temporary directory in " + base.string());
}

TempDir::~TempDir() {
    gHeld = 0;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& name) {
    const std::string path = (path_ / name).string();
    if (gHeld != 0) {
        if (gFileCount >= kMaxFiles || !copyPath(gFiles[gFileCount], path)) {
            throw ToolError("too many temporary files");
        }
        gFileCount = gFileCount + 1;
    }
    return path;
}

}  // namespace uvt_tool
