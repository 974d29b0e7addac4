#include "table/choice_lists.h"

#include "host/variant_result.h"
#include "table/code_tables.h"
#include "table/table_access.h"

#include <iterator>

namespace uvt {
namespace {

constexpr int32_t kFixedDimensions = static_cast<int32_t>(std::size(kDimensionTexts));

// Integer rows offered to row r: those before it, or for the trailing row
// (and beyond) those before the last row.
int32_t qualifyingRows(const TableHeader& header, int32_t r) {
    const int32_t limit = r < header.rowCount ? r : header.rowCount - 1;
    int32_t count = 0;
    for (int32_t i = 0; i < limit; ++i) {
        const VariableRow* row = rowAt(header, i);
        if (row != nullptr && row->type == kInteger) ++count;
    }
    return count;
}

const VariableRow* nthIntegerRow(const TableHeader& header, int32_t k) {
    for (int32_t i = 0; i < header.rowCount; ++i) {
        const VariableRow* row = rowAt(header, i);
        if (row != nullptr && row->type == kInteger && k-- == 0) return row;
    }
    return nullptr;
}

}  // namespace

int32_t countChoices(uintptr_t table, int32_t column, int32_t row) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr || row < 0) return 0;
    switch (column) {
        case UVT_COLUMN_TYPE: return static_cast<int32_t>(std::size(kTypeTexts));
        case UVT_COLUMN_DIMENSION: return kFixedDimensions + qualifyingRows(*header, row);
        case UVT_COLUMN_IO: return static_cast<int32_t>(std::size(kIoTexts));
        default: return 0;
    }
}

VARIANT choiceText(uintptr_t table, int32_t column, int32_t row, int32_t entry) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return emptyResult();
    if (row < 0 || row > header->rowCount) return textResult(u"");
    switch (column) {
        case UVT_COLUMN_TYPE:
            if (entry >= 0 && entry < static_cast<int32_t>(std::size(kTypeTexts))) {
                return textResult(kTypeTexts[entry].text);
            }
            break;
        case UVT_COLUMN_DIMENSION: {
            if (entry < 0 || entry >= countChoices(table, column, row)) break;
            if (entry < kFixedDimensions) return textResult(kDimensionTexts[entry].text);
            const VariableRow* integer = nthIntegerRow(*header, entry - kFixedDimensions);
            if (integer != nullptr) return narrowTextResult(integer->name);
            break;
        }
        case UVT_COLUMN_IO:
            if (entry >= 0 && entry < static_cast<int32_t>(std::size(kIoTexts))) {
                return textResult(kIoTexts[entry].text);
            }
            break;
        default: break;
    }
    return textResult(u"");
}

}  // namespace uvt
