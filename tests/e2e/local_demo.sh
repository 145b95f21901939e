#!/usr/bin/env bash
# End-to-end: while no game runs, the main window's demonstration board is
# alive: the new-player button and its twin swap every other second, and in
# the seconds between, the highlighted cell moves. Four screenshots a second
# apart must show both changes, and neither region may be blank.
# Usage: local_demo.sh <vessrin executable> <LANG value>
set -uo pipefail
exe=$(realpath "$1")
lang=$2
# shellcheck source=one_pc_lib.sh
. "$(dirname "$(realpath "$0")")/one_pc_lib.sh"
require_tools compare
local_start
# The new-player button at the left of the toolbar below the menu bar, and
# the panel below the toolbar.
button=38x38+$((X + 6))+$((Y + 14))
panel=$((WIDTH))x$((HEIGHT - 64))+$X+$((Y + 64))
for i in 0 1 2 3; do
    sleep 1 &
    import -window root "$work/shot$i.png"
    wait $!
done
for i in 0 1 2 3; do
    convert "$work/shot$i.png" -crop "$button" +repage "$work/button$i.png"
    convert "$work/shot$i.png" -crop "$panel" +repage "$work/panel$i.png"
done
colours() { convert "$1" -format '%k' info:; }
changed() { # region: how many of the three steps changed it
    local n=0 i
    for i in 0 1 2; do
        [ "$(compare -metric AE "$work/$1$i.png" "$work/$1$((i + 1)).png" null: 2>&1)" != 0 ] &&
            n=$((n + 1))
    done
    echo $n
}
[ "$(colours "$work/button0.png")" -gt 4 ] || fail "no new-player button to see"
[ "$(colours "$work/panel0.png")" -gt 20 ] || fail "the demonstration board is blank"
buttons=$(changed button)
board=$(changed panel)
# Ticks alternate between the buttons and the highlight, so in three steps of
# a second each kind comes at least once; the buttons never change twice running.
[ "$buttons" -ge 1 ] && [ "$buttons" -le 2 ] || fail "the new-player button changed in $buttons of 3 seconds"
[ "$board" -ge 1 ] || fail "the highlight did not move in 3 seconds"
echo "ok ($lang): demonstration board alive: button changed $buttons and board $board times in 3 s"
exit 0
