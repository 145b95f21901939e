#!/usr/bin/env bash
# End-to-end: two PCs find each other by their hellos on a LAN with only the
# subnet route (no default route, where 255.255.255.255 cannot be sent), and
# on a LAN with a default route. What passes each PC's interface is watched:
# each PC's hello reaches the other, each answers the other's hello with
# nmPresent, and every hello crosses the network exactly once.
# Usage: net_lan_broadcast.sh <vessrin executable>
set -uo pipefail
exe=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
# shellcheck source=netns_lib.sh
. "$here/netns_lib.sh"

phase=""
fail() {
    echo "FAIL net_lan_broadcast ($phase): $*"
    for i in 1 2; do
        echo "--- pc$i seen on the wire"
        cat "$NETNS_ROOT/wire$i"
        echo "--- pc$i log"
        cat "$(netns_dir "$i")"/app*.log
    done
    exit 1
}

run_phase() { # 1 with a default route, 0 without
    NETNS_DEFAULT_ROUTE=$1
    phase=$([ "$1" = 1 ] && echo "default route" || echo "subnet route only")
    netns_begin net_lan_broadcast 2
    local pc1 pc2 bcast w1=$NETNS_ROOT/wire1 w2=$NETNS_ROOT/wire2
    pc1=$(netns_address 1)
    pc2=$(netns_address 2)
    bcast=198.51.100.255
    netns_sniff 1 "$w1" || fail "no packet watch on pc1"
    netns_sniff 2 "$w2" || fail "no packet watch on pc2"
    # Lines: source, destination, kind (0 hello, 10 present), named sender.
    netns_start_pc 1 "$exe"
    netns_main_window 1 >/dev/null || fail "no main window on pc1"
    netns_wait_line "$w2" "^$pc1 $bcast 0 $pc1\$" 10 || fail "pc1's hello did not reach pc2"
    netns_start_pc 2 "$exe"
    netns_main_window 2 >/dev/null || fail "no main window on pc2"
    netns_wait_line "$w1" "^$pc2 $bcast 0 $pc2\$" 10 || fail "pc2's hello did not reach pc1"
    netns_wait_line "$w2" "^$pc1 $pc2 10 $pc1\$" 10 || fail "pc1 did not answer pc2's hello"
    # pc1 starts again and announces itself to the running pc2.
    kill "${PC_PID[1]}"
    wait "${PC_PID[1]}" 2>/dev/null
    netns_start_pc 1 "$exe" en_US.UTF-8 3
    netns_wait_line "$w1" "^$pc2 $pc1 10 $pc2\$" 10 || fail "pc2 did not answer pc1's hello"
    # One hello per start and own address, onto the one network there is.
    local hellos
    hellos=$(grep -c "^$pc1 [0-9.]* 0 $pc1\$" "$w2")
    [ "$hellos" -eq 2 ] || fail "pc2 saw $hellos hellos of pc1's two starts"
    hellos=$(grep -c "^$pc2 [0-9.]* 0 $pc2\$" "$w1")
    [ "$hellos" -eq 1 ] || fail "pc1 saw $hellos hellos of pc2's one start"
    echo "ok ($phase): hellos crossed once each and were answered"
    netns_cleanup
    trap - EXIT
}

run_phase 0
run_phase 1
exit 0
