#!/usr/bin/env bash
# Separate PCs for network tests: one network namespace per PC, joined by a
# bridge that lives in a namespace of its own, each PC with its own host name,
# address, hosts file, config folder (with the game's service entry) and
# working folder. Only addresses of 198.51.100.0/24 are used, all inside the
# namespaces. Source this file; call netns_available first.
#
#   netns_setup <count> [port]      PCs pc1..pcN at 198.51.100.11, .12, ...
#   netns_start_pc <i> <exe> [lang] [slot]
#                                   starts the program on PC i; sets
#                                   PC_PID[slot] (default slot i)
#   netns_main_window <i>           the X window id of PC i's main window
#   netns_cleanup                   stops what was started, removes it all
#
# Needs root, ip, unshare, Xvfb and xdotool. NETNS_DISPLAY names the shared
# X display that netns_setup starts.

NETNS_TAG=${NETNS_TAG:-v$$}
NETNS_PORT=45678
NETNS_COUNT=0
NETNS_ROOT=""
NETNS_XVFB=""
declare -a PC_PID=()

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

netns_name() { echo "${NETNS_TAG}pc$1"; }
netns_address() { echo "198.51.100.$((10 + $1))"; }
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
    for i in $(seq 1 "$count"); do
        ns=$(netns_name "$i")
        ip netns add "$ns" || return 1
        ip -n "$bridge" link add "p$i" type veth peer name eth0 netns "$ns" || return 1
        ip -n "$bridge" link set "p$i" master br0 up
        ip -n "$ns" link set lo up
        ip -n "$ns" addr add "$(netns_address "$i")/24" dev eth0
        ip -n "$ns" link set eth0 up
        # A send to 255.255.255.255 needs a default route on the interface.
        ip -n "$ns" route add default dev eth0
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
    NETNS_DISPLAY=:$((100 + RANDOM % 100))
    # No -auth: clients in the namespaces reach it through its socket file.
    Xvfb "$NETNS_DISPLAY" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    NETNS_XVFB=$!
    for _ in $(seq 1 50); do
        [ -S "/tmp/.X11-unix/X${NETNS_DISPLAY#:}" ] && break
        sleep 0.1
    done
    export DISPLAY=$NETNS_DISPLAY
}

# Starts the program as PC i; the settings file lands in its working folder.
netns_start_pc() {
    local i=$1 exe lang=${3:-en_US.UTF-8} slot=${4:-$1} dir
    exe=$(realpath "$2")
    dir=$(netns_dir "$i")
    (
        cd "$dir/work" || exit 1
        exec env -i PATH="$PATH" HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" \
            XDG_RUNTIME_DIR="$dir/runtime" DISPLAY="$NETNS_DISPLAY" QT_QPA_PLATFORM=xcb \
            LANG="$lang" ip netns exec "$(netns_name "$i")" \
            unshare --uts sh -c 'hostname "$0" && exec "$1"' "$(netns_host "$i")" "$exe" \
            >"$dir/app$slot.log" 2>&1
    ) &
    PC_PID[$slot]=$!
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

netns_ini() { echo "$(netns_dir "$1")/work/vessrin.ini"; }

netns_cleanup() {
    local i pid
    for pid in "${PC_PID[@]}"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done
    for pid in "${PC_PID[@]}"; do
        [ -n "$pid" ] && wait "$pid" 2>/dev/null
    done
    [ -n "$NETNS_XVFB" ] && kill "$NETNS_XVFB" 2>/dev/null
    for i in $(seq 1 "$NETNS_COUNT"); do
        ip netns del "$(netns_name "$i")" 2>/dev/null
        rm -rf "/etc/netns/$(netns_name "$i")"
    done
    ip netns del "${NETNS_TAG}br" 2>/dev/null
    [ -n "$NETNS_ROOT" ] && [ -z "${NETNS_KEEP:-}" ] && rm -rf "$NETNS_ROOT"
}
