#!/usr/bin/env bash
# End-to-end: a whole local game of a human player beside the computer, with
# the keyboard only. After the players have joined, every tile is laid with
# Space on the marked cell, moved with the arrow keys and Space to the cell
# the player wants, and confirmed with Return; the computer's tile is
# confirmed with Return when its board comes to the front. The test reads the
# screen as a player would: where the marker ring is, and which tile lies on
# a cell. Both players must reach the high-score list of the settings file.
# Usage: local_keyboard.sh <vessrin executable> <LANG value>; SHOT=<prefix>
# keeps screenshots of the first turn.
set -uo pipefail
exe=$(realpath "$1")
lang=$2
# shellcheck source=one_pc_lib.sh
. "$(dirname "$(realpath "$0")")/one_pc_lib.sh"
fail_details() { tr -d '\r' <vessrin.ini 2>/dev/null; }
local_start
case $lang in
de*) game_menu=alt+s ;; # "&Spiel", "&Neuer Spieler"
*) game_menu=alt+g ;;   # "&Game", "&New player"
esac

join() {
    xdotool windowfocus --sync "$win" 2>/dev/null
    xdotool key "$game_menu"
    sleep 0.3
    xdotool key n
    dialog=$(timeout 5 xdotool search --sync --onlyvisible --name '(Spieler|player)$' | head -1)
    [ -n "$dialog" ] || fail "no name dialog from the game menu for $1"
    xdotool type --delay 50 "$1"
    xdotool key Return
    sleep 0.8
}
ini_value() { # section key
    awk -v s="[$1]" -v k="$2" 'BEGIN { IGNORECASE = 1 } { sub(/\r$/, "") }
        /^\[/ { in_s = tolower($0) == tolower(s); next }
        in_s && index(tolower($0), tolower(k) "=") == 1 { print substr($0, length(k) + 2); exit }' \
        vessrin.ini 2>/dev/null
}

join PC
d=$(ini_value Child Top) # the second board window stands this much lower and further right
[ "${d:-0}" -gt 0 ] 2>/dev/null || fail "no place recorded for the next board window"
join Anna
xdotool windowfocus --sync "$win" 2>/dev/null

# The 19 cells of Anna's board, column by column (indexes 0-2, 3-6, 7-11,
# 12-15, 16-18), and their centres on the screen.
codes=(113 124 135 212 223 234 245 311 322 333 344 355 421 432 443 454 531 542 553)
centres=""
for c in "288 172 228 284" "333 143 199 255 311" "378 116 172 228 284 340" \
    "423 143 199 255 311" "468 172 228 284"; do
    set -- $c
    x=$1
    shift
    for y in "$@"; do centres+="$((X + x + d)),$((Y + y + d)) "; done
done

# One look at the screen: sets marker to the index of the cell showing the
# marker ring (-1 for none) and value[i] to the vertical stripe value of the
# tile on cell i (0 for none): grey 1, green 5, yellow 9 in the default colours.
# Only the board's part of the screen is read, one pixel a line.
x0=$((X + 288 + d - 30))
y0=$((Y + 116 + d - 30))
look() {
    local out
    out=$(import -window root -crop 260x290+$x0+$y0 -depth 8 rgb:- 2>/dev/null |
        od -An -v -tu1 -w3 | awk -v w=260 -v x0="$x0" -v y0="$y0" -v centres="$centres" '
        function at(x, y) { return (y - y0) * w + (x - x0) }
        BEGIN {
            n = split(centres, c, " ")
            for (k = 1; k <= n; k++) {
                split(c[k], p, ",")
                cx[k] = p[1]; cy[k] = p[2]
                # The ring crosses the middle line about 17 pixels left and
                # right of the centre; digits on tiles are black too, but
                # never on both sides.
                for (x = cx[k] - 20; x <= cx[k] - 13; x++) left[at(x, cy[k])] = k
                for (x = cx[k] + 13; x <= cx[k] + 21; x++) right[at(x, cy[k])] = k
                for (dy = 7; dy <= 9; dy++) stripe[at(cx[k], cy[k] + dy)] = k
            }
        }
        {
            i = NR - 1
            black = $1 < 60 && $2 < 60 && $3 < 60
            if (black && (i in left)) onleft[left[i]] = 1
            if (black && (i in right)) onright[right[i]] = 1
            if (i in stripe) {
                v = 0
                if ($1 == 128 && $2 == 128 && $3 == 128) v = 1
                if ($1 == 0 && $2 == 128 && $3 == 0) v = 5
                if ($1 == 255 && $2 == 255 && $3 == 0) v = 9
                votes[stripe[i] "," v]++
            }
        }
        END {
            marker = -1
            line = ""
            for (k = 1; k <= n; k++) {
                if (onleft[k] && onright[k]) marker = k - 1
                best = 0
                for (v = 1; v <= 9; v += 4) if (votes[k "," v] >= 2) best = v
                line = line " " best
            }
            print marker line
        }') || return 1
    read -r marker values_line <<<"$out"
    read -r -a value <<<"$values_line"
}
# Looks again for up to ten seconds, until the condition (shell code) holds.
wait_until() { # condition, what failed
    local i
    for i in $(seq 50); do
        look && eval "$1" && return 0
        sleep 0.2
    done
    fail "$2"
}

column() { echo "${codes[$1]:0:1}"; }
half() { # height in half cells: rising plus falling line number
    local c=${codes[$1]}
    echo $((${c:1:1} + ${c:2:1} - 2))
}
# Arrow keys until the marker stands on cell $1, watching it move each time.
steer_to() {
    local from key
    while [ "$marker" != "$1" ]; do
        from=$marker
        if [ "$(column "$marker")" -lt "$(column "$1")" ]; then
            key=Right
        elif [ "$(column "$marker")" -gt "$(column "$1")" ]; then
            key=Left
        elif [ "$(half "$marker")" -gt "$(half "$1")" ]; then
            key=Up
        else
            key=Down
        fi
        xdotool key "$key"
        wait_until '[ "$marker" != "$from" ]' "turn $turn: $key did not move the marker from ${codes[$from]}"
        presses=$((presses + 1))
    done
}

# Anna plays so that a line surely scores.
scoring_start

presses=0
for turn in $(seq 1 19); do
    wait_until '[ "$marker" -ge 0 ]' "turn $turn: no marker on Anna's board"
    probe=$marker
    [ "${free[probe]}" = 1 ] || fail "turn $turn: the marker stands on the taken cell ${codes[$probe]}"
    [ "$turn" = 1 ] && [ -n "${SHOT:-}" ] && import -window root "$SHOT-marker.png"
    xdotool key space
    wait_until '[ "${value[probe]}" != 0 ]' "turn $turn: Space laid no tile on ${codes[$probe]}"
    v=${value[probe]}
    [ "$turn" = 1 ] && [ -n "${SHOT:-}" ] && import -window root "$SHOT-laid.png"
    choose_target "$v"
    if [ "$target" != "$probe" ]; then
        steer_to "$target"
        xdotool key space
        wait_until '[ "${value[target]}" = "$v" ] && [ "${value[probe]}" = 0 ]' \
            "turn $turn: Space did not move the tile from ${codes[$probe]} to ${codes[$target]}"
    fi
    free[target]=0
    xdotool key Return # Ok on Anna's board; the computer's board comes to the front
    wait_until '[ "$marker" = -1 ]' "turn $turn: Return did not bring the computer's board forward"
    xdotool key Return # Ok on the computer's board
    [ "$turn" = 19 ] && break
done
[ "$presses" -ge 10 ] || fail "only $presses arrow keys were needed; the game did not test them"

# After turn 19 both boards are finished and the list is written.
for i in $(seq 50); do
    names=$(for n in 1 2 3 4 5; do ini_value HighScore "Player$n"; done)
    grep -qx Anna <<<"$names" && grep -qx PC <<<"$names" && break
    sleep 0.2
done
for n in 1 2 3 4 5; do
    [ "$(ini_value HighScore "Player$n")" = Anna ] && anna=$(ini_value HighScore "Points$n")
done
[ -n "${anna:-}" ] || fail "Anna is not in the high-score list"
[ "$anna" -ge 1 ] && [ "$anna" -le 307 ] || fail "impossible total $anna for Anna"
grep -qx PC <<<"$names" || fail "the computer is not in the high-score list"
echo "ok ($lang): Anna played by keyboard ($presses arrow keys) and is listed with $anna points"
exit 0
