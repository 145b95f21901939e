#!/usr/bin/env bash
# Separate PCs for network tests: one network namespace per PC, joined by a
# bridge that lives in a namespace of its own, each PC with its own host name,
# address, hosts file, config folder (with the game's service entry) and
# working folder and its own view of /etc. Only the documentation networks
# 198.51.100.0/24, 203.0.113.0/24 and 192.0.2.0/24 are used, all inside the
# namespaces. Source this file and call netns_begin.
#
#   netns_begin <test> <count> [port]
#                                   skips the test (exit 77) where namespaces
#                                   cannot be made, else sets them up and
#                                   cleans up at exit
#   netns_setup <count> [port]      PCs pc1..pcN at 198.51.100.11, .12, ...
#                                   NETNS_DEFAULT_ROUTE=0: the subnet route
#                                   only; NETNS_ROUTED=1: each PC on a
#                                   network of its own (pc1 198.51.100.11,
#                                   pc2 203.0.113.12, pc3 192.0.2.13), the
#                                   bridge's namespace routes between them
#   netns_wait_points <i...>        waits until the PCs' high-score lists agree
#   netns_sniff_all                 netns_sniff for every PC to $NETNS_ROOT/wire<i>
#   netns_wait_listening <i>        waits until PC i's receiver has said hello
#   netns_wait_acquainted <i...>    waits until these PCs know each other
#   netns_sniff <i> <file>          writes every game datagram that passes
#                                   PC i's interface to the file, one line
#                                   each: source, destination, kind, sender
#   netns_start_pc <i> <exe> [lang] [slot] [services file]
#                                   starts the program on PC i as the
#                                   ordinary user nobody (as root with
#                                   NETNS_AS_ROOT=1); sets PC_PID[slot]
#                                   (default slot i); a services file becomes
#                                   its read-only /etc/services
#   netns_main_window <i>           the X window id of PC i's main window
#   netns_start_pcs <n> <exe> <lang>
#                                   starts PCs 1..n, waits for their main
#                                   windows and sets win[i] to each; the
#                                   windows stand side by side (640 apart,
#                                   the third below), so that clicks reach
#                                   the intended one. False when one has none.
#   netns_exec <i> <command...>     runs a command inside PC i's namespace
#   netns_clipboard                 prints the text of the X clipboard
#   netns_new_player <i> <name>     types a name into PC i's player dialog
#   netns_port_dialog <i>           opens PC i's port dialog and focuses it
#   netns_wait_window <i> <pattern> waits for a window of PC i, prints its id
#   netns_cleanup                   stops what was started, removes it all
#
# Needs root, ip, unshare, Xvfb and xdotool. NETNS_DISPLAY names the shared
# X display that netns_setup starts.

# shellcheck source=xvfb_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/xvfb_lib.sh"

NETNS_TAG=${NETNS_TAG:-v$$}
NETNS_PORT=45678
NETNS_COUNT=0
NETNS_ROOT=""
NETNS_XVFB=""
NETNS_DEFAULT_ROUTE=${NETNS_DEFAULT_ROUTE:-1}
NETNS_ROUTED=${NETNS_ROUTED:-0}
NETNS_NETS=(198.51.100 203.0.113 192.0.2)
declare -a PC_PID=()
declare -a NETNS_SNIFFERS=()

netns_available() {
    [ "$(id -u)" -eq 0 ] || { echo "not root"; return 1; }
    command -v ip >/dev/null && command -v unshare >/dev/null || { echo "no ip/unshare"; return 1; }
    command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "no Xvfb/xdotool"; return 1; }
    if ! ip netns add "${NETNS_TAG}probe" 2>/dev/null; then
        echo "ip netns is not permitted here"
        return 1
    fi
    ip netns del "${NETNS_TAG}probe"
}

# Sets the PCs up, or ends the test as skipped where this machine cannot run
# it: then the runner counts it as skipped, never as passed.
netns_begin() { # test, count, [port]
    local reason
    if ! reason=$(netns_available); then
        echo "SKIPPED $1: $reason"
        exit 77
    fi
    trap netns_cleanup EXIT
    netns_setup "$2" "${3:-45678}" || { echo "FAIL $1: namespaces could not be set up"; exit 1; }
}

netns_name() { echo "${NETNS_TAG}pc$1"; }
netns_net() { # the first three octets of PC i's network
    if [ "$NETNS_ROUTED" = 1 ]; then echo "${NETNS_NETS[$(($1 - 1))]}"; else echo 198.51.100; fi
}
netns_address() { echo "$(netns_net "$1").$((10 + $1))"; }
netns_gateway() { echo "$(netns_net "$1").1"; }
netns_host() { echo "pc$1"; }
netns_dir() { echo "$NETNS_ROOT/pc$1"; }

netns_setup() {
    local count=$1 i ns
    NETNS_PORT=${2:-45678}
    NETNS_COUNT=$count
    NETNS_ROOT=$(mktemp -d)
    local bridge="${NETNS_TAG}br"
    ip netns add "$bridge" || return 1
    ip -n "$bridge" link add br0 type bridge || return 1
    ip -n "$bridge" link set br0 up
    ip -n "$bridge" link set lo up
    [ "$NETNS_ROUTED" = 1 ] && { ip netns exec "$bridge" sysctl -qw net.ipv4.ip_forward=1 || return 1; }
    for i in $(seq 1 "$count"); do
        ns=$(netns_name "$i")
        ip netns add "$ns" || return 1
        ip -n "$bridge" link add "p$i" type veth peer name eth0 netns "$ns" || return 1
        if [ "$NETNS_ROUTED" = 1 ]; then
            ip -n "$bridge" addr add "$(netns_gateway "$i")/24" dev "p$i"
            ip -n "$bridge" link set "p$i" up
        else
            ip -n "$bridge" link set "p$i" master br0 up
        fi
        ip -n "$ns" link set lo up
        ip -n "$ns" addr add "$(netns_address "$i")/24" dev eth0
        ip -n "$ns" link set eth0 up
        if [ "$NETNS_ROUTED" = 1 ]; then
            ip -n "$ns" route add default via "$(netns_gateway "$i")" || return 1
        elif [ "$NETNS_DEFAULT_ROUTE" = 1 ]; then
            ip -n "$ns" route add default dev eth0
        fi
        mkdir -p "/etc/netns/$ns"
        {
            echo "127.0.0.1 localhost"
            for j in $(seq 1 "$count"); do echo "$(netns_address "$j") $(netns_host "$j")"; done
        } >"/etc/netns/$ns/hosts"
        # Names outside the hosts file fail at once instead of asking a
        # name server outside the namespaces.
        echo "nameserver 127.0.0.1" >"/etc/netns/$ns/resolv.conf"
        local dir
        dir=$(netns_dir "$i")
        mkdir -p "$dir/home" "$dir/config/vessrin" "$dir/work" "$dir/runtime"
        [ -e "$dir/work/vessrin.ini" ] || printf '[LinkForm]\r\nStartMenu=\r\n' >"$dir/work/vessrin.ini"
        chmod 700 "$dir/runtime"
        printf 'Vessrin\t%5d/udp\n' "$NETNS_PORT" >"$dir/config/vessrin/services"
    done
    # No -auth: clients in the namespaces reach it through its socket file.
    start_xvfb 1600x1000x24 -nolisten tcp || return 1
    NETNS_XVFB=$XVFB_PID
    NETNS_DISPLAY=$DISPLAY
}

# Starts the program as PC i; the settings file lands in its working folder.
# It runs as the unprivileged user nobody (65534), as players run it; PC i's
# home, config, working and runtime folders are given to that user first.
# NETNS_AS_ROOT=1 runs it as root, whose port settings reach /etc/services.
# A services file becomes a private read-only /etc/services.
netns_start_pc() {
    local i=$1 exe lang=${3:-en_US.UTF-8} slot=${4:-$1} services=${5:-} dir user=nobody
    exe=$(realpath "$2")
    dir=$(netns_dir "$i")
    if [ "${NETNS_AS_ROOT:-0}" = 1 ]; then
        user=root
    else
        chmod 755 "$NETNS_ROOT" "$dir"
        chown -R 65534:65534 "$dir/home" "$dir/config" "$dir/work" "$dir/runtime"
    fi
    # The sanitizer build reads its options from the environment.
    local keep=() v
    for v in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
        [ -n "${!v:-}" ] && keep+=("$v=${!v}")
    done
    # The program rewrites the system's services file too, and we are root:
    # each program sees /etc through an overlay of its own, which also holds
    # the PC's hosts file, so nothing it writes there leaves the test.
    local etc="$dir/etc$slot" ns
    ns=$(netns_name "$i")
    mkdir -p "$etc/upper" "$etc/work"
    cp "/etc/netns/$ns/hosts" "/etc/netns/$ns/resolv.conf" "$etc/upper/"
    (
        cd "$dir/work" || exit 1
        exec env -i PATH="$PATH" HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" \
            XDG_RUNTIME_DIR="$dir/runtime" DISPLAY="$NETNS_DISPLAY" QT_QPA_PLATFORM=xcb \
            LANG="$lang" "${keep[@]}" ip netns exec "$ns" unshare --uts sh -c '
                mount -t overlay overlay -o "lowerdir=/etc,upperdir=$2/upper,workdir=$2/work" /etc ||
                    { echo "no private /etc: not started" >&2; exit 1; }
                hostname "$0" || exit 1
                if [ -n "$3" ]; then
                    { mount --bind "$3" /etc/services && mount -o remount,bind,ro /etc/services; } ||
                        { echo "no private read-only /etc/services: not started" >&2; exit 1; }
                fi
                [ "$4" = root ] && exec "$1"
                exec setpriv --reuid=65534 --regid=65534 --clear-groups "$1"' \
            "$(netns_host "$i")" "$exe" "$etc" "$services" "$user" >"$dir/app$slot.log" 2>&1
    ) &
    PC_PID[$slot]=$!
}

netns_start_pcs() {
    local n=$1 i
    declare -ga win=()
    for i in $(seq 1 "$n"); do
        netns_start_pc "$i" "$2" "$3"
    done
    for i in $(seq 1 "$n"); do
        win[i]=$(netns_main_window "$i") || { echo "no main window on pc$i"; return 1; }
    done
    xdotool windowmove "${win[1]}" 0 0
    [ "$n" -ge 2 ] && xdotool windowmove "${win[2]}" 640 0
    [ "$n" -ge 3 ] && xdotool windowmove "${win[3]}" 0 500
    return 0
}

# The visible windows of PC i whose name matches a pattern; xdotool's own
# --pid filter does not hold when combined with a name.
netns_windows() { # i, pattern
    local w
    for w in $(xdotool search --onlyvisible --name "${2:-.}" 2>/dev/null); do
        [ "$(xdotool getwindowpid "$w" 2>/dev/null)" = "${PC_PID[$1]}" ] && echo "$w"
    done
}

netns_main_window() {
    local w
    for _ in $(seq 1 100); do
        w=$(netns_windows "$1" '^(Vessrin|Orvanel)$' | head -1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

# Visible top-level windows of PC i (main window, dialogs, message boxes).
netns_window_count() {
    netns_windows "$1" | wc -l
}

netns_exec() { # i, command...
    local ns
    ns=$(netns_name "$1")
    shift
    ip netns exec "$ns" "$@"
}

# What a user would paste: the clipboard's text, asked of its owner on the
# shared display (python3 with libX11, no clipboard tool needed).
netns_clipboard() {
    python3 - <<'PYTHON'
import ctypes, sys, time
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XCreateSimpleWindow.restype = ctypes.c_ulong
x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 4 + [
    ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XConvertSelection.argtypes = [ctypes.c_void_p] + [ctypes.c_ulong] * 5
x.XPending.argtypes = [ctypes.c_void_p]
x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long,
                                 ctypes.c_long, ctypes.c_int, ctypes.c_ulong,
                                 ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
                                 ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_void_p)]
x.XFree.argtypes = [ctypes.c_void_p]

class Selection(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", ctypes.c_ulong),
                ("selection", ctypes.c_ulong), ("target", ctypes.c_ulong),
                ("property", ctypes.c_ulong), ("time", ctypes.c_ulong)]

class Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xselection", Selection), ("pad", ctypes.c_long * 24)]

d = x.XOpenDisplay(None)
if not d:
    sys.exit("no display")
w = x.XCreateSimpleWindow(d, x.XDefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0)
prop = x.XInternAtom(d, b"NETNS_CLIP", 0)
x.XConvertSelection(d, x.XInternAtom(d, b"CLIPBOARD", 0), x.XInternAtom(d, b"UTF8_STRING", 0),
                    prop, w, 0)
event = Event()
end = time.time() + 3
while True:
    if x.XPending(d):
        x.XNextEvent(d, ctypes.byref(event))
        if event.type == 31:  # SelectionNotify
            break
    elif time.time() > end:
        sys.exit("the clipboard owner did not answer")
    else:
        time.sleep(0.02)
if event.xselection.property == 0:
    sys.exit("the clipboard holds no text")
kind, fmt, count, left = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
data = ctypes.c_void_p()
x.XGetWindowProperty(d, w, prop, 0, 1 << 20, 1, 0, ctypes.byref(kind), ctypes.byref(fmt),
                     ctypes.byref(count), ctypes.byref(left), ctypes.byref(data))
if data.value:
    sys.stdout.write(ctypes.string_at(data.value, count.value).decode("utf-8", "replace"))
    x.XFree(data)
PYTHON
}

# Waits up to 5 s for a visible window of PC i whose name matches.
netns_wait_window() { # i, pattern
    local w
    for _ in $(seq 1 50); do
        w=$(netns_windows "$1" "$2" | head -1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

netns_focus() { xdotool windowfocus --sync "$(netns_main_window "$1")" 2>/dev/null; }

# Opens the port dialog of PC i (program slot i) from its settings menu in
# $lang and gives it the focus; false when it does not show.
netns_port_dialog() { # i
    local dialog key=alt+s
    case $lang in de*) key=alt+e ;; esac
    open_menu "$(netns_main_window "$1")" "$key" || return 1
    xdotool key n
    dialog=$(netns_wait_window "$1" 'socket port$') || return 1
    xdotool windowfocus --sync "$dialog" 2>/dev/null
}

# Clicks a button of PC i's toolbar, counted from 0 at the left; the toolbar
# lies below the menu bar (about 30 pixels with the default font).
netns_toolbar_click() { # i, button
    local X Y WIDTH HEIGHT SCREEN WINDOW
    netns_focus "$1"
    eval "$(xdotool getwindowgeometry --shell "$(netns_main_window "$1")")"
    local left=(8 48 88)
    xdotool mousemove $((X + ${left[$2]} + 16)) $((Y + 30 + 16)) click 1
}

# The new-player button, then the name typed into the dialog.
netns_new_player() { # i, name
    local dialog
    netns_toolbar_click "$1" 0
    dialog=$(netns_wait_window "$1" '(Spieler|player)$') || return 1
    xdotool windowfocus --sync "$dialog" 2>/dev/null
    xdotool type --delay 40 "$2"
    xdotool key Return
    sleep 0.8
}

netns_ini() { echo "$(netns_dir "$1")/work/vessrin.ini"; }

# The high-score points of PC i, sorted, as one line.
netns_points() {
    grep -i '^Points[1-5]=' "$(netns_ini "$1")" 2>/dev/null | cut -d= -f2 | tr -d '\r' |
        grep -v '^0$' | sort -n | tr '\n' ' '
}

# Waits up to 10 s until the given PCs all show the same high-score points,
# as their games end; prints the points of the first. False when they never
# agree or the first has none.
netns_wait_points() { # i...
    local end=$((SECONDS + 10)) first i same
    while :; do
        first=$(netns_points "$1")
        same=1
        for i in "$@"; do [ "$(netns_points "$i")" = "$first" ] || same=0; done
        if [ -n "$first" ] && [ "$same" = 1 ]; then
            echo "$first"
            return 0
        fi
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.1
    done
}

# Every datagram of 88 bytes to the game's port that passes PC i's eth0, in
# or out, seen from a packet socket inside its namespace.
netns_sniff() { # i, file
    # ip netns exec becomes python itself, so that its process id stops it.
    ip netns exec "$(netns_name "$1")" python3 -u -c '
import socket, struct, sys
port = int(sys.argv[1])
# All protocols: only such a socket is shown what leaves the interface.
s = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(3))
s.bind(("eth0", 0))
print("listening", flush=True)
while True:
    frame = s.recv(2048)
    ip = frame[14:]
    if frame[12:14] != b"\x08\x00" or len(ip) < 20 or ip[9] != 17:
        continue
    udp = ip[(ip[0] & 15) * 4:]
    if len(udp) < 96 or struct.unpack("!HH", udp[2:6]) != (port, 96):
        continue
    data = udp[8:96]
    print(socket.inet_ntoa(ip[12:16]), socket.inet_ntoa(ip[16:20]), data[0],
          socket.inet_ntoa(data[4:8]), flush=True)
' "$NETNS_PORT" >"$2" 2>&1 &
    NETNS_SNIFFERS+=($!)
    # It listens before anything is sent that it is to see.
    for _ in $(seq 1 50); do
        grep -q listening "$2" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# A watch on every PC, writing to $NETNS_ROOT/wire<i>; before the programs start.
netns_sniff_all() {
    local i
    for i in $(seq 1 "$NETNS_COUNT"); do
        netns_sniff "$i" "$NETNS_ROOT/wire$i" || return 1
    done
}

# Waits up to 10 s until PC i's program has announced itself: its receiver
# listens. Needs netns_sniff_all.
netns_wait_listening() { # i
    local a
    a=$(netns_address "$1")
    netns_wait_line "$NETNS_ROOT/wire$1" "^$a [0-9.]+ 0 $a\$" 10
}

# Waits up to 10 s until each of the given PCs knows each other one as a
# peer: it has received the other's hello or its answer to its own hello.
# Needs netns_sniff_all.
netns_wait_acquainted() { # i...
    local i j aj end=$((SECONDS + 10))
    for i in "$@"; do
        for j in "$@"; do
            [ "$i" = "$j" ] && continue
            aj=$(netns_address "$j")
            netns_wait_line "$NETNS_ROOT/wire$i" "^$aj [0-9.]+ (0|10) $aj\$" $((end - SECONDS)) ||
                return 1
        done
    done
}

# Waits up to the given seconds until a line of a sniffer's file matches.
netns_wait_line() { # file, pattern, seconds
    local end=$((SECONDS + $3))
    while [ "$SECONDS" -le "$end" ]; do
        grep -qE "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

netns_cleanup() {
    local i pid
    for pid in "${NETNS_SNIFFERS[@]}"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done
    for pid in "${PC_PID[@]}"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done
    for pid in "${PC_PID[@]}"; do
        [ -n "$pid" ] && wait "$pid" 2>/dev/null
    done
    stop_xvfb "$NETNS_XVFB"
    for i in $(seq 1 "$NETNS_COUNT"); do
        ip netns del "$(netns_name "$i")" 2>/dev/null
        rm -rf "/etc/netns/$(netns_name "$i")"
    done
    ip netns del "${NETNS_TAG}br" 2>/dev/null
    [ -n "$NETNS_ROOT" ] && [ -z "${NETNS_KEEP:-}" ] && rm -rf "$NETNS_ROOT"
    PC_PID=()
    NETNS_SNIFFERS=()
    NETNS_XVFB=""
    NETNS_ROOT=""
    NETNS_COUNT=0
}
