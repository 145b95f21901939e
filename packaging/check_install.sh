#!/usr/bin/env bash
# Install check of a build: validates the installed menu entry and metainfo,
# builds the Debian package, unpacks it into a scratch root and starts the
# unpacked program once under Xvfb until its main window is mapped.
# usage: check_install.sh <build dir>
set -uo pipefail
build=$(realpath "${1:?usage: check_install.sh <build dir>}")
scratch=$(mktemp -d)
app=
xvfb=
trap 'kill $app $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
fail() { echo "install check FAILED: $*"; exit 1; }

root=$scratch/install
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install"
for f in usr/bin/vessrin usr/share/applications/vessrin.desktop \
    usr/share/metainfo/de.quorvik.vessrin.metainfo.xml usr/share/man/man6/vessrin.6.gz \
    usr/share/icons/hicolor/scalable/apps/vessrin.svg usr/share/icons/hicolor/48x48/apps/vessrin.png; do
    [ -s "$root/$f" ] || fail "$f not installed"
done
desktop-file-validate "$root/usr/share/applications/vessrin.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/de.quorvik.vessrin.metainfo.xml" >/dev/null ||
    { appstreamcli validate --no-net "$root/usr/share/metainfo/de.quorvik.vessrin.metainfo.xml"; fail "appstreamcli validate"; }
file "$root/usr/share/icons/hicolor/48x48/apps/vessrin.png" | grep -q '48 x 48' || fail "48 px icon size"
man -l "$root/usr/share/man/man6/vessrin.6.gz" 2>&1 >/dev/null | grep -q . && fail "manual page warnings"
echo "installed files valid"

(cd "$build" && rm -f vessrin_*.deb && cpack -G DEB >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(ls "$build"/vessrin_*.deb) || fail "no .deb written"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6svg6 libc6 xdg-utils; do
    grep -q "$p" <<<"$depends" || fail "Depends lacks $p: $depends"
done
unpacked=$scratch/deb
dpkg -x "$deb" "$unpacked" || fail "dpkg -x"
[ -x "$unpacked/usr/bin/vessrin" ] || fail "no program in the package"
[ -s "$unpacked/usr/share/applications/vessrin.desktop" ] || fail "no menu entry in the package"
echo "package $(basename "$deb") ($(stat -c %s "$deb") bytes), Depends: $depends"

# shellcheck source=../tests/e2e/xvfb_lib.sh
. "$(dirname "$0")/../tests/e2e/xvfb_lib.sh"
start_xvfb 1280x1024x24 || fail "no X server"
xvfb=$XVFB_PID
display=$DISPLAY
work=$scratch/run
mkdir -p "$work"
# Answered shortcut question, so the first-start window does not wait.
printf '[LinkForm]\r\nStartMenu=\r\n' >"$work/vessrin.ini"
(cd "$work" && exec env DISPLAY=$display QT_QPA_PLATFORM=xcb LANG=en_US.UTF-8 LC_ALL= LC_MESSAGES= \
    "$unpacked/usr/bin/vessrin" >"$scratch/app.log" 2>&1) &
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
if [ -s "$work/vessrin.ini" ]; then echo "and saved its settings in the folder it was started from"; fi
