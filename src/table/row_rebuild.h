// Rebuilding rows from stored codes, shared by the saved-state restore and
// the FORTRAN reader: rows are inserted one after another through the grid's
// insertion, every cell is set through the grid's validation, and a
// dimension that names a later row is set once all rows are read.
//
// The checks behind the cells (duplicate names, the Integer row a dimension
// names, the parent of a nested row) would each walk the whole table; here
// they are answered from indexes that grow with the rows, so that a rebuild
// costs the same per row at any size. The indexes live for one call only, in
// the library's scratch memory; without room for them the checks walk the
// rows as a single edit does.
#pragma once

#include "table/cell_lookups.h"
#include "table/read_observer.h"
#include "table/records.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace uvt {

class RowRebuild final : private CellLookups {
public:
    // Rows go in at `firstRow`, `firstRow` + 1, ...; rows the table holds
    // before and after that place stay where they are. With an observer,
    // every cell that the row does not take as the file holds it is
    // reported at the position last given to setPosition.
    RowRebuild(uintptr_t table, int32_t firstRow, ReadObserver* observer);
    RowRebuild(const RowRebuild&) = delete;
    RowRebuild& operator=(const RowRebuild&) = delete;

    // Inserts the next row; its table row number, or -1 when the insertion
    // failed.
    int32_t insertRow();
    int32_t rowsInserted() const { return inserted_; }

    // Where in the file the cells set next come from.
    void setPosition(ReadPosition position) { position_ = position; }
    // With an observer: the file's own text of the cell set next, when it is
    // not the plain decimal form of the value the reader made of it. The
    // cell is then reported with this text even when the grid takes the
    // value.
    void setHeldText(std::string text) {
        heldText_ = std::move(text);
        hasHeldText_ = true;
    }

    // The cells of table row `row`, each as the grid takes it.
    void setName(int32_t row, const char* bytes);
    void setType(int32_t row, int32_t code);
    // A stored dimension below 0: a code, or the empty text for a value
    // that is no code.
    void setDimensionCode(int32_t row, int32_t code);
    // The dimension becomes the name of table row `namedRow`, or Scalar when
    // there is no such row.
    void setDimensionToRow(int32_t row, int32_t namedRow);
    // The dimension names the `storedRow`-th of the rebuilt rows, which is
    // not read yet; settleDimensions sets it.
    void deferDimension(int32_t row, int32_t storedRow);
    void setDepth(int32_t row, int32_t depth);
    void setIo(int32_t row, int32_t code);

    // Sets each deferred dimension whose stored row is below `available`,
    // in the order they were deferred; the others stay as they are.
    void settleDimensions(int32_t available);

private:
    struct Deferred {
        int32_t row;
        int32_t storedRow;
        ReadPosition position;
        bool hasHeldText;
        std::string heldText;
    };

    void setBytes(int32_t column, int32_t row, const char* bytes);
    void setText(int32_t column, int32_t row, const char16_t* text);
    // With an observer: reports the cell when the grid answered with a
    // message or the row did not take the value as the file holds it.
    void report(int32_t column, int32_t row, const std::string& held, bool taken);
    const VariableRow* record(int32_t row) const;

    bool nameTakenBefore(const TableHeader& header, const char* name, std::size_t length, int32_t row) override;
    int32_t integerRowNamed(const TableHeader& header, const char* name) override;
    int32_t parentSearch(const TableHeader& header, int32_t row, int32_t depth) override;

    // The indexes can answer only while the table holds exactly the rows
    // this rebuild knows of.
    bool indexable(const TableHeader& header) const;
    // Rows below this number no longer change: rows before the rebuild and
    // every rebuilt row but the one being filled.
    int32_t settledRows() const { return firstRow_ + settled_; }
    // Takes rows [synced_, limit) into the indexes of the rows before.
    void syncTo(const TableHeader& header, int32_t limit);
    void gatherFollowing(const TableHeader& header);
    void dropIndexes();

    uintptr_t table_;
    int32_t firstRow_;
    ReadObserver* observer_;
    ReadPosition position_ = 0;
    std::string message_;  // the grid's answer to the last cell set, with an observer
    bool hasHeldText_ = false;
    std::string heldText_;
    int32_t following_;  // rows after the rebuilt ones, there from the start
    int32_t inserted_ = 0;
    int32_t settled_ = 0;
    std::vector<Deferred> deferred_;
    ScanningCellLookups scanning_;

    bool failed_ = false;
    // Over rows [0, synced_): their names, the first Integer row of each
    // name, and the last Structure row of each depth below the deepest.
    int32_t synced_ = 0;
    std::unordered_set<std::string> names_;
    std::unordered_map<std::string, int32_t> integers_;
    std::array<int32_t, 8> structures_{};
    // Over the following rows: the first Integer row of each name, counted
    // from the first following row.
    bool followingGathered_ = false;
    std::unordered_map<std::string, int32_t> followingIntegers_;
};

}  // namespace uvt
