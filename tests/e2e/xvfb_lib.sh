# Starting an X server of our own for a test, and waiting for what a user
# would see. Source this file.
#
#   require_tools <tool>...
#       a test that lacks one of these tools cannot run: it says so and exits
#       77, which the runner counts as skipped (and CI as failed).
#   poll_until <seconds> <command>...
#       runs the command every tenth of a second until it succeeds; false
#       when it has not within the seconds given.
#   as_user / give_to_user <path>...
#       the program runs with an ordinary user's rights, as players run it:
#       "${as_user[@]}" before its command makes it nobody (65534) when the
#       test runs as root, and nothing otherwise; the prefix execs, so $! is
#       the program's own pid. give_to_user hands the folders it works in to
#       that user.
#   start_xvfb <screen geometry> [Xvfb options...]
#       starts Xvfb on a display number that the server picks itself among
#       the free ones, waits until it accepts clients, and sets DISPLAY and
#       XVFB_PID. A number chosen by the test could belong to a server left
#       by another run, whose windows the test would then search in vain.
#       The server never resets: by default it resets whenever its last
#       client leaves, and the tests' own short xdotool calls are such
#       clients. A program connecting during that reset is refused ("could
#       not connect to display") and ends at start.
#   stop_xvfb <pid>
#       ends that server and waits until it is gone. A server still shutting
#       down can remove its socket file on the way out, and with it the socket
#       of the next test's server that took the same display number meanwhile.
#   display_state
#       what a test that saw the program refused by its display says about
#       that display: whether its server lives, its sockets, and whether a
#       client gets in now
#   find_window <name pattern> [id not to take] [seconds]
#       the id of a visible window of that name once it shows; fails after
#       the seconds (20 by default). xdotool matches non-ASCII letters of a
#       title only with ".*".
#   gone <name pattern>
#       true once no such window is visible (20 s at most)
#   open_menu <main window> <key>
#       opens a menu of the window by its mnemonic and waits until it shows,
#       for an item typed before its menu is open would be lost
#   screen_sum [crop geometry] / window_sum <window id>
#       a checksum of the screen, a part of it (convert's geometry) or a window
#   key_and_wait <window id> <key>...
#       types the keys and waits until the window's picture changes and then
#       holds still for a moment, so that the next input meets its result
#       (a mnemonic of a check box, for one, clicks it only a moment later)

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null && continue
        echo "SKIPPED (${lang:-}): $tool is not installed"
        exit 77
    done
}

poll_until() {
    local limit=$1 end
    shift
    end=$((SECONDS + limit))
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.1
    done
}

as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
give_to_user() { [ ${#as_user[@]} -eq 0 ] || chown -R 65534:65534 "$@"; }

xvfb_answered() { [ -s "$1" ] || ! kill -0 "$2" 2>/dev/null; } # number file, pid

start_xvfb() {
    local geometry=$1 file number=""
    shift
    file=$(mktemp)
    Xvfb -displayfd 3 -noreset -screen 0 "$geometry" "$@" 3>"$file" >/dev/null 2>&1 &
    XVFB_PID=$!
    poll_until 10 xvfb_answered "$file" "$XVFB_PID"
    number=$(tr -d '[:space:]' <"$file")
    rm -f "$file"
    [ -n "$number" ] || { echo "Xvfb did not start" >&2; return 1; }
    # A client must get in before the program is blamed for a display it
    # cannot reach.
    if command -v xdotool >/dev/null && ! poll_until 5 xvfb_accepts "$number"; then
        echo "Xvfb :$number took no client" >&2
        return 1
    fi
    export DISPLAY=:$number
}
xvfb_accepts() { DISPLAY=:$1 xdotool getdisplaygeometry >/dev/null 2>&1; }

stop_xvfb() {
    [ -n "${1:-}" ] || return 0
    kill "$1" 2>/dev/null || return 0
    local end=$((SECONDS + 10))
    while kill -0 "$1" 2>/dev/null; do
        [ $SECONDS -lt $end ] || { kill -9 "$1" 2>/dev/null; break; }
        sleep 0.05
    done
    wait "$1" 2>/dev/null
    return 0
}

display_state() {
    local n=${DISPLAY#:}
    echo "display $DISPLAY: server $(kill -0 "${XVFB_PID:-0}" 2>/dev/null && echo alive || echo gone)," \
        "a client $(xvfb_accepts "$n" && echo gets in || echo is refused) now"
    ss -xlp 2>/dev/null | grep "X11-unix/X$n " | sed 's/^/  /'
}

find_window() {
    local end=$((SECONDS + ${3:-20})) w
    while :; do
        for w in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
            [ "$w" != "${2:-}" ] && { echo "$w"; return 0; }
        done
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}
no_window() { [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]; }
gone() { poll_until 20 no_window "$1"; }

# An open menu is a window of its own, without a name that a search by name
# could find: one more visible window than before.
visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | sort; }
menu_open() { [ -n "$(comm -13 <(echo "$1") <(visible_windows))" ]; }
open_menu() {
    local before
    xdotool windowfocus --sync "$1" 2>/dev/null
    before=$(visible_windows)
    xdotool key "$2"
    poll_until 10 menu_open "$before"
}

screen_sum() {
    import -window root ${1:+-crop "$1"} rgb:- 2>/dev/null | md5sum | cut -d' ' -f1
}
window_sum() { import -window "$1" rgb:- 2>/dev/null | md5sum | cut -d' ' -f1; }

key_and_wait() {
    local w=$1 before now last end=$((SECONDS + 10))
    shift
    before=$(window_sum "$w")
    xdotool key "$@"
    while now=$(window_sum "$w") && [ "$now" = "$before" ]; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.05
    done
    # Still for a third of a second: a change under way would show by then.
    while sleep 0.3 && last=$now && now=$(window_sum "$w") && [ "$now" != "$last" ]; do
        [ $SECONDS -lt $end ] || return 1
    done
}
