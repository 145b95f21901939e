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
if ! reason=$(netns_available); then
    echo "SKIP net_hostile_peer: $reason"
    exit 0
fi
trap netns_cleanup EXIT
netns_setup 2 || { echo "FAIL: namespaces could not be set up"; exit 1; }
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
sleep 1 # start-up settles, the first hello goes out
ini=$(netns_ini 1)
before=$(mktemp)
cp "$ini" "$before"

on_pc2 ask "$pc1" "$NETNS_PORT" "$pc2" 3000 || fail "pc1 did not answer a hello before the hostile set"
out=$(on_pc2 hostile "$pc1" "$NETNS_PORT" "$pc2")
rc=$?
echo "$out"
[ "$rc" -eq 0 ] || fail "pc1 answered datagrams it must ignore (peer exit $rc)"
kill -0 "${PC_PID[1]}" 2>/dev/null || fail "the program on pc1 ended during the hostile set"
answer=$(on_pc2 ask "$pc1" "$NETNS_PORT" "$pc2" 3000) || fail "pc1 no longer answers a hello"
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
