#!/usr/bin/env bash
# Runs the fuzz targets for longer than the normal test run does.
#   scripts/fuzz.sh [--time SECONDS] [--runs N] [--jobs J] [TARGET...]
# TARGET is one of fortran_reader, saved_state, text_form, runtime_lookup,
# session (default: all). Each runs until SECONDS have passed (default 1800)
# or N inputs were tried, whichever comes first, J targets at a time
# (default: the number of processors). The corpus grows in
# build/fuzz/corpus/<target>; findings land in build/fuzz/artifacts and
# make the script fail. Ends with one line per target: executions, time
# and result.
set -u
cd "$(dirname "$0")/.."

seconds=1800
runs=-1
jobs=$(nproc)
targets=()
while [ $# -gt 0 ]; do
    case $1 in
        --time) seconds=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --jobs) jobs=$2; shift 2 ;;
        -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) targets+=("$1"); shift ;;
    esac
done
[ ${#targets[@]} = 0 ] && targets=(fortran_reader saved_state text_form runtime_lookup session)

scripts/setup.sh >/dev/null
cmake --preset fuzz >/dev/null && cmake --build --preset fuzz || exit 1

out=build/fuzz
mkdir -p "$out/artifacts" "$out/logs"
run_target() {
    local name=$1
    mkdir -p "$out/corpus/$name"
    "$out/bin/${name}_fuzzer" -max_total_time="$seconds" -runs="$runs" -timeout=30 -rss_limit_mb=2560 \
        -print_final_stats=1 -artifact_prefix="$out/artifacts/$name-" \
        "$out/corpus/$name" "tests/fuzz/corpus/$name" >"$out/logs/$name.log" 2>&1
    echo $? >"$out/logs/$name.status"
}

for name in "${targets[@]}"; do
    [ -x "$out/bin/${name}_fuzzer" ] || { echo "no fuzz target $name" >&2; exit 2; }
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
    echo "fuzzing $name"
    run_target "$name" &
done
wait

failed=0
for name in "${targets[@]}"; do
    log=$out/logs/$name.log
    executions=$(grep -Eo 'stat::number_of_executed_units: [0-9]+' "$log" | awk '{print $2}')
    took=$(grep -Eo 'Done [0-9]+ runs in [0-9]+ second' "$log" | awk '{print $5}')
    if [ "$(cat "$out/logs/$name.status")" = 0 ]; then
        result="no finding"
    else
        result="FINDING (see $log)"
        failed=1
    fi
    printf '%-15s %12s executions in %6ss: %s\n' "$name" "${executions:-?}" "${took:-?}" "$result"
done
exit $failed
