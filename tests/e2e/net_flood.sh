#!/usr/bin/env bash
# End-to-end: 5000 datagrams from pc2's namespace at pc1, whose program runs
# alone: every kind with senders that are not pc1 (hellos, texts, moves,
# board announcements with good and broken tile orders, closings), garbage
# and wrong lengths. pc1 must stay alive and usable: a computer player then
# plays a whole game there, its total enters the high-score list, and the
# entries the settings file held before are still there.
# Usage: net_flood.sh <vessrin executable> [LANG value]
set -uo pipefail
exe=$(realpath "$1")
lang=${2:-en_US.UTF-8}
here=$(dirname "$(realpath "$0")")
# shellcheck source=netns_lib.sh
. "$here/netns_lib.sh"
netns_begin net_flood 3
netns_sniff 1 "$NETNS_ROOT/wire1" || { echo "FAIL net_flood: no packet watch"; exit 1; }
ini=$(netns_ini 1)
fail() {
    echo "FAIL ($lang): $*"
    cat "$ini" 2>/dev/null
    cat "$(netns_dir 1)"/app*.log
    exit 1
}
printf '[LinkForm]\r\nStartMenu=\r\n[HighScore]\r\nPlayer1=Anna\r\nPoints1=200\r\n' >"$ini"

netns_start_pc 1 "$exe" "$lang"
win=$(netns_main_window 1) || fail "no main window on pc1"
xdotool windowmove "$win" 0 0
netns_wait_listening 1 || fail "pc1 does not listen"

# Senders are the addresses of pc2 and pc3, whose namespaces exist but run no
# program: answers to them are refused quietly instead of waiting for an
# address that nobody owns. The refusals of an invitation (game running, no
# players) are among them: pc1 invited nobody, so they must show nothing.
netns_exec 2 python3 - <<'PYTHON' || fail "the flood could not be sent"
import random, socket, struct, time
rng = random.Random(4711)
pc1 = ("198.51.100.11", 45678)
senders = [socket.inet_aton(a) for a in ("198.51.100.12", "198.51.100.13")]
zero = bytes(4)
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)

def order(good):
    tiles = list(range(27))
    rng.shuffle(tiles)
    if not good:
        tiles[0] = tiles[1]
    return b"".join(struct.pack("<H", t) for t in tiles)

def board(kind):
    d = bytes([kind, 0]) + order(rng.random() < 0.7) + rng.choice(senders + [zero])
    name = b"Flut%d" % rng.randrange(100)
    d += name.ljust(20, b"\0") + struct.pack("<I", rng.randrange(1, 8)) + rng.choice(senders)
    return d

def datagram():
    kind = rng.choice([0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 200])
    if kind in (1, 8):
        return board(kind)
    d = bytes([kind, 0, 0, 0]) + rng.choice(senders + [zero])
    if kind in (4, 5, 7):
        d += struct.pack("<IBxH", rng.randrange(1, 8), rng.randrange(0, 21),
                         rng.choice([311, 123, 535, 0, 999]))
    elif kind == 9:
        d += rng.choice(senders) + bytes(rng.randrange(32, 127) for _ in range(60))
    return d.ljust(88, b"\0")

sent = 0
for n in range(5000):
    r = n % 10
    if r < 6:
        d = datagram()
    elif r < 8:
        d = bytes([rng.randrange(256)]) + bytes(
            rng.randrange(256) for _ in range(87))
    else:
        d = datagram()[: rng.choice([0, 1, 4, 40, 87])] if r == 8 else datagram() + b"\0"
    s.sendto(d, pc1)
    sent += 1
    if n % 50 == 49:
        time.sleep(0.03)
# Whatever boards the flood announced leave again, as when their PCs close
# them; after a pause, for the receive buffer may still be full, and a few
# times over, for any datagram may be lost.
for _ in range(3):
    time.sleep(0.7)
    for a in senders:
        for i in range(1, 8):
            s.sendto((bytes([4, 0, 0, 0]) + a + struct.pack("<I", i)).ljust(88, b"\0"), pc1)
print(sent)
PYTHON
sleep 1.5
kill -0 "${PC_PID[1]}" 2>/dev/null || fail "pc1's program died in the flood"

# Message boxes the flood may have brought (a board without a PC, a send
# refused) are closed first; then a game from the start.
for _ in $(seq 1 20); do
    box=$(netns_windows 1 '^(Vessrin|Orvanel)$' | grep -vx "$win" | head -1)
    [ -z "$box" ] && break
    xdotool windowfocus --sync "$box" 2>/dev/null
    xdotool key Return
    sleep 0.2
done
netns_new_player 1 PC || fail "pc1 did not react to the new-player button after the flood"
netns_toolbar_click 1 2
sleep 0.3
for turn in $(seq 1 19); do
    xdotool key --window "$win" Return
    sleep 0.3
done
for _ in $(seq 1 100); do
    grep -q '^Player[1-5]=PC' "$ini" && break
    sleep 0.1
done
kill -0 "${PC_PID[1]}" 2>/dev/null || fail "pc1's program died"
grep -q '^Player[1-5]=PC' "$ini" || fail "the game after the flood entered no total"
grep -q '^Player[1-5]=Anna' "$ini" || fail "the high score of Anna was lost"
grep -q '^StartMenu=' "$ini" || fail "the shortcut answer was lost"
echo "ok ($lang): pc1 took 5000 datagrams and played a game afterwards"
exit 0
