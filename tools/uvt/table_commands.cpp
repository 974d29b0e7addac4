// show, check and convert: the design-time view of a table.
#include "commands.h"

#include "grid.h"
#include "text_table.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace uvt_tool {

namespace {

std::string rowName(const GridRow& row) { return row.name.empty() ? "no name" : row.name; }

std::string fortranFileFor(uintptr_t table) {
    // Without -o the function keeps its name: the library names it after
    // the file it writes.
    std::string name = readHeader(table).functionName;
    for (char& c : name) {
        const bool fits = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!fits) return "table.f";
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name.empty() ? "table.f" : name + ".f";
}

}  // namespace

void reportError(const std::string& file, const std::string& message) {
    std::cerr << "uvt: " << (file.empty() ? "" : file + ": ") << message << '\n';
}

uintptr_t loadTable(const std::string& file, std::optional<Form> form) {
    const std::string bytes = readFileBytes(file);
    return readTable(bytes, form ? *form : detectForm(bytes));
}

int runShow(const std::string& file, std::optional<Form> from) {
    Table table(loadTable(file, from));
    const TableHeader header = readHeader(table.handle());
    const std::vector<GridRow> rows = readGrid(table.handle());
    std::cout << "Function:   " << (header.functionName.empty() ? "(none)" : header.functionName) << '\n'
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
    std::cout << '\n';
    const std::string problem = tableProblem(table.handle());
    if (problem.empty()) {
        std::cout << "Complete.\n";
    } else if (rows.empty()) {
        std::cout << "Incomplete: " << problem << '\n';
    } else {
        std::cout << "Incomplete rows:\n";
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (!rows[r].problem.empty()) {
                std::cout << "  row " << r + 1 << " (" << rowName(rows[r]) << "): " << rows[r].problem << '\n';
            }
        }
    }
    return kDone;
}

int runCheck(const std::vector<std::string>& files, std::optional<Form> from) {
    int status = kDone;
    for (const std::string& file : files) {
        try {
            Table table(loadTable(file, from));
            const std::vector<GridRow> rows = readGrid(table.handle());
            const std::string problem = tableProblem(table.handle());
            if (problem.empty()) {
                std::cout << file << ": complete, " << rows.size() << (rows.size() == 1 ? " row\n" : " rows\n");
                continue;
            }
            if (status == kDone) status = kIncomplete;
            if (rows.empty()) std::cout << file << ": " << problem << '\n';
            for (std::size_t r = 0; r < rows.size(); ++r) {
                if (!rows[r].problem.empty()) {
                    std::cout << file << ": row " << r + 1 << " (" << rowName(rows[r]) << "): " << rows[r].problem
                              << '\n';
                }
            }
        } catch (const ToolError& error) {
            std::cout.flush();
            reportError(file, error.what());
            status = kFailed;
        }
    }
    return status;
}

int runConvert(const std::string& file, std::optional<Form> from, Form to, const std::string& output) {
    Table table(loadTable(file, from));
    const std::string fortranFile =
        output.empty() ? fortranFileFor(table.handle()) : std::filesystem::path(output).filename().string();
    const std::string bytes = writeTable(table.handle(), to, fortranFile);
    if (output.empty()) {
        std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::cout.flush();
        if (!std::cout) throw ToolError("cannot write to the standard output");
    } else {
        try {
            writeFileBytes(output, bytes);
        } catch (const ToolError& error) {
            reportError(output, error.what());
            return kFailed;
        }
    }
    return kDone;
}

}  // namespace uvt_tool
