#!/usr/bin/env bash
# Runs the end-to-end tests of the real program, each from the list below in
# the languages given there and within its time limit.
#
# A test passes with exit status 0 and says it cannot run (a missing tool, no
# root for network namespaces) with 77. Anything else fails it, a listed file
# that does not exist and a test that overruns its limit included. Under
# CI=true a skipped test fails the run as well: CI has everything a test needs,
# so there a skip can only hide a fault.
# Usage: run.sh <vessrin executable> [name pattern]; the pattern (a grep -E
# expression) picks some of the tests, for a quick run by hand. E2E_LANGS
# (de, en or both) keeps only those of each test's languages.
set -uo pipefail
exe=${1:?usage: run.sh <vessrin executable> [name pattern]}
pick=${2:-}
here=$(dirname "$0")

# name, languages (de, en), time limit in seconds. The limits leave some
# five times what a run takes on a two-core machine busy with other builds.
tests=(
    "local_game.sh de en 180"
    "local_human.sh de en 240"
    "local_demo.sh de en 90"
    "local_colors.sh de en 150"
    "local_links.sh de en 150"
    "local_keyboard.sh de en 300"
    "net_game.sh de en 300"
    "net_messages.sh de en 300"
    "net_port.sh de en 300"
    "net_port_user.sh de en 300"
    "net_board_close.sh en 300"
    "net_flood.sh en 300"
    "net_hostile_peer.sh en 300"
    "net_lan_broadcast.sh en 300"
    "net_routed_game.sh de en 300"
    "net_lossy_game.sh en 300"
    "net_silent_pc.sh en 300"
)

passed=0 failed=0 skipped=0
failures=() skips=()
for entry in "${tests[@]}"; do
    read -r name langs <<<"$entry"
    limit=${langs##* }
    langs=${langs% *}
    [ -n "$pick" ] && ! grep -qE "$pick" <<<"$name" && continue
    for l in $langs; do
        [ -n "${E2E_LANGS:-}" ] && [[ " $E2E_LANGS " != *" $l "* ]] && continue
        case $l in de) lang=de_DE.UTF-8 ;; *) lang=en_US.UTF-8 ;; esac
        what="$name $lang"
        if [ ! -f "$here/$name" ]; then
            echo "e2e FAILED: $what: no such test"
            failed=$((failed + 1)) failures+=("$what (missing)")
            continue
        fi
        began=$SECONDS
        # TERM first, so that the test's exit trap ends its program and X
        # server; KILL when that does not help within 10 s.
        timeout -k 10 "$limit" bash "$here/$name" "$exe" "$lang"
        rc=$? # taken at once: any other command would reset it
        took=$((SECONDS - began))
        case $rc in
        0)
            passed=$((passed + 1))
            echo "e2e passed: $what (${took} s)"
            ;;
        77)
            skipped=$((skipped + 1)) skips+=("$what")
            echo "e2e SKIPPED: $what"
            ;;
        124 | 137)
            failed=$((failed + 1)) failures+=("$what (over its ${limit} s)")
            echo "e2e FAILED: $what: still running after its limit of $limit s"
            ;;
        *)
            failed=$((failed + 1)) failures+=("$what (exit $rc)")
            echo "e2e FAILED: $what: exit status $rc after $took s"
            ;;
        esac
    done
done

echo "e2e: $passed passed, $failed failed, $skipped skipped"
[ $failed -eq 0 ] || printf 'e2e failed: %s\n' "${failures[@]}"
[ $skipped -eq 0 ] || printf 'e2e skipped: %s\n' "${skips[@]}"
[ $((passed + failed + skipped)) -gt 0 ] || { echo "e2e: no test matches '$pick'"; exit 1; }
[ $failed -eq 0 ] || exit 1
if [ $skipped -gt 0 ] && [ "${CI:-}" = true ]; then
    echo "e2e: skipped tests fail the run under CI=true"
    exit 1
fi
exit 0
