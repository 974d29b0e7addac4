#include "fortran/fortran_loader.h"

#include "fortran/file_path.h"
#include "fortran/fixed_form_reader.h"
#include "fortran/function_name.h"
#include "fortran/keyword_search.h"
#include "host/host_routines.h"
#include "host/text_conversion.h"
#include "table/records.h"
#include "table/row_array.h"
#include "table/row_rebuild.h"
#include "table/table_access.h"
#include "table/table_life.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace uvt {
namespace {

// Characters of a variable name that are kept; longer names are cut here
// and then refused by the name check like a typed one.
constexpr std::size_t kReadNameLength = 17;
// Numbers stop growing here: no count, row number or code comes near it.
constexpr uint32_t kNumberCeiling = 1000000000u;

enum class Mode { Load, Import };

bool isDigit(int c) { return c >= '0' && c <= '9'; }

void accumulate(uint32_t& value, int digit) {
    value = value >= kNumberCeiling / 10 ? kNumberCeiling : value * 10 + static_cast<uint32_t>(digit - '0');
}

// A value of the row data: an optional "-", then digits (none gives 0). The
// first other character ends it and is handed back in `terminator`; the
// rebuild is told the line where it begins. False when the value begins
// with neither "-" nor a digit.
bool readValue(FixedFormReader& reader, RowRebuild& rebuild, int32_t* value, int* terminator) {
    int c = reader.next();
    rebuild.setPosition(reader.line());
    bool negative = false;
    if (c == '-') {
        negative = true;
        c = reader.next();
    } else if (!isDigit(c)) {
        return false;
    }
    uint32_t magnitude = 0;
    for (; isDigit(c); c = reader.next()) accumulate(magnitude, c);
    *value = negative ? -static_cast<int32_t>(magnitude) : static_cast<int32_t>(magnitude);
    *terminator = c;
    return true;
}

struct ReadName {
    char bytes[kReadNameLength + 1] = {};
    std::size_t length = 0;
    bool sawGroup = false;
};

// A Hollerith group after its "H": up to count + 1 characters, ended early
// by a ",", which belongs to no name. Blanks never arrive here, so a short
// name's group is ended by the comma after it.
void readGroup(FixedFormReader& reader, uint32_t count, ReadName& name) {
    name.sawGroup = true;
    for (uint32_t taken = 0; taken <= count; ++taken) {
        const int c = reader.next();
        if (c == FixedFormReader::kEnd || c == ',') return;
        if (name.length < kReadNameLength) name.bytes[name.length++] = static_cast<char>(c);
    }
}

class FunctionReader {
public:
    FunctionReader(std::FILE* file, uintptr_t table, Mode mode, int32_t firstRow, ReadObserver* observer)
        : reader_(file, observer),
          table_(table),
          mode_(mode),
          firstRow_(firstRow),
          rebuild_(table, firstRow, observer) {}

    // False when the file ends where the function must go on, a value is
    // malformed or memory runs out; the rows read until then stay.
    bool read() {
        if (!readFunctionName()) return false;
        bool complete = true;
        if (findKeyword(reader_, "DATAIVARIABLES/", true)) {
            reader_.setInRowData(true);
            complete = readRows();
            reader_.setInRowData(false);
        }
        // A row named later in the file is set now; one that never came
        // gives Scalar.
        rebuild_.settleDimensions(INT32_MAX);
        if (!complete) return false;
        readVersion();
        return true;
    }

    bool versionFound() const { return versionFound_; }

private:
    bool readFunctionName() {
        if (!findKeyword(reader_, "FUNCTION", false)) return false;
        char name[kFunctionNameCapacity] = {};
        std::size_t length = 0;
        ReadPosition line = 0;
        for (; length < kFunctionNameLength; ++length) {
            const int c = reader_.next();
            if (length == 0) line = reader_.line();
            if (c == FixedFormReader::kEnd) return false;
            if (c == '(') break;
            name[length] = static_cast<char>(c);
        }
        const std::string held = reader_.observer() != nullptr && length == kFunctionNameLength
                                     ? std::string(name, length) + restOfLongName()
                                     : std::string();
        upperCaseInPlace(name);
        TableHeader* header = resolveTable(table_);
        if (header == nullptr) return false;
        // Stored directly, without the save step of the editing path.
        if (mode_ == Mode::Load || header->functionName[0] == 0) {
            std::memcpy(header->functionName, name, sizeof header->functionName);
            if (held.size() > kFunctionNameLength) {
                tellObserver(reader_.observer(), [&] {
                    return HeaderReport{line, HeaderField::FunctionName, HeaderChange::Cut, held, name};
                });
            }
        }
        return true;
    }

    // With an observer, after the longest name the reader takes: the name's
    // further letters, digits and underscores, which the reader would pass
    // over. The first other character is put back, and a character that
    // opens a line is never taken, so the keyword search after the name goes
    // on as it would.
    std::string restOfLongName() {
        std::string rest;
        for (;;) {
            const int c = reader_.next();
            const bool namePart = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) || c == '_';
            if (c == FixedFormReader::kEnd) return rest;
            if (!namePart || reader_.atLineStart()) {
                reader_.putBack();
                return rest;
            }
            rest.push_back(static_cast<char>(c));
        }
    }

    // Rows until the "/" that closes the list; false on failure.
    bool readRows() {
        int x = reader_.next();
        for (int32_t k = 0; x != '/' && x != FixedFormReader::kEnd; ++k) {
            ReadName name;
            int32_t typeValue = 0;
            // The name and the type are reported on the line the row opens.
            const ReadPosition rowLine = reader_.line();
            bool ended = false;
            while (!ended && isDigit(x)) {
                uint32_t number = 0;
                accumulate(number, x);
                for (;;) {
                    const int c = reader_.next();
                    if (c == 'H') {
                        readGroup(reader_, number, name);
                        x = reader_.next();
                        break;
                    }
                    if (isDigit(c)) {
                        accumulate(number, c);
                        continue;
                    }
                    typeValue = static_cast<int32_t>(number);
                    ended = true;
                    break;
                }
            }
            // A list without any Hollerith group before its first values is
            // the empty table. A first row without a name still has its
            // (blank) groups and is kept.
            if (k == 0 && !name.sawGroup) return true;

            const int32_t row = rebuild_.insertRow();
            if (row < 0) return false;
            rebuild_.setPosition(rowLine);
            rebuild_.setName(row, name.bytes);
            rebuild_.setType(row, typeValue);

            int32_t value = 0;
            int terminator = 0;
            if (!readValue(reader_, rebuild_, &value, &terminator)) return malformed("dimension");
            if (value < 0) {
                rebuild_.setDimensionCode(row, value);
            } else if (value <= k) {
                rebuild_.setDimensionToRow(row, firstRow_ + value);
            } else {
                // The named row comes later in the file: set once it exists.
                rebuild_.deferDimension(row, value);
            }

            if (!readValue(reader_, rebuild_, &value, &terminator)) return malformed("depth");
            rebuild_.setDepth(row, value);

            if (!readValue(reader_, rebuild_, &value, &terminator)) return malformed("IO");
            rebuild_.setIo(row, value);

            if (terminator == '/' || terminator == FixedFormReader::kEnd) return true;
            x = reader_.next();
        }
        return true;
    }

    // A value the row data cannot hold: reported where it stands; false.
    bool malformed(const char* column) {
        reader_.note(FileConstruct::MalformedValue, 0, column);
        return false;
    }

    void readVersion() {
        if (!findKeyword(reader_, "IVRSN/", false)) return;
        versionFound_ = true;
        int32_t version = 0;
        std::string text;
        const ReadPosition line = reader_.line();
        if (!reader_.readInteger(&version, reader_.observer() != nullptr ? &text : nullptr)) return;
        TableHeader* header = resolveTable(table_);
        if (header != nullptr && (mode_ == Mode::Load || firstRow_ == 0)) {
            header->timeStamp = version;
            // A "+" is a compiler's too; a number past 32 bits is not.
            if (!text.empty() && text[0] == '+') text.erase(0, 1);
            if (reader_.observer() != nullptr && !isPlainDecimal(text, version)) {
                tellObserver(reader_.observer(), [&] {
                    return HeaderReport{line, HeaderField::TimeStamp, HeaderChange::Rewritten, text,
                                        std::to_string(version)};
                });
            }
        }
    }

    FixedFormReader reader_;
    uintptr_t table_;
    Mode mode_;
    int32_t firstRow_;
    RowRebuild rebuild_;
    bool versionFound_ = false;
};

// Gives back a table that was begun for a load and never handed out. The
// host never saw it and it has no run-time objects, so no release event is
// raised; it has no configuration interface, so nothing is saved.
void discardTable(uintptr_t table) {
    TableHeader* header = resolveTable(table);
    if (header != nullptr) releaseRows(*header, ReleaseOrder::RowOrder);
    releaseBlock(table, kHeaderSize);
}

}  // namespace

uintptr_t loadFromFortran(const OLECHAR* path, ReadObserver* observer) {
    OpenFile file = openFile(path, "r");
    if (!file) return 0;
    const uintptr_t table = createTable(nullptr);
    if (table == 0) return 0;
    bool complete = false;
    try {
        FunctionReader reader(file.get(), table, Mode::Load, 0, observer);
        complete = reader.read() && reader.versionFound();
    } catch (...) {
        // The table was never handed out: nothing but this can free it.
        complete = false;
    }
    if (!complete) {
        discardTable(table);
        return 0;
    }
    return table;
}

void importFortran(uintptr_t table, const OLECHAR* path, ReadObserver* observer) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return;
    const int32_t firstRow = header->rowCount;
    OpenFile file = openFile(path, "r");
    if (!file) return;
    FunctionReader reader(file.get(), table, Mode::Import, firstRow, observer);
    reader.read();
}

}  // namespace uvt
