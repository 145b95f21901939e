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
netns_begin net_board_close 3
netns_sniff_all || { echo "FAIL net_board_close: no packet watch"; exit 1; }
fail() {
    echo "FAIL ($lang): $*"
    for i in 1 2 3; do echo "--- pc$i"; cat "$(netns_ini "$i")" 2>/dev/null; cat "$(netns_dir "$i")"/app*.log; done
    exit 1
}

netns_start_pcs 3 "$exe" "$lang" || fail "the PCs did not start"
netns_wait_acquainted 1 2 3 || fail "the PCs did not find each other"

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
# pc1 keeps its copies of the other boards going: the others still send it
# their moves after its own board has gone.
if ! p2=$(netns_wait_points 2 3 1); then
    [ -n "$(netns_points 2)" ] || fail "pc2 did not finish its game after pc1's board closed"
    fail "the totals differ: pc1 '$(netns_points 1)', pc2 '$(netns_points 2)', pc3 '$(netns_points 3)'"
fi
echo "ok ($lang): pc1's board closed everywhere, the others finished with $p2"
exit 0
