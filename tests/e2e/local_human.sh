#!/usr/bin/env bash
# End-to-end: a human player lays all 19 tiles with the mouse under Xvfb:
# click a free cell and press Return for Ok, drag a laid tile to another
# cell, and place-and-confirm the last tile with the right button. The high
# score appears only after the last tile, with a possible total.
# Usage: local_human.sh <vessrin executable> <LANG value>; SHOT=<prefix> keeps
# screenshots of the board after turns 18 and 19.
set -uo pipefail
exe=$(realpath "$1")
lang=$2
work=$(mktemp -d)
display=:$((60 + RANDOM % 30))
Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb
sleep 1
cd "$work"
# Answered shortcut question, so the first-start window does not wait.
printf '[LinkForm]\r\nStartMenu=\r\n' >vessrin.ini
LANG=$lang LC_ALL= LC_MESSAGES= "$exe" >app.log 2>&1 &
app=$!
win=$(xdotool search --sync --onlyvisible --name '^(Vessrin|Orvanel)$' | head -1)
[ -n "$win" ] || { echo "FAIL: no main window"; exit 1; }
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + 24)) $((Y + 46)) click 1
dialog=$(timeout 5 xdotool search --sync --onlyvisible --name '(Spieler|player)$' | head -1)
[ -n "$dialog" ] || { echo "FAIL ($lang): no player dialog"; exit 1; }
xdotool type --delay 50 "Anna"
xdotool key Return
sleep 1
# Cell centres relative to the main window for the first board window at its
# default place and size: five columns of 3, 4, 5, 4 and 3 cells.
cells=()
for c in "288 172 228 284" "333 143 199 255 311" "378 116 172 228 284 340" \
    "423 143 199 255 311" "468 172 228 284"; do
    set -- $c
    x=$1
    shift
    for y in "$@"; do cells+=("$((X + x)) $((Y + y))"); done
done
at() { xdotool mousemove ${cells[$1]} "${@:2}"; }
high_score_holder() { grep -i '^Player1=' vessrin.ini 2>/dev/null | cut -d= -f2 | tr -d '\r'; }
for i in $(seq 0 16); do
    at "$i" click 1
    sleep 0.2
    xdotool key Return
    sleep 0.3
done
# Turn 18: lay on cell 17, then drag the unconfirmed tile over to cell 18.
at 17 click 1
sleep 0.3
set -- ${cells[17]}
from_x=$1 from_y=$2
set -- ${cells[18]}
xdotool mousemove "$from_x" "$from_y" mousedown 1
for s in 1 2 3 4 5 6; do
    xdotool mousemove "$from_x" $((from_y + ($2 - from_y) * s / 6))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.3
xdotool key Return
sleep 0.5
[ -n "${SHOT:-}" ] && import -window root "$SHOT-18.png"
if [ "$(high_score_holder)" = "Anna" ]; then
    echo "FAIL ($lang): game over before the last tile"
    exit 1
fi
# Turn 19: the right button lays and confirms on the cell the drag freed.
at 17 click 3
[ -n "${SHOT:-}" ] && sleep 0.5 && import -window root "$SHOT-19.png"
sleep 1
if [ "$(high_score_holder)" != "Anna" ]; then
    echo "FAIL ($lang): no high score for Anna after 19 tiles"
    cat vessrin.ini 2>/dev/null
    exit 1
fi
points=$(grep -i '^Points1=' vessrin.ini | cut -d= -f2 | tr -d '\r')
if [ "${points:-x}" -lt 0 ] 2>/dev/null || [ "$points" -gt 307 ]; then
    echo "FAIL ($lang): impossible total $points"
    exit 1
fi
echo "ok ($lang): human game laid by mouse finished with $points points"
exit 0
