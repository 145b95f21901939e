#!/usr/bin/env bash
# End-to-end: a PC that falls silent in the middle of a game. Computer players
# on pc1 and pc2 play two turns; then pc2's program is killed without a word.
# pc1 must ask its player whether to go on without pc2's players (after 30 s
# of silence, not much later and not before); Yes lets pc1 finish its game
# alone: its high-score list gets the total and, after the last Return, it is
# idle again and takes a new player. Fails when pc1 never asks, asks too
# early, shows some other box, or still waits for pc2's board after Yes.
# Usage: net_silent_pc.sh <vessrin executable> [LANG value]
set -uo pipefail
exe=$(realpath "$1")
lang=${2:-en_US.UTF-8}
here=$(dirname "$(realpath "$0")")
# shellcheck source=netns_lib.sh
. "$here/netns_lib.sh"
require_tools import convert tesseract
netns_begin net_silent_pc 2
netns_sniff_all || { echo "FAIL net_silent_pc: no packet watch"; exit 1; }
fail() {
    echo "FAIL ($lang): $*"
    for i in 1 2; do echo "--- pc$i"; cat "$(netns_ini "$i")" 2>/dev/null; cat "$(netns_dir "$i")"/app*.log; done
    exit 1
}
a1=$(netns_address 1)
a2=$(netns_address 2)
case $lang in
de*) caption=Vessrin ocr=deu question="PC $a2 antwortet seit 30 s nicht" ;;
*) caption=Orvanel ocr=eng question="PC $a2 has not answered for 30 s" ;;
esac

netns_start_pcs 2 "$exe" "$lang" || fail "the PCs did not start"
netns_wait_acquainted 1 2 || fail "the PCs did not find each other"
netns_new_player 1 PC || fail "no player dialog on pc1"
netns_new_player 2 PC || fail "no player dialog on pc2"
sleep 0.5
for i in 1 2; do
    netns_toolbar_click "$i" 2 # next player due: the local board to the front
    sleep 0.3
done
confirm() { # pc: Ok on its board in front, sent to the window itself
    xdotool key --window "${win[$1]}" Return
    sleep 0.35
}
for _ in 1 2; do
    confirm 1
    confirm 2
done
# Both confirmations of turn 2 have arrived: pc1 waits for nothing but pc2.
two_turns() { # each PC has seen both confirmations of the other
    [ "$(grep -cE "^$a2 $a1 5 " "$NETNS_ROOT/wire1")" -ge 2 ] &&
        [ "$(grep -cE "^$a1 $a2 5 " "$NETNS_ROOT/wire2")" -ge 2 ]
}
poll_until 5 two_turns ||
    fail "the first two turns were not confirmed on both PCs"
sleep 0.5

# Killed, pc2 sends no goodbye: pc1 hears nothing more from it.
kill -KILL "${PC_PID[2]}"
wait "${PC_PID[2]}" 2>/dev/null
killed=$SECONDS
box=""
while [ $((SECONDS - killed)) -lt 40 ]; do
    for w in $(netns_windows 1 "^$caption\$"); do
        [ "$w" != "${win[1]}" ] && box=$w
    done
    [ -n "$box" ] && break
    sleep 0.2
done
asked=$((SECONDS - killed))
[ -n "$box" ] || fail "pc1 did not ask about the silent pc2 within 40 s"
# Its last progress left pc2 at most about a second before the kill.
[ "$asked" -ge 27 ] || fail "pc1 asked about pc2 after $asked s of silence, before 30 s"
sleep 0.3
import -window "$box" "$NETNS_ROOT/box.png"
convert "$NETNS_ROOT/box.png" -resize 300% -colorspace Gray "$NETNS_ROOT/box-big.png"
said=$(tesseract "$NETNS_ROOT/box-big.png" - -l "$ocr" 2>/dev/null | tr -s ' \n' '  ')
[[ "$said" == *"$question"* ]] || fail "pc1's box after $asked s reads: $said"

# Return takes the default, Yes.
xdotool windowfocus --sync "$box" 2>/dev/null
xdotool key Return
answered() { [ -z "$(netns_windows 1 "^$caption\$" | grep -vx "${win[1]}")" ]; }
poll_until 5 answered ||
    fail "the question stayed open after Return"
sleep 0.5

# Turns 3 to 19 are left, pc1's board alone in the game: each Return
# confirms one and brings the next tile at once.
for _ in $(seq 3 19); do confirm 1; done
ended() { [ -n "$(netns_points 1)" ]; }
poll_until 10 ended ||
    fail "pc1's game did not end after Yes: it still waits for pc2's board"
points=$(netns_points 1)

# The finished board stays until Return; while it does, no new player.
player_dialog() { # opens pc1's player dialog: true when it shows
    netns_toolbar_click 1 0
    netns_wait_window 1 '(Spieler|player)$' >/dev/null
}
if player_dialog; then
    fail "pc1 took a new player while its finished board was still open"
fi
xdotool key --window "${win[1]}" Return
sleep 0.5
player_dialog || fail "pc1 took no new player after its finished board closed"
xdotool key Escape
echo "ok ($lang): pc1 asked after $asked s of silence, went on alone on Yes and ended with ${points% }"
exit 0
