// The tool's commands. Each returns the process's exit status, the same for
// all of them:
// 0 done, and every table is complete (and, for diff, the two are the same);
// 1 done, but a table is not complete, was read with cells the reader
//   refused or changed, or (diff) the tables differ;
// 2 an input could not be read or an output not written, or the command
//   line asks for something that cannot be done.
#pragma once

#include "grid.h"
#include "table_file.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace uvt_tool {

enum ExitStatus { kDone = 0, kIncomplete = 1, kFailed = 2 };

// Prints "uvt: FILE: message" on the error stream.
void reportError(const std::string& file, const std::string& message);
// Prints each notice as "uvt: FILE: position: message"; 1 when there is
// any, else 0.
int reportNotices(const std::string& file, const std::vector<ReadNotice>& notices);
// A row's name for a message, "no name" for a row without one.
std::string rowLabel(const GridRow& row);

// Reads a file ("-": the standard input) in the form given, or the form its
// content shows.
LoadedTable loadTable(const std::string& file, std::optional<Form> form);

int runShow(const std::string& file, std::optional<Form> from, bool json);
int runCheck(const std::vector<std::string>& files, std::optional<Form> from, bool json);

struct ConvertOptions {
    Form to = Form::Text;
    std::string output;        // empty or "-": the standard output
    std::string functionName;  // --name; empty: from the output's file name or the table
};
int runConvert(const std::string& file, std::optional<Form> from, const ConvertOptions& options);

int runDiff(const std::string& first, const std::string& second, std::optional<Form> from, bool json);

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
