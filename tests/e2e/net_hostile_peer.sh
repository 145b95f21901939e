#!/usr/bin/env bash
# End-to-end: a stand-in PC sends the program on another PC what no real PC
# sends: datagrams of the wrong length, unknown kinds, zero senders, names and
# texts without a terminating zero, impossible moves and moves for boards that
# do not exist. The program ignores what it must ignore, still answers a hello
# afterwards, keeps its main window and its settings file intact.
# Usage: net_hostile_peer.sh <vessrin executable>
# The stand-in is looked for in the executable's build tree unless
# VESSRIN_PEER names it.
set -uo pipefail
exe=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
peer=${VESSRIN_PEER:-$(dirname "$exe")/tests/peer/vessrin_peer}
if [ ! -x "$peer" ]; then
    echo "FAIL net_hostile_peer: no stand-in PC at $peer (build vessrin_peer or set VESSRIN_PEER)"
    exit 1
fi
peer=$(realpath "$peer")
# shellcheck source=netns_lib.sh
. "$here/netns_lib.sh"
netns_begin net_hostile_peer 2
netns_sniff 1 "$NETNS_ROOT/wire1" || { echo "FAIL net_hostile_peer: no packet watch"; exit 1; }
fail() {
    echo "FAIL: $*"
    echo "--- pc1"
    cat "$(netns_ini 1)" 2>/dev/null
    cat "$(netns_dir 1)"/app*.log
    exit 1
}
on_pc2() { ip netns exec "$(netns_name 2)" "$peer" "$@"; }
pc1=$(netns_address 1)
pc2=$(netns_address 2)

netns_start_pc 1 "$exe"
win=$(netns_main_window 1) || fail "no main window on pc1"
netns_wait_listening 1 || fail "pc1 does not listen"
ini=$(netns_ini 1)
before=$(mktemp)
cp "$ini" "$before"

on_pc2 ask "$pc1" "$NETNS_PORT" "$pc2" 3000 || fail "pc1 did not answer a hello before the hostile set"
out=$(on_pc2 hostile "$pc1" "$NETNS_PORT" "$pc2")
rc=$?
echo "$out"
[ "$rc" -eq 0 ] || fail "pc1 answered datagrams it must ignore (peer exit $rc)"
kill -0 "${PC_PID[1]}" 2>/dev/null || fail "the program on pc1 ended during the hostile set"
# Refusals of an invitation that pc1 never sent, naming pc2, pc1 itself, all
# PCs and nobody, sent to pc1 and to its network's broadcast address: pc1
# shows no box, which would hold its receiver, so the hello below is still
# answered, and no window opens.
netns_exec 2 python3 - "$pc1" "$NETNS_PORT" "$pc2" <<'PYTHON' || fail "the refusals could not be sent"
import socket, sys
pc1, port, pc2 = sys.argv[1], int(sys.argv[2]), sys.argv[3]
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
for to in (pc1, "198.51.100.255"):
    for kind in (2, 3):
        for sender in (pc2, pc1, "255.255.255.255", "0.0.0.0"):
            s.sendto((bytes([kind, 0, 0, 0]) + socket.inet_aton(sender)).ljust(88, b"\0"), (to, port))
PYTHON
answer=$(on_pc2 ask "$pc1" "$NETNS_PORT" "$pc2" 3000) || fail "pc1 no longer answers a hello"
[ "$(netns_window_count 1)" -eq 1 ] || fail "pc1 opened a window for datagrams it must ignore"
echo "after the hostile set: $answer"
now=$(netns_main_window 1) || fail "pc1's main window is gone"
[ "$now" = "$win" ] || fail "pc1's main window changed ($win -> $now)"
kill -0 "${PC_PID[1]}" 2>/dev/null || fail "the program on pc1 is no longer running"
# Closing board copies and opening the messages window store their places,
# so the file may grow; what it held stays, and every line stays well-formed.
while IFS= read -r line; do
    grep -qxF -- "$line" "$ini" || fail "pc1's settings file lost the line '$line'"
done <"$before"
bad=$(tr -d '\r' <"$ini" | grep -cvE '^(\[[A-Za-z]+\]|[A-Za-z0-9]+=.*|)$')
[ "$bad" -eq 0 ] || fail "pc1's settings file holds $bad malformed line(s)"
rm -f "$before"
echo "ok: pc1 withstood the hostile set and still answers"
exit 0
