#include "table/row_rebuild.h"

#include "host/text_conversion.h"
#include "host/variant_result.h"
#include "table/cell_values.h"
#include "table/code_tables.h"
#include "table/row_editing.h"
#include "table/table_access.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

namespace uvt {
namespace {

bool isIntegerNamed(const VariableRow* row, const char* name) {
    return row != nullptr && row->type == kInteger && std::strncmp(row->name, name, kNameCapacity) == 0;
}

bool isStructureAt(const VariableRow* row, int32_t depth) {
    return row != nullptr && row->depth == depth && row->type == kStructure;
}

// The 8-bit form of a text the grid answered with.
std::string narrowed(BSTR text) {
    if (text == nullptr) return {};
    std::string out(wideLength(text) * MB_LEN_MAX + 1, '\0');
    const NarrowResult result = narrowText(text, out.data(), out.size());
    out.resize(result.length);
    return out;
}

std::string textOf(const VARIANT& answer) { return answer.vt == VT_BSTR ? narrowed(answer.bstrVal) : std::string(); }

std::string decimal(int64_t value) { return std::to_string(value); }

}  // namespace

RowRebuild::RowRebuild(uintptr_t table, int32_t firstRow, ReadObserver* observer)
    : table_(table), firstRow_(firstRow), observer_(observer) {
    const TableHeader* header = resolveTable(table);
    following_ = header == nullptr ? 0 : std::max(header->rowCount - firstRow, 0);
    structures_.fill(-1);
}

int32_t RowRebuild::insertRow() {
    settled_ = inserted_;
    const int32_t row = firstRow_ + inserted_;
    if (uvt::insertRow(table_, row) == 0) return -1;
    ++inserted_;
    return row;
}

void RowRebuild::setText(int32_t column, int32_t row, const char16_t* text) {
    if (observer_ == nullptr) {
        setCellText(table_, column, row, text, *this);
        return;
    }
    BSTR copy = SysAllocString(reinterpret_cast<const OLECHAR*>(text));
    VARIANT answer = setCellValue(table_, column, row, copy, *this);
    SysFreeString(copy);
    try {
        message_ = textOf(answer);
    } catch (const std::bad_alloc&) {
        message_.clear();
    }
    VariantClear(&answer);
}

void RowRebuild::report(int32_t column, int32_t row, const std::string& held, bool taken) {
    const bool rewritten = hasHeldText_;
    hasHeldText_ = false;
    if (observer_ == nullptr || (taken && message_.empty() && !rewritten)) return;
    // Reading the cell back is what the grid would show; it changes nothing
    // for a cell just set, whose dimension names a row that exists.
    VARIANT shown = getCellValue(table_, column, row);
    tellObserver(observer_, [&] {
        return CellReport{position_, row, column, rewritten ? heldText_ : held, message_, textOf(shown)};
    });
    VariantClear(&shown);
}

const VariableRow* RowRebuild::record(int32_t row) const {
    const TableHeader* header = resolveTable(table_);
    return header == nullptr ? nullptr : rowAt(*header, row);
}

void RowRebuild::setBytes(int32_t column, int32_t row, const char* bytes) {
    OLECHAR wide[kWideTextLimit + 1];
    widenText(bytes, wide, kWideTextLimit + 1);
    setText(column, row, reinterpret_cast<const char16_t*>(wide));
}

void RowRebuild::setName(int32_t row, const char* bytes) {
    setBytes(UVT_COLUMN_NAME, row, bytes);
    if (observer_ == nullptr) return;
    const VariableRow* now = record(row);
    const std::size_t length = strnlen(bytes, kNameCapacity);
    const bool taken = now != nullptr && length < kNameCapacity && std::strncmp(now->name, bytes, kNameCapacity) == 0;
    report(UVT_COLUMN_NAME, row, std::string(bytes, length), taken);
}

void RowRebuild::setType(int32_t row, int32_t code) {
    setText(UVT_COLUMN_TYPE, row, typeTextForInput(code));
    if (observer_ == nullptr) return;
    const VariableRow* now = record(row);
    report(UVT_COLUMN_TYPE, row, decimal(code), now != nullptr && now->type == code);
}

void RowRebuild::setDimensionCode(int32_t row, int32_t code) {
    setText(UVT_COLUMN_DIMENSION, row, dimensionCodeTextForInput(code));
    if (observer_ == nullptr) return;
    const VariableRow* now = record(row);
    report(UVT_COLUMN_DIMENSION, row, decimal(code), now != nullptr && now->dimension == code);
}

void RowRebuild::setDimensionToRow(int32_t row, int32_t namedRow) {
    const TableHeader* header = resolveTable(table_);
    const VariableRow* named = header == nullptr ? nullptr : rowAt(*header, namedRow);
    if (named == nullptr) {
        setText(UVT_COLUMN_DIMENSION, row, u"Scalar");
        if (observer_ != nullptr) report(UVT_COLUMN_DIMENSION, row, decimal(int64_t{namedRow} - firstRow_), false);
        return;
    }
    const int32_t wanted = named->id;
    // The name as the grid shows it, bounded by its field.
    char name[kNameCapacity];
    std::memcpy(name, named->name, sizeof name);
    name[kNameCapacity - 1] = 0;
    setBytes(UVT_COLUMN_DIMENSION, row, name);
    if (observer_ == nullptr) return;
    const VariableRow* now = record(row);
    report(UVT_COLUMN_DIMENSION, row, decimal(int64_t{namedRow} - firstRow_), now != nullptr && now->dimension == wanted);
}

void RowRebuild::deferDimension(int32_t row, int32_t storedRow) {
    // Without room to remember it, the dimension keeps its default, as a
    // reference to a row that never arrives does.
    try {
        deferred_.push_back({row, storedRow, position_, hasHeldText_, hasHeldText_ ? heldText_ : std::string()});
    } catch (const std::bad_alloc&) {
    }
    hasHeldText_ = false;
}

void RowRebuild::setDepth(int32_t row, int32_t depth) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", static_cast<int>(depth));
    setBytes(UVT_COLUMN_DEPTH, row, digits);
    if (observer_ == nullptr) return;
    const VariableRow* now = record(row);
    report(UVT_COLUMN_DEPTH, row, digits, now != nullptr && now->depth == depth);
}

void RowRebuild::setIo(int32_t row, int32_t code) {
    setText(UVT_COLUMN_IO, row, ioTextForInput(code));
    if (observer_ == nullptr) return;
    const VariableRow* now = record(row);
    report(UVT_COLUMN_IO, row, decimal(code), now != nullptr && now->io == code);
}

void RowRebuild::settleDimensions(int32_t available) {
    settled_ = inserted_;
    for (const Deferred& reference : deferred_) {
        if (reference.hasHeldText) setHeldText(reference.heldText);
        if (reference.storedRow >= available) {
            // The row it names never came: the dimension keeps its default.
            if (observer_ != nullptr) {
                position_ = reference.position;
                message_.clear();
                report(UVT_COLUMN_DIMENSION, reference.row, decimal(reference.storedRow), false);
            }
            continue;
        }
        const int64_t named = static_cast<int64_t>(firstRow_) + reference.storedRow;
        position_ = reference.position;
        setDimensionToRow(reference.row, named > INT32_MAX ? -1 : static_cast<int32_t>(named));
    }
    deferred_.clear();
}

bool RowRebuild::indexable(const TableHeader& header) const {
    return !failed_ && header.rowCount == firstRow_ + inserted_ + following_;
}

void RowRebuild::dropIndexes() {
    failed_ = true;
    names_.clear();
    integers_.clear();
    followingIntegers_.clear();
}

void RowRebuild::syncTo(const TableHeader& header, int32_t limit) {
    try {
        for (; synced_ < limit; ++synced_) {
            const VariableRow* row = rowAt(header, synced_);
            if (row == nullptr) continue;
            const std::string key = nameKey(row->name);
            if (!key.empty()) names_.insert(key);
            if (row->type == kInteger) integers_.emplace(key, synced_);  // keeps the first
            if (row->type == kStructure && row->depth >= 0 && row->depth < static_cast<int32_t>(structures_.size())) {
                structures_[static_cast<std::size_t>(row->depth)] = synced_;
            }
        }
    } catch (const std::bad_alloc&) {
        dropIndexes();
    }
}

void RowRebuild::gatherFollowing(const TableHeader& header) {
    if (followingGathered_) return;
    followingGathered_ = true;
    const int32_t first = firstRow_ + inserted_;
    try {
        for (int32_t i = first; i < header.rowCount; ++i) {
            const VariableRow* row = rowAt(header, i);
            if (row != nullptr && row->type == kInteger) followingIntegers_.emplace(nameKey(row->name), i - first);
        }
    } catch (const std::bad_alloc&) {
        dropIndexes();
    }
}

bool RowRebuild::nameTakenBefore(const TableHeader& header, const char* name, std::size_t length, int32_t row) {
    if (length == 0) return false;
    const int32_t limit = std::min(row, settledRows());
    if (!indexable(header) || limit < synced_) return scanning_.nameTakenBefore(header, name, length, row);
    syncTo(header, limit);
    if (failed_) return scanning_.nameTakenBefore(header, name, length, row);
    try {
        if (names_.count(std::string(name, length)) != 0) return true;
    } catch (const std::bad_alloc&) {
        return scanning_.nameTakenBefore(header, name, length, row);
    }
    for (int32_t i = limit; i < row && i < header.rowCount; ++i) {
        const VariableRow* other = rowAt(header, i);
        if (other != nullptr && storedNameLength(*other) == length && std::memcmp(other->name, name, length) == 0) {
            return true;
        }
    }
    return false;
}

int32_t RowRebuild::integerRowNamed(const TableHeader& header, const char* name) {
    if (!indexable(header)) return scanning_.integerRowNamed(header, name);
    syncTo(header, settledRows());
    gatherFollowing(header);
    if (failed_) return scanning_.integerRowNamed(header, name);
    const int32_t followingStart = firstRow_ + inserted_;
    try {
        const std::string key = nameKey(name);
        // In row order: the settled rows, the row being filled, the rows after.
        const auto before = integers_.find(key);
        if (before != integers_.end()) return before->second;
        for (int32_t i = settledRows(); i < followingStart; ++i) {
            if (isIntegerNamed(rowAt(header, i), name)) return i;
        }
        const auto after = followingIntegers_.find(key);
        return after == followingIntegers_.end() ? -1 : followingStart + after->second;
    } catch (const std::bad_alloc&) {
        return scanning_.integerRowNamed(header, name);
    }
}

int32_t RowRebuild::parentSearch(const TableHeader& header, int32_t row, int32_t depth) {
    const int32_t wanted = depth - 1;
    if (row > header.rowCount) row = header.rowCount;
    const int32_t limit = std::min(row, settledRows());
    if (!indexable(header) || wanted < 0 || wanted >= static_cast<int32_t>(structures_.size()) || limit < synced_) {
        return scanning_.parentSearch(header, row, depth);
    }
    syncTo(header, limit);
    if (failed_) return scanning_.parentSearch(header, row, depth);
    for (int32_t i = row - 1; i >= limit; --i) {
        if (isStructureAt(rowAt(header, i), wanted)) return i;
    }
    return structures_[static_cast<std::size_t>(wanted)];
}

}  // namespace uvt
