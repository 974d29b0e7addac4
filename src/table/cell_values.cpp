#include "table/cell_values.h"

#include "table/row_numbers.h"

#include "host/text_conversion.h"
#include "host/variant_result.h"
#include "table/cell_lookups.h"
#include "table/code_tables.h"
#include "table/name_check.h"
#include "table/table_access.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace uvt {
namespace {

constexpr const char16_t* kInvalidRow = u"Invalid row number";
constexpr const char16_t* kBadChar =
    u"Variable names are limited to letters, digits, and '_'.\n\nPlease check the variable and enter again.";
constexpr const char16_t* kBadStart =
    u"Variable name must begin with a letter.\n\nPlease check the variable and enter again.";
constexpr const char16_t* kTooLong =
    u"Variable names are limited to 16 characters.\n\nPlease check the variable and enter again.";
constexpr const char16_t* kDuplicate = u"Variable already exists";
constexpr const char16_t* kInvalidType = u"Invalid type.\n\nType will remain unchanged.";
constexpr const char16_t* kInvalidDimension = u"Invalid dimension.\n\nDimension unchanged.";
constexpr const char16_t* kInvalidDepth =
    u"Invalid depth. Depth must be between 0 and 8.\n\nSetting depth to default value";
constexpr const char16_t* kInvalidIo = u"Invalid IO,\n\nsetting to default (Input Only)";

const char16_t* asText(BSTR text) { return reinterpret_cast<const char16_t*>(text); }

// Converts the whole text, so that the character rules see every character
// before the length is judged. Short names stay on the stack.
class NarrowedName {
public:
    explicit NarrowedName(const OLECHAR* text) {
        const std::size_t needed = wideLength(text) * MB_LEN_MAX + 1;
        std::size_t capacity = sizeof local_;
        char* buffer = local_;
        if (needed > capacity) {
            spill_.resize(needed);
            buffer = spill_.data();
            capacity = needed;
        }
        text_ = buffer;
        result_ = narrowText(text, buffer, capacity);
    }
    const char* text() const { return text_; }
    const NarrowResult& result() const { return result_; }

private:
    char local_[64];
    std::string spill_;
    const char* text_ = nullptr;
    NarrowResult result_{};
};

VARIANT setName(uintptr_t table, TableHeader& header, VariableRow& row, int32_t r, BSTR text,
                CellLookups& lookups) {
    upperCaseInPlace(text);
    const NarrowedName name(text);
    const NarrowResult& converted = name.result();
    NameCheck check = NameCheck::Ok;
    if (converted.status == Narrowing::Unconvertible) {
        // A character the locale has no 8-bit form for is an invalid
        // character; only a convertible first character that is no letter
        // is reported first, as the checks run in order.
        const bool badStart = converted.length > 0 && !isNameStart(name.text()[0]);
        check = badStart ? NameCheck::BadStart : NameCheck::BadChar;
    } else {
        // The text rules first, then duplicates among the rows before this
        // one (later rows are not compared).
        check = checkNameText(name.text(), converted.length);
        if (check == NameCheck::Ok && lookups.nameTakenBefore(header, name.text(), converted.length, r)) {
            check = NameCheck::Duplicate;
        }
    }
    if (check != NameCheck::Ok) row.name[0] = 0;
    switch (check) {
        case NameCheck::Empty: return emptyResult();
        case NameCheck::BadStart: return textResult(kBadStart);
        case NameCheck::BadChar: return textResult(kBadChar);
        case NameCheck::TooLong: return textResult(kTooLong);
        case NameCheck::Duplicate: return textResult(kDuplicate);
        case NameCheck::Ok: break;
    }
    // Accepted names are at most kNameLimit bytes, well inside the field.
    std::memcpy(row.name, name.text(), converted.length);
    row.name[converted.length] = 0;
    runSaveStep(table, nullptr);
    return emptyResult();
}

bool dimensionCodeOf(const TableHeader& header, BSTR text, int32_t* code, CellLookups& lookups) {
    if (text == nullptr || text[0] == 0) return false;
    if (codeOfText(kDimensionTexts, asText(text), code)) return true;
    char name[kNameCapacity];
    if (narrowText(text, name, sizeof name).status != Narrowing::Ok) return false;
    const VariableRow* named = rowAt(header, lookups.integerRowNamed(header, name));
    if (named == nullptr) return false;
    *code = named->id;
    return true;
}

// Digits only, the empty text counting as 0; false for anything else or a
// value above 8. Long digit runs saturate instead of overflowing.
bool parseDepth(BSTR text, int32_t* depth) {
    int32_t value = 0;
    if (text != nullptr) {
        for (const OLECHAR* p = text; *p != 0; ++p) {
            if (*p < u'0' || *p > u'9') return false;
            if (value <= 8) value = value * 10 + static_cast<int32_t>(*p - u'0');
        }
    }
    if (value > 8) return false;
    *depth = value;
    return true;
}

VARIANT setDepth(uintptr_t table, TableHeader& header, VariableRow& row, int32_t r, BSTR text,
                 CellLookups& lookups) {
    int32_t depth = 0;
    if (!parseDepth(text, &depth) || (depth > 0 && r == 0)) {
        // The row keeps its depth: nothing is saved after a refusal, so the
        // stored definition and the table stay the same.
        return textResult(kInvalidDepth);
    }
    row.depth = depth;
    row.parentId = kNoParent;
    if (depth > 0) {
        const int32_t parent = lookups.parentSearch(header, r, depth);
        if (parent >= 0) {
            const VariableRow* found = rowAt(header, parent);
            if (found != nullptr) row.parentId = found->id;
        }
    }
    runSaveStep(table, nullptr);
    return emptyResult();
}

}  // namespace

VARIANT setCellValue(uintptr_t table, int32_t column, int32_t row, BSTR text) {
    ScanningCellLookups scanning;
    return setCellValue(table, column, row, text, scanning);
}

VARIANT setCellValue(uintptr_t table, int32_t column, int32_t row, BSTR text, CellLookups& lookups) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr) return emptyResult();
    if (row < 0 || row >= header->rowCount) return textResult(kInvalidRow);
    VariableRow* record = rowAt(*header, row);
    if (record == nullptr) return emptyResult();

    VARIANT result = emptyResult();
    int32_t code = 0;
    switch (column) {
        case UVT_COLUMN_NAME: return setName(table, *header, *record, row, text, lookups);
        case UVT_COLUMN_TYPE:
            if (!codeOfText(kTypeTexts, asText(text), &code)) return textResult(kInvalidType);
            record->type = code;
            break;
        case UVT_COLUMN_DIMENSION:
            if (dimensionCodeOf(*header, text, &code, lookups)) {
                record->dimension = code;
            } else {
                result = textResult(kInvalidDimension);
            }
            break;
        case UVT_COLUMN_DEPTH: return setDepth(table, *header, *record, row, text, lookups);
        case UVT_COLUMN_IO:
            if (codeOfText(kIoTexts, asText(text), &code)) {
                record->io = code;
            } else {
                record->io = UVT_IO_INPUT;
                result = textResult(kInvalidIo);
            }
            break;
        default: result = textResult(u""); break;
    }
    runSaveStep(table, nullptr);
    return result;
}

namespace {

VARIANT cellValue(uintptr_t table, int32_t column, int32_t row, RowNumbers* rowNumbers) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr || row < 0 || row > header->rowCount || header->rowCount == 0) {
        return emptyResult();
    }
    VariableRow* record = nullptr;
    if (row < header->rowCount) {
        record = rowAt(*header, row);
        if (record == nullptr) return emptyResult();
    }
    if (column < UVT_COLUMN_NAME || column > UVT_COLUMN_IO) return textResult(u"");
    if (record == nullptr) {
        // The grid's trailing row: the defaults of a new row, and no name.
        static constexpr const char16_t* kDefaults[] = {u"", u"Real", u"Scalar", u"0", u"Input Only"};
        return textResult(kDefaults[column]);
    }
    switch (column) {
        case UVT_COLUMN_NAME: return narrowTextResult(record->name);
        case UVT_COLUMN_TYPE: {
            const char16_t* text = textOfCode(kTypeTexts, record->type);
            return textResult(text != nullptr ? text : u"");
        }
        case UVT_COLUMN_DIMENSION: {
            if (const char16_t* text = textOfCode(kDimensionTexts, record->dimension)) return textResult(text);
            const int32_t index =
                rowNumbers != nullptr ? rowNumbers->of(record->dimension) : findRowById(*header, record->dimension);
            const VariableRow* named = index < 0 ? nullptr : rowAt(*header, index);
            if (named == nullptr || named->name[0] == 0) {
                // A reference to a deleted or unnamed row reads as scalar
                // and is repaired on the spot.
                record->dimension = kScalar;
                return textResult(u"Scalar");
            }
            return narrowTextResult(named->name);
        }
        case UVT_COLUMN_DEPTH: {
            char digits[16];
            std::snprintf(digits, sizeof digits, "%d", static_cast<int>(record->depth));
            return narrowTextResult(digits);
        }
        default: {
            const char16_t* text = textOfCode(kIoTexts, record->io);
            return textResult(text != nullptr ? text : u"");
        }
    }
}

}  // namespace

VARIANT getCellValue(uintptr_t table, int32_t column, int32_t row) { return cellValue(table, column, row, nullptr); }

VARIANT getCellValue(uintptr_t table, int32_t column, int32_t row, RowNumbers& rowNumbers) {
    return cellValue(table, column, row, &rowNumbers);
}

void setCellText(uintptr_t table, int32_t column, int32_t row, const char16_t* text, CellLookups& lookups) {
    BSTR copy = SysAllocString(reinterpret_cast<const OLECHAR*>(text));
    VARIANT answer = setCellValue(table, column, row, copy, lookups);
    VariantClear(&answer);
    SysFreeString(copy);
}

}  // namespace uvt
