#!/usr/bin/env bash
# Runs the end-to-end tests of the real program: the one-PC games in German
# and English, then every network test (net_*.sh, which need root).
set -uo pipefail
exe=${1:?usage: run.sh <vessrin executable>}
here=$(dirname "$0")
passed=0
failed=0
record() { # name, status
    if [ "$2" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "e2e FAILED: $1"; fi
}
for lang in de_DE.UTF-8 en_US.UTF-8; do
    for t in "$here"/local_*.sh; do
        timeout 180 bash "$t" "$exe" "$lang"
        rc=$? # taken at once: expanding the name below would reset it
        record "$(basename "$t") $lang" $rc
    done
done
# The network tests whose texts or captions differ by language run in German
# as well; the others once, in English.
for t in "$here"/net_*.sh; do
    [ -e "$t" ] || continue
    langs=en_US.UTF-8
    case $(basename "$t") in
    net_game.sh | net_messages.sh | net_port.sh) langs="de_DE.UTF-8 en_US.UTF-8" ;;
    esac
    for lang in $langs; do
        timeout 300 bash "$t" "$exe" "$lang"
        rc=$?
        record "$(basename "$t") $lang" $rc
    done
done
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
