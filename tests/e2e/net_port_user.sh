#!/usr/bin/env bash
# End-to-end: an ordinary user (nobody, not root) whose port comes from a
# read-only /etc/services clears and moves it in the port dialog. Clearing
# closes the receiver's socket at once and it stays closed after a restart;
# a new port opens at once and again after a restart. The system file is
# never changed and no message box appears.
# Usage: net_port_user.sh <vessrin executable> [LANG value]
set -uo pipefail
exe=$(realpath "$1")
lang=${2:-en_US.UTF-8}
here=$(dirname "$(realpath "$0")")
# shellcheck source=netns_lib.sh
. "$here/netns_lib.sh"
if ! reason=$(netns_available); then
    echo "SKIP net_port_user: $reason"
    exit 0
fi
command -v setpriv >/dev/null && command -v ss >/dev/null ||
    { echo "SKIP net_port_user: no setpriv/ss"; exit 0; }
trap netns_cleanup EXIT
# The kernel keeps the first 15 bytes of a program's name.
comm=$(basename "$exe" | cut -c1-15)
system_port=45680
new_port=45690
netns_setup 1 || { echo "FAIL: namespaces could not be set up"; exit 1; }
dir=$(netns_dir 1)
user_file=$dir/config/vessrin/services
# The port comes from the system file only.
rm -rf "$dir/config/vessrin"
system_file=$dir/system-services
printf 'domain\t\t53/udp\nVessrin\t%5d/udp\n' "$system_port" >"$system_file"
system_text=$(cat "$system_file")

fail() {
    echo "FAIL ($lang): $*"
    echo "--- user services"; cat "$user_file" 2>/dev/null
    echo "--- sockets"; netns_exec 1 ss -Huln
    cat "$dir"/app*.log
    exit 1
}

start() { # slot
    netns_start_pc 1 "$exe" "$lang" "$1" "$system_file"
    netns_main_window "$1" >/dev/null || fail "no main window (start $1)"
    [ "$(stat -c %u /proc/"$(program_pid)"/status 2>/dev/null)" = 65534 ] ||
        fail "the program does not run as nobody"
}

# The program's process inside the namespace (the launcher may have exec'd
# into it or may still wait for it).
program_pid() {
    local p
    for p in $(ip netns pids "$(netns_name 1)"); do
        [ "$(cat /proc/"$p"/comm 2>/dev/null)" = "$comm" ] && { echo "$p"; return 0; }
    done
    return 1
}

stop() { # slot
    local p
    p=$(program_pid) || fail "no program to stop"
    kill "$p"
    for _ in $(seq 1 100); do
        [ -z "$(ip netns pids "$(netns_name 1)")" ] && { wait "${PC_PID[$1]}" 2>/dev/null; return 0; }
        sleep 0.1
    done
    fail "the program did not end"
}

listening() { # port: true while a UDP socket is bound to it
    netns_exec 1 ss -Huln "sport = :$1" | grep -q .
}

wait_listening() { # port
    for _ in $(seq 1 100); do listening "$1" && return 0; sleep 0.1; done
    return 1
}

wait_closed() { # port
    for _ in $(seq 1 100); do listening "$1" || return 0; sleep 0.1; done
    return 1
}

# Enter closes the dialog with no message box in between.
confirm() { # slot
    xdotool key Return
    for _ in $(seq 1 50); do
        [ -z "$(netns_windows "$1" 'socket port$')" ] && break
        sleep 0.1
    done
    [ -z "$(netns_windows "$1" 'socket port$')" ] || fail "the dialog stayed open or showed a message"
    [ "$(netns_window_count "$1")" -eq 1 ] || fail "a message box appeared"
}

start 1
wait_listening $system_port || fail "no socket on the system file's port $system_port"

# The entry holds the port, selected: Delete empties it.
netns_port_dialog 1 || fail "no port dialog"
xdotool key Delete
confirm 1
wait_closed $system_port || fail "clearing the port left the socket on $system_port open"
grep -Eq "^Vessrin[[:space:]]+0/udp" "$user_file" || fail "no 'no port' entry in the user file"

stop 1
start 2
# Once the dialog shows, the program has looked the port up.
netns_port_dialog 2 || fail "no port dialog"
for _ in $(seq 1 10); do
    [ -z "$(netns_exec 1 ss -Huln)" ] || fail "after a restart a socket is open again"
    sleep 0.1
done

xdotool type --delay 40 "$new_port"
confirm 2
wait_listening $new_port || fail "the new port $new_port did not open at once"
listening $system_port && fail "the system file's port $system_port opened"

stop 2
start 3
wait_listening $new_port || fail "the new port $new_port is not open after a restart"
[ "$(netns_exec 1 ss -Huln | wc -l)" -eq 1 ] || fail "more than one socket open"
[ "$(cat "$system_file")" = "$system_text" ] || fail "the system file changed"
echo "ok ($lang): nobody cleared the system's port $system_port and set $new_port, both kept over restarts"
exit 0
