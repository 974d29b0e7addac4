#include "table_file.h"

#include "config_object.h"
#include "ole_text.h"
#include "temp_dir.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <sstream>
#include <variant>
#include <vector>

namespace uvt_tool {

namespace {

// The capacities that the text form's reader writes into, terminator included.
constexpr std::size_t kFunctionNameCapacity = 16;
constexpr std::size_t kRowNameCapacity = 20;

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
// Saved-state string.
// ---------------------------------------------------------------------------
uintptr_t readState(const std::string& bytes) {
    std::size_t digits = 0;
    while (digits < bytes.size() && bytes[digits] >= '0' && bytes[digits] <= '9') ++digits;
    const std::optional<int32_t> announced = parseInt32(bytes.substr(0, digits));
    if (!announced || digits >= bytes.size() || bytes[digits] != '$') {
        throw ToolError("not a saved-state string: it must begin with the row count and \"$\"");
    }
    Table table(CreateUVT(nullptr));
    if (table.handle() == 0) throw ToolError("the library found no memory for a table");
    ConfigObject config(bytes);
    UVTSetConfigInterface(table.handle(), config.object());
    const int32_t restored = UVTRestore(table.handle());
    UVTSetConfigInterface(table.handle(), nullptr);
    const int32_t rows = dfnCountRows(table.handle());
    if (rows != *announced || (*announced > 0 && restored != *announced)) {
        throw ToolError("damaged saved-state string: it announces " + std::to_string(*announced) +
                        " rows, but only " + std::to_string(rows) +
                        " could be read (the string ends early or a name is longer than 16 characters)");
    }
    const std::string rest = bytes.substr(bytes.size() - config.unread());
    for (char c : rest) {
        if (!isBlank(c)) {
            throw ToolError("damaged saved-state string: " + std::to_string(rest.size()) +
                            " bytes follow the rows it announces (" + std::to_string(rows) + ")");
        }
    }
    return table.release();
}

std::string writeState(uintptr_t table) {
    ConfigObject config;
    UVTSetConfigInterface(table, config.object());
    UVTSave(table);
    UVTSetConfigInterface(table, nullptr);
    return config.saved();
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

uintptr_t readText(const std::string& bytes) {
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
    int32_t rows = 0;
    for (std::size_t i = at + 1; i < lines.size(); ++i) {
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        if (lines[i].empty()) continue;
        if (rows == *count) {
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
        ++rows;
    }
    if (rows != *count) {
        throw ToolError("the header announces " + std::to_string(*count) + " rows, but the file holds " +
                        std::to_string(rows));
    }
    Table table(CreateUVT(nullptr));
    if (table.handle() == 0) throw ToolError("the library found no memory for a table");
    gTokens = &tokens;
    const int32_t complete = UVTFromText(table.handle(), &nextToken);
    gTokens = nullptr;
    if (complete != 1) throw ToolError("the library could not take the rows (out of memory?)");
    return table.release();
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

// ---------------------------------------------------------------------------
// FORTRAN: the library reads and writes files itself. Both go through a
// private directory, so that the library never sees a path longer than it
// takes, and an existing file is never written over before all went well.
// ---------------------------------------------------------------------------
uintptr_t readFortran(const std::string& bytes) {
    TempDir dir;
    const std::string path = dir.file("input.f");
    writeFileBytes(path, bytes);
    VariantText wide(path);
    const uintptr_t table = dfnLoadFromFORTRAN(wide.get());
    if (table == 0) {
        throw ToolError(
            "not a readable FORTRAN table function: it needs INTEGER FUNCTION, a DATA IVARIABLES list of "
            "well-formed rows and a DATA IVRSN statement");
    }
    return table;
}

std::string writeFortran(uintptr_t table, const std::string& fileName) {
    TempDir dir;
    const std::string path = dir.file(fileName);
    VariantText wide(path);
    if (dfnDumpFORTRAN(table, wide.get()) != 0) {
        throw ToolError("the library could not write the FORTRAN function to " + path);
    }
    return readFileBytes(path);
}

}  // namespace

std::optional<Form> formFromName(const std::string& name) {
    if (name == "fortran") return Form::Fortran;
    if (name == "state") return Form::State;
    if (name == "text") return Form::Text;
    return std::nullopt;
}

const char* formName(Form form) {
    switch (form) {
        case Form::Fortran: return "fortran";
        case Form::State: return "state";
        case Form::Text: return "text";
    }
    return "?";
}

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError(std::string("cannot open: ") + std::strerror(errno));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw ToolError("cannot read the file");
    return bytes;
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw ToolError(std::string("cannot open for writing: ") + std::strerror(errno));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw ToolError("cannot write the file");
}

Form detectForm(const std::string& bytes) {
    // The text form begins with an empty line; the saved-state string with
    // the row count and "$"; a FORTRAN function says FUNCTION somewhere.
    if (!bytes.empty() && (bytes[0] == '\n' || bytes[0] == '\r')) return Form::Text;
    std::size_t digits = 0;
    while (digits < bytes.size() && bytes[digits] >= '0' && bytes[digits] <= '9') ++digits;
    if (digits > 0 && digits < bytes.size() && bytes[digits] == '$') return Form::State;
    if (bytes.find("FUNCTION") != std::string::npos) return Form::Fortran;
    if (bytes.empty()) throw ToolError("the file is empty");
    throw ToolError(
        "not a table in any form this tool knows (a FORTRAN function, a saved-state string or the text form); "
        "--from names the form");
}

uintptr_t readTable(const std::string& bytes, Form form) {
    switch (form) {
        case Form::Fortran: return readFortran(bytes);
        case Form::State: return readState(bytes);
        case Form::Text: return readText(bytes);
    }
    throw ToolError("unknown form");
}

std::string writeTable(uintptr_t table, Form form, const std::string& fortranFileName) {
    switch (form) {
        case Form::Fortran: return writeFortran(table, fortranFileName);
        case Form::State: return writeState(table);
        case Form::Text: return writeText(table);
    }
    throw ToolError("unknown form");
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
