// "uvt layout examples/mixer.f --components N" at N = 1e3 to 1e6, through
// the code the program runs: the commands of uvt_tool_core, the library
// they hold and the tool's host routines with the default memory budget,
// the standard output discarded. Reported per component ("components"), so
// a flat column means linear cost. The sanitizer build's smoke test stops
// at 1e5, which takes it long enough.
#include "commands.h"
#include "discarded_output.h"
#include "memory_budget.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

namespace {

using namespace uvt_tool;

#ifdef NDEBUG
constexpr int64_t kMostComponents = 1000000;
#else
constexpr int64_t kMostComponents = 100000;
#endif

void layout(benchmark::State& state) {
    installMemoryBudget(kDefaultMemoryBudget);
    LayoutOptions options;
    options.hostCounts[-2] = static_cast<int32_t>(state.range(0));  // Number of Components
    const std::string mixer = std::string(UVT_EXAMPLES) + "/mixer.f";
    DiscardedOutput discarded;
    for (auto _ : state) {
        if (runLayout(mixer, std::nullopt, options) != kDone) {
            state.SkipWithError("layout did not finish cleanly");
            break;
        }
    }
    state.counters["components"] = static_cast<double>(state.range(0));
}
BENCHMARK(layout)->RangeMultiplier(10)->Range(1000, kMostComponents)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
