#include "fuzz_checks.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace uvt_fuzz {

using uvt_test::TrackingMemory;

void fail(const char* file, int line, const std::string& what) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what.c_str());
    std::abort();
}

void beginInput() { uvt_test::installTestHost(); }

void checkHostClean(const std::string& step) {
    const auto& faults = TrackingMemory::instance().faults();
    FUZZ_CHECK(faults.empty(), step + ": " + (faults.empty() ? "" : faults.front()));
}

void endInput() {
    checkHostClean("end of input");
    FUZZ_CHECK(TrackingMemory::instance().liveBlocks() == 0,
               std::to_string(TrackingMemory::instance().liveBlocks()) + " blocks leaked");
}

namespace {
char scratchPath[4096];

void removeScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(scratchPath, ignored);
}
}  // namespace

void checkBlocksHeld(const std::vector<uintptr_t>& tables, const std::string& step) {
    std::size_t held = 0;
    for (const uintptr_t table : tables) held += uvt_test::blocksHeldBy(table);
    const std::size_t live = TrackingMemory::instance().liveBlocks();
    FUZZ_CHECK(held == live, step + ": " + std::to_string(live) + " blocks live, the tables hold " + std::to_string(held));
}

const std::string& scratchDirectory() {
    static const std::string directory = [] {
        // Memory-backed when there is such a place: the FORTRAN targets
        // write a file or two per input.
        const char* base = std::getenv("TMPDIR");
        std::string root = base != nullptr && *base != 0 ? base : access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = root + "/uvt-fuzz-XXXXXX";
        FUZZ_CHECK(pattern.size() < sizeof scratchPath && mkdtemp(pattern.data()) != nullptr, "no scratch directory");
        std::memcpy(scratchPath, pattern.c_str(), pattern.size() + 1);
        std::atexit(&removeScratch);
        return pattern;
    }();
    return directory;
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    FUZZ_CHECK(out.good(), "cannot write " + path);
}

bool isComplete(uintptr_t table) { return uvt_test::take(dfnIsComplete(table)) == ""; }

TableSnapshot snapshot(uintptr_t table) {
    TableSnapshot result;
    char name[16] = {};
    rtmGetFunction(table, name, &result.timeStamp);
    FUZZ_CHECK(std::memchr(name, 0, sizeof name) != nullptr, "function name without its NUL");
    result.functionName = name;
    const int32_t rows = dfnCountRows(table);
    for (int32_t r = 0; r < rows; ++r) {
        std::array<std::string, 5> cells;
        for (int32_t c = 0; c < 5; ++c) cells[static_cast<std::size_t>(c)] = uvt_test::getCell(table, c, r);
        result.cells.push_back(cells);
    }
    return result;
}

std::string describe(const TableSnapshot& table) {
    std::string text = table.functionName + " " + std::to_string(table.timeStamp) + "\n";
    for (const auto& row : table.cells) {
        for (const std::string& cell : row) text += cell + " | ";
        text += "\n";
    }
    return text;
}

namespace {

void checkSameTable(const TableSnapshot& expected, const TableSnapshot& actual, const char* how) {
    FUZZ_CHECK(expected == actual, std::string(how) + " changed the table:\n" + describe(expected) + "---\n" +
                                       describe(actual));
}

void UVT_HOSTCALL checkLine(const char* line) {
    FUZZ_CHECK(line != nullptr, "null text-form line");
    const std::size_t length = std::strlen(line);
    FUZZ_CHECK(length > 0 && line[length - 1] == '\n', "text-form line without its end");
}

std::string labelOf(uintptr_t table, uintptr_t handle) {
    char buffer[512];
    const char* message = rtmGetLabelByHandle(table, handle, buffer, 0);
    FUZZ_CHECK(message == nullptr, std::string("no label for a walked value: ") + (message ? message : ""));
    FUZZ_CHECK(std::memchr(buffer, 0, sizeof buffer) != nullptr, "label without its NUL");
    return buffer;
}

}  // namespace

void checkBinding(uintptr_t table) {
    int32_t limits[3];
    for (int32_t type = 0; type < 3; ++type) {
        limits[type] = rtmGetLimit(table, type);
        FUZZ_CHECK(limits[type] >= 0, "negative value count");
        FUZZ_CHECK(rtmGetLimitDirect(TrackingMemory::resolve(table), type) == limits[type],
                   "the two value counts differ");
    }
    const int64_t total = int64_t{limits[0]} + limits[1] + limits[2];
    const bool gridMade = gridCouldMake(table);

    // The walk meets every value once, in tree order; each is a path name
    // that leads back to it. Raw records can give a value a type code that
    // no host array holds: the walk meets it, the counts and places do not.
    std::vector<uintptr_t> walked;
    int64_t placed = 0;
    uintptr_t handle = 0;
    const char* message = rtmGetFirstHandle(table, -1, &handle);
    FUZZ_CHECK(message == nullptr, std::string("walk refused: ") + (message ? message : ""));
    int32_t seen[3] = {0, 0, 0};
    while (handle != 0) {
        FUZZ_CHECK(static_cast<int64_t>(walked.size()) < total + 100000, "the walk does not end");
        walked.push_back(handle);
        int32_t type = -1;
        FUZZ_CHECK(rtmGetTypeByHandle(table, handle, &type) == nullptr, "walked value without a type");
        const bool inHostArray = type >= 0 && type < 3;
        FUZZ_CHECK(inHostArray || !gridMade, "type " + std::to_string(type) + " in a table the grid made");
        int32_t element = 0;
        const char* placeMessage = rtmGetElementByHandle(table, handle, -1, &element);
        FUZZ_CHECK((placeMessage == nullptr) == inHostArray, "a walked value's place");
        if (inHostArray) {
            FUZZ_CHECK(placed++ < total, "the walk meets more values than the counts");
            FUZZ_CHECK(element == seen[type] + 1, "places out of tree order");
            ++seen[type];
        }
        void* value = nullptr;
        FUZZ_CHECK(rtmGetValueByHandle(table, handle, &value) == nullptr, "walked value unreadable");
        const std::string label = labelOf(table, handle);
        uintptr_t named = 0;
        FUZZ_CHECK(rtmHandleByName(table, label.c_str(), &named) == nullptr && named == handle,
                   "label " + label + " does not name its value");
        if (inHostArray) {
            char byPlace[512];
            int32_t io = 0;
            FUZZ_CHECK(rtmGetLabel(table, type, element - 1, &io, byPlace, sizeof byPlace) == byPlace,
                       "no label by place for " + label);
            FUZZ_CHECK(label == byPlace, "label by place differs for " + label + ": " + byPlace);
            // (Raw records can hold any IO code; the grid's are 1 to 3.)
            FUZZ_CHECK(!gridMade || (io >= 1 && io <= 3), "IO " + std::to_string(io) + " for " + label);
        }
        message = rtmGetNextHandle(table, handle, -1, &handle);
        FUZZ_CHECK(message == nullptr, std::string("walk stopped: ") + (message ? message : ""));
    }
    FUZZ_CHECK(placed == total, "the walk misses values");
    for (int32_t type = 0; type < 3; ++type) {
        int32_t io = 0;
        char buffer[8];
        FUZZ_CHECK(rtmGetLabel(table, type, limits[type], &io, buffer, sizeof buffer) == nullptr,
                   "a label past the last value");
    }

    // Run-time rows of each direction are the walked values whose IO belongs
    // to it, in order.
    for (int32_t direction = 0; direction < 2; ++direction) {
        const int32_t rows = rtmGetNumberOfRows(table, direction);
        FUZZ_CHECK(rows >= 0 && rows <= static_cast<int64_t>(walked.size()), "run-time row count out of range");
        std::size_t next = 0;
        for (int32_t r = 0; r < rows; ++r) {
            uintptr_t atRow = 0;
            FUZZ_CHECK(rtmHandleByRow(table, r, direction, &atRow) == nullptr, "run-time row without a value");
            while (next < walked.size() && walked[next] != atRow) ++next;
            FUZZ_CHECK(next < walked.size(), "run-time rows out of tree order");
            ++next;
            char buffer[512];
            FUZZ_CHECK(rtmGetLabelByRow(table, r, direction, buffer, sizeof buffer) == nullptr &&
                           labelOf(table, atRow) == buffer,
                       "label by row differs");
        }
        uintptr_t past = 0;
        FUZZ_CHECK(rtmHandleByRow(table, rows, direction, &past) != nullptr, "a run-time row past the last");
    }
}

void exerciseTable(uintptr_t table, bool treeInLine) {
    const int32_t rows = dfnCountRows(table);
    FUZZ_CHECK(rows >= 0, "negative row count");
    for (int32_t r = 0; r <= rows; ++r) {
        for (int32_t c = 0; c < 5; ++c) {
            uvt_test::getCell(table, c, r);
            const int32_t entries = dfnCountValidStrings(table, c, r);
            FUZZ_CHECK(entries >= 0 && entries <= rows + 16, "choice list out of range");
            for (int32_t e = 0; e <= entries; ++e) uvt_test::take(dfnGetValidString(table, c, r, e));
        }
    }
    // The whole-table check must agree with every row checked in order: the
    // same first message and the same parent links repaired.
    std::vector<int32_t> links;
    for (int32_t r = 0; r < rows; ++r) links.push_back(uvt_test::row(table, r).parentId);
    const std::string whole = uvt_test::take(dfnIsComplete(table));
    std::vector<int32_t> linksAfterWhole;
    for (int32_t r = 0; r < rows; ++r) {
        linksAfterWhole.push_back(uvt_test::row(table, r).parentId);
        uvt_test::row(table, r).parentId = links[static_cast<std::size_t>(r)];
    }
    std::string first;
    for (int32_t r = 0; r < rows; ++r) {
        std::string answer = uvt_test::take(dfnIsRowComplete(table, r));
        if (first.empty()) first = answer;
        FUZZ_CHECK(uvt_test::row(table, r).parentId == linksAfterWhole[static_cast<std::size_t>(r)],
                   "the whole-table check repaired row " + std::to_string(r) + " otherwise");
    }
    // (A table without rows is "Empty form" as a whole.)
    FUZZ_CHECK(rows == 0 || whole == first, "whole-table check \"" + whole + "\" differs from the rows' \"" + first + "\"");
    UVTToText(table, &checkLine);
    checkHostClean("reading the table");
    if (whole.empty()) {
        const bool bound = uvt_test::header(table).runtimeRoot != 0;
        rtmGetLimit(table, 0);  // binds an unbound complete table
        if (!bound || treeInLine) checkBinding(table);
    }
    checkHostClean("binding the table");
}

bool gridCouldMake(uintptr_t table) {
    static const int32_t kDimensionCodes[] = {-1, -2, -13, -14, -15, -16, -23, -24, -25, -26};
    // The grid upper-cases every name it takes.
    const auto upperCase = [](const char* text, std::size_t capacity) {
        for (std::size_t i = 0; i < capacity && text[i] != 0; ++i) {
            if (text[i] >= 'a' && text[i] <= 'z') return false;
        }
        return true;
    };
    if (!upperCase(uvt_test::header(table).functionName, sizeof uvt_test::HeaderView::functionName)) return false;
    const int32_t rows = dfnCountRows(table);
    for (int32_t r = 0; r < rows; ++r) {
        const uvt_test::RowView& row = uvt_test::row(table, r);
        if (row.type < 0 || row.type > 3 || row.depth < 0 || row.depth > 8 || row.io < 1 || row.io > 3) return false;
        if (!upperCase(row.name, sizeof row.name)) return false;
        if (row.dimension < 0) {
            if (std::find(std::begin(kDimensionCodes), std::end(kDimensionCodes), row.dimension) ==
                std::end(kDimensionCodes)) {
                return false;
            }
            continue;
        }
        bool dimensionIsInteger = false;
        for (int32_t other = 0; other < rows; ++other) {
            const uvt_test::RowView& sizer = uvt_test::row(table, other);
            if (sizer.id == row.dimension) dimensionIsInteger = sizer.type == 0;
        }
        if (!dimensionIsInteger) return false;
    }
    return true;
}

namespace {

// The restored copy of a table (attached to `object`), or 0 when memory ran
// out on the way.
uintptr_t restoredCopy(uintptr_t table, uvt_test::ConfigObject& object) {
    object.clearSaves();
    UVTSave(table);
    const std::string saved = object.saved();
    uvt_test::ConfigObject source;
    source.primary = saved;
    const uintptr_t copy = CreateUVT(nullptr);
    if (copy == 0) return 0;
    UVTSetConfigInterface(copy, source.object());
    const int refusedBefore = TrackingMemory::instance().allocationsRefused();
    const int32_t restored = UVTRestore(copy);
    UVTSetConfigInterface(copy, nullptr);
    FUZZ_CHECK(source.references == 1, "the restore source kept a reference");
    if (TrackingMemory::instance().allocationsRefused() != refusedBefore) {
        DeleteUVT(copy);
        return 0;
    }
    FUZZ_CHECK(restored == dfnCountRows(table), "restore read " + std::to_string(restored) + " of " +
                                                    std::to_string(dfnCountRows(table)) + " rows from " + saved);
    return copy;
}

// The loaded copy of a table dumped as FORTRAN, or 0 when memory ran out.
// A table the grid could not have made may hold codes that the reader
// refuses, so that its file does not load.
uintptr_t loadedCopy(uintptr_t table, bool mustLoad) {
    const std::string path = scratchDirectory() + "/round.f";
    uvt_test::Bstr wide(path.c_str());
    const int refusedBefore = TrackingMemory::instance().allocationsRefused();
    const int32_t dumped = dfnDumpFORTRAN(table, wide.variant());
    const uintptr_t copy = dumped == 0 ? dfnLoadFromFORTRAN(wide.variant()) : 0;
    if (TrackingMemory::instance().allocationsRefused() == refusedBefore) {
        FUZZ_CHECK(dumped == 0, "a complete table was not dumped");
        FUZZ_CHECK(copy != 0 || !mustLoad, "a dumped table did not load");
    }
    return copy;
}

}  // namespace

void checkSaveRestore(uintptr_t table, uvt_test::ConfigObject& object) {
    if (!isComplete(table)) return;
    const bool exact = gridCouldMake(table);
    const TableSnapshot before = snapshot(table);
    const uintptr_t copy = restoredCopy(table, object);
    if (copy == 0) return;
    if (exact) {
        checkSameTable(before, snapshot(copy), "save and restore");
    } else if (isComplete(copy)) {
        uvt_test::ConfigObject second;
        UVTSetConfigInterface(copy, second.object());
        const TableSnapshot once = snapshot(copy);
        if (const uintptr_t twice = restoredCopy(copy, second); twice != 0) {
            checkSameTable(once, snapshot(twice), "a second save and restore");
            DeleteUVT(twice);
        }
        UVTSetConfigInterface(copy, nullptr);
    }
    DeleteUVT(copy);
    checkHostClean("save and restore");
}

void checkDumpLoad(uintptr_t table) {
    if (!isComplete(table)) return;
    const bool exact = gridCouldMake(table);
    const uintptr_t copy = loadedCopy(table, exact);
    if (copy == 0) return;
    if (exact) {
        checkSameTable(snapshot(table), snapshot(copy), "dump and load");  // the dump named the function
    } else if (isComplete(copy)) {
        if (const uintptr_t twice = loadedCopy(copy, true); twice != 0) {
            checkSameTable(snapshot(copy), snapshot(twice), "a second dump and load");
            DeleteUVT(twice);
        }
    }
    DeleteUVT(copy);
    checkHostClean("dump and load");
}

}  // namespace uvt_fuzz
