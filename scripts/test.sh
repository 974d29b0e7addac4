#!/usr/bin/env bash
# Runs every test suite: installs what is missing and checks that every
# program the suites call is there, then configures, builds and tests the
# presets default, fuzz (each fuzz target for a short while; scripts/fuzz.sh
# runs them longer), linux-x86, windows-x86 and windows-x64 in
# build/<preset>, and once a plain Release build without presets
# (build/plain), as distributions build it; every compile goes through
# ccache. Says which suites ran and which
# were skipped, and ends with the line "N passed, M failed" (CTest tests; a
# suite that fails to configure or build counts as one failure). Exit status
# 0 only when nothing failed.
set -u
cd "$(dirname "$0")/.."
root=$(pwd)
started=$(date +%s)

passed=0
failed=0
report=()

elapsed() { echo "$(($(date +%s) - $1))s"; }
note() { report+=("$1"); }
banner() { printf '\n===== %s =====\n' "$1"; }

banner "setup"
setup_output=$(scripts/setup.sh --cross 2>&1)
echo "$setup_output"
wine32_line=$(grep '^wine32:' <<<"$setup_output" | tail -1)
note "setup: $(elapsed "$started")${wine32_line:+, $wine32_line}"

# A missing install step fails here, naming what is missing, rather than
# later as a configure or build error of some suite.
banner "check"
if ! scripts/setup.sh --check; then
    banner "summary"
    echo "setup: programs the tests need are missing (listed above as MISSING)"
    echo "total time: $(elapsed "$started")"
    echo "0 passed, 1 failed"
    exit 1
fi

# Every suite compiles through ccache, keyed on paths relative to the
# checkout, so that a run in a fresh clone compiles again only what changed
# since the last run on this machine. A cold cache costs a run a few
# percent; a warm one saves most of its time.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1

# Runs ctest with the given arguments and adds its counts to the totals.
run_ctest() {
    local suite=$1
    shift
    local out count_passed count_failed total
    out=$(mktemp)
    ctest "$@" 2>&1 | tee "$out"
    if total=$(grep -Eo 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$out" | tail -1) && [ -n "$total" ]; then
        count_failed=$(awk '{print $3}' <<<"$total")
        count_passed=$(( $(awk '{print $NF}' <<<"$total") - count_failed ))
    elif grep -q 'No tests were found' "$out"; then
        count_passed=0
        count_failed=1
        echo "$suite: ctest found no tests"
    else
        count_passed=0
        count_failed=1
        echo "$suite: ctest gave no result"
    fi
    rm -f "$out"
    passed=$((passed + count_passed))
    failed=$((failed + count_failed))
    suite_result="$count_passed passed, $count_failed failed"
}

# Configures one preset and builds it (only the given targets, if any);
# 1 when either step fails.
configure_and_build() {
    local preset=$1
    shift
    if ! cmake --preset "$preset"; then
        failed=$((failed + 1))
        note "$preset: FAILED to configure"
        return 1
    fi
    if ! cmake --build --preset "$preset" ${1:+--target "$@"}; then
        failed=$((failed + 1))
        note "$preset: FAILED to build"
        return 1
    fi
}

# Whether 32-bit Windows programs run under this Wine: a tiny one must say
# what it was asked to (a Wine without 32-bit support may print nothing and
# still exit with 0).
wine32_works() {
    local dir=$root/build/windows-x86/wine-probe
    mkdir -p "$dir"
    printf '#include <stdio.h>\nint main(void) { printf("wine probe %%d\\n", (int)(8 * sizeof(void*))); return 0; }\n' \
        >"$dir/probe.c"
    i686-w64-mingw32-gcc-posix -static "$dir/probe.c" -o "$dir/probe.exe" >/dev/null 2>&1 || return 1
    local said
    said=$(WINEPREFIX=$root/build/windows-x86/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        timeout 600 wine "$dir/probe.exe" 2>/dev/null </dev/null | tr -d '\r')
    [ "$said" = "wine probe 32" ]
}

stop_wine() {
    WINEPREFIX=$root/build/$1/wineprefix wineserver -k >/dev/null 2>&1 || true
}

for preset in default fuzz linux-x86 windows-x86 windows-x64; do
    banner "$preset"
    suite_started=$(date +%s)
    if [ "$preset" = windows-x86 ]; then
        if wine32_works; then wine32_ok=1; else wine32_ok=0; fi
        if [ $wine32_ok = 1 ]; then
            configure_and_build "$preset" || continue
        else
            # The test programs could not run: only the DLL, its import
            # library for Microsoft's linker and the example host (the
            # header as C99 for this target) are built.
            configure_and_build "$preset" uvt uvt_msvc_import_library uvt_example_host || continue
        fi
    else
        configure_and_build "$preset" || continue
    fi
    case $preset in
        windows-x86)
            if [ $wine32_ok = 1 ]; then
                run_ctest "$preset" --preset "$preset"
                note "$preset: ran every test under 32-bit Wine: $suite_result ($(elapsed "$suite_started"))"
            else
                echo "32-bit Wine cannot run programs here: only the checks of uvt.dll and uvt.lib run."
                run_ctest "$preset" --preset "$preset" --label-exclude wine
                note "$preset: built uvt.dll, uvt.lib and the example host; export-table and import-library tests only: $suite_result ($(elapsed "$suite_started"))"
                note "$preset: SKIPPED the test programs (not built, not run): 32-bit Wine cannot run programs here${wine32_line:+ ($wine32_line)}; the Windows tests ran on the 64-bit DLL under wine64 instead"
            fi
            stop_wine "$preset"
            ;;
        windows-x64)
            run_ctest "$preset" --preset "$preset"
            note "$preset: ran every test under wine64: $suite_result ($(elapsed "$suite_started"))"
            stop_wine "$preset"
            ;;
        fuzz)
            run_ctest "$preset" --preset "$preset"
            seconds=$(grep -Eo '^UVT_FUZZ_SECONDS:STRING=[0-9]+' "build/$preset/CMakeCache.txt" | cut -d= -f2)
            note "$preset: ran every fuzz target for ${seconds:-?}s: $suite_result ($(elapsed "$suite_started"))"
            ;;
        linux-x86)
            run_ctest "$preset" --preset "$preset"
            how="natively"
            grep -q '^UVT_QEMU_I386:FILEPATH=/' "build/$preset/CMakeCache.txt" 2>/dev/null && how="under qemu-i386"
            note "$preset: ran every test $how: $suite_result ($(elapsed "$suite_started"))"
            ;;
        *)
            run_ctest "$preset" --preset "$preset"
            note "$preset: ran every test: $suite_result ($(elapsed "$suite_started"))"
            ;;
    esac
done

# The plain build distributions and packagers run: no presets, so no
# warnings as errors, and an optimised build whose tests must pass as well.
banner "plain"
suite_started=$(date +%s)
if ! cmake -S . -B build/plain -DCMAKE_BUILD_TYPE=Release; then
    failed=$((failed + 1))
    note "plain: FAILED to configure"
elif ! cmake --build build/plain -j"$(nproc)"; then
    failed=$((failed + 1))
    note "plain: FAILED to build"
else
    run_ctest plain --test-dir build/plain -j"$(nproc)" --output-on-failure
    note "plain: Release build without presets, ran every test: $suite_result ($(elapsed "$suite_started"))"
fi

banner "summary"
for line in "${report[@]}"; do echo "$line"; done
echo "total time: $(elapsed "$started")"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
