// The tool's commands. Each returns the process's exit status:
// 0 done (and, for check and layout, the tables are complete),
// 1 a table is not complete, 2 a file cannot be read or written, or the
// command line asks for something that cannot be done.
#pragma once

#include "table_file.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace uvt_tool {

enum ExitStatus { kDone = 0, kIncomplete = 1, kFailed = 2 };

// Prints "uvt: FILE: message" on the error stream.
void reportError(const std::string& file, const std::string& message);

// Reads a file in the form given, or the form its content shows.
uintptr_t loadTable(const std::string& file, std::optional<Form> form);

int runShow(const std::string& file, std::optional<Form> from);
int runCheck(const std::vector<std::string>& files, std::optional<Form> from);
int runConvert(const std::string& file, std::optional<Form> from, Form to, const std::string& output);

struct LayoutOptions {
    std::map<int32_t, int32_t> hostCounts;  // dimension code -> count
    std::vector<std::string> settings;      // NAME=VALUE, in the order given
    bool tree = false;
    bool json = false;
};
// Installs the tool's symbol-size routines; before the first table is made.
void installHostCounts(const std::map<int32_t, int32_t>& counts);
int runLayout(const std::string& file, std::optional<Form> from, const LayoutOptions& options);

}  // namespace uvt_tool
