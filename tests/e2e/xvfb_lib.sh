# Starting an X server of our own for a test. Source this file.
#
#   start_xvfb <screen geometry> [Xvfb options...]
#       starts Xvfb on a display number that the server picks itself among
#       the free ones, waits until it accepts clients, and sets DISPLAY and
#       XVFB_PID. A number chosen by the test could belong to a server left
#       by another run, whose windows the test would then search in vain.

start_xvfb() {
    local geometry=$1 file number=""
    shift
    file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "$geometry" "$@" 3>"$file" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 200); do
        number=$(tr -d '[:space:]' <"$file")
        [ -n "$number" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    rm -f "$file"
    [ -n "$number" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$number
}
