#!/usr/bin/env bash
# Install check of a build: validates the installed menu entry and metainfo,
# checks the menu's launcher, builds the Debian package, has lintian check
# it, unpacks it into a scratch root and starts the unpacked program the way
# the menu does, once under Xvfb until its main window is mapped.
# usage: check_install.sh <build dir>
set -uo pipefail
build=$(realpath "${1:?usage: check_install.sh <build dir>}")
# shellcheck source=../tests/e2e/xvfb_lib.sh
. "$(dirname "$0")/../tests/e2e/xvfb_lib.sh"
scratch=$(mktemp -d)
app=
xvfb=
trap 'kill $app 2>/dev/null; stop_xvfb "$xvfb"; rm -rf "$scratch"' EXIT
fail() { echo "install check FAILED: $*"; exit 1; }

root=$scratch/install
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install"
for f in usr/games/vessrin usr/games/vessrin-launch usr/share/applications/vessrin.desktop \
    usr/share/metainfo/de.quorvik.vessrin.metainfo.xml usr/share/man/man6/vessrin.6.gz \
    usr/share/man/man6/vessrin-launch.6.gz usr/share/doc/vessrin/copyright \
    usr/share/doc/vessrin/changelog.Debian.gz \
    usr/share/icons/hicolor/scalable/apps/vessrin.svg usr/share/icons/hicolor/48x48/apps/vessrin.png; do
    [ -s "$root/$f" ] || fail "$f not installed"
done
entry=$root/usr/share/applications/vessrin.desktop
desktop-file-validate "$entry" >"$scratch/validate" 2>&1 || fail "desktop-file-validate: $(cat "$scratch/validate")"
[ ! -s "$scratch/validate" ] || fail "desktop-file-validate remarks: $(cat "$scratch/validate")"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ -x "$root/usr/games/$exec_line" ] || fail "the menu entry starts $exec_line, not the launcher"
metainfo=$root/usr/share/metainfo/de.quorvik.vessrin.metainfo.xml
appstreamcli validate --pedantic --no-net "$metainfo" >"$scratch/appstream" 2>&1 ||
    { cat "$scratch/appstream"; fail "appstreamcli validate"; }
file "$root/usr/share/icons/hicolor/48x48/apps/vessrin.png" | grep -q '48 x 48' || fail "48 px icon size"
man -l "$root/usr/share/man/man6/vessrin.6.gz" 2>&1 >/dev/null | grep -q . && fail "manual page warnings"
echo "installed files valid"

# The launcher, with a stand-in game beside it that tells where it runs: in
# the game's data folder, made when missing; in the home folder only when
# that folder cannot be made.
stub=$scratch/stub
mkdir -p "$stub/bin" "$stub/home"
cp "$root/usr/games/vessrin-launch" "$stub/bin/"
printf '#!/bin/sh\npwd -P\n' >"$stub/bin/vessrin"
chmod +x "$stub/bin/vessrin"
touch "$stub/file"
launched() { # XDG_DATA_HOME value or "-" for unset: the folder the game ran in
    if [ "$1" = - ]; then
        (cd / && env -u XDG_DATA_HOME HOME="$stub/home" "$stub/bin/vessrin-launch")
    else
        (cd / && env XDG_DATA_HOME="$1" HOME="$stub/home" "$stub/bin/vessrin-launch")
    fi
}
for data_expected in "-|/home/.local/share/vessrin" "$stub/data|/data/vessrin" \
    "relative|/home/.local/share/vessrin" "$stub/file|/home"; do
    data=${data_expected%%|*} expected=$stub${data_expected#*|}
    got=$(launched "$data")
    [ "$got" = "$expected" ] || fail "launcher with XDG_DATA_HOME=$data runs the game in $got, not $expected"
done
echo "the launcher starts the game in its data folder"

(cd "$build" && rm -f vessrin_*.deb && cpack -G DEB >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(ls "$build"/vessrin_*.deb) || fail "no .deb written"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6svg6 libc6 xdg-utils qt6-translations-l10n; do
    grep -q "$p" <<<"$depends" || fail "Depends lacks $p: $depends"
done
# Errors and warnings fail; the informational tags are shown.
lintian --fail-on error,warning --display-info "$deb" >"$scratch/lintian" 2>&1 ||
    { cat "$scratch/lintian"; fail "lintian"; }
sed 's/^/lintian: /' "$scratch/lintian"
unpacked=$scratch/deb
dpkg -x "$deb" "$unpacked" || fail "dpkg -x"
[ -x "$unpacked/usr/games/vessrin" ] || fail "no program in the package"
[ -s "$unpacked/usr/share/applications/vessrin.desktop" ] || fail "no menu entry in the package"
echo "package $(basename "$deb") ($(stat -c %s "$deb") bytes), Depends: $depends"

start_xvfb 1280x1024x24 || fail "no X server"
xvfb=$XVFB_PID
display=$DISPLAY
# Started as the menu starts it: the entry's command, from the home folder.
home=$scratch/home
work=$home/.local/share/vessrin
mkdir -p "$work"
# Answered shortcut question, so the first-start window does not wait.
printf '[LinkForm]\r\nStartMenu=\r\n' >"$work/vessrin.ini"
# By an ordinary user (nobody when this runs as root), who owns the home.
chmod 755 "$scratch"
give_to_user "$home"
(cd "$home" && exec env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" DISPLAY="$display" \
    QT_QPA_PLATFORM=xcb LANG=en_US.UTF-8 LC_ALL= LC_MESSAGES= \
    PATH="$unpacked/usr/games:$PATH" "${as_user[@]}" "$exec_line" >"$scratch/app.log" 2>&1) &
app=$!
win=$(DISPLAY=$display timeout 20 xdotool search --sync --onlyvisible --name '^Orvanel$' | head -1)
[ -n "$win" ] || { cat "$scratch/app.log"; fail "the unpacked program showed no main window"; }
kill -0 $app 2>/dev/null || fail "the unpacked program ended by itself"
DISPLAY=$display python3 "$(dirname "$0")/wm_close.py" "$win" || kill -TERM $app
for _ in $(seq 50); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
if kill -0 $app 2>/dev/null; then
    fail "the unpacked program did not end after its main window was closed"
fi
wait $app
rc=$?
[ $rc -eq 0 ] || { cat "$scratch/app.log"; fail "the unpacked program ended with $rc"; }
app=
echo "the unpacked program started, mapped its main window and ended cleanly"
grep -aq '^\[MainForm\]' "$work/vessrin.ini" || fail "no settings saved in $work"
[ ! -e "$home/vessrin.ini" ] || fail "the game from the menu wrote vessrin.ini into the home folder"
echo "and saved its settings in its data folder, not in the home folder"
