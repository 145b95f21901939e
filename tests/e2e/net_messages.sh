#!/usr/bin/env bash
# End-to-end: texts between three PCs through the messages windows, which the
# hellos open on every PC. pc1 sends one text to pc2 and to pc3; each shows it
# exactly once and pc1 shows only what it sent; then pc2 answers pc1 alone.
# The logs are read as a user would: select all, copy, paste.
# Usage: net_messages.sh <vessrin executable> [LANG value]
set -uo pipefail
exe=$(realpath "$1")
lang=${2:-en_US.UTF-8}
here=$(dirname "$(realpath "$0")")
# shellcheck source=netns_lib.sh
. "$here/netns_lib.sh"
netns_begin net_messages 3
netns_sniff_all || { echo "FAIL net_messages: no packet watch"; exit 1; }
fail() {
    echo "FAIL ($lang): $*"
    for i in 1 2 3; do echo "--- pc$i"; cat "$(netns_dir "$i")"/app*.log; done
    exit 1
}
case $lang in
de*) to=An from=Von ;;
*) to=To from=From ;;
esac

netns_start_pcs 3 "$exe" "$lang" || fail "the PCs did not start"
# The hellos go round and open the messages windows.
netns_wait_acquainted 1 2 3 || fail "the PCs did not find each other"

# The messages window opens centred in the window area below the tool bar
# (about 55 pixels), at its design size of 274 by 206.
chat_point() { # pc, dx, dy: moves the mouse to that point of the messages window
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "${win[$1]}")"
    xdotool mousemove $((X + (WIDTH - 274) / 2 + $2)) $((Y + 55 + (HEIGHT - 55 - 206) / 2 + $3))
}
# Types a text into the entry and sends it to each address in turn: the
# address list takes the typed address as a search, and Enter in the entry sends.
send_text() { # pc, text, address...
    local pc=$1 text=$2
    shift 2
    xdotool windowfocus --sync "${win[$pc]}" 2>/dev/null
    chat_point "$pc" 207 34
    xdotool click 1
    sleep 0.3
    xdotool key ctrl+a BackSpace
    xdotool type --delay 40 "$text"
    for address in "$@"; do
        xdotool key shift+Tab
        sleep 0.2
        xdotool type --delay 30 "$address"
        sleep 0.5
        xdotool key Tab Return
        sleep 0.5
    done
}
log_of() { # pc: the lines of its messages log
    xdotool windowfocus --sync "${win[$1]}" 2>/dev/null
    chat_point "$1" 130 136
    xdotool click 1
    sleep 0.2
    xdotool key ctrl+a ctrl+c
    sleep 0.3
    netns_clipboard
    echo
}
expect_log() { # pc, expected lines
    local got
    got=$(log_of "$1" | sed '/^$/d')
    [ "$got" = "$2" ] || fail "pc$1's messages show
$got
instead of
$2"
}

text='Grüße von pc1, 5 Felder'
send_text 1 "$text" 198.51.100.12 198.51.100.13
sleep 0.5
expect_log 2 "$from 198.51.100.11: $text"
expect_log 3 "$from 198.51.100.11: $text"
expect_log 1 "$to 198.51.100.12: $text
$to 198.51.100.13: $text"

send_text 2 'zurück' 198.51.100.11
sleep 0.5
expect_log 1 "$to 198.51.100.12: $text
$to 198.51.100.13: $text
$from 198.51.100.12: zurück"
expect_log 3 "$from 198.51.100.11: $text"
echo "ok ($lang): a text reached each addressee once, and only it"
exit 0
