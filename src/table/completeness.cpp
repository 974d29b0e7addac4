#include "table/completeness.h"

#include "host/variant_result.h"
#include "table/name_check.h"
#include "table/table_access.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace uvt {
namespace {

// What the row check needs to know about the other rows of the table.
class RowLookups {
public:
    // A non-empty row before row r has this name.
    virtual bool nameTakenBefore(const VariableRow& row, int32_t r) const = 0;
    // The first row, in row order, whose id is `id`.
    virtual const VariableRow* rowWithId(int32_t id) const = 0;
    // The parent search: the nearest Structure row before row r whose depth is depth - 1.
    virtual const VariableRow* structureBefore(int32_t r, int32_t depth) const = 0;

protected:
    ~RowLookups() = default;
};

// Checking a single row walks the table for each question.
class ScanningLookups final : public RowLookups {
public:
    explicit ScanningLookups(const TableHeader& header) : header_(header) {}

    bool nameTakenBefore(const VariableRow& row, int32_t r) const override {
        return uvt::nameTakenBefore(header_, row.name, storedNameLength(row), r);
    }
    const VariableRow* rowWithId(int32_t id) const override {
        const int32_t index = findRowById(header_, id);
        return index < 0 ? nullptr : rowAt(header_, index);
    }
    const VariableRow* structureBefore(int32_t r, int32_t depth) const override {
        const int32_t index = parentSearch(header_, r, depth);
        return index < 0 ? nullptr : rowAt(header_, index);
    }

private:
    const TableHeader& header_;
};

// The whole-table check asks the same questions for every row. Walking the
// rows in order, it keeps what the rows so far answer, so that the check
// stays linear in the number of rows instead of rescanning for each one.
// The indexes point into records resolved for this one operation only.
class WalkingLookups final : public RowLookups {
public:
    explicit WalkingLookups(const TableHeader& header) {
        const auto count = static_cast<std::size_t>(header.rowCount);
        rows_.reserve(count);
        ids_.reserve(count);
        names_.reserve(count);
        for (int32_t i = 0; i < header.rowCount; ++i) {
            VariableRow* row = rowAt(header, i);
            rows_.push_back(row);
            if (row != nullptr) ids_.emplace(row->id, row);  // keeps the first
        }
    }

    VariableRow* row(int32_t r) const { return rows_[static_cast<std::size_t>(r)]; }

    // Makes row r one of the rows before the next one.
    void pass(int32_t r) {
        const VariableRow* done = row(r);
        if (done == nullptr) return;
        const std::size_t length = storedNameLength(*done);
        if (length > 0) names_.emplace(done->name, length);
        if (done->type == kStructure) structures_[done->depth] = done;
    }

    bool nameTakenBefore(const VariableRow& candidate, int32_t) const override {
        return names_.count(std::string_view(candidate.name, storedNameLength(candidate))) != 0;
    }
    const VariableRow* rowWithId(int32_t id) const override {
        const auto found = ids_.find(id);
        return found == ids_.end() ? nullptr : found->second;
    }
    const VariableRow* structureBefore(int32_t, int32_t depth) const override {
        const auto found = structures_.find(depth - 1);
        return found == structures_.end() ? nullptr : found->second;
    }

private:
    std::vector<VariableRow*> rows_;
    std::unordered_map<int32_t, const VariableRow*> ids_;
    std::unordered_set<std::string_view> names_;
    std::unordered_map<int32_t, const VariableRow*> structures_;  // the latest one of each depth
};

// Checks row r, whose record is `row` (null when it cannot be resolved), and
// repairs its parent link where a parent can be found. nullptr means the
// row is complete.
const char16_t* rowProblem(VariableRow* row, int32_t r, const RowLookups& lookups) {
    if (row == nullptr) return u"Empty Row";
    if (checkNameText(row->name, storedNameLength(*row)) != NameCheck::Ok || lookups.nameTakenBefore(*row, r)) {
        return u"Invalid variable name";
    }
    const int32_t d = row->depth;
    if (d <= 0) return nullptr;

    // Drops the link and takes what the parent search finds instead.
    const auto relink = [&]() -> bool {
        row->parentId = kNoParent;
        const VariableRow* found = lookups.structureBefore(r, d);
        if (found == nullptr) return false;
        row->parentId = found->id;
        return true;
    };

    const VariableRow* parent = row->parentId == kNoParent ? nullptr : lookups.rowWithId(row->parentId);
    if (parent == nullptr) {
        parent = lookups.structureBefore(r, d);
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
    if (row < 0 || row >= header->rowCount) return textResult(u"Invalid row number");
    const char16_t* problem = rowProblem(rowAt(*header, row), row, ScanningLookups(*header));
    return textResult(problem != nullptr ? problem : u"");
}

VARIANT checkTableComplete(uintptr_t table) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr) return emptyResult();
    if (header->rowCount == 0) return textResult(u"Empty form");
    const char16_t* first = nullptr;
    WalkingLookups lookups(*header);
    // Every row is checked, so that each gets its parent link repaired.
    for (int32_t r = 0; r < header->rowCount; ++r) {
        const char16_t* problem = rowProblem(lookups.row(r), r, lookups);
        if (first == nullptr) first = problem;
        lookups.pass(r);
    }
    return textResult(first != nullptr ? first : u"");
}

std::vector<const char16_t*> checkEveryRow(uintptr_t table) {
    std::vector<const char16_t*> problems;
    TableHeader* header = resolveTable(table);
    if (header == nullptr) return problems;
    problems.reserve(static_cast<std::size_t>(header->rowCount));
    WalkingLookups lookups(*header);
    for (int32_t r = 0; r < header->rowCount; ++r) {
        problems.push_back(rowProblem(lookups.row(r), r, lookups));
        lookups.pass(r);
    }
    return problems;
}

bool isTableComplete(uintptr_t table) {
    VARIANT answer = checkTableComplete(table);
    const bool complete = answer.vt == VT_BSTR && answer.bstrVal != nullptr && answer.bstrVal[0] == 0;
    VariantClear(&answer);
    return complete;
}

}  // namespace uvt
