#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz and runs each for a bounded
# time over its seed corpus; prints executions and crashes per target.
# FUZZ_SECONDS (default 60) bounds every target; FUZZ_TARGETS picks some.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-build-fuzz}
jobs=${FUZZ_JOBS:-2}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVESSRIN_BENCH=OFF >"$build.log" 2>&1 ||
    { cat "$build.log"; echo "fuzz: configure failed"; exit 1; }
cmake --build "$build" -j "$jobs" --target fuzzers >>"$build.log" 2>&1 ||
    { tail -40 "$build.log"; echo "fuzz: build failed"; exit 1; }

targets=${FUZZ_TARGETS:-$(cd fuzz && ls *_fuzz.cpp | sed 's/\.cpp$//')}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
printf '%-20s %12s %8s %8s\n' target executions "exec/s" crashes
for t in $targets; do
    exe=$build/fuzz/$t
    [ -x "$exe" ] || { echo "$t: not built (its core header is missing)"; continue; }
    seeds=fuzz/corpus/$t
    work=$build/corpus/$t
    artifacts=$build/artifacts/$t
    rm -rf "$artifacts"
    mkdir -p "$seeds" "$work" "$artifacts"
    log=$build/$t.log
    # New inputs go to the scratch corpus; the seeds in the repository stay
    # as they are and are all replayed first, crash regressions included.
    "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
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
[ $status -eq 0 ] && echo "fuzz: no crashes" || echo "fuzz: CRASHES (inputs in $build/artifacts)"
exit $status
