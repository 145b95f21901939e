#!/usr/bin/env bash
# End-to-end: the real program under Xvfb, driven with X input. A computer
# player plays all 19 turns, confirmed with Return; the high score must reach
# the settings file of the working folder and the board must close with Ok.
# Usage: local_game.sh <vessrin executable> <LANG value>
set -uo pipefail
exe=$(realpath "$1")
lang=$2
work=$(mktemp -d)
# shellcheck source=xvfb_lib.sh
. "$(dirname "$(realpath "$0")")/xvfb_lib.sh"
start_xvfb 1280x900x24 || exit 1
xvfb=$XVFB_PID
trap 'kill $app $xvfb 2>/dev/null; rm -rf "$work"' EXIT
# The test command runs the widget tests offscreen; this test needs real X windows.
export QT_QPA_PLATFORM=xcb
cd "$work"
# Answered shortcut question, so the first-start window does not wait.
printf '[LinkForm]\r\nStartMenu=\r\n' >vessrin.ini
LANG=$lang LC_ALL= LC_MESSAGES= "$exe" >app.log 2>&1 &
app=$!
win=$(xdotool search --sync --onlyvisible --name '^(Vessrin|Orvanel)$' | head -1)
[ -n "$win" ] || { echo "FAIL: no main window"; exit 1; }
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"
# The new-player button stands at the left of the toolbar, below the menu
# bar (about 30 pixels with the default font).
new_player() {
    xdotool mousemove $((X + 24)) $((Y + 30 + 16)) click 1
    dialog=$(timeout 5 xdotool search --sync --onlyvisible --name '(Spieler|player)$' | head -1)
}
new_player
[ -n "$dialog" ] || { echo "FAIL: no player dialog"; exit 1; }
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
    echo "FAIL ($lang): no high score for PC in vessrin.ini"
    cat vessrin.ini 2>/dev/null
    exit 1
fi
points=$(grep -i '^Points1=' vessrin.ini | cut -d= -f2 | tr -d '\r')
if [ "${points:-0}" -le 0 ] || [ "$points" -gt 307 ]; then
    echo "FAIL ($lang): impossible total $points"
    exit 1
fi
# Ok closes the finished board; then a new game can be started again.
xdotool key Return
sleep 0.7
new_player
if [ -z "$dialog" ]; then
    echo "FAIL ($lang): new player not enabled after the game"
    exit 1
fi
xdotool key Escape
echo "ok ($lang): computer game finished with $points points, new game possible"
exit 0
