#include "table_file.h"

#include "config_object.h"
#include "grid.h"
#include "input_output.h"
#include "json_form.h"
#include "ole_text.h"
#include "reader_notices.h"
#include "temp_dir.h"

#include "fortran/fortran_loader.h"
#include "host/variant_result.h"
#include "persist/saved_state.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <system_error>
#include <variant>

namespace uvt_tool {

namespace {

// The capacities that the text form's reader writes into, terminator included.
constexpr std::size_t kFunctionNameCapacity = 16;
constexpr std::size_t kRowNameCapacity = 20;
// The longest path the library's FORTRAN bridge takes.
constexpr std::size_t kLibraryPathLength = 159;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::optional<int32_t> parseInt32(const std::string& text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::vector<std::string> splitAtBlanks(const std::string& line) {
    // One blank separates two fields; a row without a name has two blanks
    // in a row, which must give an empty field, not be skipped.
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == ' ') {
            fields.emplace_back();
        } else {
            fields.back().push_back(c);
        }
    }
    return fields;
}

// ---------------------------------------------------------------------------
// Saved-state string. The restore sends every cell through the grid's
// checks and keeps the default for a refused one; it tells the tool of each
// such cell at the byte where its field begins.
// ---------------------------------------------------------------------------
std::string saveState(uintptr_t table) {
    ConfigObject config;
    UVTSetConfigInterface(table, config.object());
    UVTSave(table);
    UVTSetConfigInterface(table, nullptr);
    return config.saved();
}

std::size_t digitsAt(const std::string& bytes, std::size_t from) {
    std::size_t end = from;
    if (end < bytes.size() && bytes[end] == '-') ++end;
    while (end < bytes.size() && bytes[end] >= '0' && bytes[end] <= '9') ++end;
    return end - from;
}

LoadedTable readState(const std::string& file) {
    // Blank lines before the string are no part of it; byte numbers count
    // in the file as it is.
    std::size_t start = 0;
    while (start < file.size() && isBlank(file[start])) ++start;
    const std::string bytes = file.substr(start);
    const std::size_t digits = digitsAt(bytes, 0);
    const std::optional<int32_t> announced = parseInt32(bytes.substr(0, digits));
    if (!announced || digits >= bytes.size() || bytes[digits] != '$') {
        throw ToolError("not a saved-state string: it must begin with the row count and \"$\"");
    }
    // The host value is written, never read back: the table is made with it,
    // so that saving it again gives the file's bytes when nothing changed.
    const std::size_t hostDigits = digitsAt(bytes, digits + 1);
    const int32_t hostIds[2] = {parseInt32(bytes.substr(digits + 1, hostDigits)).value_or(0), 0};
    LoadedTable loaded{Table(CreateUVT(hostIds)), {}, std::nullopt};
    const uintptr_t table = loaded.table.handle();
    if (table == 0) throw ToolError("the library found no memory for a table");
    ConfigObject config(bytes);
    ReaderNotices notices(ReaderNotices::Unit::Byte, nullptr, start);
    UVTSetConfigInterface(table, config.object());
    int32_t restored = 0;
    try {
        restored = uvt::restoreTable(table, uvt::RestoreSource::Primary, &notices);
    } catch (const std::bad_alloc&) {
        UVTSetConfigInterface(table, nullptr);
        throw ToolError("the library found no memory for the rows");
    }
    UVTSetConfigInterface(table, nullptr);
    const int32_t rows = dfnCountRows(table);
    if (rows != *announced || (*announced > 0 && restored != *announced)) {
        std::string message = "damaged saved-state string: it announces " + std::to_string(*announced) +
                              " rows, but only " + std::to_string(rows) + " could be read";
        const std::vector<ReadNotice> heard = notices.notices();
        if (heard.empty()) message += " (the string ends early)";
        for (const ReadNotice& notice : heard) message += "; " + notice.position + ": " + notice.message;
        throw ToolError(message);
    }
    const std::size_t used = bytes.size() - config.unread();
    for (std::size_t i = used; i < bytes.size(); ++i) {
        if (!isBlank(bytes[i])) {
            throw ToolError("damaged saved-state string: " + std::to_string(bytes.size() - used) +
                            " bytes follow the rows it announces (" + std::to_string(rows) + ")");
        }
    }
    loaded.rows = readGrid(table);  // repairs dangling references as the grid would show them
    loaded.notices = notices.notices();
    return loaded;
}

// ---------------------------------------------------------------------------
// Text form: the token source serves the fields of the lines UVTToText
// writes, checked before the library sees any of them.
// ---------------------------------------------------------------------------
using Token = std::variant<std::string, int32_t>;
std::deque<Token>* gTokens = nullptr;

int32_t UVT_HOSTCALL nextToken(int32_t kind, void* destination) {
    if (gTokens == nullptr || gTokens->empty() || destination == nullptr) return 0;
    Token& token = gTokens->front();
    if (kind == 0 && std::holds_alternative<std::string>(token)) {
        const std::string& text = std::get<std::string>(token);
        std::memcpy(destination, text.c_str(), text.size() + 1);  // capacities checked in readText
    } else if (kind == 1 && std::holds_alternative<int32_t>(token)) {
        const int32_t value = std::get<int32_t>(token);
        std::memcpy(destination, &value, sizeof value);
    } else {
        return 0;
    }
    gTokens->pop_front();
    return 1;
}

std::string* gTextOut = nullptr;

void UVT_HOSTCALL takeLine(const char* line) {
    if (gTextOut != nullptr && line != nullptr) gTextOut->append(line);
}

std::string writeText(uintptr_t table) {
    std::string text;
    gTextOut = &text;
    UVTToText(table, &takeLine);
    gTextOut = nullptr;
    return text;
}

const char* const kTextFields[] = {"id", "name", "type", "dimension", "depth", "IO", "parent"};

LoadedTable readText(const std::string& bytes) {
    std::vector<std::string> lines = textLines(bytes);
    std::size_t at = 0;
    while (at < lines.size() && lines[at].empty()) ++at;
    if (at >= lines.size()) throw ToolError("not a text-form table: there is no header line");
    const std::vector<std::string> header = splitAtBlanks(lines[at]);
    const std::string headerLine = "line " + std::to_string(at + 1) + ": ";
    if (header.size() != 3) {
        throw ToolError(headerLine + "the header must hold the function name, the time stamp and the row count");
    }
    if (header[0].size() >= kFunctionNameCapacity) {
        throw ToolError(headerLine + "the function name is longer than 15 characters");
    }
    const std::optional<int32_t> timeStamp = parseInt32(header[1]);
    const std::optional<int32_t> count = parseInt32(header[2]);
    if (!timeStamp || !count || *count < 0) {
        throw ToolError(headerLine + "the time stamp and the row count must be whole numbers");
    }
    std::deque<Token> tokens{header[0], *timeStamp, *count};
    std::vector<std::size_t> rowLines;
    for (std::size_t i = at + 1; i < lines.size(); ++i) {
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        if (lines[i].empty()) continue;
        if (static_cast<int32_t>(rowLines.size()) == *count) {
            throw ToolError(where + "more rows than the " + std::to_string(*count) + " the header announces");
        }
        const std::vector<std::string> fields = splitAtBlanks(lines[i]);
        if (fields.size() != 7) {
            throw ToolError(where + "a row must hold id, name, type, dimension, depth, IO and parent, each after one blank");
        }
        std::vector<int32_t> numbers;
        for (std::size_t f = 0; f < fields.size(); ++f) {
            if (f == 1) continue;
            const std::optional<int32_t> number = parseInt32(fields[f]);
            if (!number) throw ToolError(where + "\"" + fields[f] + "\" is not a whole number");
            numbers.push_back(*number);
        }
        if (fields[1].size() >= kRowNameCapacity) {
            throw ToolError(where + "the name " + fields[1] + " is longer than 19 characters");
        }
        const int32_t type = numbers[1], depth = numbers[3], io = numbers[4];
        if (type < 0 || type > 3) throw ToolError(where + "type " + std::to_string(type) + " is not 0 to 3");
        if (depth < 0 || depth > 8) throw ToolError(where + "depth " + std::to_string(depth) + " is not 0 to 8");
        if (io < 1 || io > 3) throw ToolError(where + "IO " + std::to_string(io) + " is not 1 to 3");
        tokens.emplace_back(numbers[0]);
        tokens.emplace_back(fields[1]);
        for (std::size_t n = 1; n < numbers.size(); ++n) tokens.emplace_back(numbers[n]);
        rowLines.push_back(i);
    }
    if (static_cast<int32_t>(rowLines.size()) != *count) {
        throw ToolError("the header announces " + std::to_string(*count) + " rows, but the file holds " +
                        std::to_string(rowLines.size()));
    }
    LoadedTable loaded{Table(CreateUVT(nullptr)), {}, std::nullopt};
    const uintptr_t table = loaded.table.handle();
    if (table == 0) throw ToolError("the library found no memory for a table");
    gTokens = &tokens;
    const int32_t complete = UVTFromText(table, &nextToken);
    gTokens = nullptr;
    if (complete != 1) throw ToolError("the library could not take the rows (out of memory?)");

    // The records are taken as they are; the grid repairs what it cannot
    // show (a dimension naming no row, a parent link that does not fit the
    // depths). Every field it changed is reported on the file's line.
    loaded.rows = readGrid(table);
    const std::vector<std::string> again = textLines(writeText(table));
    std::size_t next = 0;
    while (next < again.size() && again[next].empty()) ++next;
    ++next;  // the header
    for (std::size_t r = 0; r < rowLines.size() && next + r < again.size(); ++r) {
        const std::vector<std::string> held = splitAtBlanks(lines[rowLines[r]]);
        const std::vector<std::string> now = splitAtBlanks(again[next + r]);
        for (std::size_t f = 0; f < held.size() && f < now.size(); ++f) {
            if (held[f] != now[f]) {
                loaded.notices.push_back({"line " + std::to_string(rowLines[r] + 1),
                                          std::string("the table reads ") + kTextFields[f] + " " + now[f] +
                                              " where the file holds " + (held[f].empty() ? "nothing" : held[f])});
            }
        }
    }
    return loaded;
}

// ---------------------------------------------------------------------------
// FORTRAN: the library reads and writes files itself. A regular file given
// by a path the library takes is read where it is; anything else (the
// standard input, a FIFO, a long or non-ASCII path) goes through a private
// directory, as does every file the library writes, so that an existing
// file is never written over before all went well.
// ---------------------------------------------------------------------------
bool libraryTakesPath(const std::string& path) {
    if (path.empty() || path.size() > kLibraryPathLength) return false;
    // A pipe, a FIFO or a device gives its bytes once, to the tool: the
    // library would find nothing there, or wait for a writer that never
    // comes.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    for (char c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) return false;
    }
    return true;
}

std::string dumpFortran(uintptr_t table, const std::string& functionName) {
    TempDir dir;
    const std::string path = dir.file(functionName + ".f");
    VariantText wide(path);
    if (dfnDumpFORTRAN(table, wide.get()) != 0) {
        throw ToolError("the library could not write the FORTRAN function to " + path);
    }
    return readInput(path);
}

// The library reads the file itself and tells of every cell it refused or
// changed and of every line it reads differently from a compiler, each on
// its line.
LoadedTable readFortran(const std::string& bytes, const std::string& path) {
    LoadedTable loaded;
    const std::vector<std::string> lines = textLines(bytes);
    ReaderNotices notices(ReaderNotices::Unit::Line, &lines);
    const auto load = [&](const std::string& from) {
        VariantText wide(from);
        return uvt::loadFromFortran(uvt::textArgument(wide.get()), &notices);
    };
    uintptr_t table = 0;
    try {
        if (libraryTakesPath(path)) {
            table = load(path);
        } else {
            TempDir dir;
            const std::string copy = dir.file("input.f");
            writeOutput(copy, bytes);
            table = load(copy);
        }
    } catch (const std::bad_alloc&) {
        throw ToolError("the library found no memory for the table");
    }
    if (table == 0) {
        std::string message =
            "not a readable FORTRAN table function: it needs INTEGER FUNCTION, a DATA IVARIABLES list of "
            "well-formed rows and a DATA IVRSN statement";
        for (const ReadNotice& notice : notices.notices()) message += "; " + notice.position + ": " + notice.message;
        throw ToolError(message);
    }
    loaded.table = Table(table);
    loaded.rows = readGrid(table);
    loaded.notices = notices.notices();
    return loaded;
}

bool startsWithDigitsAndDollar(const std::string& line) {
    std::size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
    return digits > 0 && digits < line.size() && line[digits] == '$';
}

bool isTextHeader(const std::string& line) {
    const std::vector<std::string> fields = splitAtBlanks(line);
    return fields.size() == 3 && parseInt32(fields[1]) && parseInt32(fields[2]);
}

}  // namespace

const std::vector<GridRow>& LoadedTable::grid() {
    if (!rows) rows = readGrid(table.handle());
    return *rows;
}

std::string LoadedTable::problem() {
    // The first incomplete row's message, as dfnIsComplete gives it; asked
    // of the library only for a table without rows.
    for (const GridRow& row : grid()) {
        if (!row.problem.empty()) return row.problem;
    }
    return grid().empty() ? tableProblem(table.handle()) : std::string();
}

std::optional<Form> formFromName(const std::string& name) {
    if (name == "fortran") return Form::Fortran;
    if (name == "state") return Form::State;
    if (name == "text") return Form::Text;
    if (name == "json") return Form::Json;
    return std::nullopt;
}

const char* formName(Form form) {
    switch (form) {
        case Form::Fortran: return "fortran";
        case Form::State: return "state";
        case Form::Text: return "text";
        case Form::Json: return "json";
    }
    return "?";
}

std::vector<std::string> textLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

Form detectForm(const std::string& bytes) {
    // The first line that is not blank: "{" opens the JSON form, the row
    // count and "$" the saved-state string, the name, time stamp and row
    // count the text form; a FORTRAN function says FUNCTION somewhere.
    for (const std::string& line : textLines(bytes)) {
        const std::size_t first = line.find_first_not_of(" \t\r\f\v");
        if (first == std::string::npos) continue;
        if (line[first] == '{') return Form::Json;
        if (startsWithDigitsAndDollar(line)) return Form::State;
        if (isTextHeader(line)) return Form::Text;
        break;
    }
    std::string upper = bytes;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (upper.find("FUNCTION") != std::string::npos) return Form::Fortran;
    bool blank = true;
    for (char c : bytes) blank = blank && (isBlank(c) || c == '\f' || c == '\v');
    if (blank) throw ToolError("the file is empty");
    throw ToolError(
        "not a table in any form this tool knows (a FORTRAN function, a saved-state string, the text form "
        "or JSON); --from names the form");
}

LoadedTable readTable(const std::string& bytes, Form form, const std::string& path) {
    switch (form) {
        case Form::Fortran: return readFortran(bytes, path);
        case Form::State: return readState(bytes);
        case Form::Text: return readText(bytes);
        case Form::Json: return readJsonTable(bytes);
    }
    throw ToolError("unknown form");
}

std::string writeTable(uintptr_t table, Form form, const std::string& functionName) {
    switch (form) {
        case Form::Fortran: return dumpFortran(table, functionName);
        case Form::State: return saveState(table);
        case Form::Text: return writeText(table);
        case Form::Json: return writeJsonTable(table);
    }
    throw ToolError("unknown form");
}

std::string fortranNameProblem(const std::string& name) {
    const std::string rule = "a FORTRAN function name is a letter, then letters, digits or underscores, at most " +
                             std::to_string(kFortranNameLength) + " characters";
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (name.empty()) return "no name: " + rule;
    if (name.size() > kFortranNameLength) return rule;
    if (!letter(name[0])) return rule;
    for (char c : name) {
        if (!letter(c) && !digit(c) && c != '_') return rule;
    }
    return {};
}

TableHeader readHeader(uintptr_t table) {
    // The name has at most 15 characters and its NUL.
    char name[64] = {};
    int32_t timeStamp = 0;
    rtmGetFunction(table, name, &timeStamp);
    return TableHeader{name, timeStamp};
}

std::string formatTimeStamp(int32_t seconds) {
    // Days to a civil date in the proleptic Gregorian calendar; no time_t
    // or gmtime, which refuse negative times on some systems.
    const int64_t total = seconds;
    int64_t days = total / 86400;
    int64_t rest = total % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char text[160];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld UTC", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(rest / 3600),
                  static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    return text;
}

}  // namespace uvt_tool
