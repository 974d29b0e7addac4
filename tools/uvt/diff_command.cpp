// diff: two tables in any forms, compared as the grid shows them: the
// function name, the time stamp, and rows matched by name (rows without a
// name by their place among those), each with the cells that differ.
#include "commands.h"

#include "input_output.h"
#include "json_form.h"
#include "text_table.h"

#include <iostream>
#include <map>

namespace uvt_tool {

namespace {

const char* const kColumns[] = {"row", "type", "dimension", "depth", "io"};

std::vector<std::string> cellsOf(const GridRow& row, std::size_t number) {
    return {std::to_string(number), row.type, row.dimension, row.depth, row.io};
}

std::string rowKey(const std::vector<GridRow>& rows, std::size_t r, std::map<std::string, int>& unnamed) {
    if (!rows[r].name.empty()) return rows[r].name;
    return "(no name " + std::to_string(++unnamed[""]) + ")";
}

std::map<std::string, std::size_t> keyed(const std::vector<GridRow>& rows, std::vector<std::string>& keys) {
    std::map<std::string, std::size_t> byKey;
    std::map<std::string, int> unnamed;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::string key = rowKey(rows, r, unnamed);
        // A repeated name (an incomplete table) is told apart by its place.
        if (byKey.count(key) != 0) key += " (row " + std::to_string(r + 1) + ")";
        byKey[key] = r;
        keys.push_back(key);
    }
    return byKey;
}

std::string describe(const GridRow& row) {
    return row.type + ", " + row.dimension + ", depth " + row.depth + ", " + row.io;
}

// Two files are read: a failure names the one it is about.
LoadedTable loadNamed(const std::string& file, std::optional<Form> from) {
    try {
        return loadTable(file, from);
    } catch (const ToolError& error) {
        throw ToolError(oneLine(displayName(file)) + ": " + error.what());
    }
}

}  // namespace

int runDiff(const std::string& first, const std::string& second, std::optional<Form> from, bool json) {
    LoadedTable a = loadNamed(first, from);
    LoadedTable b = loadNamed(second, from);
    const int readStatus = std::max(reportNotices(first, a.notices), reportNotices(second, b.notices));
    const TableHeader headerA = readHeader(a.table.handle()), headerB = readHeader(b.table.handle());
    const std::vector<GridRow>& rowsA = a.grid();
    const std::vector<GridRow>& rowsB = b.grid();
    std::vector<std::string> keysA, keysB;
    const std::map<std::string, std::size_t> byKeyA = keyed(rowsA, keysA), byKeyB = keyed(rowsB, keysB);

    Json out;
    out["first"] = jsonText(displayName(first));
    out["second"] = jsonText(displayName(second));
    Json header = Json::array();
    if (headerA.functionName != headerB.functionName) {
        header.push_back({{"field", "function"}, {"first", jsonText(headerA.functionName)}, {"second", jsonText(headerB.functionName)}});
    }
    if (headerA.timeStamp != headerB.timeStamp) {
        header.push_back({{"field", "timeStamp"}, {"first", headerA.timeStamp}, {"second", headerB.timeStamp}});
    }
    Json removed = Json::array(), added = Json::array(), changed = Json::array();
    std::vector<std::string> lines;
    if (headerA.functionName != headerB.functionName) {
        lines.push_back("function: " + oneLine(headerA.functionName) + " -> " + oneLine(headerB.functionName));
    }
    if (headerA.timeStamp != headerB.timeStamp) {
        lines.push_back("time stamp: " + std::to_string(headerA.timeStamp) + " -> " + std::to_string(headerB.timeStamp));
    }
    for (std::size_t r = 0; r < rowsA.size(); ++r) {
        const auto found = byKeyB.find(keysA[r]);
        if (found == byKeyB.end()) {
            lines.push_back("- " + oneLine(keysA[r]) + " (row " + std::to_string(r + 1) + "): " + describe(rowsA[r]));
            removed.push_back({{"name", jsonText(keysA[r])}, {"row", r + 1}});
            continue;
        }
        const std::vector<std::string> cellsA = cellsOf(rowsA[r], r + 1);
        const std::vector<std::string> cellsB = cellsOf(rowsB[found->second], found->second + 1);
        Json cells = Json::array();
        std::string text;
        for (std::size_t c = 0; c < cellsA.size(); ++c) {
            if (cellsA[c] == cellsB[c]) continue;
            cells.push_back({{"column", kColumns[c]}, {"first", jsonText(cellsA[c])}, {"second", jsonText(cellsB[c])}});
            text += std::string(text.empty() ? "" : "; ") + kColumns[c] + " " + cellsA[c] + " -> " + cellsB[c];
        }
        if (!cells.empty()) {
            lines.push_back("~ " + oneLine(keysA[r]) + ": " + oneLine(text));
            changed.push_back({{"name", jsonText(keysA[r])}, {"cells", cells}});
        }
    }
    for (std::size_t r = 0; r < rowsB.size(); ++r) {
        if (byKeyA.count(keysB[r]) != 0) continue;
        lines.push_back("+ " + oneLine(keysB[r]) + " (row " + std::to_string(r + 1) + "): " + describe(rowsB[r]));
        added.push_back({{"name", jsonText(keysB[r])}, {"row", r + 1}});
    }
    const bool same = lines.empty();
    if (json) {
        out["same"] = same;
        out["header"] = header;
        out["removed"] = removed;
        out["added"] = added;
        out["changed"] = changed;
        std::cout << dumpJson(out);
    } else if (same) {
        std::cout << "The tables are the same.\n";
    } else {
        for (const std::string& line : lines) std::cout << line << '\n';
    }
    // Like every command, diff tells of a table that is not complete.
    int status = same ? readStatus : kIncomplete;
    for (LoadedTable* table : {&a, &b}) {
        const std::string problem = table->problem();
        if (problem.empty()) continue;
        reportError(table == &a ? first : second, "not complete: " + flatMessage(problem));
        status = kIncomplete;
    }
    return status;
}

}  // namespace uvt_tool
