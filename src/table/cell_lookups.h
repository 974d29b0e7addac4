// The questions that validating a cell asks about the other rows of its
// table, and the plain answers that walk the rows. A single edit at the grid
// asks them once; a rebuild of many rows answers them from indexes of its
// own (row_rebuild.h), which must give exactly these answers.
#pragma once

#include "table/name_check.h"
#include "table/records.h"
#include "table/table_access.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace uvt {

// A stored name (up to its first NUL, at most the name field) as indexes of
// the rows' names key it.
inline std::string nameKey(const char* name) { return std::string(name, strnlen(name, kNameCapacity)); }

class CellLookups {
public:
    // One of the rows before row `row` has this non-empty name.
    virtual bool nameTakenBefore(const TableHeader& header, const char* name, std::size_t length, int32_t row) = 0;
    // The first row, in row order, of type Integer whose name is `name`; -1 when none.
    virtual int32_t integerRowNamed(const TableHeader& header, const char* name) = 0;
    // Nearest row before `row` with depth `depth` - 1 and type Structure, or -1.
    virtual int32_t parentSearch(const TableHeader& header, int32_t row, int32_t depth) = 0;

protected:
    ~CellLookups() = default;
};

class ScanningCellLookups final : public CellLookups {
public:
    bool nameTakenBefore(const TableHeader& header, const char* name, std::size_t length, int32_t row) override {
        return uvt::nameTakenBefore(header, name, length, row);
    }
    int32_t integerRowNamed(const TableHeader& header, const char* name) override {
        return findIntegerRow(header, name);
    }
    int32_t parentSearch(const TableHeader& header, int32_t row, int32_t depth) override {
        return uvt::parentSearch(header, row, depth);
    }
};

}  // namespace uvt
