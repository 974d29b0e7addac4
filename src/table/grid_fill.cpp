#include "table/grid_fill.h"

#include "table/cell_values.h"
#include "table/table_access.h"

#include <cstring>
#include <iterator>
#include <new>

namespace uvt {

GridFill::GridFill(uintptr_t table) : table_(table) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return;
    try {
        rows_.resize(static_cast<std::size_t>(header->rowCount > 0 ? header->rowCount : 0));
        for (int32_t r = 0; r < header->rowCount; ++r) refresh(*header, r);
    } catch (const std::bad_alloc&) {
        dropIndexes();
    }
}

VARIANT GridFill::setCell(int32_t column, int32_t row, BSTR text) {
    CellLookups& lookups = failed_ ? static_cast<CellLookups&>(scanning_) : *this;
    VARIANT answer = setCellValue(table_, column, row, text, lookups);
    const TableHeader* header = resolveTable(table_);
    if (!failed_ && header != nullptr && row >= 0 && row < header->rowCount) {
        try {
            refresh(*header, row);
        } catch (const std::bad_alloc&) {
            dropIndexes();
        }
    }
    return answer;
}

void GridFill::dropIndexes() {
    failed_ = true;
    rows_.clear();
    byName_.clear();
    integersByName_.clear();
    structuresByDepth_.clear();
}

void GridFill::remove(int32_t row) {
    Snapshot& was = rows_[static_cast<std::size_t>(row)];
    if (!was.present) return;
    const auto erase = [row](auto& index, const auto& key) {
        const auto found = index.find(key);
        if (found == index.end()) return;
        found->second.erase(row);
        if (found->second.empty()) index.erase(found);
    };
    if (!was.name.empty()) erase(byName_, was.name);
    if (was.type == kInteger) erase(integersByName_, was.name);
    if (was.type == kStructure) erase(structuresByDepth_, was.depth);
    was.present = false;
}

void GridFill::add(int32_t row) {
    const Snapshot& now = rows_[static_cast<std::size_t>(row)];
    if (!now.present) return;
    if (!now.name.empty()) byName_[now.name].insert(row);
    if (now.type == kInteger) integersByName_[now.name].insert(row);
    if (now.type == kStructure) structuresByDepth_[now.depth].insert(row);
}

void GridFill::refresh(const TableHeader& header, int32_t row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    remove(row);
    const VariableRow* record = rowAt(header, row);
    Snapshot& now = rows_[static_cast<std::size_t>(row)];
    now = Snapshot{};
    if (record != nullptr) now = Snapshot{nameKey(record->name), record->type, record->depth, true};
    add(row);
}

bool GridFill::nameTakenBefore(const TableHeader& header, const char* name, std::size_t length, int32_t row) {
    if (length == 0) return false;
    if (!indexed(header)) {
        return scanning_.nameTakenBefore(header, name, length, row);
    }
    const auto found = byName_.find(std::string(name, length));
    return found != byName_.end() && *found->second.begin() < row;
}

int32_t GridFill::integerRowNamed(const TableHeader& header, const char* name) {
    if (!indexed(header)) {
        return scanning_.integerRowNamed(header, name);
    }
    const auto found = integersByName_.find(nameKey(name));
    return found == integersByName_.end() ? -1 : *found->second.begin();
}

int32_t GridFill::parentSearch(const TableHeader& header, int32_t row, int32_t depth) {
    if (!indexed(header)) {
        return scanning_.parentSearch(header, row, depth);
    }
    if (row > header.rowCount) row = header.rowCount;
    const int64_t wanted = int64_t{depth} - 1;
    if (wanted < INT32_MIN) return -1;
    const auto found = structuresByDepth_.find(static_cast<int32_t>(wanted));
    if (found == structuresByDepth_.end()) return -1;
    // The nearest one before the row.
    const auto after = found->second.lower_bound(row);
    return after == found->second.begin() ? -1 : *std::prev(after);
}

}  // namespace uvt
