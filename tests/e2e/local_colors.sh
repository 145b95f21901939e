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
de*) window_menu=alt+f tile=n settings_menu=alt+e colors=f ;;
*) window_menu=alt+w tile=t settings_menu=alt+s colors=c ;;
esac
old=FF0000 # line colour 6 by default
new=3C14DC

for n in 1 2; do
    xdotool mousemove $((X + 24)) $((Y + 46)) click 1
    dialog=$(timeout 5 xdotool search --sync --onlyvisible --name '(Spieler|player)$' | head -1)
    [ -n "$dialog" ] || fail "no player dialog"
    xdotool type --delay 50 "PC"
    xdotool key Return
    sleep 0.7
done
# Each Return confirms the computer's tile on the board in front.
for i in $(seq 1 38); do
    xdotool key Return
    sleep 0.25
done
# The whole screen for the main window, both boards side by side.
xdotool windowmove "$win" 0 0 windowsize "$win" 1280 900
sleep 0.5
xdotool windowfocus --sync "$win"
xdotool key "$window_menu"
sleep 0.3
xdotool key "$tile"
sleep 0.7
# Pixels of one colour in the left and the right half, below the toolbar
# and the boards' title bars.
count() { # colour
    import -window root "$work/screen.png"
    for half in 640x800+0+100 640x800+640+100; do
        convert "$work/screen.png" -crop "$half" +repage -fill black +opaque "#$1" \
            -fill white -opaque "#$1" -format '%[fx:round(mean*w*h)] ' info:
    done
}
# Both halves show a colour: counted again until they do, for some 3 s.
both_show() { # colour
    for _ in $(seq 10); do
        read -r left right <<<"$(count "$1")"
        [ "$left" -gt 100 ] && [ "$right" -gt 100 ] && return 0
        sleep 0.3
    done
    return 1
}
both_show $old || fail "no boards with 6 stripes side by side ($left, $right)"

xdotool key "$settings_menu"
sleep 0.3
xdotool key "$colors"
form=$(timeout 5 xdotool search --sync --onlyvisible --name '(Farben|colors)$' | head -1)
[ -n "$form" ] || fail "no colours window from the menu"
eval "$(xdotool getwindowgeometry --shell "$form" | sed 's/^/FORM_/')"
# Bar6 lies at (272, 108), 33 x 9 pixels; its right click opens the colour dialog.
xdotool mousemove $((FORM_X + 288)) $((FORM_Y + 112)) click 3
picker=$(timeout 5 xdotool search --sync --onlyvisible --name '^Select Colou?r$' | head -1)
[ -n "$picker" ] || fail "no colour dialog from a right click on Bar6"
sleep 0.3
xdotool key alt+h ctrl+a
xdotool type --delay 30 "#$new"
xdotool key Return
sleep 0.5
# Ok of the colours window, at (344, 296), 65 x 25 pixels.
xdotool mousemove $((FORM_X + 376)) $((FORM_Y + 308)) click 1
sleep 0.7
xdotool search --onlyvisible --name '(Farben|colors)$' >/dev/null && fail "the colours window stayed open"

both_show $new || fail "the new colour is not on both boards ($left, $right)"
read -r left right <<<"$(count $old)"
[ "$left" -eq 0 ] && [ "$right" -eq 0 ] || fail "the old colour is still shown ($left, $right)"
grep -qi "^Line6=0xDC143C" vessrin.ini || fail "line colour 6 not saved: $(grep -i '^Line6=' vessrin.ini)"
echo "ok ($lang): line colour 6 changed on both boards"
exit 0
