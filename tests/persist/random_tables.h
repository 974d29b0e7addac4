// Random tables built through the design-time exports, as a user at the grid
// would build them: rows typed in, dimensions that name Integer rows before,
// at and after their own row, rows inserted, deleted and renamed afterwards.
// Every cell of the result is one the grid accepts again when it is typed
// in anew in row order, so saving and restoring must give the same table.
#pragma once

#include "test_host.h"

#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace uvt_persist_test {

using namespace uvt_test;

// The engine's output is fixed by the standard; the distributions are not,
// so the numbers are drawn by hand and the tables are the same everywhere.
class Rng {
public:
    explicit Rng(uint32_t seed) : engine_(seed) {}
    uint32_t below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(engine_() % n); }
    bool chance(uint32_t percent) { return below(100) < percent; }
    int32_t any() { return static_cast<int32_t>(engine_()); }

private:
    std::mt19937 engine_;
};

inline const char* const kTypeTexts[] = {"Integer", "Real", "Character", "Structure"};
inline const char* const kDimensionTexts[] = {
    "Scalar",
    "Number of Components",
    "Number of Inlet Streams",
    "Number of Material Inlet Streams",
    "Number of Heat Inlet Streams",
    "Number of Work Inlet Streams",
    "Number of Outlet Streams",
    "Number of Material Outlet Streams",
    "Number of Heat Outlet Streams",
    "Number of Work Outlet Streams",
};
inline const char* const kIoTexts[] = {"Input Only", "Output Only", "Input and Output"};

class TableBuilder {
public:
    TableBuilder(Rng& rng, uintptr_t table) : rng_(rng), table_(table) {}

    // A name no row of this table ever had (names are compared in upper
    // case, and the grid upper-cases what it is given), 1 to 16 characters.
    std::string freshName() {
        static const char kFirst[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        static const char kRest[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";
        for (;;) {
            const uint32_t length = rng_.chance(20) ? 16 : 1 + rng_.below(16);
            std::string name(1, kFirst[rng_.below(sizeof kFirst - 1)]);
            while (name.size() < length) name.push_back(kRest[rng_.below(sizeof kRest - 1)]);
            std::string upper = name;
            for (char& c : upper) {
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            }
            if (used_.insert(upper).second) return name;
        }
    }

    void fillRow(int32_t row) {
        if (rng_.chance(90)) setCell(table_, 0, row, freshName().c_str());
        setCell(table_, 1, row, kTypeTexts[rng_.below(4)]);
        setCell(table_, 2, row, kDimensionTexts[rng_.below(10)]);
        const uint32_t depth = row == 0 ? 0 : rng_.below(9);
        setCell(table_, 3, row, std::to_string(depth).c_str());
        setCell(table_, 4, row, kIoTexts[rng_.below(3)]);
    }

    void insertRandomRow() {
        const int32_t count = dfnCountRows(table_);
        const int32_t position = static_cast<int32_t>(rng_.below(static_cast<uint32_t>(count) + 1));
        ASSERT_NE(dfnInsertRow(table_, position), 0);
        fillRow(position);
    }

    // Some rows take their size from a named Integer row anywhere in the
    // table: before, at or after their own row.
    void addReferences(uint32_t percent) {
        const int32_t count = dfnCountRows(table_);
        std::vector<std::string> integers;
        for (int32_t r = 0; r < count; ++r) {
            const std::string name = getCell(table_, 0, r);
            if (getCell(table_, 1, r) == "Integer" && !name.empty() && name != kEmpty) integers.push_back(name);
        }
        if (integers.empty()) return;
        for (int32_t r = 0; r < count; ++r) {
            if (rng_.chance(percent)) {
                const std::string& target = integers[rng_.below(static_cast<uint32_t>(integers.size()))];
                EXPECT_EQ(setCell(table_, 2, r, target.c_str()), kEmpty) << target;
            }
        }
    }

    // Later work at the grid that leaves every cell valid: rows come and go
    // (references to a deleted row dangle), rows are renamed or lose their
    // name, bad entries are refused or corrected.
    void editAtRandom(uint32_t steps) {
        for (uint32_t step = 0; step < steps; ++step) {
            const int32_t count = dfnCountRows(table_);
            const int32_t row = static_cast<int32_t>(rng_.below(static_cast<uint32_t>(count > 0 ? count : 1)));
            switch (rng_.below(6)) {
                case 0: insertRandomRow(); break;
                case 1: dfnDeleteRow(table_, row); break;
                case 2:
                    if (count > 0) setCell(table_, 0, row, freshName().c_str());
                    break;
                case 3:
                    if (count > 0) setCell(table_, 0, row, rng_.chance(50) ? "9LIVES" : "A-B");
                    break;
                case 4:
                    if (count > 0) setCell(table_, 4, row, "Sideways");
                    break;
                default:
                    if (count > 0) setCell(table_, 3, row, "12");
                    break;
            }
        }
        // Deleting the top row can leave a nested row at the top, where the
        // grid accepts only depth 0; the user puts it right.
        if (dfnCountRows(table_) > 0 && getCell(table_, 3, 0) != "0") setCell(table_, 3, 0, "0");
    }

private:
    Rng& rng_;
    uintptr_t table_;
    std::set<std::string> used_;
};

// A function name of 0 to 15 bytes, separators of the saved-state string
// included: it is carried with its length, so any byte but NUL may occur.
inline std::string randomFunctionName(Rng& rng) {
    static const char kBytes[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$#- abc";
    std::string name;
    const uint32_t length = rng.below(16);
    while (name.size() < length) name.push_back(kBytes[rng.below(sizeof kBytes - 1)]);
    return name;
}

inline void setFunctionName(uintptr_t table, const std::string& name) {
    HeaderView& view = header(table);
    std::memset(view.functionName, 0, sizeof view.functionName);
    std::memcpy(view.functionName, name.data(), name.size() < 15 ? name.size() : 15);
}

inline std::string functionNameOf(uintptr_t table) {
    const HeaderView& view = header(table);
    return std::string(view.functionName, strnlen(view.functionName, sizeof view.functionName));
}

// Row number of the row with this id, -1 when none.
inline int32_t rowNumberOfId(uintptr_t table, int32_t id) {
    for (int32_t r = 0; r < dfnCountRows(table); ++r) {
        if (row(table, r).id == id) return r;
    }
    return -1;
}

// Everything a save and restore must keep, readable when it differs: the
// function name, the time stamp and per row its five cells as the grid
// shows them, with the row number that a dimension refers to.
inline std::string describe(uintptr_t table) {
    std::ostringstream out;
    out << "function [" << functionNameOf(table) << "] time " << header(table).timeStamp << " rows "
        << dfnCountRows(table) << "\n";
    for (int32_t r = 0; r < dfnCountRows(table); ++r) {
        out << r << ": " << getCell(table, 0, r) << " | " << getCell(table, 1, r) << " | " << getCell(table, 2, r)
            << " | " << getCell(table, 3, r) << " | " << getCell(table, 4, r);
        const int32_t dimension = row(table, r).dimension;
        if (dimension >= 0) out << " | refers to row " << rowNumberOfId(table, dimension);
        out << "\n";
    }
    return out.str();
}

}  // namespace uvt_persist_test
