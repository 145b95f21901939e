#!/usr/bin/env bash
# Move latency between two PCs: two instances of the game, each in a network
# namespace of its own, on one Xvfb display. A human player joins on pc1, its
# board appears on pc2; then clicks on pc1's board move the tile, and
# move_latency.py times each move until it shows on pc1 and on pc2's copy.
# Prints one JSON line per move.
# usage: bench/move_latency.sh <vessrin executable> [runs (default 7)]   (as root)
set -uo pipefail
exe=$(realpath "$1")
runs=${2:-7}
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
sleep 1.5 # the hellos go round
netns_new_player 1 Anna
sleep 1
# Two cells of the middle column of a fresh board window in a main window of
# the default size; pc2's copy stands at the same place in its main window.
python3 "$here/move_latency.py" "$w1" "$w2" "$runs" 379,171 379,228
