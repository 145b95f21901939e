#!/usr/bin/env bash
# Kills a process that keeps rewriting the settings file with SIGKILL at random
# moments, 200 times; after every kill the file must be whole and read back.
# usage: kill_settings.sh <settings_writer> [rounds]
set -uo pipefail
writer=${1:?usage: kill_settings.sh <settings_writer> [rounds]}
rounds=${2:-200}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
file=$dir/vessrin.ini
"$writer" init "$file" || { echo "kill test: cannot create the settings file"; exit 1; }

failed=0
leftovers=0
generation=1000
for ((i = 1; i <= rounds; i++)); do
    GEN=$generation "$writer" write "$file" &
    pid=$!
    # 0 to 60 ms: from before the first write to deep inside the loop.
    sleep "0.0$(printf '%02d' $((RANDOM % 60)))"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    generation=$((generation + 100000))
    if [ ! -s "$file" ]; then
        echo "kill test round $i: settings file missing or empty"
        failed=$((failed + 1))
    elif ! "$writer" check "$file"; then
        echo "kill test round $i: settings file does not read whole"
        failed=$((failed + 1))
    fi
    # The file is written unnamed and named only when whole, so only a kill
    # between naming and renaming leaves a temporary file; the program's next
    # write removes it once it is a minute old. Count and clear it here.
    n=$(find "$dir" -maxdepth 1 -name '.vessrin.ini.*' | wc -l)
    leftovers=$((leftovers + n))
    find "$dir" -maxdepth 1 -name '.vessrin.ini.*' -delete
done
echo "kill test: $rounds kills, $failed broken files, $leftovers kills inside a write (temporary file left)"
[ "$failed" -eq 0 ]
