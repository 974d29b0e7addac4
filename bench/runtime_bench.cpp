// Run-time access measured from outside, through the exports only, as a
// simulator's iteration loop uses it: every single-value write, read, label
// and handle operation on the last values of a table of V values, the
// Integer writes that do and do not change array sizes, binding, the
// symbol-size refresh and table replacement, and one bare call of the host's
// storeElement as the floor the single-value operations are held against.
//
// The table: N (Integer) sizes the Real array A, so A has V elements; M is
// an Integer that sizes nothing; R (Real, Input and Output) and C
// (Character, Output Only) come last in tree order. A second table holds an
// array of V structures, S, sized by NS, each element with the Reals P and
// F; its rows ("structure_...") reach P in the last element. The host keeps
// its three arrays as plain vectors and its memory in a flat table
// (FlatMemory), so that what grows with V is the library's work, not the
// host's.
//
// Rows are named "<operation>/<V>" and report "values", the number of values
// one call handles: 1, or V for binding, symbol sizes and replacement, whose
// cost scripts/bench.sh shows per value. The arrays a binding is given are
// made once per V, outside the measured calls.
#include "host_doubles.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using uvt_test::FlatMemory;

// ---------------------------------------------------------------------------
// The host: three work arrays that storeElement fills, as a simulator's are.
// ---------------------------------------------------------------------------
struct WorkArrays {
    std::vector<int32_t> integers;
    std::vector<double> reals;
    std::vector<std::array<char, 32>> texts;
};
WorkArrays work;

int32_t UVT_HOSTCALL querySize(int32_t*, int32_t) { return 1; }

const char* UVT_HOSTCALL resizeArray(int32_t*, int32_t array, int32_t count) {
    const auto n = static_cast<std::size_t>(count < 0 ? 0 : count);
    if (array == 0) work.integers.resize(n);
    else if (array == 1) work.reals.resize(n);
    else if (array == 2) work.texts.resize(n);
    return nullptr;
}

const char* UVT_HOSTCALL storeElement(int32_t*, int32_t array, int32_t element, const void* value) {
    const auto j = static_cast<std::size_t>(element);
    if (array == 0 && j < work.integers.size()) {
        work.integers[j] = value == nullptr ? 0 : *static_cast<const int32_t*>(value);
    } else if (array == 1 && j < work.reals.size()) {
        work.reals[j] = value == nullptr ? 0.0 : *static_cast<const double*>(value);
    } else if (array == 2 && j < work.texts.size()) {
        std::snprintf(work.texts[j].data(), work.texts[j].size(), "%s",
                      value == nullptr ? "" : static_cast<const char*>(value));
    }
    return nullptr;
}

void UVT_HOSTCALL releaseEvent() {}
void UVT_HOSTCALL replaceEvent(int32_t) {}

const UvtSymsizeRoutines kSymsize = {&querySize, &resizeArray, &storeElement};
const UvtEventRoutines kEvents = {&releaseEvent, &replaceEvent};

// ---------------------------------------------------------------------------
// One bound table of V values, kept from one benchmark to the next of the
// same V.
// ---------------------------------------------------------------------------
struct Session {
    int32_t values = 0;  // elements of A, and of S
    uintptr_t table = 0;
    uintptr_t n = 0, m = 0, array = 0, lastElement = 0, r = 0, c = 0;
    int32_t lastElementRow = 0;  // input row of A's last element
    std::string lastElementPath;
    std::vector<double> reals;  // what a binding gives the Reals
    uintptr_t structures = 0;   // the table of the array of structures S
    std::string lastMemberPath;  // "S(V).P"
};
Session session;

void fail(const char* what) {
    std::fprintf(stderr, "runtime_bench: %s\n", what);
    std::abort();
}

uintptr_t makeTable(const std::vector<uvt_test::RowSpec>& rows) {
    const uintptr_t table = CreateUVT(nullptr);
    for (const auto& row : rows) {
        if (!uvt_test::tryAppendRow(table, row).empty()) fail("the table is refused");
    }
    return table;
}

uintptr_t makeDefinition() {
    return makeTable({
        {"N", "Integer"},
        {"M", "Integer"},
        {"A", "Real", "N"},
        {"R", "Real", "Scalar", "0", "Input and Output"},
        {"C", "Character", "Scalar", "0", "Output Only"},
    });
}

uintptr_t makeStructureDefinition() {
    return makeTable({
        {"NS", "Integer"},
        {"S", "Structure", "NS"},
        {"P", "Real", "Scalar", "1"},
        {"F", "Real", "Scalar", "1"},
    });
}

uintptr_t handleByName(const char* path) {
    uintptr_t handle = 0;
    if (rtmHandleByName(session.table, path, &handle) != nullptr || handle == 0) fail(path);
    return handle;
}

// Binds a table whose first Integer sizes its array to `values` elements;
// every Real starts as s.reals holds (one per value of either table).
void bind(uintptr_t table, const Session& s) {
    const int32_t integers[] = {s.values, 7};
    rtmAttachArrays(table, integers, s.reals.data());
}

void openSession(int32_t values) {
    if (session.table != 0 && session.values == values) return;
    if (session.table != 0) DeleteUVT(session.table);
    if (session.structures != 0) DeleteUVT(session.structures);
    session = Session{};
    session.values = values;
    session.reals.assign(2 * static_cast<std::size_t>(values) + 1, 1.25);
    session.table = makeDefinition();
    bind(session.table, session);
    if (rtmGetLimit(session.table, 1) != values + 1) fail("A is not laid out");
    session.structures = makeStructureDefinition();
    bind(session.structures, session);
    if (rtmGetLimit(session.structures, 1) != 2 * values) fail("S is not laid out");
    session.n = handleByName("N");
    session.m = handleByName("M");
    session.array = handleByName("A");
    char path[24];
    std::snprintf(path, sizeof path, "A(%d)", static_cast<int>(values));
    session.lastElementPath = path;
    session.lastElement = handleByName(session.lastElementPath.c_str());
    session.r = handleByName("R");
    session.c = handleByName("C");
    session.lastElementRow = values + 1;  // N, M, then A(1) .. A(V)
    std::snprintf(path, sizeof path, "S(%d).P", static_cast<int>(values));
    session.lastMemberPath = path;
}

using Operation = std::function<void(benchmark::State&, Session&)>;

struct Entry {
    const char* name;
    Operation run;
};

void expectNull(const char* answer) {
    if (answer != nullptr) fail(answer);
}

// Writes the Integer `sizing` of `table`, which sizes an array of V
// elements, V + 1 and V in turn, and leaves it at V.
void changeSizeByOne(benchmark::State& state, const Session& s, uintptr_t table, uintptr_t sizing) {
    int32_t value = s.values;
    for (auto _ : state) {
        value = value == s.values ? s.values + 1 : s.values;
        expectNull(rtmSetValueByHandle(table, sizing, &value));
    }
    if (value != s.values) {
        value = s.values;
        expectNull(rtmSetValueByHandle(table, sizing, &value));
    }
}

// ---------------------------------------------------------------------------
// The operations.
// ---------------------------------------------------------------------------
const std::vector<Entry>& operations() {
    static const std::vector<Entry> entries = {
        {"floor_storeElement",
         [](benchmark::State& state, Session&) {
             auto* volatile routine = &storeElement;
             double value = 2.5;
             int32_t element = 0;
             for (auto _ : state) {
                 value += 1.0;
                 benchmark::DoNotOptimize(routine(nullptr, 1, element, &value));
                 element = element == 7 ? 0 : element + 1;
             }
         }},
        // Writes.
        {"real_by_place_last_scalar",
         [](benchmark::State& state, Session& s) {
             double value = 0;
             for (auto _ : state) {
                 value += 1.0;
                 expectNull(rtmSetValue(s.table, 1, s.values, &value));
             }
         }},
        {"real_by_place_last_element",
         [](benchmark::State& state, Session& s) {
             double value = 0;
             for (auto _ : state) {
                 value += 1.0;
                 expectNull(rtmSetValue(s.table, 1, s.values - 1, &value));
             }
         }},
        {"real_by_row_last_element",
         [](benchmark::State& state, Session& s) {
             double value = 0;
             for (auto _ : state) {
                 value += 1.0;
                 expectNull(rtmSetValueByRow(s.table, s.lastElementRow, &value, 0));
             }
         }},
        {"real_by_handle_last_element",
         [](benchmark::State& state, Session& s) {
             double value = 0;
             for (auto _ : state) {
                 value += 1.0;
                 expectNull(rtmSetValueByHandle(s.table, s.lastElement, &value));
             }
         }},
        {"real_by_name_last_element",
         [](benchmark::State& state, Session& s) {
             double value = 0;
             const int32_t indexes[] = {s.values - 1};
             for (auto _ : state) {
                 value += 1.0;
                 expectNull(rtmSetVarValueByName(s.table, "A", indexes, &value));
             }
         }},
        {"real_by_name_one_based_last_element",
         [](benchmark::State& state, Session& s) {
             double value = 0;
             const int32_t indexes[] = {s.values};
             for (auto _ : state) {
                 value += 1.0;
                 expectNull(rtmOne_BasedSetVarValueByName(s.table, "A", indexes, &value));
             }
         }},
        {"character_by_handle",
         [](benchmark::State& state, Session& s) {
             bool flip = false;
             for (auto _ : state) {
                 flip = !flip;
                 expectNull(rtmSetValueByHandle(s.table, s.c, flip ? "AB" : "CD"));
             }
         }},
        {"integer_no_size_change",
         [](benchmark::State& state, Session& s) {
             int32_t value = 0;
             for (auto _ : state) {
                 ++value;
                 expectNull(rtmSetValueByHandle(s.table, s.m, &value));
             }
         }},
        {"integer_same_size",
         [](benchmark::State& state, Session& s) {
             const int32_t value = s.values;
             for (auto _ : state) expectNull(rtmSetValueByHandle(s.table, s.n, &value));
         }},
        {"integer_size_change_by_one",
         [](benchmark::State& state, Session& s) {
             changeSizeByOne(state, s, s.table, s.n);
             s.lastElement = handleByName(s.lastElementPath.c_str());
         }},
        // Reads.
        {"value_by_row_last_element",
         [](benchmark::State& state, Session& s) {
             void* value = nullptr;
             for (auto _ : state) expectNull(rtmGetValueByRow(s.table, s.lastElementRow, &value, 0));
         }},
        {"type_by_row_last_element",
         [](benchmark::State& state, Session& s) {
             int32_t type = 0;
             for (auto _ : state) expectNull(rtmGetTypeByRow(s.table, s.lastElementRow, &type, 0));
         }},
        {"element_by_row_last_element",
         [](benchmark::State& state, Session& s) {
             int32_t element = 0;
             for (auto _ : state) expectNull(rtmGetElementByRow(s.table, s.lastElementRow, 0, &element));
         }},
        {"value_by_handle_last_element",
         [](benchmark::State& state, Session& s) {
             void* value = nullptr;
             for (auto _ : state) expectNull(rtmGetValueByHandle(s.table, s.lastElement, &value));
         }},
        {"type_by_handle_last_element",
         [](benchmark::State& state, Session& s) {
             int32_t type = 0;
             for (auto _ : state) expectNull(rtmGetTypeByHandle(s.table, s.lastElement, &type));
         }},
        {"element_by_handle_last_element",
         [](benchmark::State& state, Session& s) {
             int32_t element = 0;
             for (auto _ : state) expectNull(rtmGetElementByHandle(s.table, s.lastElement, -1, &element));
         }},
        {"value_by_name_last_element",
         [](benchmark::State& state, Session& s) {
             const int32_t indexes[] = {s.values - 1};
             int32_t type = 0;
             void* value = nullptr;
             for (auto _ : state) expectNull(rtmGetVarValueByName(s.table, "A", indexes, &value, &type));
         }},
        {"value_by_name_one_based_last_element",
         [](benchmark::State& state, Session& s) {
             const int32_t indexes[] = {s.values};
             int32_t type = 0;
             void* value = nullptr;
             for (auto _ : state) expectNull(rtmOne_BasedGetVarValueByName(s.table, "A", indexes, &value, &type));
         }},
        {"location_by_name_last_element",
         [](benchmark::State& state, Session& s) {
             const int32_t indexes[] = {s.values - 1};
             int32_t type = 0;
             int32_t place = 0;
             for (auto _ : state) expectNull(rtmGetVarLocationByName(s.table, "A", indexes, &place, &type));
         }},
        {"location_by_name_last_scalar",
         [](benchmark::State& state, Session& s) {
             const int32_t indexes[] = {0};
             int32_t type = 0;
             int32_t place = 0;
             for (auto _ : state) expectNull(rtmGetVarLocationByName(s.table, "C", indexes, &place, &type));
         }},
        {"value_by_name_last_scalar",
         [](benchmark::State& state, Session& s) {
             const int32_t indexes[] = {0};
             int32_t type = 0;
             void* value = nullptr;
             for (auto _ : state) expectNull(rtmGetVarValueByName(s.table, "R", indexes, &value, &type));
         }},
        {"array_length",
         [](benchmark::State& state, Session& s) {
             for (auto _ : state) {
                 if (rtmArrayLength(s.table, "A", nullptr) != s.values) fail("array length");
             }
         }},
        // Labels.
        {"label_by_row_last_element",
         [](benchmark::State& state, Session& s) {
             char label[64];
             for (auto _ : state) expectNull(rtmGetLabelByRow(s.table, s.lastElementRow, 0, label, 64));
         }},
        {"label_by_handle_last_element",
         [](benchmark::State& state, Session& s) {
             char label[512];
             for (auto _ : state) expectNull(rtmGetLabelByHandle(s.table, s.lastElement, label, 0));
         }},
        {"label_by_place_last_element",
         [](benchmark::State& state, Session& s) {
             char label[64];
             int32_t io = 0;
             for (auto _ : state) {
                 if (rtmGetLabel(s.table, 1, s.values - 1, &io, label, 64) == nullptr) fail("label by place");
             }
         }},
        // Handles.
        {"handle_by_row_last_element",
         [](benchmark::State& state, Session& s) {
             uintptr_t handle = 0;
             for (auto _ : state) expectNull(rtmHandleByRow(s.table, s.lastElementRow, 0, &handle));
         }},
        {"handle_by_name_last_element",
         [](benchmark::State& state, Session& s) {
             uintptr_t handle = 0;
             for (auto _ : state) expectNull(rtmHandleByName(s.table, s.lastElementPath.c_str(), &handle));
         }},
        {"first_handle_output_only",
         [](benchmark::State& state, Session& s) {
             uintptr_t handle = 0;
             for (auto _ : state) expectNull(rtmGetFirstHandle(s.table, 3, &handle));
         }},
        {"is_handle_valid",
         [](benchmark::State& state, Session& s) {
             for (auto _ : state) benchmark::DoNotOptimize(rtmIsHandleValid(s.table, s.lastElement));
         }},
        // A member of the last element of the array of structures S.
        {"structure_real_by_name_last_element",
         [](benchmark::State& state, Session& s) {
             double value = 0;
             const int32_t indexes[] = {s.values - 1};
             for (auto _ : state) {
                 value += 1.0;
                 expectNull(rtmSetVarValueByName(s.structures, "P", indexes, &value));
             }
         }},
        {"structure_value_by_name_last_element",
         [](benchmark::State& state, Session& s) {
             const int32_t indexes[] = {s.values - 1};
             int32_t type = 0;
             void* value = nullptr;
             for (auto _ : state) expectNull(rtmGetVarValueByName(s.structures, "P", indexes, &value, &type));
         }},
        {"structure_location_by_name_last_element",
         [](benchmark::State& state, Session& s) {
             const int32_t indexes[] = {s.values - 1};
             int32_t type = 0;
             int32_t place = 0;
             for (auto _ : state) expectNull(rtmGetVarLocationByName(s.structures, "P", indexes, &place, &type));
         }},
        {"structure_handle_by_name_last_element",
         [](benchmark::State& state, Session& s) {
             uintptr_t handle = 0;
             for (auto _ : state) expectNull(rtmHandleByName(s.structures, s.lastMemberPath.c_str(), &handle));
         }},
        {"structure_array_length",
         [](benchmark::State& state, Session& s) {
             for (auto _ : state) {
                 if (rtmArrayLength(s.structures, "S", nullptr) != s.values) fail("structure array length");
             }
         }},
        // NS gains and loses the last element of S, a group of two Reals.
        {"structure_size_change_by_one",
         [](benchmark::State& state, Session& s) {
             uintptr_t ns = 0;
             if (rtmHandleByName(s.structures, "NS", &ns) != nullptr || ns == 0) fail("NS");
             changeSizeByOne(state, s, s.structures, ns);
         }},
    };
    return entries;
}

// rtmGetNextHandle from N (the first value) with every filter, and from the
// array A (past its whole subtree).
void nextHandle(benchmark::State& state, Session& s, uintptr_t from, int32_t filter) {
    uintptr_t handle = 0;
    for (auto _ : state) expectNull(rtmGetNextHandle(s.table, from, filter, &handle));
}

// Whole-table operations, reported per value as well.
void bindCost(benchmark::State& state, Session& s) {
    for (auto _ : state) bind(s.table, s);
    state.counters["values"] = s.values;
    s.lastElement = handleByName(s.lastElementPath.c_str());
    s.n = handleByName("N");
    s.m = handleByName("M");
    s.array = handleByName("A");
    s.r = handleByName("R");
    s.c = handleByName("C");
}

void symSizeCost(benchmark::State& state, Session& s) {
    for (auto _ : state) rtmSetSymSize(s.table, 0);
    state.counters["values"] = s.values;
}

void replacementCost(benchmark::State& state, Session& s) {
    for (auto _ : state) {
        state.PauseTiming();
        const uintptr_t source = makeDefinition();
        state.ResumeTiming();
        rtmReplaceTable(s.table, source);
    }
    state.counters["values"] = s.values;
}

void registerAll() {
    const int32_t sizes[] = {1000, 10000, 100000, 1000000};
    for (const int32_t values : sizes) {
        auto add = [&](const char* name, std::function<void(benchmark::State&, Session&)> run) {
            char fullName[80];
            std::snprintf(fullName, sizeof fullName, "%s/%d", name, static_cast<int>(values));
            benchmark::RegisterBenchmark(fullName, [values, run](benchmark::State& state) {
                openSession(values);
                run(state, session);
                // Every row carries the counter (the CSV report wants the
                // same columns in each); a single-value operation handles one.
                if (state.counters.find("values") == state.counters.end()) state.counters["values"] = 1;
            });
        };
        for (const Entry& entry : operations()) add(entry.name, entry.run);
        for (int32_t filter = -1; filter <= 4; ++filter) {
            char name[48];
            std::snprintf(name, sizeof name, "next_handle_from_first_filter_%s",
                          filter < 0 ? "any" : std::to_string(filter).c_str());
            add(name, [filter](benchmark::State& state, Session& s) { nextHandle(state, s, s.n, filter); });
        }
        add("next_handle_past_array", [](benchmark::State& state, Session& s) { nextHandle(state, s, s.array, -1); });
        add("bind", bindCost);
        add("set_sym_size", symSizeCost);
        add("replace_table", replacementCost);
    }
}

}  // namespace

int main(int argc, char** argv) {
    uvt_test::installFlatHost(kSymsize, kEvents);
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (session.table != 0) DeleteUVT(session.table);
    if (session.structures != 0) DeleteUVT(session.structures);
    return 0;
}
