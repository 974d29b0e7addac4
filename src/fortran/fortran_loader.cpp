#include "fortran/fortran_loader.h"

#include "fortran/file_path.h"
#include "fortran/fixed_form_reader.h"
#include "fortran/function_name.h"
#include "fortran/keyword_search.h"
#include "host/host_routines.h"
#include "host/text_conversion.h"
#include "host/variant_result.h"
#include "table/cell_values.h"
#include "table/code_tables.h"
#include "table/records.h"
#include "table/row_array.h"
#include "table/row_editing.h"
#include "table/table_access.h"
#include "table/table_life.h"

#include <cstdio>
#include <cstring>
#include <vector>

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
// first other character ends it and is handed back in `terminator`. False
// when the value begins with neither "-" nor a digit.
bool readValue(FixedFormReader& reader, int32_t* value, int* terminator) {
    int c = reader.next();
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

void setCellFromBytes(uintptr_t table, int32_t column, int32_t row, const char* bytes) {
    OLECHAR wide[kWideTextLimit + 1];
    widenText(bytes, wide, kWideTextLimit + 1);
    setCellText(table, column, row, reinterpret_cast<const char16_t*>(wide));
}

// A dimension that names another row of the file, by its place among the
// file's rows.
struct RowReference {
    int32_t row;     // table row that carries the dimension
    int32_t target;  // place of the named row among the file's rows
};

class FunctionReader {
public:
    FunctionReader(std::FILE* file, uintptr_t table, Mode mode, int32_t firstRow)
        : reader_(file), table_(table), mode_(mode), firstRow_(firstRow) {}

    // False when the file ends where the function must go on, a value is
    // malformed or memory runs out; the rows read until then stay.
    bool read() {
        if (!readFunctionName()) return false;
        const bool complete = findKeyword(reader_, "DATAIVARIABLES/", true) ? readRows() : true;
        settleReferences();
        if (!complete) return false;
        readVersion();
        return true;
    }

    bool versionFound() const { return versionFound_; }

private:
    bool readFunctionName() {
        if (!findKeyword(reader_, "FUNCTION", false)) return false;
        char name[kFunctionNameCapacity] = {};
        for (std::size_t n = 0; n < kFunctionNameLength; ++n) {
            const int c = reader_.next();
            if (c == FixedFormReader::kEnd) return false;
            if (c == '(') break;
            name[n] = static_cast<char>(c);
        }
        upperCaseInPlace(name);
        TableHeader* header = resolveTable(table_);
        if (header == nullptr) return false;
        // Stored directly, without the save step of the editing path.
        if (mode_ == Mode::Load || header->functionName[0] == 0) {
            std::memcpy(header->functionName, name, sizeof header->functionName);
        }
        return true;
    }

    // Rows until the "/" that closes the list; false on failure.
    bool readRows() {
        int x = reader_.next();
        for (int32_t k = 0; x != '/' && x != FixedFormReader::kEnd; ++k) {
            ReadName name;
            int32_t typeValue = 0;
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

            const int32_t row = firstRow_ + k;
            if (insertRow(table_, row) == 0) return false;
            ++rowsInserted_;
            setCellFromBytes(table_, UVT_COLUMN_NAME, row, name.bytes);
            setCellText(table_, UVT_COLUMN_TYPE, row, typeTextForInput(typeValue));

            int32_t value = 0;
            int terminator = 0;
            if (!readValue(reader_, &value, &terminator)) return false;
            if (value < 0) {
                setCellText(table_, UVT_COLUMN_DIMENSION, row, dimensionCodeTextForInput(value));
            } else if (value <= k) {
                setDimensionToRow(row, value);
            } else {
                // The named row comes later in the file: set once it exists.
                references_.push_back({row, value});
            }

            if (!readValue(reader_, &value, &terminator)) return false;
            char digits[16];
            std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
            setCellFromBytes(table_, UVT_COLUMN_DEPTH, row, digits);

            if (!readValue(reader_, &value, &terminator)) return false;
            setCellText(table_, UVT_COLUMN_IO, row, ioTextForInput(value));

            if (terminator == '/' || terminator == FixedFormReader::kEnd) return true;
            x = reader_.next();
        }
        return true;
    }

    // The dimension of `row` becomes the file's row number `target`: the
    // name of that row as the grid would take it, or Scalar when the file
    // has no such row.
    void setDimensionToRow(int32_t row, int32_t target) {
        const TableHeader* header = resolveTable(table_);
        const VariableRow* named =
            (header != nullptr && target < rowsInserted_) ? rowAt(*header, firstRow_ + target) : nullptr;
        if (named == nullptr) {
            setCellText(table_, UVT_COLUMN_DIMENSION, row, u"Scalar");
            return;
        }
        char name[kNameCapacity];
        std::memcpy(name, named->name, sizeof name);
        name[kNameCapacity - 1] = 0;
        setCellFromBytes(table_, UVT_COLUMN_DIMENSION, row, name);
    }

    void settleReferences() {
        for (const RowReference& reference : references_) setDimensionToRow(reference.row, reference.target);
        references_.clear();
    }

    void readVersion() {
        if (!findKeyword(reader_, "IVRSN/", false)) return;
        versionFound_ = true;
        int32_t version = 0;
        if (!reader_.readInteger(&version)) return;
        TableHeader* header = resolveTable(table_);
        if (header != nullptr && (mode_ == Mode::Load || firstRow_ == 0)) header->timeStamp = version;
    }

    FixedFormReader reader_;
    uintptr_t table_;
    Mode mode_;
    int32_t firstRow_;
    int32_t rowsInserted_ = 0;
    std::vector<RowReference> references_;
    bool versionFound_ = false;
};

// Gives back a table that was begun for a load and never handed out. The
// host never saw it and it has no run-time objects, so no release event is
// raised; it has no configuration interface, so nothing is saved.
void discardTable(uintptr_t table) {
    TableHeader* header = resolveTable(table);
    if (header != nullptr) {
        if (const auto* slots = resolveAs<uintptr_t>(header->rowArray)) {
            for (int32_t i = 0; i < header->rowCount; ++i) {
                if (slots[i] != 0) releaseBlock(slots[i], kRowSize);
            }
        }
        header->rowCount = 0;
        releaseRowArray(*header);
    }
    releaseBlock(table, kHeaderSize);
}

}  // namespace

uintptr_t loadFromFortran(const OLECHAR* path) {
    OpenFile file = openFile(path, "r");
    if (!file) return 0;
    const uintptr_t table = createTable(nullptr);
    if (table == 0) return 0;
    bool complete = false;
    try {
        FunctionReader reader(file.get(), table, Mode::Load, 0);
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

void importFortran(uintptr_t table, const OLECHAR* path) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return;
    const int32_t firstRow = header->rowCount;
    OpenFile file = openFile(path, "r");
    if (!file) return;
    FunctionReader reader(file.get(), table, Mode::Import, firstRow);
    reader.read();
}

}  // namespace uvt
