#include "table/completeness.h"

#include "host/variant_result.h"
#include "table/name_check.h"
#include "table/table_access.h"

namespace uvt {
namespace {

// nullptr means the row is complete.
const char16_t* rowProblem(TableHeader& header, int32_t r) {
    if (r < 0 || r >= header.rowCount) return u"Invalid row number";
    VariableRow* row = rowAt(header, r);
    if (row == nullptr) return u"Empty Row";
    if (checkStoredName(header, *row, r) != NameCheck::Ok) return u"Invalid variable name";
    const int32_t d = row->depth;
    if (d <= 0) return nullptr;

    const auto relink = [&]() -> bool {
        row->parentId = kNoParent;
        const int32_t found = parentSearch(header, r, d);
        const VariableRow* parent = found < 0 ? nullptr : rowAt(header, found);
        if (parent == nullptr) return false;
        row->parentId = parent->id;
        return true;
    };

    const VariableRow* parent = findParent(header, *row);
    if (parent == nullptr) {
        const int32_t found = parentSearch(header, r, d);
        parent = found < 0 ? nullptr : rowAt(header, found);
        if (parent == nullptr) return u"Parent of this row is missing, must set the depth to 0";
        row->parentId = parent->id;
    }
    if (parent->depth != d - 1) {
        return relink() ? nullptr : u"Depth of this row is not compatible with its parent.";
    }
    if (parent->type != kStructure) {
        return relink() ? nullptr : u"Parent of this row must has type Struct.";
    }
    return nullptr;
}

}  // namespace

VARIANT checkRowComplete(uintptr_t table, int32_t row) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr) return emptyResult();
    const char16_t* problem = rowProblem(*header, row);
    return textResult(problem != nullptr ? problem : u"");
}

VARIANT checkTableComplete(uintptr_t table) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr) return emptyResult();
    if (header->rowCount == 0) return textResult(u"Empty form");
    const char16_t* first = nullptr;
    // Every row is checked, so that each gets its parent link repaired.
    for (int32_t r = 0; r < header->rowCount; ++r) {
        const char16_t* problem = rowProblem(*header, r);
        if (first == nullptr) first = problem;
    }
    return textResult(first != nullptr ? first : u"");
}

bool isTableComplete(uintptr_t table) {
    VARIANT answer = checkTableComplete(table);
    const bool complete = answer.vt == VT_BSTR && answer.bstrVal != nullptr && answer.bstrVal[0] == 0;
    VariantClear(&answer);
    return complete;
}

}  // namespace uvt
