#include "table/cell_writing.h"

#include "host/host_routines.h"
#include "table/records.h"
#include "table/table_access.h"
#include "uvt.h"

#include <cstring>

namespace uvt {
namespace {

inline constexpr int kNameWords = 4;
inline constexpr int kNameWordBytes = kNameWords * 4;  // the 16 characters the FORTRAN form carries

void writeNameWord(VariableRow& row, int32_t word, int32_t value, bool bigEndian) {
    const auto bits = static_cast<uint32_t>(value);
    for (int b = 0; b < 4; ++b) {
        const int shift = bigEndian ? 8 * (3 - b) : 8 * b;
        row.name[4 * word + b] = static_cast<char>((bits >> shift) & 0xFFu);
    }
    // Whatever the words leave, the name stays a text within its field.
    row.name[kNameCapacity - 1] = '\0';
    if (word != kNameWords - 1) return;
    row.name[kNameWordBytes] = '\0';
    for (auto i = static_cast<int>(std::strlen(row.name)) - 1; i >= 0 && row.name[i] == ' '; --i) row.name[i] = '\0';
}

}  // namespace

void setCellValue(uintptr_t table, int32_t rowIndex, int32_t column, int32_t value) {
    const bool bigEndian = querySize(nullptr, UVT_QUERY_BYTE_ORDER) == UVT_BYTE_ORDER_BIG_ENDIAN;
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return;
    VariableRow* row = rowAt(*header, rowIndex);
    if (row == nullptr) return;
    switch (column) {
        case 0:
        case 1:
        case 2:
        case 3: writeNameWord(*row, column, value, bigEndian); break;
        case 4: row->type = value; break;
        case 5: row->dimension = value; break;
        case 6: row->depth = value; break;
        case 7: row->io = value; break;
        default: break;
    }
}

}  // namespace uvt
