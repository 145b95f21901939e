#!/usr/bin/env bash
# End-to-end: a new line colour reaches every open board. Two computer boards
# play a game to its end, so each shows all 27 tiles, nine of them with the
# rising stripe 6. The colours window, opened from its menu entry, edits line
# colour 6 through a right click on its bar and the colour dialog's HTML
# field; after Ok both boards draw their 6 stripes in the new colour and no
# longer in the old one, and the settings file holds it.
# Usage: local_colors.sh <vessrin executable> <LANG value>
set -uo pipefail
exe=$(realpath "$1")
lang=$2
# shellcheck source=one_pc_lib.sh
. "$(dirname "$(realpath "$0")")/one_pc_lib.sh"
local_start
case $lang in
de*) tile=n colors=f ;; # "&Nebeneinander", "&Farben"
*) tile=t colors=c ;;   # "&Tile", "&Colors"
esac
old=FF0000 # line colour 6 by default
new=3C14DC

new_player PC
new_player PC
# Each Return confirms the computer's tile on the board in front, which
# brings the other board to the front; the program takes keys in order, so
# once the high-score window shows, the game is over.
xdotool windowfocus --sync "$win" 2>/dev/null
# shellcheck disable=SC2046 # one word per key
xdotool key --delay 40 $(yes Return | head -38)
show_high_scores
# The whole screen for the main window, both boards side by side.
xdotool windowmove "$win" 0 0 windowsize "$win" 1280 900
menu window "$tile"
# Pixels of one colour in the left and the right half, below the toolbar
# and the boards' title bars.
count() { # colour
    import -window root "$work/screen.png"
    for half in 640x800+0+100 640x800+640+100; do
        convert "$work/screen.png" -crop "$half" +repage -fill black +opaque "#$1" \
            -fill white -opaque "#$1" -format '%[fx:round(mean*w*h)] ' info:
    done
}
# Both halves show a colour: counted again until they do, for 10 s at most.
shown_left_and_right() { # colour
    read -r left right <<<"$(count "$1")"
    [ "$left" -gt 100 ] && [ "$right" -gt 100 ]
}
both_show() { poll_until 10 shown_left_and_right "$1"; }
both_show $old || fail "no boards with 6 stripes side by side ($left, $right)"

menu settings "$colors"
form=$(find_window '(Farben|colors)$') || fail "no colours window from the menu"
eval "$(xdotool getwindowgeometry --shell "$form" | sed 's/^/FORM_/')"
# Bar6 lies at (272, 108), 33 x 9 pixels; its right click opens the colour dialog.
xdotool mousemove $((FORM_X + 288)) $((FORM_Y + 112)) click 3
picker=$(find_window '^(Select Colou?r|Farbauswahl)$') || fail "no colour dialog from a right click on Bar6"
xdotool windowfocus --sync "$picker" 2>/dev/null
# The HTML field's "&HTML:"; German also has "&Helligkeit:", which comes
# first, and a repeated key moves on to the next field with it.
html_keys="alt+h"
case $lang in de*) html_keys="alt+h alt+h" ;; esac
xdotool key $html_keys ctrl+a
xdotool type --delay 30 "#$new"
xdotool key Return
gone '^(Select Colou?r|Farbauswahl)$' || fail "the colour dialog stayed open"
xdotool windowfocus --sync "$form" 2>/dev/null
xdotool key alt+o # "&Ok"
gone '(Farben|colors)$' || fail "the colours window stayed open"

both_show $new || fail "the new colour is not on both boards ($left, $right)"
read -r left right <<<"$(count $old)"
[ "$left" -eq 0 ] && [ "$right" -eq 0 ] || fail "the old colour is still shown ($left, $right)"
grep -qi "^Line6=0xDC143C" vessrin.ini || fail "line colour 6 not saved: $(grep -i '^Line6=' vessrin.ini)"
echo "ok ($lang): line colour 6 changed on both boards"
exit 0
