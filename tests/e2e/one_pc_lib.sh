# What the one-PC end-to-end tests share. Source this file after setting exe
# and lang.
#
#   local_start [seconds]   an X server of its own, a fresh working folder
#                           holding the answered shortcut question, the program
#                           started there in $lang; waits for the main window,
#                           lets it settle for the seconds given (0.5), and sets
#                           work, app, xvfb, win and the window's X, Y, WIDTH
#                           and HEIGHT. Everything goes at exit.
#   fail <message>          says the test failed and why, runs fail_details
#                           when the test defines it, and exits 1

# shellcheck source=xvfb_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/xvfb_lib.sh"

fail() {
    echo "FAIL ($lang): $*"
    [ "$(type -t fail_details)" = function ] && fail_details
    exit 1
}

local_start() {
    work=$(mktemp -d)
    app=
    xvfb=
    trap 'kill $app $xvfb 2>/dev/null; rm -rf "$work"' EXIT
    start_xvfb 1280x900x24 || fail "no X server"
    xvfb=$XVFB_PID
    # The test command runs the widget tests offscreen; these need real X windows.
    export QT_QPA_PLATFORM=xcb
    cd "$work" || fail "no working folder"
    # Answered shortcut question, so the first-start window does not wait.
    printf '[LinkForm]\r\nStartMenu=\r\n' >vessrin.ini
    LANG=$lang LC_ALL= LC_MESSAGES= "$exe" >app.log 2>&1 &
    app=$!
    win=$(xdotool search --sync --onlyvisible --name '^(Vessrin|Orvanel)$' | head -1)
    [ -n "$win" ] || fail "no main window"
    sleep "${1:-0.5}"
    eval "$(xdotool getwindowgeometry --shell "$win")"
}
