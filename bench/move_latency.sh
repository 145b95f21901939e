#!/usr/bin/env bash
# Move latency between two PCs and the receiver's idle cost: two instances of
# the game, each in a network namespace of its own, on one Xvfb display.
# First both sit with the network ready and no traffic while the CPU time of
# each receiver thread is taken over IDLE_SECONDS (default 10). Then a human
# player joins on pc1 again and again, its board appearing on pc2, and
# move_latency.py plays the games: each move lays a tile on pc1, waits for it
# on pc2's copy, confirms it on pc1 and times the confirmation until pc2's
# copy has confirmed it too. Prints one JSON line per receiver, then one per
# move.
# usage: bench/move_latency.sh <vessrin executable> [moves (default 200)]   (as root)
set -uo pipefail
exe=$(realpath "$1")
moves=${2:-200}
here=$(dirname "$(realpath "$0")")
# shellcheck source=../tests/e2e/netns_lib.sh
. "$here/../tests/e2e/netns_lib.sh"
NETNS_TAG=lat$$
if ! reason=$(netns_available); then
    echo "move latency not measured: $reason" >&2
    exit 1
fi
trap netns_cleanup EXIT
netns_setup 2 45691 || { echo "namespaces could not be set up" >&2; exit 1; }
netns_start_pc 1 "$exe"
netns_start_pc 2 "$exe"
w1=$(netns_main_window 1) && w2=$(netns_main_window 2) || { echo "no main windows" >&2; exit 1; }
# Side by side, so that neither covers the other.
xdotool windowmove "$w1" 0 0
xdotool windowmove "$w2" 800 0
sleep 3 # the hellos go round, then the network is quiet
idle=()
for i in 1 2; do
    python3 "$here/move_latency.py" idle "${PC_PID[$i]}" "${IDLE_SECONDS:-10}" &
    idle+=($!)
done
wait "${idle[@]}"

# Each board window opens one caption lower than the last; putting the next
# place back to the corner keeps the cells where move_latency.py clicks.
first_board_place() { # i
    sed -i '/^\[Child\]/,/^\[/ s/^\(Top\|Left\)=-\?[0-9]*/\1=0/' "$(netns_ini "$1")"
}
game=0
left=$moves
while [ "$left" -gt 0 ]; do
    game=$((game + 1))
    first_board_place 1
    first_board_place 2
    netns_new_player 1 Anna || { echo "game $game: no player dialog on pc1" >&2; exit 1; }
    count=$((left < 19 ? left : 19))
    python3 "$here/move_latency.py" game "$w1" "$w2" "$count" "$game" || exit 1
    left=$((left - count))
    sleep 0.5 # the end-of-game hellos go round
done
