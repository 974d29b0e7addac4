// Reading a table back and writing it out, at 1,000, 4,000 and 16,000 rows:
// restore from both sources, FORTRAN load and import, and beside them the
// paths that were linear already (save, the text form both ways, the FORTRAN
// dump, the whole-table check). Each reports its time per row ("per_row"),
// so a flat column across the sizes means linear cost.
#include "host_doubles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace uvt_test;

constexpr int64_t kSmall = 1000;
constexpr int64_t kMedium = 4000;
constexpr int64_t kLarge = 16000;

// A table as a user builds it: mostly Real scalars, every tenth row an
// Integer count that the rows after it take their size from, and a
// structure with nested rows now and then, so that the name, dimension
// and parent lookups all have work.
struct BenchRow {
    std::string name;
    int32_t type;
    int32_t dimension;  // a code below 0, or the row number of a count row
    int32_t depth;
    int32_t io;
};

std::vector<BenchRow> benchRows(int64_t count) {
    std::vector<BenchRow> rows;
    int32_t lastCount = -1;
    int32_t depth = 0;
    for (int64_t i = 0; i < count; ++i) {
        std::string name = "V";
        name += std::to_string(i);
        BenchRow row{name, 1, -1, depth, 1 + static_cast<int32_t>(i % 3)};
        if (i % 10 == 0) {
            row.type = 0;
            row.depth = 0;
            lastCount = static_cast<int32_t>(i);
            depth = 0;
        } else if (i % 50 == 5) {
            row.type = 3;
            row.depth = 0;
            depth = 1;
        } else if (lastCount >= 0 && i % 3 == 0) {
            row.dimension = lastCount;
        }
        rows.push_back(row);
    }
    return rows;
}

std::string savedState(const std::vector<BenchRow>& rows) {
    std::string text = std::to_string(rows.size()) + "$7#1700000000#5$BENCH";
    for (const BenchRow& row : rows) {
        text += std::to_string(row.name.size()) + "$" + row.name + std::to_string(row.type) + "$" +
                std::to_string(row.dimension) + "$" + std::to_string(row.depth) + "$" + std::to_string(row.io) +
                "$";
    }
    return text;
}

// The host's memory as plain process memory, with room to grow: a block
// keeps its capacity in front of it and a reallocate within it is free, one
// beyond it doubles the capacity. A row array that grows by one slot per
// inserted row then costs the host amortised constant time, so the figures
// are the library's own cost, not that of a host copying the array on every
// insertion.
struct BenchBlock {
    std::size_t capacity;
    alignas(std::max_align_t) unsigned char data[1];
};

uintptr_t blockWith(std::size_t capacity) {
    auto* block = static_cast<BenchBlock*>(std::malloc(offsetof(BenchBlock, data) + capacity));
    if (block == nullptr) return 0;
    block->capacity = capacity;
    return reinterpret_cast<uintptr_t>(block->data);
}
BenchBlock* blockOf(uintptr_t handle) {
    return reinterpret_cast<BenchBlock*>(reinterpret_cast<unsigned char*>(handle) - offsetof(BenchBlock, data));
}

uintptr_t UVT_HOSTCALL benchAllocate(int32_t size) { return blockWith(static_cast<std::size_t>(size > 0 ? size : 1)); }
void UVT_HOSTCALL benchRelease(uintptr_t handle, int32_t) {
    if (handle != 0) std::free(blockOf(handle));
}
void* UVT_HOSTCALL benchResolve(uintptr_t handle) { return reinterpret_cast<void*>(handle); }
uintptr_t UVT_HOSTCALL benchReallocate(uintptr_t handle, int32_t oldSize, int32_t newSize) {
    const auto wanted = static_cast<std::size_t>(newSize > 0 ? newSize : 1);
    if (handle != 0 && wanted <= blockOf(handle)->capacity) return handle;
    const std::size_t grown = handle == 0 ? wanted : std::max(wanted, 2 * blockOf(handle)->capacity);
    const uintptr_t fresh = blockWith(grown);
    if (fresh == 0) return 0;
    if (handle != 0) {
        std::memcpy(reinterpret_cast<void*>(fresh), reinterpret_cast<void*>(handle),
                    static_cast<std::size_t>(std::min(oldSize, newSize)));
        benchRelease(handle, oldSize);
    }
    return fresh;
}

void installBenchHost() {
    static const UvtMemoryRoutines kMemory = {&benchAllocate, &benchRelease, &benchResolve, &benchReallocate};
    SetExtRoutines(&kMemory);
}

void setPerRow(benchmark::State& state, int64_t rows) {
    state.counters["rows"] = static_cast<double>(rows);  // scripts/bench.sh divides by it
    state.counters["per_row"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
}

// A built table, restored once through the exports with its own host.
class BuiltTable {
public:
    explicit BuiltTable(int64_t rows) {
        installBenchHost();
        table_ = CreateUVT(nullptr);
        UVTSetConfigInterface(table_, config_.object());
        config_.primary = savedState(benchRows(rows));
        UVTRestore(table_);
    }
    ~BuiltTable() {
        DeleteUVT(table_);
    }
    BuiltTable(const BuiltTable&) = delete;
    BuiltTable& operator=(const BuiltTable&) = delete;

    uintptr_t table() const { return table_; }
    ConfigObject& config() { return config_; }

private:
    ConfigObject config_;
    uintptr_t table_ = 0;
};

std::unique_ptr<Bstr> pathText(const std::filesystem::path& file) {
    return std::make_unique<Bstr>(file.u16string());
}

std::filesystem::path benchFile(const char* stem, int64_t rows) {
    return std::filesystem::temp_directory_path() /
           ("uvt_rebuild_bench_" + std::string(stem) + "_" + std::to_string(rows) + ".f");
}

void writeFortran(const std::filesystem::path& file, int64_t rows) {
    BuiltTable built(rows);
    dfnDumpFORTRAN(built.table(), pathText(file)->variant());
}

// From the primary source or from the second one.
void BM_Restore(benchmark::State& state, bool second) {
    const int64_t rows = state.range(0);
    const std::string text = savedState(benchRows(rows));
    installBenchHost();
    for (auto _ : state) {
        ConfigObject config;
        (second ? config.second : config.primary) = text;
        const uintptr_t table = CreateUVT(nullptr);
        UVTSetConfigInterface(table, config.object());
        benchmark::DoNotOptimize(second ? UVTRestoreRB(table) : UVTRestore(table));
        DeleteUVT(table);
    }
    setPerRow(state, rows);
}

// A FORTRAN table function read into a new table: loaded whole
// (dfnLoadFromFORTRAN), or imported into an empty table (dfnImportFortran).
void BM_ReadFortran(benchmark::State& state, bool import) {
    const int64_t rows = state.range(0);
    const std::filesystem::path file = benchFile(import ? "import" : "load", rows);
    writeFortran(file, rows);
    installBenchHost();
    const std::unique_ptr<Bstr> path = pathText(file);
    const VARIANT argument = path->variant();
    for (auto _ : state) {
        uintptr_t table = 0;
        if (import) {
            table = CreateUVT(nullptr);
            dfnImportFortran(table, argument);
        } else {
            table = dfnLoadFromFORTRAN(argument);
        }
        benchmark::DoNotOptimize(table);
        DeleteUVT(table);
    }
    std::filesystem::remove(file);
    setPerRow(state, rows);
}

void BM_Save(benchmark::State& state) {
    const int64_t rows = state.range(0);
    BuiltTable built(rows);
    for (auto _ : state) {
        built.config().clearSaves();
        benchmark::DoNotOptimize(UVTSave(built.table()));
    }
    setPerRow(state, rows);
}

std::size_t sunkLines = 0;
void UVT_HOSTCALL countLine(const char* line) { sunkLines += std::strlen(line) > 0 ? 1 : 0; }

void BM_ToText(benchmark::State& state) {
    const int64_t rows = state.range(0);
    BuiltTable built(rows);
    for (auto _ : state) {
        UVTToText(built.table(), countLine);
        benchmark::DoNotOptimize(sunkLines);
    }
    setPerRow(state, rows);
}

// The text form's tokens, served again and again from the start.
struct Tokens {
    std::vector<std::string> texts;
    std::vector<int32_t> numbers;
    std::vector<int32_t> kinds;
    std::size_t next = 0, nextText = 0, nextNumber = 0;
};
Tokens* servedTokens = nullptr;

int32_t UVT_HOSTCALL serveToken(int32_t kind, void* destination) {
    Tokens& tokens = *servedTokens;
    if (tokens.next >= tokens.kinds.size() || tokens.kinds[tokens.next] != kind) return 0;
    ++tokens.next;
    if (kind == 0) {
        const std::string& text = tokens.texts[tokens.nextText++];
        std::memcpy(destination, text.c_str(), text.size() + 1);
    } else {
        *static_cast<int32_t*>(destination) = tokens.numbers[tokens.nextNumber++];
    }
    return 1;
}

void BM_FromText(benchmark::State& state) {
    const int64_t rows = state.range(0);
    Tokens tokens;
    const auto text = [&](const std::string& value) {
        tokens.kinds.push_back(0);
        tokens.texts.push_back(value);
    };
    const auto number = [&](int32_t value) {
        tokens.kinds.push_back(1);
        tokens.numbers.push_back(value);
    };
    text("BENCH");
    number(1700000000);
    number(static_cast<int32_t>(rows));
    const std::vector<BenchRow> tableRows = benchRows(rows);
    for (std::size_t i = 0; i < tableRows.size(); ++i) {
        number(static_cast<int32_t>(i));
        text(tableRows[i].name);
        number(tableRows[i].type);
        number(tableRows[i].dimension);
        number(tableRows[i].depth);
        number(tableRows[i].io);
        number(-50);
    }
    installBenchHost();
    servedTokens = &tokens;
    const uintptr_t table = CreateUVT(nullptr);
    for (auto _ : state) {
        tokens.next = tokens.nextText = tokens.nextNumber = 0;
        benchmark::DoNotOptimize(UVTFromText(table, serveToken));
    }
    DeleteUVT(table);
    servedTokens = nullptr;
    setPerRow(state, rows);
}

void BM_DumpFortran(benchmark::State& state) {
    const int64_t rows = state.range(0);
    BuiltTable built(rows);
    const std::filesystem::path file = benchFile("dump", rows);
    const std::unique_ptr<Bstr> path = pathText(file);
    const VARIANT argument = path->variant();
    for (auto _ : state) benchmark::DoNotOptimize(dfnDumpFORTRAN(built.table(), argument));
    std::filesystem::remove(file);
    setPerRow(state, rows);
}

void BM_IsComplete(benchmark::State& state) {
    const int64_t rows = state.range(0);
    BuiltTable built(rows);
    for (auto _ : state) {
        VARIANT answer = dfnIsComplete(built.table());
        VariantClear(&answer);
    }
    setPerRow(state, rows);
}

#define UVT_REBUILD_SIZES Arg(kSmall)->Arg(kMedium)->Arg(kLarge)->Unit(benchmark::kMillisecond)
BENCHMARK_CAPTURE(BM_Restore, primary, false)->UVT_REBUILD_SIZES;
BENCHMARK_CAPTURE(BM_Restore, second, true)->UVT_REBUILD_SIZES;
BENCHMARK_CAPTURE(BM_ReadFortran, load, false)->UVT_REBUILD_SIZES;
BENCHMARK_CAPTURE(BM_ReadFortran, import, true)->UVT_REBUILD_SIZES;
BENCHMARK(BM_Save)->UVT_REBUILD_SIZES;
BENCHMARK(BM_ToText)->UVT_REBUILD_SIZES;
BENCHMARK(BM_FromText)->UVT_REBUILD_SIZES;
BENCHMARK(BM_DumpFortran)->UVT_REBUILD_SIZES;
BENCHMARK(BM_IsComplete)->UVT_REBUILD_SIZES;

}  // namespace

BENCHMARK_MAIN();
