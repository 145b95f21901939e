#!/usr/bin/env bash
# End-to-end: two PCs on different networks joined by a router, where no
# hello reaches the other PC; pc1 has a second address that pc2 cannot
# reach. pc2 invites pc1 by its dotted address, takes over pc1's game, and a
# computer player on each PC plays a whole game over the router; every move
# names the address it came from, and both PCs end with the same totals in
# their high-score lists.
# Usage: net_routed_game.sh <vessrin executable> [LANG value]
set -uo pipefail
exe=$(realpath "$1")
lang=${2:-en_US.UTF-8}
here=$(dirname "$(realpath "$0")")
# shellcheck source=netns_lib.sh
. "$here/netns_lib.sh"
NETNS_ROUTED=1
netns_begin net_routed_game 2
fail() {
    echo "FAIL net_routed_game ($lang): $*"
    for i in 1 2; do echo "--- pc$i"; cat "$(netns_ini "$i")" 2>/dev/null; cat "$(netns_dir "$i")"/app*.log; done
    exit 1
}
pc1=$(netns_address 1)
pc2=$(netns_address 2)
[ "${pc1%.*}" != "${pc2%.*}" ] || fail "the PCs share a network ($pc1, $pc2)"
netns_exec 2 ip route get "$pc1" | grep -q via || fail "pc2 reaches pc1 without the router"
# pc1 also owns an address that pc2 cannot reach, and that the exclusive-or
# rule takes as nearer to pc2 (its last octet counts most: 13 ^ 12 = 1 against
# 11 ^ 12 = 7), as a LAN address can be beside a VPN's. pc1 must name the
# address its datagrams leave from, or pc2's answers go nowhere.
stray=10.99.0.13
netns_exec 1 ip link add stray0 type veth peer name stray1 &&
    netns_exec 1 ip addr add "$stray/24" dev stray0 &&
    netns_exec 1 ip link set stray1 up &&
    netns_exec 1 ip link set stray0 up || fail "no second address on pc1"
echo "$stray pc1" >>"/etc/netns/$(netns_name 1)/hosts"
[ "$(netns_exec 1 getent ahostsv4 pc1 | awk '{print $1}' | sort -u | wc -l)" -eq 2 ] ||
    fail "pc1's name does not give both its addresses"

# Lines: source, destination, kind, named sender.
netns_sniff 1 "$NETNS_ROOT/wire1" || fail "no packet watch on pc1"
netns_sniff 2 "$NETNS_ROOT/wire2" || fail "no packet watch on pc2"

shot() { [ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/routed-$1.png"; }
netns_start_pcs 2 "$exe" "$lang" || fail "the PCs did not start"

netns_new_player 1 PC
shot pc1joined
# pc2 has no board: the invitation asks pc1 for its boards.
netns_new_player 2 "\\\\$pc1"
# A refusal would be a message box on pc2.
[ "$(netns_window_count 2)" -eq 1 ] || fail "pc2 shows a message after inviting pc1"
netns_new_player 2 PC
shot pc2joined
# "Next player due" brings each PC's local board forward; Return confirms it.
for i in 1 2; do
    netns_toolbar_click "$i" 2
    sleep 0.3
done
for _ in $(seq 1 19); do
    for i in 1 2; do
        # Sent to the window itself: no race for the input focus between PCs.
        xdotool key --window "${win[$i]}" Return
        sleep 0.35
    done
done
shot end

netns_wait_points 1 2 >/dev/null
p1=$(netns_points 1)
p2=$(netns_points 2)
[ -n "$p1" ] || fail "pc1 entered no total"
[ "$p1" = "$p2" ] || fail "totals differ: pc1 '$p1', pc2 '$p2'"
# Every confirmation crossed the router, each side naming its own address.
n=$(grep -c "^$pc1 $pc2 5 $pc1\$" "$NETNS_ROOT/wire2")
[ "$n" -eq 19 ] || fail "pc2 received $n of pc1's 19 confirmations"
n=$(grep -c "^$pc2 $pc1 5 $pc2\$" "$NETNS_ROOT/wire1")
[ "$n" -eq 19 ] || fail "pc1 received $n of pc2's 19 confirmations"
! grep -q " $stray\$" "$NETNS_ROOT/wire2" || fail "pc1 named its unreachable address to pc2"
echo "ok ($lang): a game between $pc1 and $pc2 across a router ended alike ($p1)"
exit 0
