#!/usr/bin/env bash
# End-to-end: the shortcut window and the version check of the real program
# under Xvfb, in a fresh home. The first start asks by itself and makes a
# valid menu entry and desktop shortcut; the window opened later from the
# menu removes both again; the program window's web link checks a web site on
# loopback, says the right thing and hands the right address to a stand-in
# xdg-open.
# Usage: local_links.sh <vessrin executable> <LANG value>
set -uo pipefail
exe=$(realpath "$1")
lang=$2
# shellcheck source=xvfb_lib.sh
. "$(dirname "$(realpath "$0")")/xvfb_lib.sh"
require_tools Xvfb xdotool import convert md5sum tesseract desktop-file-validate python3
work=$(realpath "$(mktemp -d)")
home=$(realpath "$(mktemp -d)")
site=$(mktemp -d)
bin=$(mktemp -d)
app= xvfb=
# A display of our own.
start_xvfb 1280x900x24 -nolisten tcp && xvfb=$XVFB_PID
# Port 0: the server takes a free port and says which.
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$site" >"$bin/server.log" 2>&1 &
server=$!
trap 'kill $app $server 2>/dev/null; stop_xvfb "$xvfb"; rm -rf "$work" "$home" "$site" "$bin"' EXIT

desktop=$home/Schreibtisch
mkdir -p "$home/config" "$home/data" "$desktop"
echo 'XDG_DESKTOP_DIR="$HOME/Schreibtisch"' >"$home/config/user-dirs.dirs"
mkdir -m 700 "$home/runtime"
export QT_QPA_PLATFORM=xcb HOME=$home XDG_CONFIG_HOME=$home/config \
    XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime no_proxy=127.0.0.1 NO_PROXY=127.0.0.1
unset DBUS_SESSION_BUS_ADDRESS http_proxy HTTP_PROXY
printf '#!/bin/sh\necho "$*" >>"%s/opened"\n' "$bin" >"$bin/xdg-open"
chmod +x "$bin/xdg-open"
export PATH=$bin:$PATH
# The program runs as an ordinary user (nobody when the test runs as root) in
# folders of its own.
give_to_user "$work" "$home" "$bin"

if [ "${lang#de}" != "$lang" ]; then
    title=Vessrin links='^Verkn.*pfungen erstellen$' author='^Vessrin Programmautor$' ocr=deu
    settings_menu=alt+e shortcuts_item=v
    newer='Es gibt eine neue Version dieses Programmes! Möchten Sie diese jetzt laden?'
    latest='Dieses Programm ist auf dem neuesten Stand.'
    unknown='Konnte die Version dieses Programmes nicht prüfen!'
else
    title=Orvanel links='^Create shortcuts$' author="^Orvanel program's author\$" ocr=eng
    settings_menu=alt+s shortcuts_item=s
    newer='There is a new release of this program! Would you like to download it now?'
    latest='This program is the latest release.'
    unknown='Could not check the release of this program!'
fi
# In the applications folder itself the shortcut takes the place of the
# installed menu entry, so it bears that entry's name.
menu_entry=$home/data/applications/vessrin.desktop
desktop_entry=$desktop/$title.desktop

fail() {
    echo "FAIL ($lang): $*"
    tail -5 "$work/app.log" 2>/dev/null
    exit 1
}
start() {
    LANG=$lang LC_ALL= LC_MESSAGES= "${as_user[@]}" "$exe" >>"$work/app.log" 2>&1 &
    app=$!
}
menu_command() { # menu key, item key
    open_menu "$main" "$1" || fail "menu $1 does not open"
    xdotool key "$2"
}
stop() { kill $app 2>/dev/null; wait $app 2>/dev/null; app=; }
setting() { grep -a "^$1=" "$work/vessrin.ini" | tr -d '\r'; }
check_entry() { # file
    [ -f "$1" ] || fail "no shortcut $1"
    [ -x "$1" ] || fail "shortcut $1 not executable"
    desktop-file-validate "$1" >"$bin/validate" 2>&1 || fail "$1 not valid: $(cat "$bin/validate")"
    grep . "$bin/validate" && fail "$1 not clean"
    for line in "Name=$title" "Exec=$exe" "Path=$work" "Type=Application"; do
        grep -qxF "$line" "$1" || fail "$1 lacks $line: $(cat "$1")"
    done
    icon=$(sed -n 's/^Icon=//p' "$1")
    [ "$icon" = "$home/data/icons/hicolor/scalable/apps/vessrin.svg" ] && [ -s "$icon" ] ||
        fail "$1 shows no icon: $icon"
}
tesseract --list-langs 2>/dev/null | grep -qx "$ocr" || { echo "SKIPPED ($lang): no $ocr text data for tesseract"; exit 77; }
[ -n "$xvfb" ] || fail "no display"
cd "$work"

# First start: the shortcut window comes before the main window, proposing
# the menu folder; the desktop box is added.
start
dialog=$(find_window "$links")
[ -n "$dialog" ] || fail "no shortcut window at the first start"
[ -z "$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null)" ] || fail "main window before the answer"
xdotool windowfocus --sync "$dialog" 2>/dev/null
key_and_wait "$dialog" alt+d || fail "the desktop box does not change"
xdotool key Return
main=$(find_window "^$title\$")
[ -n "$main" ] || fail "no main window after Ok"
check_entry "$menu_entry"
check_entry "$desktop_entry"
[ "$(setting StartMenu)" = "StartMenu=$home/data/applications" ] || fail "stored: $(setting StartMenu)"
stop

# Second start: no question. The window from the menu shows both shortcuts
# as made; unchecking both removes them.
poll_until 10 grep -q 'port [0-9]' "$bin/server.log"
port=$(grep -o 'port [0-9]*' "$bin/server.log" | head -1 | cut -d' ' -f2)
[ -n "$port" ] || fail "web server did not start: $(cat "$bin/server.log")"
printf '[Internet]\r\nSite=http://127.0.0.1:%s\r\n' "$port" >>vessrin.ini
start
main=$(find_window "^$title\$")
[ -n "$main" ] || fail "no main window at the second start"
[ -z "$(xdotool search --onlyvisible --name "$links" 2>/dev/null)" ] || fail "asked again"
menu_command "$settings_menu" "$shortcuts_item"
dialog=$(find_window "$links")
[ -n "$dialog" ] || fail "no shortcut window from the menu"
xdotool windowfocus --sync "$dialog" 2>/dev/null
key_and_wait "$dialog" alt+s || fail "the menu box does not change"
key_and_wait "$dialog" alt+d || fail "the desktop box does not change"
xdotool key Return
gone "$links" || fail "shortcut window stays open"
[ ! -e "$menu_entry" ] || fail "menu entry not removed"
[ ! -e "$desktop_entry" ] || fail "desktop shortcut not removed"
[ "$(setting StartMenu)" = "StartMenu=" ] || fail "stored: $(setting StartMenu)"

# Version check from the program window's web link, which shows the site.
menu_command alt+i p
form=$(find_window "$author")
[ -n "$form" ] || fail "no program window"
eval "$(xdotool getwindowgeometry --shell "$form")"
# What a window says, read off the screen as a person would.
read_window() { # window id, part of it (convert's crop geometry; whole window when absent)
    import -window "$1" "$bin/shot.png"
    convert "$bin/shot.png" -crop "${2:-100%x100%+0+0}" -resize 300% -colorspace Gray "$bin/big.png"
    tesseract "$bin/big.png" - -l $ocr 2>/dev/null | tr -s ' \n' '  '
}
# Sets said; true once it holds the text, read again while the window paints.
says() { # text, window id, part
    said=$(read_window "$2" "${3:-}")
    [[ "$said" == *"$1"* ]]
}
poll_until 10 says "Internet http://127.0.0.1:$port/" "$form" 360x20+170+102 || fail "program window shows: $said"
box_closed() { ! xdotool search --onlyvisible --name "$author" 2>/dev/null | grep -qx "$box"; }
check() { # page date or "" for no page, expected message, key, expected address
    rm -f "$site/downl1de.htm" "$bin/opened"
    [ -n "$1" ] && printf '<table><tr><td><a href="vessrin-2.tar.gz">%s.exe</a></td><td>%s</td></tr>\r\n<tr><td></td></tr></table>' \
        "$(basename "$exe")" "$1" >"$site/downl1de.htm"
    xdotool mousemove $((X + 300)) $((Y + 110)) click 1
    box=$(find_window "$author" "$form")
    [ -n "$box" ] || fail "no answer for '$1'"
    poll_until 10 says "$2" "$box" || fail "for '$1' the box says: $said"
    xdotool windowfocus --sync "$box" 2>/dev/null
    xdotool key "$3"
    poll_until 10 box_closed || fail "for '$1' the box stays open"
    poll_until 10 test -s "$bin/opened"
    [ "$(cat "$bin/opened" 2>/dev/null)" = "$4" ] || fail "for '$1' opened: $(cat "$bin/opened" 2>/dev/null)"
}
check "3. Juni 2011" "$newer" Return "http://127.0.0.1:$port/vessrin-2.tar.gz"
check "3. Juni 2011" "$newer" Escape "http://127.0.0.1:$port/"
check "16. Mai 2011" "$latest" Return "http://127.0.0.1:$port/"
check "" "$unknown" Return "http://127.0.0.1:$port/"
stop
echo "shortcuts and version check ($lang): ok"
