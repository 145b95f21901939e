#!/usr/bin/env bash
# Builds everything twice (normal and with ASan + UBSan) and runs every test:
# unit and widget tests, the install check with the Debian package, the
# settings-file kill test, the fuzzers for a bounded time and the end-to-end
# tests with both builds. A stage that cannot run fails; so does a skipped
# end-to-end test under CI=true.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
bash scripts/deps.sh --test || exit 1
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
jobs=$(nproc)
status=0
failed=()
began=$SECONDS

stage() { # name, command...
    local name=$1 t=$SECONDS
    shift
    echo "== $name"
    if "$@"; then
        echo "-- $name: ok ($((SECONDS - t)) s)"
    else
        echo "-- $name: FAILED ($((SECONDS - t)) s)"
        status=1
        failed+=("$name")
        return 1
    fi
}

# A stage that cannot run because what it needs failed is a failed stage, so
# the list at the end names everything that did not pass.
not_run() { # name, reason
    echo "== $1"
    echo "-- $1: FAILED (not run: $2)"
    status=1
    failed+=("$1 (not run)")
}

build() { # dir, extra cmake args...
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null && cmake --build "$dir" -j "$jobs"
}

# Every test has a time limit of its own (the TIMEOUT property); a run that
# finds no test at all is an error, not a pass.
normal_tests() { (cd build-test && ctest --output-on-failure --no-tests=error -j "$jobs"); }
asan_tests() { (cd build-asan && ctest --output-on-failure --no-tests=error -j "$jobs" -L 'core|platform|ui'); }

# The program built with the sanitizers plays the end-to-end tests once, in
# English (the German runs differ only in texts, and time is short); a
# sanitizer report anywhere fails the stage even when the test itself passed.
asan_e2e() {
    local logs
    logs=$(mktemp -d)
    # The programs run as nobody under a root test run; their reports must get in.
    chmod 1777 "$logs"
    # The X keyboard library reads strings past their end under strict checks;
    # that is outside our code, so the real-X runs use the default string checks.
    ASAN_OPTIONS=${ASAN_OPTIONS/:strict_string_checks=1/}:log_path=$logs/asan UBSAN_OPTIONS=$UBSAN_OPTIONS:log_path=$logs/ubsan \
        E2E_LANGS=en bash tests/e2e/run.sh build-asan/vessrin
    local rc=$?
    if compgen -G "$logs/*" >/dev/null; then
        echo "sanitizer reports of the end-to-end run:"
        head -50 "$logs"/*
        rc=1
    fi
    rm -rf "$logs"
    return $rc
}

normal=("unit and widget tests" "install check and Debian package" "settings-file kill test"
    "end-to-end tests")
if stage "normal build" build build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
    stage "${normal[0]}" normal_tests
    stage "${normal[1]}" bash packaging/check_install.sh build-test
    stage "${normal[2]}" bash tests/fault/kill_settings.sh build-test/tests/fault/settings_writer 200
    stage "${normal[3]}" bash tests/e2e/run.sh build-test/vessrin
else
    for s in "${normal[@]}"; do not_run "$s" "the normal build failed"; done
fi

sanitized=("sanitizer unit and widget tests" "end-to-end tests with the sanitizer build")
if stage "sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer)" \
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DVESSRIN_SANITIZE=ON -DVESSRIN_BENCH=OFF; then
    stage "${sanitized[0]}" asan_tests
    stage "${sanitized[1]}" asan_e2e
else
    for s in "${sanitized[@]}"; do not_run "$s" "the sanitizer build failed"; done
fi

stage "fuzzers (${FUZZ_SECONDS:-30} s each)" env FUZZ_SECONDS="${FUZZ_SECONDS:-30}" FUZZ_JOBS="$jobs" bash fuzz/run.sh

echo "== all stages took $((SECONDS - began)) s"
[ ${#failed[@]} -eq 0 ] || printf 'failed: %s\n' "${failed[@]}"
exit $status
