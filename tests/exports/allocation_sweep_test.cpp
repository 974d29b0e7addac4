// A host whose memory runs out at any point of a whole working session: one
// scenario goes through every family of exports (tables, the design grid,
// saved state, text form, FORTRAN files, binding, addressing, reading,
// labels, writing, replacement) and is run again and again with the n-th
// allocation failing, and with every allocation from the n-th on failing,
// until a run needs no more than it got. Whatever fails, the library must not
// crash, leak or misuse a block, every table must still go away whole, and
// whatever it reports as done must be so.
#include "../fortran/fortran_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

// The same table as raw records for the text form (ids 10.., S is id 12).
const std::vector<RecordSpec> kRecords = {
    {10, "NC", 0, -1, 0, 1, -50}, {11, "X", 1, -2, 0, 1, -50}, {12, "S", 3, 10, 0, 1, -50},
    {13, "A", 0, -1, 1, 1, 12},   {14, "B", 2, -1, 1, 3, 12},  {15, "Y", 1, -1, 0, 2, -50},
};

std::vector<std::string>* textLines = nullptr;
void UVT_HOSTCALL collectLine(const char* line) {
    if (textLines != nullptr) textLines->emplace_back(line == nullptr ? "" : line);
}

bool alive(uintptr_t table) { return table != 0 && TrackingMemory::instance().sizeOf(table) >= 0; }

// What one run did. The steps that a host with plenty of memory always gets
// done are named in `missed` when they were not; only the run without
// failures expects none.
struct Outcome {
    std::vector<std::string> missed;
    std::vector<uintptr_t> tables;
    int textLineCount = 0;

    void expect(bool done, const std::string& step) {
        if (!done) missed.push_back(step);
    }
    uintptr_t made(uintptr_t table, const std::string& step) {
        expect(table != 0, step);
        if (table != 0) tables.push_back(table);
        return table;
    }
};

// A value of a type as the writers take it.
struct TypedValue {
    int32_t integer = 0;
    double real = 0;
    std::string text;
    const void* pointer(int32_t type) const {
        if (type == 0) return &integer;
        if (type == 1) return &real;
        return text.c_str();
    }
};

// Whether what a value pointer shows is `wanted` of that type.
bool holds(const void* pointer, int32_t type, const TypedValue& wanted) {
    if (pointer == nullptr) return false;
    if (type == 0) return *static_cast<const int32_t*>(pointer) == wanted.integer;
    if (type == 1) return *static_cast<const double*>(pointer) == wanted.real;
    return std::strcmp(static_cast<const char*>(pointer), wanted.text.c_str()) == 0;
}

// A cell that the grid accepted reads back as given.
void setCellChecked(uintptr_t table, int32_t column, int32_t row, const char* text, Outcome& outcome, bool refused) {
    const std::string answer = setCell(table, column, row, text);
    outcome.expect((answer != kEmpty) == refused, std::string("cell ") + text);
    if (answer == kEmpty) {
        EXPECT_EQ(getCell(table, column, row), text) << "an accepted cell reads back as given";
    }
}

// Design-time editing: rows with every column, refused values on a row that
// is then deleted, completeness checks, choice lists and every cell read.
void editDefinition(uintptr_t table, Outcome& outcome) {
    outcome.expect(setFunctionName(table, "SWEEP") != 0, "function name");
    for (const RowSpec& wanted : kSampleRows) {
        const int32_t index = dfnCountRows(table);
        const bool inserted = dfnInsertRow(table, index) != 0;
        outcome.expect(inserted, std::string("insert ") + wanted.name);
        if (!inserted) continue;
        const char* cells[] = {wanted.name, wanted.type, wanted.dimension, wanted.depth, wanted.io};
        for (int32_t column = 0; column < 5; ++column) {
            setCellChecked(table, column, index, cells[column], outcome, false);
        }
    }
    // A scratch row between NC and X takes every kind of refused value.
    const int32_t rows = dfnCountRows(table);
    if (dfnInsertRow(table, 1) != 0 && dfnCountRows(table) == rows + 1) {
        for (const char* name : {"9LIVES", "A-B", "ABCDEFGHIJKLMNOPQ", "NC"}) {
            setCellChecked(table, 0, 1, name, outcome, true);
        }
        outcome.expect(setCellNull(table, 0, 1) == kEmpty, "null name");
        setCellChecked(table, 0, 1, "TMP", outcome, false);
        setCellChecked(table, 1, 1, "Complex", outcome, true);
        setCellChecked(table, 2, 1, "NOSUCHROW", outcome, true);
        setCellChecked(table, 3, 1, "9", outcome, true);
        setCellChecked(table, 4, 1, "Sideways", outcome, true);
        outcome.expect(take(dfnIsRowComplete(table, 1)) == "", "scratch row complete");
        dfnDeleteRow(table, 1);
        outcome.expect(dfnCountRows(table) == rows, "scratch row deleted");
    } else {
        outcome.expect(false, "scratch row");
    }
    for (int32_t r = 0; r < dfnCountRows(table); ++r) {
        outcome.expect(take(dfnIsRowComplete(table, r)) == "", "row complete");
        for (int32_t column = 0; column < 5; ++column) {
            outcome.expect(getCell(table, column, r) != kEmpty, "cell read");
            const int32_t entries = dfnCountValidStrings(table, column, r);
            for (int32_t entry = 0; entry <= entries; ++entry) {
                const std::string text = take(dfnGetValidString(table, column, r, entry));
                outcome.expect(entry == entries ? text == "" : text != "", "choice list");
            }
        }
    }
    outcome.expect(take(dfnIsComplete(table)) == "", "table complete");
}

// Saved state through the configuration interface, restored into new tables
// by both restore routes.
void saveAndRestore(uintptr_t table, ConfigObject& config, Outcome& outcome) {
    outcome.expect(UVTSetConfigInterface(table, config.object()) != nullptr, "attach");
    outcome.expect(UVTSave(table) == config.saveResult, "save");
    config.primary = config.saved();
    config.second = config.primary;
    const uintptr_t restored = outcome.made(CreateUVT(nullptr), "create for restore");
    if (restored != 0) {
        outcome.expect(UVTSetConfigInterface(restored, config.object()) != nullptr, "attach for restore");
        outcome.expect(UVTRestore(restored) == static_cast<int32_t>(kSampleRows.size()), "restore");
        outcome.expect(UVTSetConfigInterface(restored, nullptr) == nullptr, "detach");
    }
    const uintptr_t restoredRB = outcome.made(CreateUVT(nullptr), "create for restore RB");
    if (restoredRB != 0) {
        UVTSetConfigInterface(restoredRB, config.object());
        outcome.expect(UVTRestoreRB(restoredRB) == static_cast<int32_t>(kSampleRows.size()), "restore RB");
        outcome.expect(take(dfnIsComplete(restoredRB)) == "", "restored RB complete");
        // Bound while the interface is still attached: it goes with the table.
        outcome.expect(rtmGetLimit(restoredRB, 1) == 4, "restored RB bound");
    }
}

void textForm(uintptr_t table, Outcome& outcome) {
    std::vector<std::string> lines;
    textLines = &lines;
    UVTToText(table, &collectLine);
    textLines = nullptr;
    outcome.textLineCount = static_cast<int>(lines.size());
    outcome.expect(lines.size() == kSampleRows.size() + 1, "text lines");
    const uintptr_t fromText = outcome.made(CreateUVT(nullptr), "create for text");
    if (fromText != 0) {
        outcome.expect(fillFromRecords(fromText, kRecords) == 1, "from text");
        outcome.expect(take(dfnIsComplete(fromText)) == "", "text table complete");
        outcome.expect(rtmGetLimit(fromText, 1) == 4, "text table bound");
    }
}

// Returns the table loaded from the file, 0 when none could be.
uintptr_t fortranFiles(uintptr_t table, const ScratchDirectory& directory, Outcome& outcome) {
    const std::filesystem::path file = directory.file("SWEEP.f");
    std::error_code ignored;
    std::filesystem::remove(file, ignored);  // nothing left from an earlier run
    outcome.expect(dumpTo(table, file) == 0, "dump");
    const uintptr_t loaded = outcome.made(loadFrom(file), "load");
    const uintptr_t imported = outcome.made(CreateUVT(nullptr), "create for import");
    if (imported != 0) {
        importFrom(imported, file);
        outcome.expect(dfnCountRows(imported) == static_cast<int32_t>(kSampleRows.size()), "import");
        rtmInitArrays(imported);
        outcome.expect(rtmGetNumberOfRows(imported, 0) == 4, "imported bound");
    }
    return loaded;
}

// Every value of the walk can be labelled, typed and read, its label names it
// again, and the walk counts what rtmGetLimit reports per type.
void walkAndRead(uintptr_t table, int32_t structures, Outcome& outcome) {
    int32_t limits[3];
    for (int32_t type = 0; type < 3; ++type) {
        limits[type] = rtmGetLimit(table, type);
        void* address = TrackingMemory::instance().view<void>(table);
        EXPECT_EQ(rtmGetLimitDirect(address, type), limits[type]) << "type " << type;
    }
    int32_t walked[3] = {0, 0, 0};
    uintptr_t handle = 0;
    const char* first = rtmGetFirstHandle(table, -1, &handle);
    outcome.expect(first == nullptr, "first handle");
    for (int guard = 0; first == nullptr && rtmIsHandleValid(table, handle) != 0 && guard < 200; ++guard) {
        char label[512] = "";
        ASSERT_EQ(rtmGetLabelByHandle(table, handle, label, 0), nullptr);
        int32_t type = -1;
        ASSERT_EQ(rtmGetTypeByHandle(table, handle, &type), nullptr);
        ASSERT_TRUE(type >= 0 && type < 3) << type;
        void* value = nullptr;
        EXPECT_EQ(rtmGetValueByHandle(table, handle, &value), nullptr);
        int32_t element = 0;
        EXPECT_EQ(rtmGetElementByHandle(table, handle, -1, &element), nullptr) << label;
        EXPECT_EQ(element, walked[type] + 1) << label << ": the walk goes in place order";
        uintptr_t named = 0;
        EXPECT_EQ(rtmHandleByName(table, label, &named), nullptr) << label;
        EXPECT_EQ(named, handle) << label;
        char byPlace[512] = "";
        int32_t io = -1;
        EXPECT_EQ(rtmGetLabel(table, type, walked[type], &io, byPlace, sizeof byPlace), byPlace) << label;
        EXPECT_STREQ(byPlace, label);
        ++walked[type];
        ASSERT_EQ(rtmGetNextHandle(table, handle, -1, &handle), nullptr);
    }
    for (int32_t type = 0; type < 3; ++type) EXPECT_EQ(walked[type], limits[type]) << "type " << type;
    // Rows of both directions.
    for (int32_t direction = 0; direction < 2; ++direction) {
        const int32_t rows = rtmGetNumberOfRows(table, direction);
        outcome.expect(rows > 0, "rows");
        for (int32_t r = 0; r < rows; ++r) {
            uintptr_t byRow = 0;
            EXPECT_EQ(rtmHandleByRow(table, r, direction, &byRow), nullptr);
            int32_t type = -1;
            int32_t element = 0;
            void* value = nullptr;
            EXPECT_EQ(rtmGetTypeByRow(table, r, &type, direction), nullptr);
            EXPECT_EQ(rtmGetValueByRow(table, r, &value, direction), nullptr);
            EXPECT_EQ(rtmGetElementByRow(table, r, direction, &element), nullptr);
            char label[64] = "";
            EXPECT_EQ(rtmGetLabelByRow(table, r, direction, label, sizeof label), nullptr);
            uintptr_t named = 0;
            EXPECT_EQ(rtmHandleByName(table, label, &named), nullptr) << label;
            EXPECT_EQ(named, byRow) << label;
        }
    }
    // By name, in both index modes.
    void* value = nullptr;
    int32_t type = -1;
    int32_t place = -1;
    outcome.expect(rtmGetVarValueByName(table, "NC", nullptr, &value, &type) == nullptr, "NC by name");
    outcome.expect(rtmGetVarLocationByName(table, "B", indexList({structures - 1}).get(), &place, &type) == nullptr, "B location");
    outcome.expect(rtmOne_BasedGetVarValueByName(table, "A", indexList({structures}).get(), &value, &type) == nullptr,
                   "A one-based");
    outcome.expect(rtmOne_BasedGetVarLocationByName(table, "X", indexList({3}).get(), &place, &type) == nullptr,
                   "X one-based");
    outcome.expect(rtmArrayLength(table, "S", nullptr) == structures, "S length");
    char name[16] = "";
    int32_t stamp = 0;
    rtmGetFunction(table, name, &stamp);
    outcome.expect(std::string(name) == "SWEEP", "function");
}

// Reads a value by the same kind of address a write used; false when it
// cannot be read.
using Reader = std::function<bool(const void** value, int32_t* type)>;

// A write that the library answers with success must show in a read; one it
// refuses must leave the previous value.
void writeChecked(const char* title, const std::function<const char*(const void*)>& write, const Reader& read,
                  const TypedValue& wanted, Outcome& outcome) {
    const void* before = nullptr;
    int32_t type = -1;
    if (!read(&before, &type)) {
        outcome.expect(false, std::string(title) + " unreadable");
        return;
    }
    TypedValue previous;
    const bool hadValue = before != nullptr;
    if (hadValue) {
        if (type == 0) previous.integer = *static_cast<const int32_t*>(before);
        if (type == 1) previous.real = *static_cast<const double*>(before);
        if (type == 2) previous.text = static_cast<const char*>(before);
    }
    const char* answer = write(wanted.pointer(type));
    outcome.expect(answer == nullptr, title);
    const void* after = nullptr;
    ASSERT_TRUE(read(&after, &type)) << title;
    if (answer == nullptr) {
        EXPECT_TRUE(holds(after, type, wanted)) << title << ": reported stored";
    } else {
        EXPECT_EQ(after != nullptr, hadValue) << title << ": " << answer;
        if (hadValue) {
            EXPECT_TRUE(holds(after, type, previous)) << title << ": refused with " << answer;
        }
    }
}

Reader byName(uintptr_t table, const char* name, std::vector<int32_t> indexes) {
    return [=](const void** value, int32_t* type) {
        std::unique_ptr<int32_t[]> list(new int32_t[indexes.size() + 1]);
        std::copy(indexes.begin(), indexes.end(), list.get());
        void* found = nullptr;
        if (rtmGetVarValueByName(table, name, list.get(), &found, type) != nullptr) return false;
        *value = found;
        return true;
    };
}

Reader byHandle(uintptr_t handle) {
    return [=](const void** value, int32_t* type) {
        void* found = nullptr;
        if (rtmGetValueByHandle(0, handle, &found) != nullptr || rtmGetTypeByHandle(0, handle, type) != nullptr) {
            return false;
        }
        *value = found;
        return true;
    };
}

Reader byRow(uintptr_t table, int32_t row, int32_t direction) {
    return [=](const void** value, int32_t* type) {
        void* found = nullptr;
        if (rtmGetValueByRow(table, row, &found, direction) != nullptr ||
            rtmGetTypeByRow(table, row, type, direction) != nullptr) {
            return false;
        }
        *value = found;
        return true;
    };
}

Reader byPlace(uintptr_t table, int32_t type, int32_t place) {
    return [=](const void** value, int32_t* typeOut) {
        char label[512];
        int32_t io = 0;
        uintptr_t handle = 0;
        if (rtmGetLabel(table, type, place, &io, label, sizeof label) == nullptr) return false;
        if (rtmHandleByName(table, label, &handle) != nullptr) return false;
        return byHandle(handle)(value, typeOut);
    };
}

TypedValue integerValue(int32_t value) {
    TypedValue v;
    v.integer = value;
    return v;
}
TypedValue realValue(double value) {
    TypedValue v;
    v.real = value;
    return v;
}
TypedValue textValue(const char* value) {
    TypedValue v;
    v.text = value;
    return v;
}

void writeValues(uintptr_t table, Outcome& outcome) {
    writeChecked(
        "NC grows S", [&](const void* v) { return rtmSetVarValueByName(table, "NC", indexList({0}).get(), v); },
        byName(table, "NC", {0}), integerValue(3), outcome);
    writeChecked(
        "B(3) one-based",
        [&](const void* v) { return rtmOne_BasedSetVarValueByName(table, "B", indexList({3}).get(), v); },
        byName(table, "B", {2}), textValue("THIRD"), outcome);
    uintptr_t b1 = 0;
    if (rtmHandleByName(table, "S(1).B", &b1) == nullptr) {
        writeChecked(
            "B(1) by handle", [&](const void* v) { return rtmSetValueByHandle(table, b1, v); }, byHandle(b1),
            textValue("FIRST"), outcome);
    } else {
        outcome.expect(false, "S(1).B");
    }
    // Output row 0 is S(1).B: the text goes in by row and reads back by row.
    writeChecked(
        "output row 0", [&](const void* v) { return rtmSetValueByRow(table, 0, v, 1); }, byRow(table, 0, 1),
        textValue("ROW"), outcome);
    writeChecked(
        "X(1) by place", [&](const void* v) { return rtmSetValue(table, 1, 0, v); }, byPlace(table, 1, 0),
        realValue(2.5), outcome);
    writeChecked(
        "A(2) by name", [&](const void* v) { return rtmSetVarValueByName(table, "A", indexList({1}).get(), v); },
        byName(table, "A", {1}), integerValue(-4), outcome);
    // NC back to 1 by place: S shrinks and its surplus elements go.
    writeChecked(
        "NC shrinks S", [&](const void* v) { return rtmSetValue(table, 0, 0, v); }, byPlace(table, 0, 0),
        integerValue(1), outcome);
    outcome.expect(rtmArrayLength(table, "S", nullptr) == 1, "S shrunk");
    // A null Character by name stores the empty text as no value.
    outcome.expect(rtmSetVarValueByName(table, "B", indexList({0}).get(), nullptr) == nullptr, "B null");
}

// Fills a new table row by row from a generated function's integer table.
void cellValues(Outcome& outcome) {
    const uintptr_t table = outcome.made(CreateUVT(nullptr), "create for cells");
    if (table == 0) return;
    if (dfnInsertRow(table, 0) == 0) {
        outcome.expect(false, "cell row");
        return;
    }
    const int32_t cells[] = {0x2020454B, 0x20202020, 0x20202020, 0x20202020, 0, -1, 0, 1};
    for (int32_t column = 0; column < 8; ++column) rtmSetCellValue(table, 0, column, cells[column]);
    outcome.expect(getCell(table, 0, 0) == "KE", "cell name");
    outcome.expect(getCell(table, 1, 0) == "Integer", "cell type");
}

Outcome scenario(const ScratchDirectory& directory, ConfigObject& config) {
    Outcome outcome;
    HostRecorder& host = HostRecorder::instance();
    host.sizes[-2] = 3;
    const int32_t hostIds[2] = {7, 9};
    const uintptr_t table = outcome.made(CreateUVT(hostIds), "create");
    if (table != 0) {
        editDefinition(table, outcome);
        saveAndRestore(table, config, outcome);
        textForm(table, outcome);
        const uintptr_t loaded = fortranFiles(table, directory, outcome);

        // Bound with values already in the host's arrays, then resized by
        // the host's counts, then read, walked and written.
        const int32_t ints[16] = {2, 11, 12};
        const double reals[16] = {1, 2, 3, 4};
        rtmAttachArrays(table, ints, reals);
        outcome.expect(rtmGetLimit(table, 1) == 4, "attached");
        host.sizes[-2] = 4;
        rtmSetSymSize(table, 0);
        outcome.expect(rtmGetLimit(table, 1) == 5, "resized");
        walkAndRead(table, 2, outcome);
        writeValues(table, outcome);
        walkAndRead(table, 1, outcome);

        // The loaded definition takes over; a complete source goes with it.
        if (loaded != 0) {
            rtmInitArrays(loaded);
            rtmReplaceTable(table, loaded);
            outcome.expect(!alive(loaded), "replaced");
            walkAndRead(table, 1, outcome);
        }
    }
    cellValues(outcome);
    for (uintptr_t made : outcome.tables) {
        if (alive(made)) DeleteUVT(made);
    }
    return outcome;
}

class AllocationSweep : public UvtTest {
protected:
    // One run with the failure armed by `arm`; true when some allocation of
    // the run failed as asked.
    bool run(const std::function<void()>& arm, Outcome* kept = nullptr) {
        installTestHost();
        ConfigObject config;
        arm();
        Outcome outcome = scenario(directory_, config);
        const bool failed = memory.allocationsMade() >= armedAt_;
        memory.failAllocation(0);
        memory.failFrom(0);
        EXPECT_EQ(memory.liveBlocks(), 0u) << "every table goes away whole";
        EXPECT_EQ(memory.takeFaults(), std::vector<std::string>{});
        EXPECT_EQ(config.references, 1) << "the configuration interface was given back";
        if (kept != nullptr) *kept = std::move(outcome);
        return failed;
    }

    // Runs the scenario with the failure set up by `arm(n)` for n = 1, 2, ...
    // until a run gets every allocation it asks for; returns the runs made.
    int sweep(const std::function<void(int)>& arm, int allocations) {
        int n = 1;
        for (; n <= allocations + 1; ++n) {
            SCOPED_TRACE(::testing::Message() << "allocation " << n);
            armedAt_ = n;
            const bool failed = run([&] { arm(n); });
            if (HasFailure() || !failed) break;
        }
        EXPECT_GT(n, allocations) << "every allocation of the scenario was failed once";
        return n;
    }

    int cleanRun() {
        Outcome outcome;
        armedAt_ = 1 << 30;
        run([] {}, &outcome);
        EXPECT_EQ(outcome.missed, std::vector<std::string>{}) << "with memory enough every step goes through";
        EXPECT_EQ(outcome.tables.size(), 7u);
        const int allocations = memory.allocationsMade();
        EXPECT_GT(allocations, 100);
        return allocations;
    }

    ScratchDirectory directory_;
    int armedAt_ = 0;
};

TEST_F(AllocationSweep, EverySingleAllocationFails) {
    const int allocations = cleanRun();
    const int runs = sweep([&](int n) { memory.failAllocation(n); }, allocations);
    RecordProperty("allocations", allocations);
    RecordProperty("runs", runs);
}

TEST_F(AllocationSweep, EveryAllocationFromTheNthOnFails) {
    const int allocations = cleanRun();
    const int runs = sweep([&](int n) { memory.failFrom(n); }, allocations);
    RecordProperty("runs", runs);
}

}  // namespace
}  // namespace uvt_test
