#!/usr/bin/env bash
# End-to-end: three PCs in network namespaces, real UDP between them. An
# invitation by name to a PC without players is answered with a message; then
# a computer player on pc1 and one on pc2 play a whole game, pc3 watches, and
# every PC ends with the same entries in its high-score list. A second program
# on pc1 cannot bind the port and says so.
# Usage: net_game.sh <vessrin executable> [LANG value]
set -uo pipefail
exe=$(realpath "$1")
lang=${2:-en_US.UTF-8}
here=$(dirname "$(realpath "$0")")
# shellcheck source=netns_lib.sh
. "$here/netns_lib.sh"
netns_begin net_game 3
netns_sniff_all || { echo "FAIL net_game: no packet watch"; exit 1; }
fail() {
    echo "FAIL ($lang): $*"
    for i in 1 2 3; do echo "--- pc$i"; cat "$(netns_ini "$i")" 2>/dev/null; cat "$(netns_dir "$i")"/app*.log; done
    exit 1
}

netns_start_pcs 3 "$exe" "$lang" || fail "the PCs did not start"
netns_wait_acquainted 1 2 3 || fail "the PCs did not find each other"

shot() { [ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/$1.png"; }
focus() { xdotool windowfocus --sync "${win[$1]}" 2>/dev/null; }
# The new-player button at the left of the toolbar, below the menu bar.
new_player() { # pc, name
    local i=$1 dialog
    focus "$i"
    eval "$(xdotool getwindowgeometry --shell "${win[$i]}")"
    xdotool mousemove $((X + 24)) $((Y + 30 + 16)) click 1
    dialog=""
    for _ in $(seq 1 50); do
        dialog=$(netns_windows "$i" '(Spieler|player)$' | head -1)
        [ -n "$dialog" ] && break
        sleep 0.1
    done
    [ -n "$dialog" ] || fail "no player dialog on pc$i"
    xdotool windowfocus --sync "$dialog" 2>/dev/null
    xdotool type --delay 40 "$2"
    xdotool key Return
    sleep 0.8
}

# pc2 has no players and invites pc1, which has none either: pc2 shows
# "There are no players on PC 198.51.100.11" in a message box.
before=$(netns_window_count 2)
new_player 2 '\\pc1'
sleep 0.5
after=$(netns_window_count 2)
[ "$after" -gt "$before" ] || fail "the invitation of pc1 brought no answer to pc2 ($before -> $after windows)"
# The message box carries the main window's caption in the language in use.
case $lang in
de*) caption=Vessrin ;;
*) caption=Orvanel ;;
esac
[ "$(netns_windows 2 "^$caption\$" | wc -l)" -ge 2 ] || fail "pc2's answer is not titled $caption"
xdotool key Return # closes the message box
sleep 0.3

shot invited
new_player 1 PC
shot pc1joined
new_player 2 PC
sleep 0.5
shot pc2joined
# The boards announced last are in front; "next player due" brings the
# local board forward, which Return then confirms.
for i in 1 2; do
    focus "$i"
    eval "$(xdotool getwindowgeometry --shell "${win[$i]}")"
    xdotool mousemove $((X + 88 + 16)) $((Y + 30 + 16)) click 1
    sleep 0.3
done
# Every confirmation travels to the other PCs before the next key press.
for turn in $(seq 1 19); do
    for i in 1 2; do
        # Sent to the window itself: no race for the input focus between PCs.
        xdotool key --window "${win[$i]}" Return
        # A sanitizer build on a busy machine needs the longer pause.
        sleep 0.5
    done
done
netns_wait_points 1 2 3 >/dev/null
shot end
p1=$(netns_points 1)
p2=$(netns_points 2)
p3=$(netns_points 3)
# Both players are named "PC", and the list keeps one entry per name.
[ -n "$p1" ] || fail "pc1 entered no total"
[ "$p1" = "$p2" ] || fail "totals differ: pc1 '$p1', pc2 '$p2'"
[ "$p1" = "$p3" ] || fail "totals differ: pc1 '$p1', pc3 '$p3'"

# A second program on pc1 finds the port taken: a message box appears.
netns_start_pc 1 "$exe" "$lang" 4
count=0
for _ in $(seq 1 50); do
    count=$(netns_window_count 4)
    [ "$count" -ge 2 ] && break
    sleep 0.1
done
shot second
[ "$count" -ge 2 ] || fail "the second program on pc1 showed no bind failure"
# The box names the step and the socket error, read off the screen: the
# narrower of the second program's two windows.
box=""
for w in $(netns_windows 4); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ "$WIDTH" -lt 600 ] && box=$w
done
[ -n "$box" ] || fail "no message box among the second program's windows"
sleep 0.3
import -window "$box" "$NETNS_ROOT/box.png"
convert "$NETNS_ROOT/box.png" -resize 300% -colorspace Gray "$NETNS_ROOT/box-big.png"
said=$(tesseract "$NETNS_ROOT/box-big.png" - -l eng 2>/dev/null | tr -s ' \n' '  ')
[[ "$said" == *"Binding the socket"*"already in use"* ]] || fail "the bind failure reads: $said"
echo "ok ($lang): three PCs, invitation answered, the game ended with the same high scores everywhere ($p1)"
exit 0
