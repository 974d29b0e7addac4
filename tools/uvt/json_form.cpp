#include "json_form.h"

#include "ole_text.h"
#include "text_table.h"

#include "host/variant_result.h"
#include "table/grid_fill.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace uvt_tool {

namespace {

// The length of the valid UTF-8 sequence at i, or 0.
std::size_t utf8Length(const std::string& bytes, std::size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 0;
    uint32_t code = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(bytes[i + k]);
        if ((c & 0xC0u) != 0x80u) return 0;
        code = (code << 6) | (c & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

const Json& member(const Json& object, const char* key, const std::string& path) {
    static const Json kMissing;
    (void)path;
    const auto found = object.find(key);
    return found == object.end() ? kMissing : *found;
}

std::string textAt(const Json& value, const std::string& path) {
    if (!value.is_string()) throw ToolError(path + ": must be a text");
    return value.get<std::string>();
}

// The 8-bit text of a JSON string: the Latin-1 characters that jsonText
// makes of stray bytes become those bytes again.
std::string bytesOf(const std::string& utf8) {
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
            bytes.push_back(static_cast<char>(((lead & 0x03u) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu)));
            i += 2;
        } else {
            bytes.push_back(utf8[i]);
            ++i;
        }
    }
    return bytes;
}

int32_t int32At(const Json& value, const std::string& path) {
    if (!value.is_number_integer()) throw ToolError(path + ": must be a whole number");
    const auto number = value.get<int64_t>();
    if (number < INT32_MIN || number > INT32_MAX) {
        throw ToolError(path + ": must lie from -2147483648 to 2147483647");
    }
    return static_cast<int32_t>(number);
}

const char* const kRowKeys[] = {"name", "type", "dimension", "depth", "io"};

}  // namespace

Json jsonText(const std::string& bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8Length(bytes, i);
        if (length > 0) {
            utf8.append(bytes, i, length);
            i += length;
        } else {
            const auto c = static_cast<unsigned char>(bytes[i]);
            utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            ++i;
        }
    }
    return utf8;
}

Json jsonReal(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    return value;
}

std::string dumpJson(const Json& document) {
    return document.dump(2, ' ', true, Json::error_handler_t::replace) + "\n";
}

Json rowsJson(const std::vector<GridRow>& rows) {
    Json list = Json::array();
    for (const GridRow& row : rows) {
        Json depth = jsonText(row.depth);
        if (!row.depth.empty() && row.depth.find_first_not_of("0123456789") == std::string::npos) {
            depth = std::stoi(row.depth);
        }
        list.push_back({{"name", jsonText(row.name)},
                        {"type", jsonText(row.type)},
                        {"dimension", jsonText(row.dimension)},
                        {"depth", depth},
                        {"io", jsonText(row.io)}});
    }
    return list;
}

Json problemsJson(const std::vector<GridRow>& rows) {
    Json list = Json::array();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].problem.empty()) continue;
        list.push_back({{"row", r + 1}, {"name", jsonText(rows[r].name)}, {"message", jsonText(rows[r].problem)}});
    }
    return list;
}

Json noticesJson(const std::vector<ReadNotice>& notices) {
    Json list = Json::array();
    for (const ReadNotice& notice : notices) {
        list.push_back({{"position", jsonText(notice.position)}, {"message", jsonText(notice.message)}});
    }
    return list;
}

std::string writeJsonTable(uintptr_t table) {
    const TableHeader header = readHeader(table);
    Json document;
    document["function"] = jsonText(header.functionName);
    document["timeStamp"] = header.timeStamp;
    document["rows"] = rowsJson(readGrid(table));
    return dumpJson(document);
}

LoadedTable readJsonTable(const std::string& bytes) {
    Json document;
    try {
        document = Json::parse(bytes);
    } catch (const Json::parse_error& error) {
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ..."
        std::string what = error.what();
        const std::size_t text = what.find("] ");
        throw ToolError("not valid JSON: " + (text == std::string::npos ? what : what.substr(text + 2)));
    }
    if (!document.is_object()) throw ToolError("a JSON table is an object with \"function\", \"timeStamp\" and \"rows\"");
    LoadedTable loaded;
    for (auto item = document.begin(); item != document.end(); ++item) {
        if (item.key() != "function" && item.key() != "timeStamp" && item.key() != "rows") {
            loaded.notices.push_back({item.key(), "not part of a table; ignored"});
        }
    }
    const Json& functionValue = member(document, "function", "function");
    const std::string functionName = functionValue.is_null() ? std::string() : bytesOf(textAt(functionValue, "function"));
    if (functionName.size() > 15) throw ToolError("function: longer than 15 characters");
    for (char c : functionName) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) {
            throw ToolError("function: blanks and control characters cannot be part of a function name");
        }
    }
    const Json& stampValue = member(document, "timeStamp", "timeStamp");
    const int32_t timeStamp = stampValue.is_null() ? 0 : int32At(stampValue, "timeStamp");
    const Json& rows = member(document, "rows", "rows");
    if (!rows.is_array()) throw ToolError("rows: must be a list of rows");

    // The cells as texts, checked for their JSON type first, so that a
    // malformed document changes no table.
    std::vector<std::vector<std::optional<std::string>>> cells(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string at = "rows[" + std::to_string(r) + "]";
        if (!rows[r].is_object()) throw ToolError(at + ": must be an object with name, type, dimension, depth and io");
        for (auto item = rows[r].begin(); item != rows[r].end(); ++item) {
            if (std::find(std::begin(kRowKeys), std::end(kRowKeys), item.key()) == std::end(kRowKeys)) {
                loaded.notices.push_back({at + "." + item.key(), "not part of a row; ignored"});
            }
        }
        cells[r].resize(std::size(kRowKeys));
        for (std::size_t c = 0; c < std::size(kRowKeys); ++c) {
            const std::string path = at + "." + kRowKeys[c];
            const Json& value = member(rows[r], kRowKeys[c], path);
            if (value.is_null()) continue;
            if (c == 3 && value.is_number_integer()) {
                cells[r][c] = std::to_string(value.get<int64_t>());
            } else {
                cells[r][c] = textAt(value, path);
            }
        }
    }

    Table grid(CreateUVT(nullptr));
    if (grid.handle() == 0) throw ToolError("the library found no memory for a table");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (dfnInsertRow(grid.handle(), static_cast<int32_t>(r)) == 0) {
            throw ToolError("the library could not insert row " + std::to_string(r + 1) + " (out of memory?)");
        }
    }
    // Each cell as dfnSetValue sets it, with the checks against the other
    // rows answered from the library's indexes of them.
    uvt::GridFill fill(grid.handle());
    auto setCell = [&](std::size_t r, std::size_t c) {
        if (!cells[r][c]) return;
        VariantText text(*cells[r][c]);
        const std::optional<std::string> message = takeText(
            fill.setCell(static_cast<int32_t>(c), static_cast<int32_t>(r), uvt::textArgument(text.get())));
        if (message && !message->empty()) {
            // Appended piece by piece: GCC 12 at -O3 reports a false overlap
            // (-Wrestrict) inside operator+ of a literal and a temporary.
            std::string what = "\"";
            what.append(oneLine(*cells[r][c])).append("\": ").append(flatMessage(*message));
            std::string path = "rows[";
            path.append(std::to_string(r)).append("].").append(kRowKeys[c]);
            loaded.notices.push_back({std::move(path), std::move(what)});
        }
    };
    // Names and types first, so that a dimension may name a later Integer
    // row; depths in row order, since a row's parent is an earlier row.
    for (std::size_t r = 0; r < rows.size(); ++r) {
        setCell(r, 0);
        setCell(r, 1);
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 2; c < std::size(kRowKeys); ++c) setCell(r, c);
    }
    readGrid(grid.handle());  // the grid's own repairs, before the rows are copied

    // The grid gives no way to set the name and the time stamp as a file
    // holds them; the rows go over to the final table through the text
    // form, which carries both.
    std::vector<std::string> lines = textLines(writeTable(grid.handle(), Form::Text, {}));
    std::string text;
    bool header = true;
    for (const std::string& line : lines) {
        if (header && !line.empty()) {
            text += functionName + " " + std::to_string(timeStamp) + " " + std::to_string(rows.size()) + "\n";
            header = false;
        } else {
            text += line + "\n";
        }
    }
    LoadedTable copied = readTable(text, Form::Text, {});
    loaded.table = std::move(copied.table);
    loaded.rows = std::move(copied.rows);
    return loaded;
}

}  // namespace uvt_tool
