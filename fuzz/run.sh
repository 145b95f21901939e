#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz and runs each for a bounded
# time over its seed corpus; prints executions and crashes per target.
# FUZZ_SECONDS (default 60) bounds every target; FUZZ_TARGETS picks some.
# --long: a campaign outside CI, one process per target in turn, each until
# FUZZ_RUNS executions (default 10^7), without a time bound unless
# FUZZ_SECONDS is set; it keeps its corpus in build-fuzz/corpus between runs.
set -uo pipefail
cd "$(dirname "$0")/.."
long=""
if [ "${1:-}" = --long ]; then
    long=1
    shift
fi
runs=${FUZZ_RUNS:-10000000}
if [ -n "$long" ]; then
    seconds=${FUZZ_SECONDS:-0}
else
    seconds=${FUZZ_SECONDS:-60}
fi
build=${FUZZ_BUILD_DIR:-build-fuzz}
jobs=${FUZZ_JOBS:-2}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVESSRIN_BENCH=OFF >"$build.log" 2>&1 ||
    { cat "$build.log"; echo "fuzz: configure failed"; exit 1; }
cmake --build "$build" -j "$jobs" --target fuzzers >>"$build.log" 2>&1 ||
    { tail -40 "$build.log"; echo "fuzz: build failed"; exit 1; }

targets=${FUZZ_TARGETS:-$(cd fuzz && ls *_fuzz.cpp | sed 's/\.cpp$//')}
# A small quarantine: the targets keep nothing between inputs, and the default
# 256 MB churns pages so hard on a virtual machine that it halves the speed.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1:quarantine_size_mb=16
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
printf '%-20s %12s %8s %8s\n' target executions "exec/s" crashes
for t in $targets; do
    exe=$build/fuzz/$t
    [ -x "$exe" ] || { echo "$t: not built"; status=1; continue; }
    seeds=fuzz/corpus/$t
    work=$build/corpus/$t
    artifacts=$build/artifacts/$t
    rm -rf "$artifacts"
    mkdir -p "$seeds" "$work" "$artifacts"
    log=$build/$t.log
    bound=(-max_total_time="$seconds")
    [ -n "$long" ] && bound=(-runs="$runs" -max_total_time="$seconds")
    # A services file's rules are per line: a kilobyte holds enough lines,
    # and longer inputs only slow every run down.
    max_len=8192
    [ "$t" = services_fuzz ] && max_len=1024
    # New inputs go to the scratch corpus; the seeds in the repository stay
    # as they are and are all replayed first, crash regressions included.
    "$exe" "${bound[@]}" -timeout=10 -rss_limit_mb=2048 -max_len=$max_len \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "$seeds" >"$log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    crashes=$(find "$artifacts" -type f | wc -l)
    printf '%-20s %12s %8s %8s\n' "$t" "${runs:-?}" "${rate:-?}" "$crashes"
    if [ $rc -ne 0 ] || [ "$crashes" -ne 0 ]; then
        status=1
        grep -m5 -E 'ERROR|check failed|runtime error|Test unit written' "$log"
    fi
done
[ $status -eq 0 ] && echo "fuzz: no crashes" || echo "fuzz: FAILED: a target crashed or was not built (inputs in $build/artifacts)"
exit $status
