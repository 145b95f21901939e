#!/usr/bin/env bash
# End-to-end: a whole local game of a computer player and a human player
# under Xvfb. Both join through the game menu (opened with its Alt mnemonic)
# and the name dialog. The human lays every tile with the mouse: a click on a
# free cell and Return for Ok, a drag of the laid tile to another cell, and
# the last tile placed and confirmed with the right button; the computer's
# tile is confirmed with Return when its board comes to the front. The totals
# read off both boards must be the high-score list of the settings file, the
# boards close with Ok, and a new player can join afterwards.
# Usage: local_human.sh <vessrin executable> <LANG value>; SHOT=<prefix> keeps
# screenshots of the boards after turns 18 and 19.
set -uo pipefail
exe=$(realpath "$1")
lang=$2
# shellcheck source=one_pc_lib.sh
. "$(dirname "$(realpath "$0")")/one_pc_lib.sh"
fail_details() { tr -d '\r' <vessrin.ini 2>/dev/null; }
require_tools tesseract
local_start

new_player PC
# The board window that opens next is cascaded by the distance the first one
# recorded for it.
d=$(ini_value Child Top)
[ "${d:-0}" -gt 0 ] 2>/dev/null || fail "no place recorded for the next board window"
new_player Anna

# Cell centres relative to the main window for a board window at the top left
# of the frame: five columns of 3, 4, 5, 4 and 3 cells. Anna's board is the
# second one, so its cells lie $d further right and down.
cells=()
for c in "288 172 228 284" "333 143 199 255 311" "378 116 172 228 284 340" \
    "423 143 199 255 311" "468 172 228 284"; do
    set -- $c
    x=$1
    shift
    for y in "$@"; do cells+=("$((X + x + d)) $((Y + y + d))"); done
done
at() { xdotool mousemove ${cells[$1]} "${@:2}"; }
drag() { # from cell, to cell, in six steps
    local fx fy tx ty s
    read -r fx fy <<<"${cells[$1]}"
    read -r tx ty <<<"${cells[$2]}"
    xdotool mousemove "$fx" "$fy" mousedown 1
    for s in 1 2 3 4 5 6; do
        xdotool mousemove $((fx + (tx - fx) * s / 6)) $((fy + (ty - fy) * s / 6))
        sleep 0.05
    done
    xdotool mouseup 1
}
# The vertical stripe value of the tile lying on a cell, by the colour of the
# stripe below the cell's middle: grey 1, green 5, yellow 9 (the default colours).
vertical_value() {
    local x y
    read -r x y <<<"${cells[$1]}"
    case $(import -window root -crop 1x3+"$x"+$((y + 10)) -depth 8 txt:- 2>/dev/null |
        grep -o '#[0-9A-F]\{6\}' | sort | uniq -c | sort -rn | head -1 | awk '{ print $2 }') in
    '#808080') echo 1 ;;
    '#008000') echo 5 ;;
    '#FFFF00') echo 9 ;;
    *) echo 0 ;;
    esac
}
# Reads the screen again for up to two seconds, for a program slowed by a busy machine.
shows_value() { # cell, value expected (any for a tile at all)
    local i v
    for i in $(seq 20); do
        v=$(vertical_value "$1")
        [ "$v" != 0 ] && { [ "$2" = any ] || [ "$v" = "$2" ]; } && echo "$v" && return 0
        sleep 0.1
    done
    return 1
}
high_score_names() { for i in 1 2 3 4 5; do ini_value HighScore "Player$i"; done | grep -c .; }
# Anna plays so that a line surely scores; each tile is first laid on a free
# cell to see it.
scoring_start
for turn in $(seq 1 18); do
    probe=$(first_free $(seq 3 15) $(seq 0 2) $(seq 16 18))
    at "$probe" click 1
    v=$(shows_value "$probe" any) || fail "turn $turn: no tile visible on the clicked cell"
    choose_target "$v"
    if [ "$turn" -lt 18 ]; then
        if [ "$target" != "$probe" ]; then
            at "$target" click 1
            shows_value "$target" "$v" >/dev/null || fail "turn $turn: the tile did not move"
        fi
    else
        # Turn 18: move the laid tile by dragging it; when it should stay, to
        # the other free cell and back.
        free[probe]=0
        other=$(first_free $(seq 0 18))
        free[probe]=1
        if [ "$target" = "$probe" ]; then
            drag "$probe" "$other"
            shows_value "$other" "$v" >/dev/null || fail "the tile did not follow the drag"
            drag "$other" "$probe"
        else
            drag "$probe" "$target"
        fi
        shows_value "$target" "$v" >/dev/null || fail "the tile did not follow the drag"
    fi
    free[target]=0
    # The program takes input in order: the next click meets Anna's board again.
    xdotool key Return # Ok on Anna's board; the computer's board comes to the front
    xdotool key Return # Ok on the computer's board; Anna's comes back with the next tile
done
# Once the high-score window shows, everything typed before has been handled.
show_high_scores
[ -n "${SHOT:-}" ] && import -window root "$SHOT-18.png"
[ "$(high_score_names)" -eq 0 ] || fail "game over before the last tile"
# Turn 19: the right button lays and confirms on the last free cell.
at "$(first_free $(seq 0 18))" click 3
xdotool key Return
show_high_scores
[ -n "${SHOT:-}" ] && import -window root "$SHOT-19.png"

# Both boards are finished; Anna's lies in front. Read each total while its
# board is in front, then close it with Ok.
anna=$(total_shown "$d")
xdotool key Return
show_high_scores
pc=$(total_shown 0)
[[ $anna =~ ^[0-9]+$ && $pc =~ ^[0-9]+$ ]] || fail "totals not readable: Anna '$anna', PC '$pc'"
xdotool key Return
# Both boards closed: a new player can join again.
can_add_player || fail "new player not enabled after both boards closed"

# The list holds both players with the totals shown, best first.
declare -A listed=()
last=308
for i in 1 2 3 4 5; do
    name=$(ini_value HighScore "Player$i")
    points=$(ini_value HighScore "Points$i")
    [ -z "$name" ] && continue
    [ "$points" -ge 1 ] && [ "$points" -le 307 ] || fail "impossible total $points for $name"
    [ "$points" -le "$last" ] || fail "high scores out of order"
    last=$points
    listed[$name]=$points
done
[ "${listed[Anna]:-}" = "$anna" ] || fail "Anna's board shows $anna, the list ${listed[Anna]:-nothing}"
[ "${listed[PC]:-}" = "$pc" ] || fail "the PC's board shows $pc, the list ${listed[PC]:-nothing}"
echo "ok ($lang): Anna $anna and PC $pc points, shown and listed; new player enabled again"
exit 0
