#!/usr/bin/env bash
# End-to-end: a new port entered in the network settings moves the receiver.
# pc3 runs no program, only a probe that sends a hello datagram and waits for
# the answer. pc1 answers on the old port; after its port dialog took a new
# one, it answers there, and the old port is closed (the probe's datagram is
# refused). pc2, moved to the new port the same way, reaches pc1 by an
# invitation, which pc1 answers with nmNoPlayers: pc2 shows a message box.
# Usage: net_port.sh <vessrin executable> [LANG value]
set -uo pipefail
exe=$(realpath "$1")
lang=${2:-en_US.UTF-8}
here=$(dirname "$(realpath "$0")")
# shellcheck source=netns_lib.sh
. "$here/netns_lib.sh"
old=45678
new=45679
# Root, whose port settings reach /etc/services as well; net_port_user.sh
# plays the ordinary user.
NETNS_AS_ROOT=1
netns_begin net_port 3 "$old"
netns_sniff_all || { echo "FAIL net_port: no packet watch"; exit 1; }
fail() {
    echo "FAIL ($lang): $*"
    for i in 1 2; do echo "--- pc$i"; cat "$(netns_dir "$i")/config/vessrin/services"; cat "$(netns_dir "$i")"/app*.log; done
    exit 1
}

# From pc3: a hello from 198.51.100.13 to pc1 at a port; prints "present"
# when pc1 answers from its own address, "refused" when nothing listens there.
probe() { # port
    netns_exec 3 python3 - "$1" <<'PYTHON'
import socket, sys, time
port = int(sys.argv[1])
pc1 = "198.51.100.11"
hello = bytes([0, 0, 0, 0]) + socket.inet_aton("198.51.100.13") + bytes(80)
# Answers come from a socket of their own, to the port; a refusal comes back
# to the sending socket.
answers = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
answers.bind(("0.0.0.0", port))
answers.settimeout(0.1)
out = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
out.connect((pc1, port))
out.setblocking(False)
out.send(hello)
end = time.time() + 3
while time.time() < end:
    try:
        out.recv(200)
    except BlockingIOError:
        pass
    except ConnectionRefusedError:
        print("refused")
        sys.exit(0)
    try:
        data = answers.recv(200)
    except socket.timeout:
        continue
    # The answer of a PC without players: nmPresent naming pc1.
    if len(data) == 88 and data[0] == 10 and data[4:8] == socket.inet_aton(pc1):
        print("present")
        sys.exit(0)
print("silent")
PYTHON
}

# The port dialog from the menu, the new port typed over the selected old one.
set_port() { # pc, port
    netns_port_dialog "$1" || fail "no port dialog on pc$1"
    xdotool type --delay 40 "$2"
    xdotool key Return
    for _ in $(seq 1 30); do
        grep -Eq "^Vessrin[[:space:]]+$2/udp" "$(netns_dir "$1")/config/vessrin/services" && return 0
        sleep 0.1
    done
    fail "pc$1's services file has no entry for port $2"
}

netns_start_pcs 2 "$exe" "$lang" || fail "the PCs did not start"
netns_wait_acquainted 1 2 || fail "the PCs did not find each other"

[ "$(probe $old)" = present ] || fail "pc1 does not answer on port $old"
set_port 1 $new
sleep 0.3
got=$(probe $new)
[ "$got" = present ] || fail "pc1 does not answer on its new port $new ($got)"
got=$(probe $old)
[ "$got" = refused ] || fail "pc1 still takes datagrams on its old port $old ($got)"

set_port 2 $new
sleep 0.5
netns_new_player 2 '\\pc1' || fail "no player dialog on pc2"
# The message box carries the main window's caption.
box=""
for _ in $(seq 1 30); do
    box=$(netns_windows 2 '^(Vessrin|Orvanel)$' | grep -vx "${win[2]}" | head -1)
    [ -n "$box" ] && break
    sleep 0.1
done
[ -n "$box" ] || fail "pc2's invitation on port $new brought no answer"
case $lang in
de*) caption=Vessrin ;;
*) caption=Orvanel ;;
esac
[ "$(xdotool getwindowname "$box")" = "$caption" ] || fail "pc2's answer is not titled $caption"
xdotool windowfocus --sync "$box" 2>/dev/null
xdotool key Return
echo "ok ($lang): pc1 moved from port $old to $new, and pc2 followed"
exit 0
