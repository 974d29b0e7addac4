// "uvt check FILE" on a table of 1,000, 4,000 and 16,000 rows in each of
// its four forms, through the code the program runs: the commands of
// uvt_tool_core, the library they hold and the tool's host routines with
// the default memory budget, the standard output discarded. Reported per
// row ("rows"), so a flat column means linear cost.
#include "commands.h"
#include "discarded_output.h"
#include "memory_budget.h"
#include "table_file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace {

using namespace uvt_tool;

// A table as a user builds it, in the text form: mostly Real scalars, every
// tenth row an Integer count that rows after it take their size from, and
// now and then a structure with nested rows.
std::string generatedTable(int64_t rows) {
    std::string text = "\nBENCH 1700000000 ";
    text.append(std::to_string(rows)).append("\n");
    int64_t lastCount = -1, structure = -1;
    for (int64_t i = 0; i < rows; ++i) {
        int type = 1, depth = 0;
        int64_t dimension = -1, parent = -50;
        if (i % 10 == 0) {
            type = 0;
            lastCount = i;
            structure = -1;
        } else if (i % 50 == 5) {
            type = 3;
            structure = i;
        } else {
            if (structure >= 0) {
                depth = 1;
                parent = structure;
            }
            if (lastCount >= 0 && i % 3 == 0) dimension = lastCount;
        }
        text.append(std::to_string(i)).append(" V").append(std::to_string(i)).append(" ");
        text.append(std::to_string(type)).append(" ").append(std::to_string(dimension)).append(" ");
        text.append(std::to_string(depth)).append(" ").append(std::to_string(1 + i % 3)).append(" ");
        text.append(std::to_string(parent)).append("\n");
    }
    return text;
}

// The generated tables, one file per size and form in the temporary
// directory, written once and removed at the end of the program.
class TableFiles {
public:
    ~TableFiles() {
        std::error_code ignored;
        for (const auto& [key, path] : made_) std::filesystem::remove(path, ignored);
    }

    const std::string& file(Form form, int64_t rows) {
        const auto key = std::make_pair(static_cast<int>(form), rows);
        const auto found = made_.find(key);
        if (found != made_.end()) return found->second;
        LoadedTable table = readTable(generatedTable(rows), Form::Text, "");
        std::string name = "uvt-tool-bench-";
        name.append(std::to_string(rows)).append(".").append(formName(form));
        const std::string path = (std::filesystem::temp_directory_path() / name).string();
        std::ofstream(path, std::ios::binary) << writeTable(table.table.handle(), form, "BENCH");
        return made_[key] = path;
    }

private:
    std::map<std::pair<int, int64_t>, std::string> made_;
};
TableFiles gTables;

void check(benchmark::State& state, Form form) {
    installMemoryBudget(kDefaultMemoryBudget);
    const int64_t rows = state.range(0);
    const std::vector<std::string> files{gTables.file(form, rows)};
    DiscardedOutput discarded;
    for (auto _ : state) {
        if (runCheck(files, std::nullopt, false) != kDone) {
            state.SkipWithError("the generated table did not check as complete");
            break;
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK_CAPTURE(check, fortran, Form::Fortran)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(check, state, Form::State)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(check, text, Form::Text)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(check, json, Form::Json)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
