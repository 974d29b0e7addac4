// show, check and convert: the design-time view of a table.
#include "commands.h"

#include "input_output.h"
#include "json_form.h"
#include "text_table.h"

#include <filesystem>
#include <iostream>

namespace uvt_tool {

namespace {

// The FORTRAN function's name: --name, else the output file's name up to
// its first ".", else the table's own name ("TABLE" for a table without
// one). A name no compiler takes is refused with the rule.
std::string fortranFunctionName(uintptr_t table, const ConvertOptions& options) {
    std::string name;
    std::string source;
    if (!options.functionName.empty()) {
        name = options.functionName;
        source = "--name " + name;
    } else if (!options.output.empty() && !isStandardStream(options.output)) {
        const std::string file = std::filesystem::path(options.output).filename().string();
        name = file.substr(0, file.find('.'));
        source = "the function name " + name + " taken from -o " + options.output;
    } else {
        name = readHeader(table).functionName;
        if (name.empty()) return "TABLE";
        source = "the table's function name " + oneLine(name);
    }
    const std::string problem = fortranNameProblem(name);
    if (!problem.empty()) {
        throw ToolError(source + ": " + problem +
                        (options.functionName.empty() ? "; give one with --name NAME" : std::string()));
    }
    return name;
}

// The incomplete rows, each "row N (NAME): message".
std::vector<std::string> problemLines(const std::vector<GridRow>& rows, const std::string& tableProblemText) {
    std::vector<std::string> lines;
    if (rows.empty() && !tableProblemText.empty()) lines.push_back(flatMessage(tableProblemText));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!rows[r].problem.empty()) {
            lines.push_back("row " + std::to_string(r + 1) + " (" + rowLabel(rows[r]) + "): " +
                            flatMessage(rows[r].problem));
        }
    }
    return lines;
}

}  // namespace

void reportError(const std::string& file, const std::string& message) {
    std::cerr << "uvt: " << (file.empty() ? "" : oneLine(displayName(file)) + ": ") << message << '\n';
}

int reportNotices(const std::string& file, const std::vector<ReadNotice>& notices) {
    if (!notices.empty()) std::cout.flush();
    for (const ReadNotice& notice : notices) reportError(file, notice.position + ": " + notice.message);
    return notices.empty() ? kDone : kIncomplete;
}

std::string rowLabel(const GridRow& row) { return row.name.empty() ? "no name" : oneLine(row.name); }

LoadedTable loadTable(const std::string& file, std::optional<Form> form) {
    const std::string bytes = readInput(file);
    return readTable(bytes, form ? *form : detectForm(bytes), isStandardStream(file) ? std::string() : file);
}

int runShow(const std::string& file, std::optional<Form> from, bool json) {
    LoadedTable loaded = loadTable(file, from);
    const uintptr_t table = loaded.table.handle();
    const TableHeader header = readHeader(table);
    const std::vector<GridRow>& rows = loaded.grid();
    const std::string problem = loaded.problem();
    const int status = problem.empty() && loaded.notices.empty() ? kDone : kIncomplete;
    if (json) {
        Json out;
        out["file"] = jsonText(displayName(file));
        out["function"] = jsonText(header.functionName);
        out["timeStamp"] = header.timeStamp;
        out["date"] = formatTimeStamp(header.timeStamp);
        out["rows"] = rowsJson(rows);
        out["complete"] = problem.empty();
        out["problems"] = problemsJson(rows);
        if (rows.empty() && !problem.empty()) out["problems"].push_back({{"row", nullptr}, {"name", nullptr}, {"message", jsonText(problem)}});
        out["notices"] = noticesJson(loaded.notices);
        std::cout << dumpJson(out);
        return status;
    }
    std::cout << "Function:   " << (header.functionName.empty() ? "(none)" : oneLine(header.functionName)) << '\n'
              << "Time stamp: " << header.timeStamp << " (" << formatTimeStamp(header.timeStamp) << ")\n"
              << "Rows:       " << rows.size() << '\n';
    if (!rows.empty()) {
        TextTable grid({"ROW", "NAME", "TYPE", "DIMENSION", "DEPTH", "IO"}, {true, false, false, false, true, false});
        for (std::size_t r = 0; r < rows.size(); ++r) {
            grid.add({std::to_string(r + 1), rows[r].name, rows[r].type, rows[r].dimension, rows[r].depth, rows[r].io});
        }
        std::cout << '\n';
        grid.print(std::cout);
    }
    if (!loaded.notices.empty()) {
        std::cout << "\nRefused or changed on reading:\n";
        for (const ReadNotice& notice : loaded.notices) std::cout << "  " << notice.position << ": " << notice.message << '\n';
    }
    std::cout << '\n';
    if (problem.empty()) {
        std::cout << "Complete.\n";
    } else if (rows.empty()) {
        std::cout << "Incomplete: " << flatMessage(problem) << '\n';
    } else {
        std::cout << "Incomplete rows:\n";
        for (const std::string& line : problemLines(rows, problem)) std::cout << "  " << line << '\n';
    }
    return status;
}

int runCheck(const std::vector<std::string>& files, std::optional<Form> from, bool json) {
    int status = kDone;
    Json results = Json::array();
    for (const std::string& file : files) {
        Json result;
        result["file"] = jsonText(displayName(file));
        try {
            LoadedTable loaded = loadTable(file, from);
            const std::vector<GridRow>& rows = loaded.grid();
            const std::string problem = loaded.problem();
            if (!problem.empty() || !loaded.notices.empty()) status = std::max(status, static_cast<int>(kIncomplete));
            if (json) {
                result["complete"] = problem.empty();
                result["rows"] = rows.size();
                result["problems"] = problemsJson(rows);
                if (rows.empty() && !problem.empty()) result["problems"].push_back({{"row", nullptr}, {"name", nullptr}, {"message", jsonText(problem)}});
                result["notices"] = noticesJson(loaded.notices);
                results.push_back(std::move(result));
                continue;
            }
            const std::string shown = oneLine(displayName(file));
            for (const ReadNotice& notice : loaded.notices) {
                std::cout << shown << ": " << notice.position << ": " << notice.message << '\n';
            }
            if (problem.empty()) {
                std::cout << shown << ": complete, " << rows.size() << (rows.size() == 1 ? " row\n" : " rows\n");
            }
            for (const std::string& line : problemLines(rows, problem)) std::cout << shown << ": " << line << '\n';
        } catch (const ToolError& error) {
            status = kFailed;
            if (json) {
                result["error"] = jsonText(error.what());
                results.push_back(std::move(result));
                continue;
            }
            std::cout.flush();
            reportError(file, error.what());
        }
    }
    if (json) std::cout << dumpJson(results);
    return status;
}

int runConvert(const std::string& file, std::optional<Form> from, const ConvertOptions& options) {
    if (!options.functionName.empty()) {
        const std::string problem = fortranNameProblem(options.functionName);
        if (!problem.empty()) throw ToolError("--name " + options.functionName + ": " + problem);
    }
    LoadedTable loaded = loadTable(file, from);
    const uintptr_t table = loaded.table.handle();
    const std::string name = options.to == Form::Fortran ? fortranFunctionName(table, options) : std::string();
    const std::string bytes = writeTable(table, options.to, name);
    const std::string output = options.output.empty() ? "-" : options.output;
    try {
        writeOutput(output, bytes);
    } catch (const ToolError& error) {
        reportError(isStandardStream(output) ? std::string() : output, error.what());
        return kFailed;
    }
    int status = reportNotices(file, loaded.notices);
    const std::string problem = loaded.problem();
    if (!problem.empty()) {
        for (const std::string& line : problemLines(loaded.grid(), problem)) {
            reportError(file, "not complete: " + line);
        }
        status = kIncomplete;
    }
    return status;
}

}  // namespace uvt_tool
