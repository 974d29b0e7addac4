#!/usr/bin/env bash
# Builds the optimised preset and runs every benchmark program of bench/
# (build/release/bin/uvt_*_bench), then prints, per program, a table of ns
# per call at each size and the ratio of the largest size to the smallest.
# Whole-table operations that report "values", "rows" or "components" are
# shown per value, per row or per component. Each benchmark runs
# UVT_BENCH_REPETITIONS times (5 unless told); the table shows the median of
# the CPU times and, in its last column, the largest coefficient of
# variation of a row's sizes, the noise.
#   scripts/bench.sh [extra Google Benchmark arguments, e.g. --benchmark_filter=real]
set -euo pipefail
cd "$(dirname "$0")/.."
export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
cmake --preset release >/dev/null
cmake --build --preset release -j2 >/dev/null
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
shopt -s nullglob
programs=(build/release/bin/uvt_*_bench)
if [ ${#programs[@]} -eq 0 ]; then
  echo "no benchmark programs were built (is libbenchmark-dev installed?)" >&2
  exit 1
fi
for program in "${programs[@]}"; do
  name="$(basename "$program")"
  "$program" --benchmark_min_time="${UVT_BENCH_MIN_TIME:-0.2}" \
    --benchmark_repetitions="${UVT_BENCH_REPETITIONS:-5}" --benchmark_report_aggregates_only=true \
    --benchmark_format=json "$@" >"$out/$name.json"
  # A filter may leave a program nothing to run.
  [ -s "$out/$name.json" ] || continue
  python3 - "$out/$name.json" "$name" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
rows, sizes, noise = {}, set(), {}
# With repetitions the medians (and coefficients of variation) stand for the
# runs; a single run is taken as it is.
aggregated = any(b.get("run_type") == "aggregate" for b in data["benchmarks"])
cvs = {b["run_name"]: b for b in data["benchmarks"] if b.get("aggregate_name") == "cv"}
for b in data["benchmarks"]:
    if aggregated and b.get("aggregate_name") != "median":
        continue
    # "op/1000", or "op/case/1000" for a benchmark with named cases; the
    # size is the numeric part, any "key:value" part is a run setting.
    parts = [p for p in b.get("run_name", b["name"]).split("/") if ":" not in p]
    numbers = [p for p in parts if p.isdigit()]
    size = int(numbers[-1]) if numbers else 0
    op = "/".join(p for p in parts if not p.isdigit())
    ns = b["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
    for unit in ("values", "rows", "components"):
        if b.get(unit, 1) > 1:
            ns /= b[unit]
            op += " (per %s)" % unit[:-1]
            break
    rows.setdefault(op, {})[size] = ns
    sizes.add(size)
    cv = cvs.get(b.get("run_name"))
    if cv is not None:
        noise[op] = max(noise.get(op, 0.0), 100.0 * cv["cpu_time"])
sizes = sorted(sizes)
def label(v):
    return "1e%d" % (len(str(v)) - 1) if str(v).strip("0") == "1" else str(v)
print("## %s (ns per call)" % sys.argv[2])
print()
noiseHead = " max CV % |" if noise else ""
print("| operation | " + " | ".join("V = " + label(s) for s in sizes) + " | %s / %s |" % (label(sizes[-1]), label(sizes[0])) + noiseHead)
print("|---|" + "---:|" * (len(sizes) + 1 + (1 if noise else 0)))
for op, by in rows.items():
    cells = ["{:,.1f}".format(by[s]) if s in by else "" for s in sizes]
    ratio = by[sizes[-1]] / by[sizes[0]] if sizes[0] in by and sizes[-1] in by and by[sizes[0]] > 0 else float("nan")
    extra = " %.1f |" % noise.get(op, float("nan")) if noise else ""
    print("| %s | %s | %.2f |" % (op, " | ".join(cells), ratio) + extra)
print()
PY
done
