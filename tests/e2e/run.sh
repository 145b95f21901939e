#!/usr/bin/env bash
# Runs the end-to-end tests of the real program in German and English.
set -uo pipefail
exe=${1:?usage: run.sh <vessrin executable>}
here=$(dirname "$0")
passed=0
failed=0
for lang in de_DE.UTF-8 en_US.UTF-8; do
    if timeout 120 bash "$here/local_game.sh" "$exe" "$lang"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
    fi
done
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
