#!/usr/bin/env bash
# End-to-end: a board closed at its home PC leaves every other PC. Computer
# players on pc1, pc2 and pc3 play three turns; then pc1's board is closed.
# pc2 and pc3 must finish the game without it, with the same totals: a copy
# of pc1's board left behind would wait for its tile forever, and neither
# would ever enter a total.
# Usage: net_board_close.sh <vessrin executable> [LANG value]
set -uo pipefail
exe=$(realpath "$1")
lang=${2:-en_US.UTF-8}
here=$(dirname "$(realpath "$0")")
# shellcheck source=netns_lib.sh
. "$here/netns_lib.sh"
if ! reason=$(netns_available); then
    echo "SKIP net_board_close: $reason"
    exit 0
fi
trap netns_cleanup EXIT
netns_setup 3 || { echo "FAIL: namespaces could not be set up"; exit 1; }
fail() {
    echo "FAIL ($lang): $*"
    for i in 1 2 3; do echo "--- pc$i"; cat "$(netns_ini "$i")" 2>/dev/null; cat "$(netns_dir "$i")"/app*.log; done
    exit 1
}

declare -a win
for i in 1 2 3; do
    netns_start_pc "$i" "$exe" "$lang"
done
for i in 1 2 3; do
    win[$i]=$(netns_main_window "$i") || fail "no main window on pc$i"
done
xdotool windowmove "${win[1]}" 0 0
xdotool windowmove "${win[2]}" 640 0
xdotool windowmove "${win[3]}" 0 500
sleep 1.5

netns_new_player 1 PC || fail "no player dialog on pc1"
netns_new_player 2 PC || fail "no player dialog on pc2"
netns_new_player 3 PC || fail "no player dialog on pc3"
sleep 0.5
for i in 1 2 3; do
    netns_toolbar_click "$i" 2 # next player due: the local board to the front
    sleep 0.3
done
confirm() { # pc: Ok on its board in front, sent to the window itself
    xdotool key --window "${win[$1]}" Return
    sleep 0.35
}
for turn in 1 2 3; do
    confirm 1
    confirm 2
    confirm 3
done
sleep 0.5

# pc1's board was created first, so it lies at the top left of the window
# area below the tool bar (about 55 pixels); a double click on the icon at
# the left of its title bar closes it.
eval "$(xdotool getwindowgeometry --shell "${win[1]}")"
xdotool mousemove $((X + 12)) $((Y + 55 + 11)) click --repeat 2 --delay 80 1
sleep 1
for turn in $(seq 4 19); do
    confirm 2
    confirm 3
done
sleep 1

points() { # the high-score points of a PC
    grep -i '^Points[1-5]=' "$(netns_ini "$1")" 2>/dev/null | cut -d= -f2 | tr -d '\r' |
        grep -v '^0$' | sort -n | tr '\n' ' '
}
p2=$(points 2)
[ -n "$p2" ] || fail "pc2 did not finish its game after pc1's board closed"
[ "$(points 3)" = "$p2" ] || fail "pc3 has '$(points 3)', pc2 '$p2'"
# pc1 keeps its copies of the other boards going: the others still send it
# their moves after its own board has gone.
[ "$(points 1)" = "$p2" ] || fail "pc1 has '$(points 1)', pc2 '$p2'"
echo "ok ($lang): pc1's board closed everywhere, the others finished with $p2"
exit 0
