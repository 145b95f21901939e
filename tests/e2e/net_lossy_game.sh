#!/usr/bin/env bash
# End-to-end: a game between two PCs on a network that loses datagrams. Each
# PC's interface drops a tenth of its outgoing game datagrams at random
# (nftables, inside its namespace). A computer player on pc1 and one on pc2
# play a whole game; it must end on both PCs with the same high-score entries
# and the same total for each board. Fails when a lost announcement, move or
# confirmation is not made good: then a board waits for a tile that never
# comes, a PC never enters a total, or a copy of a board ends up with other
# cells than its original.
# Usage: net_lossy_game.sh <vessrin executable> [LANG value]
set -uo pipefail
exe=$(realpath "$1")
lang=${2:-en_US.UTF-8}
here=$(dirname "$(realpath "$0")")
# shellcheck source=netns_lib.sh
. "$here/netns_lib.sh"
require_tools nft import convert tesseract
netns_begin net_lossy_game 2
netns_sniff_all || { echo "FAIL net_lossy_game: no packet watch"; exit 1; }
fail() {
    echo "FAIL ($lang): $*"
    for i in 1 2; do
        echo "--- pc$i"
        counters "$i" | tr '\n' ' '
        echo
        cat "$(netns_ini "$i")" 2>/dev/null
        cat "$(netns_dir "$i")"/app*.log
    done
    exit 1
}

# Dropped at the interface's egress, as a lossy network would: a drop in the
# IP output path would fail the program's send with an error instead. The
# counting rules come first, so they see every datagram the program sends:
# per turn, its board's laid tile (kind 7) and its confirmation (kind 5).
# @th,64,8 is the first payload byte (the kind), @th,160,8 a move's turn.
lose() { # pc
    local t counters="" rules=""
    for t in $(seq 1 19); do
        counters+="counter laid$t { }"$'\n'"counter confirmed$t { }"$'\n'
        rules+="udp dport $NETNS_PORT @th,64,8 7 @th,160,8 $t counter name laid$t"$'\n'
        rules+="udp dport $NETNS_PORT @th,64,8 5 @th,160,8 $t counter name confirmed$t"$'\n'
    done
    netns_exec "$1" nft -f - <<RULES
table netdev e2eloss {
    counter sent { }
    counter dropped { }
    $counters
    chain egress {
        type filter hook egress device "eth0" priority 0; policy accept;
        udp dport $NETNS_PORT counter name sent
        $rules
        udp dport $NETNS_PORT numgen random mod 100 < 10 counter name dropped drop
    }
}
RULES
}
# Every counter of PC i's table as "name packets", one a line.
counters() { # pc
    netns_exec "$1" nft list table netdev e2eloss 2>/dev/null |
        awk '$1 == "counter" && $3 == "{" { name = $2 }
             $1 == "packets" && name != "" { print name, $2; name = "" }'
}
counted() { counters "$1" | awk -v n="$2" '$1 == n { print $2 }'; }
# The highest turn whose laid tile, and whose confirmation, PC i has sent.
turns() { # pc: prints "laid confirmed"
    counters "$1" | awk '
        $2 > 0 && $1 ~ /^laid/ { t = substr($1, 5) + 0; if (t > l) l = t }
        $2 > 0 && $1 ~ /^confirmed/ { t = substr($1, 10) + 0; if (t > c) c = t }
        END { print l + 0, c + 0 }'
}
confirmed_more() { [ "$(turns "$1" | cut -d' ' -f2)" -gt "$2" ]; } # pc, turns before

netns_start_pcs 2 "$exe" "$lang" || fail "the PCs did not start"
# Getting acquainted is not the subject here: the loss begins after it.
netns_wait_acquainted 1 2 || fail "the PCs did not find each other"
for i in 1 2; do
    lose "$i" || { echo "SKIPPED net_lossy_game: nftables cannot drop on an interface here"; exit 77; }
done

# Each board's announcement reaches the other PC, if need be repeated. pc2's
# player joins once pc1's board has reached pc2, as a user joins a game he
# sees: joining before, pc2 would start a game of its own, whose tile order
# pc1 rightly refuses.
a1=$(netns_address 1)
a2=$(netns_address 2)
netns_new_player 1 PC || fail "no player dialog on pc1"
netns_wait_line "$NETNS_ROOT/wire2" "^$a1 [0-9.]+ (1|8|13) " 10 || fail "pc2 never heard of pc1's board"
netns_new_player 2 PC || fail "no player dialog on pc2"
netns_wait_line "$NETNS_ROOT/wire1" "^$a2 [0-9.]+ (1|8|13) " 10 || fail "pc1 never heard of pc2's board"
sleep 0.5
for i in 1 2; do
    netns_toolbar_click "$i" 2 # next player due: the local board to the front
    sleep 0.3
done

# Return only while the local board has laid its tile and not confirmed it,
# and once per turn: while it waits for the other PC, that PC's board is in
# front, where Return would open the messages instead, and after the last
# turn Return closes the board. So each press waits until its confirmation
# has gone out before the next.
end=$((SECONDS + 120))
declare -a confirmed=(0 0 0)
while :; do
    playing=0
    for i in 1 2; do
        read -r laid "confirmed[i]" <<<"$(turns "$i")"
        [ "${confirmed[i]}" -ge 19 ] && continue
        playing=1
        [ "$laid" -gt "${confirmed[i]}" ] || continue
        xdotool key --window "${win[$i]}" Return
        # Up to 5 s for the program to take the key; then it gets another.
        poll_until 5 confirmed_more "$i" "${confirmed[i]}"
    done
    [ "$playing" = 0 ] && break
    if [ "$SECONDS" -ge "$end" ]; then
        fail "after 120 s pc1 has confirmed ${confirmed[1]} turns and pc2 ${confirmed[2]}: the game is stuck after a lost datagram"
    fi
    sleep 0.2
done

if ! points=$(netns_wait_points 1 2); then
    [ -n "$(netns_points 1)" ] || fail "the game did not end on pc1"
    [ -n "$(netns_points 2)" ] || fail "the game did not end on pc2"
    fail "the totals differ: pc1 '$(netns_points 1)', pc2 '$(netns_points 2)'"
fi
# The high-score list keeps one entry per name, the better "PC": the status
# line names every board's total, read off the screen. Both boards must be
# in one game on both PCs, with the same totals.
status_totals() { # pc: "PC <total>" of each board at the game's end, sorted
    import -window "${win[$1]}" "$NETNS_ROOT/main$1.png"
    convert "$NETNS_ROOT/main$1.png" -gravity South -crop 0x22+0+0 +repage -resize 300% \
        -colorspace Gray "$NETNS_ROOT/status$1.png"
    local said
    local ocr=eng over="Game over" list=list
    case $lang in de*) ocr=deu over=Spielende list=Bestenliste ;; esac
    said=$(tesseract "$NETNS_ROOT/status$1.png" - -l "$ocr" 2>/dev/null | tr -s ' \n' '  ')
    [[ "$said" == *"$over"* ]] || { echo "$said"; return 1; }
    said=${said#*"$over"}
    grep -oE 'PC [0-9]+' <<<"${said%%"$list"*}" | sort | tr '\n' ' '
}
t1=$(status_totals 1) || fail "pc1's status line does not say the game is over: $t1"
t2=$(status_totals 2) || fail "pc2's status line does not say the game is over: $t2"
[ "$(wc -w <<<"$t1")" = 4 ] || fail "pc1's game did not have both boards: $t1"
[ "$t1" = "$t2" ] || fail "the boards' totals differ: pc1 '$t1', pc2 '$t2'"
summary=""
for i in 1 2; do
    dropped=$(counted "$i" dropped)
    [ "${dropped:-0}" -gt 0 ] || fail "pc$i's interface dropped no datagram: the loss did not work"
    summary+=" pc$i dropped $dropped of $(counted "$i" sent) datagrams;"
done
echo "ok ($lang): the game ended on both PCs with the totals ${t1% } (high score ${points% }) despite the loss;$summary"
exit 0
