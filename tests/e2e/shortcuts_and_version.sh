#!/usr/bin/env bash
# End-to-end: the shortcut window at the first start in a fresh home (Ok makes
# a valid menu entry, a second start does not ask again), and the version
# check against a web site on loopback, with a stand-in xdg-open recording
# what the browser would get.
# Usage: shortcuts_and_version.sh <vessrin executable> <LANG value>
set -uo pipefail
exe=$(realpath "$1")
lang=$2
work=$(mktemp -d)
home=$(mktemp -d)
site=$(mktemp -d)
bin=$(mktemp -d)
# A display that no other X server holds.
n=$((60 + RANDOM % 30))
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
display=:$n
port=$((20000 + RANDOM % 20000))
app=
Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>&1 &
server=$!
trap 'kill $app $xvfb $server 2>/dev/null; rm -rf "$work" "$home" "$site" "$bin"' EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb HOME=$home no_proxy=127.0.0.1
unset XDG_DATA_HOME XDG_CONFIG_HOME
printf '#!/bin/sh\necho "$*" >>"%s/opened"\n' "$bin" >"$bin/xdg-open"
chmod +x "$bin/xdg-open"
export PATH=$bin:$PATH
# Polls instead of --sync: a window that closes during the search makes
# xdotool fail with BadWindow.
find_window() {
    for _ in $(seq 50); do
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
        [ -n "$w" ] && { echo "$w"; return; }
        sleep 0.2
    done
}
fail() { echo "FAIL ($lang): $*"; exit 1; }
start() { LANG=$lang LC_ALL= LC_MESSAGES= "$exe" >>"$work/app.log" 2>&1 & app=$!; }
stop() { kill $app 2>/dev/null; wait $app 2>/dev/null; app=; }
sleep 1
cd "$work"

# First start: the shortcut window comes before the main window.
start
dialog=$(find_window '(erstellen|shortcuts)$')
[ -n "$dialog" ] || fail "no shortcut window at the first start"
[ -z "$(xdotool search --onlyvisible --name '^(Vessrin|Orvanel)$' 2>/dev/null)" ] || fail "main window before the answer"
xdotool key --window "$dialog" Return
main=$(find_window '^(Vessrin|Orvanel)$')
[ -n "$main" ] || fail "no main window after Ok"
title=$([ "${lang#de}" != "$lang" ] && echo Vessrin || echo Orvanel)
entry=$home/.local/share/applications/$title.desktop
[ -f "$entry" ] || fail "no menu entry $entry"
desktop-file-validate "$entry" | grep -v 'looks the same as that of key' && fail "entry not valid"
grep -qx "Exec=$exe" "$entry" || fail "entry does not start $exe"
grep -q '^StartMenu=' vessrin.ini || fail "choice not stored"
stop

# Second start: no question.
start
main=$(find_window '^(Vessrin|Orvanel)$')
[ -n "$main" ] || fail "no main window at the second start"
[ -z "$(xdotool search --onlyvisible --name '(erstellen|shortcuts)$' 2>/dev/null)" ] || fail "asked again"
stop

# Version check: a newer release; Yes opens the download beside the page.
printf '[Internet]\r\nSite=http://127.0.0.1:%s/\r\n' "$port" >>vessrin.ini
printf '<table><tr><td><a href="vessrin-2.tar.gz">%s.exe</a></td><td>3. Juni 2011</td></tr>\r\n<tr><td></td></tr></table>' \
    "$(basename "$exe")" >"$site/downl1de.htm"
start
main=$(find_window '^(Vessrin|Orvanel)$')
xdotool windowfocus --sync "$main" 2>/dev/null
xdotool key --window "$main" alt+i p
author=$(find_window '(Programmautor|author)$')
[ -n "$author" ] || fail "no program window"
eval "$(xdotool getwindowgeometry --shell "$author")"
xdotool mousemove $((X + 310)) $((Y + 111)) click 1
sleep 1.5
xdotool key Return
sleep 1
grep -qx "http://127.0.0.1:$port/vessrin-2.tar.gz" "$bin/opened" 2>/dev/null ||
    fail "download not opened: $(cat "$bin/opened" 2>/dev/null)"
stop
echo "shortcuts and version check ($lang): ok"
