// Setting many cells of a table's existing rows, as a caller that fills a
// whole grid from a file does: every cell goes through the grid's own
// validation, and the questions it asks about the other rows (duplicate
// names, the Integer row a dimension names, the parent of a nested row)
// are answered from indexes of the rows' names, types and depths instead
// of walks of the table. The indexes follow every cell set through this
// object; the table must not change otherwise while it lives. Without room
// for them the rows are walked as a single edit does.
#pragma once

#include "table/cell_lookups.h"
#include "uvt.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace uvt {

class GridFill final : private CellLookups {
public:
    explicit GridFill(uintptr_t table);
    GridFill(const GridFill&) = delete;
    GridFill& operator=(const GridFill&) = delete;

    // What dfnSetValue answers for the same cell and text, with the same
    // effect on the table.
    VARIANT setCell(int32_t column, int32_t row, BSTR text);

private:
    struct Snapshot {
        std::string name;
        int32_t type = 0;
        int32_t depth = 0;
        bool present = false;  // the row's record resolved
    };

    bool nameTakenBefore(const TableHeader& header, const char* name, std::size_t length, int32_t row) override;
    int32_t integerRowNamed(const TableHeader& header, const char* name) override;
    int32_t parentSearch(const TableHeader& header, int32_t row, int32_t depth) override;

    void add(int32_t row);
    void remove(int32_t row);
    // Takes row `row` as its record holds it now into the indexes.
    void refresh(const TableHeader& header, int32_t row);
    void dropIndexes();
    // Whether the indexes describe the table's rows; else the rows are walked.
    bool indexed(const TableHeader& header) const {
        return !failed_ && static_cast<std::size_t>(header.rowCount) == rows_.size();
    }

    uintptr_t table_;
    bool failed_ = false;
    ScanningCellLookups scanning_;
    std::vector<Snapshot> rows_;
    std::unordered_map<std::string, std::set<int32_t>> byName_;
    std::unordered_map<std::string, std::set<int32_t>> integersByName_;
    std::map<int32_t, std::set<int32_t>> structuresByDepth_;
};

}  // namespace uvt
