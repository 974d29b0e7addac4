// The JSON form of a table, and the JSON that every command prints: texts
// that are not UTF-8 never abort a dump, and NaN and the infinities stay
// apart from "no value".
#pragma once

#include "grid.h"
#include "table_file.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace uvt_tool {

using Json = nlohmann::ordered_json;

// A text for JSON: valid UTF-8 passes; any other byte is taken as the
// Latin-1 character of its value, so that it is written as a \u escape.
Json jsonText(const std::string& bytes);
// A Real: a number, or the strings "NaN", "Infinity" and "-Infinity".
Json jsonReal(double value);
// The document with two-blank indentation, ASCII only, and a line end.
std::string dumpJson(const Json& document);

// The grid's rows as the JSON form holds them: name, type, dimension,
// depth (a number) and IO, in the grid's own display texts.
Json rowsJson(const std::vector<GridRow>& rows);
// Each incomplete row: its number (from 1), name and message.
Json problemsJson(const std::vector<GridRow>& rows);
Json noticesJson(const std::vector<ReadNotice>& notices);

// The JSON form: {"function", "timeStamp", "rows": [...]}.
std::string writeJsonTable(uintptr_t table);
// Builds the table cell by cell through the grid's own operations; every
// cell the grid refuses or corrects is a notice at its JSON path, such as
// rows[2].io. A document of the wrong shape throws, naming the path.
LoadedTable readJsonTable(const std::string& bytes);

}  // namespace uvt_tool
