#!/usr/bin/env bash
# End-to-end: the real program under Xvfb, driven with X input. A computer
# player plays all 19 turns, confirmed with Return; the high score must reach
# the settings file of the working folder and the board must close with Ok.
# Usage: local_game.sh <vessrin executable> <LANG value>
set -uo pipefail
exe=$(realpath "$1")
lang=$2
# shellcheck source=one_pc_lib.sh
. "$(dirname "$(realpath "$0")")/one_pc_lib.sh"
local_start
# The new-player button stands at the left of the toolbar, below the menu
# bar (about 30 pixels with the default font).
new_player() {
    xdotool mousemove $((X + 24)) $((Y + 30 + 16)) click 1
    dialog=$(timeout 5 xdotool search --sync --onlyvisible --name '(Spieler|player)$' | head -1)
}
new_player
[ -n "$dialog" ] || fail "no player dialog"
xdotool windowfocus --sync "$dialog" 2>/dev/null
xdotool type --delay 50 "PC"
xdotool key Return
sleep 1
for turn in $(seq 1 19); do
    xdotool key --window "$win" Return 2>/dev/null || xdotool key Return
    sleep 0.3
done
sleep 0.5
if ! grep -qi '^Player1=PC' vessrin.ini 2>/dev/null; then
    cat vessrin.ini 2>/dev/null
    fail "no high score for PC in vessrin.ini"
fi
points=$(grep -i '^Points1=' vessrin.ini | cut -d= -f2 | tr -d '\r')
if [ "${points:-0}" -le 0 ] || [ "$points" -gt 307 ]; then
    fail "impossible total $points"
fi
# Ok closes the finished board; then a new game can be started again.
xdotool key Return
sleep 0.7
new_player
if [ -z "$dialog" ]; then
    fail "new player not enabled after the game"
fi
xdotool key Escape
echo "ok ($lang): computer game finished with $points points, new game possible"
exit 0
