#!/usr/bin/env bash
# Builds everything twice (normal and with ASan + UBSan) and runs every test.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --test || exit 1
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
jobs=$(nproc)
status=0

build() { # dir, extra cmake args...
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null && cmake --build "$dir" -j "$jobs"
}

echo "== normal build"
if build build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
    (cd build-test && ctest --output-on-failure -j "$jobs") || status=1
else
    status=1
fi

echo "== sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer)"
if build build-asan -DCMAKE_BUILD_TYPE=Debug -DVESSRIN_SANITIZE=ON -DVESSRIN_BENCH=OFF; then
    (cd build-asan && ctest --output-on-failure -j "$jobs" -L 'core|platform|ui') || status=1
else
    status=1
fi

if [ -x tests/e2e/run.sh ]; then
    echo "== end-to-end tests"
    bash tests/e2e/run.sh build-test/vessrin || status=1
fi

exit $status
