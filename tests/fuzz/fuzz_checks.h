// What every fuzz target checks: the host saw no misuse of its memory, every
// block came back, a table reads consistently through every export, and
// saving and loading give back the table that was saved.
#pragma once

#include "host_doubles.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace uvt_fuzz {

[[noreturn]] void fail(const char* file, int line, const std::string& what);

#define FUZZ_CHECK(condition, what)                                        \
    do {                                                                   \
        if (!(condition)) ::uvt_fuzz::fail(__FILE__, __LINE__, (what));    \
    } while (0)

// Installs a fresh test host for one input.
void beginInput();
// No block was released with a wrong size and no unknown handle reached the
// host since the input began.
void checkHostClean(const std::string& step);
// Call once every table is deleted: nothing may be left.
void endInput();
// The host's live blocks are exactly those the given tables hold: nothing
// leaked on the way.
void checkBlocksHeld(const std::vector<uintptr_t>& tables, const std::string& step);

// A per-process directory for the files the FORTRAN targets write.
const std::string& scratchDirectory();
void writeFile(const std::string& path, const std::string& content);

bool isComplete(uintptr_t table);

// What a host can see of a table: function name, time stamp and every cell's
// display text.
struct TableSnapshot {
    std::string functionName;
    int32_t timeStamp = 0;
    std::vector<std::array<std::string, 5>> cells;
    bool operator==(const TableSnapshot&) const = default;
};
TableSnapshot snapshot(uintptr_t table);
std::string describe(const TableSnapshot& table);

// Reads every cell and choice list, checks every row and the whole table,
// writes the text form and, for a complete table, binds it and checks the
// layout through the run-time exports. Rows edited after a table was bound
// leave its tree as the last layout made it (design edits lay nothing out),
// so a bound table's tree is checked only when `treeInLine` says that no row
// changed since its last whole layout.
void exerciseTable(uintptr_t table, bool treeInLine = true);
// The run-time views of a bound table agree with each other: the handle
// walk, the value counts, run-time rows, labels by place, row and handle,
// and the path names those labels are.
void checkBinding(uintptr_t table);

// Whether the grid could have made the table as it stands: every code is
// one the grid offers and every dimension names an Integer row. Raw records
// (the text form, rtmSetCellValue) and an Integer row whose type changed
// after it dimensioned others leave tables that it could not; restoring or
// loading takes every cell through the grid's checks again, so only the
// tables it could have made come back exactly.
bool gridCouldMake(uintptr_t table);

// Save and restore, and dump and load, of a complete table: a table the grid
// could have made comes back exactly; any other comes back as a table that
// then survives a second round unchanged. `object` is attached to `table`.
void checkSaveRestore(uintptr_t table, uvt_test::ConfigObject& object);
void checkDumpLoad(uintptr_t table);

}  // namespace uvt_fuzz
