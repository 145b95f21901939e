#!/usr/bin/env bash
# End-to-end: the real program under Xvfb, driven with X input. A computer
# player plays three games one after the other, all 19 turns confirmed with
# Return. After each game the total read off the board must be a number of
# 0..307, the high-score list in the settings file must hold the best of them
# for "PC", and Ok must close the board so that a new player can join.
#
# The three totals together must reach 150. The computer player averages
# some 137 points a game with a spread of 34; laying tiles on random free
# cells averages 11, and so does laying them on the first free cell. In
# 100 000 simulated runs of three games the computer never stayed below 150,
# while random play reached it in 0.05 % of them: a computer that no longer
# chooses well fails here, the real one does not. The status line at the foot
# of the window must say that the game is over and name the board's total.
# Usage: local_game.sh <vessrin executable> <LANG value>
set -uo pipefail
exe=$(realpath "$1")
lang=$2
# shellcheck source=one_pc_lib.sh
. "$(dirname "$(realpath "$0")")/one_pc_lib.sh"
fail_details() { tr -d '\r' <vessrin.ini 2>/dev/null; }
require_tools tesseract
local_start

games=3
sum=0 best=0 shown=()
for game in $(seq $games); do
    new_player PC
    # The board opens where the last one recorded it, one caption height
    # further than the one before, or at the edge again when it would not fit.
    top=$(ini_value Child Top) left=$(ini_value Child Left)
    [ "$game" -eq 1 ] && d=$top
    [ "${d:-0}" -gt 0 ] 2>/dev/null || fail "no place recorded for the next board window"
    # The computer lays each tile at once and gives Ok the focus; each Return
    # confirms. The program takes keys in order, so once the high-score
    # window shows, all 19 have been handled and the game is over.
    xdotool windowfocus --sync "$win" 2>/dev/null
    # shellcheck disable=SC2046 # one word per key
    xdotool key --delay 40 $(yes Return | head -19)
    show_high_scores
    total=$(total_shown $((left - d)) $((top - d)))
    [[ $total =~ ^[0-9]+$ ]] && [ "$total" -le 307 ] || fail "game $game: the board shows the total '$total'"
    shown+=("$total")
    sum=$((sum + total))
    [ "$total" -gt "$best" ] && best=$total
    # A total of 0 does not enter the list.
    if [ "$best" -gt 0 ]; then
        [ "$(ini_value HighScore Player1)" = PC ] && [ "$(ini_value HighScore Points1)" = "$best" ] ||
            fail "game $game: the boards showed ${shown[*]}, the list has $(ini_value HighScore Player1) $(ini_value HighScore Points1)"
        [ -z "$(ini_value HighScore Player2)" ] || fail "PC listed twice"
    fi
    # The status line says the game is over and what the board scored, and
    # keeps saying it once Ok has closed the board.
    over=$([ "${lang%%_*}" = de ] && echo Spielende || echo "Game over")
    status=$(status_shown)
    [[ $status == *"$over"*"PC $total"* ]] || fail "game $game: the status line says '$status' for a total of $total"
    xdotool key Return
    can_add_player || fail "game $game: new player not enabled after the game"
    status=$(status_shown)
    [[ $status == *"$over"*"PC $total"* ]] || fail "game $game: after Ok the status line says '$status'"
done
[ "$sum" -ge 150 ] || fail "the computer made only $sum points in $games games (${shown[*]})"
echo "ok ($lang): computer games of ${shown[*]} points, best $best listed, new player enabled after each"
exit 0
