# What the one-PC end-to-end tests share. Source this file after setting exe
# and lang.
#
#   local_start             an X server of its own, a fresh working folder
#                           holding the answered shortcut question, the program
#                           started there in $lang as an ordinary user with a
#                           fresh home; waits until the main window
#                           shows its toolbar, and sets work, app, xvfb, win and
#                           the window's X, Y, WIDTH and HEIGHT. Everything goes
#                           at exit. Skips the test (77) without the X tools.
#   fail <message>          says the test failed and why, runs fail_details
#                           when the test defines it, shows the end of the
#                           program's output, and exits 1
#   menu <menu> <item>      opens a menu of the main window by its mnemonic
#                           (game, window or settings), waits until it is open
#                           and types the item's mnemonic
#   new_player <name>       joins a player through the game menu and the name
#                           dialog and waits until the board shows
#   can_add_player          true when the name dialog opens from the game menu
#                           (it is closed again at once)
#   show_high_scores        opens the high-score window from the game menu and
#                           closes it again; since the program handles input in
#                           order, everything typed before has been handled
#                           once it has shown
#   ini_value <section> <key>
#                           a value of the settings file, as the program reads
#                           it (names without regard to case)
#   total_shown <dx> [dy]   the total in a board window's rating box, read off
#                           the screen; dx and dy (dx when absent) place the
#                           window in the main window's frame
#   status_shown            the sentence of the status line at the foot of the
#                           main window, read off the screen
#   scoring_start           a strategy for a human player whose lines surely
#                           score: the outer columns (cells 0-2 and 16-18)
#                           each collect the tiles of one vertical value,
#                           everything else goes to the middle columns. Sets
#                           every cell free (free[cell index]=1); the test
#                           clears free[i] for each cell it fills.
#   first_free <index>...   the first of these cells that is free
#   choose_target <value>   sets target to the cell for a tile of that
#                           vertical value

# shellcheck source=xvfb_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/xvfb_lib.sh"

fail() {
    echo "FAIL ($lang): $*"
    [ "$(type -t fail_details)" = function ] && fail_details
    [ -s "${work:-}/app.log" ] && tail -20 "$work/app.log"
    exit 1
}

case $lang in
de*) title=Vessrin ;;
*) title=Orvanel ;;
esac
# Menu mnemonics: "&Spiel" / "&Game", "&Fenster" / "&Window", "&Einstellungen"
# / "&Settings"; in the game menu "&Neuer Spieler" / "&New player" and
# "&Bestenliste" / "&High score".
declare -A menu_key
case $lang in
de*) menu_key=([game]=alt+s [window]=alt+f [settings]=alt+e [new]=n [scores]=b) ;;
*) menu_key=([game]=alt+g [window]=alt+w [settings]=alt+s [new]=n [scores]=h) ;;
esac

# A toolbar drawn: the new-player button at its left shows its picture.
toolbar_shown() {
    [ "$(import -window root -crop 38x38+$((X + 6))+$((Y + 14)) miff:- 2>/dev/null |
        convert - -format '%k' info:)" -gt 4 ] 2>/dev/null
}

main_window_or_end() {
    ! kill -0 "$app" 2>/dev/null || xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1
}

local_start() {
    require_tools Xvfb xdotool import convert md5sum
    work=$(mktemp -d)
    app=
    xvfb=
    trap 'kill $app 2>/dev/null; stop_xvfb "$xvfb"; rm -rf "$work"' EXIT
    start_xvfb 1280x900x24 || fail "no X server"
    xvfb=$XVFB_PID
    # The test command runs the widget tests offscreen; these need real X windows.
    export QT_QPA_PLATFORM=xcb
    cd "$work" || fail "no working folder"
    # Qt's runtime folder of its own, not the fixed one in /tmp it takes without.
    mkdir -m 700 runtime home
    export XDG_RUNTIME_DIR=$work/runtime
    # Answered shortcut question, so the first-start window does not wait.
    printf '[LinkForm]\r\nStartMenu=\r\n' >vessrin.ini
    give_to_user "$work"
    HOME=$work/home LANG=$lang LC_ALL= LC_MESSAGES= "${as_user[@]}" "$exe" >app.log 2>&1 &
    app=$!
    poll_until 30 main_window_or_end
    kill -0 "$app" 2>/dev/null || { display_state; fail "the program ended at start"; }
    [ ${#as_user[@]} -eq 0 ] || [ "$(stat -c %u "/proc/$app")" = 65534 ] ||
        fail "the program does not run as an ordinary user"
    win=$(find_window "^$title\$" "" 1) || fail "no main window"
    eval "$(xdotool getwindowgeometry --shell "$win")"
    poll_until 20 toolbar_shown || fail "no toolbar in the main window"
}

menu() {
    open_menu "$win" "${menu_key[$1]}" || fail "the $1 menu does not open"
    xdotool key "${menu_key[$2]:-$2}"
}

# The frame of the board windows, below the toolbar.
frame() { echo "${WIDTH}x$((HEIGHT - 54))+$X+$((Y + 54))"; }
# The caption of the board window in front, blue: one window's caption is
# some 12000 pixels of it; nothing else in the frame comes near that colour.
board_in_front() {
    [ "$(import -window root -crop "$(frame)" miff:- 2>/dev/null | convert - +repage -fuzz 15% \
        -fill black +opaque "#3396D4" -fill white -opaque "#3396D4" -format '%[fx:round(mean*w*h)]' info:)" \
        -gt 5000 ] 2>/dev/null
}
board_joined() { [ "$(screen_sum "$(frame)")" != "$1" ] && board_in_front; }
new_player() {
    local dialog before
    menu game new
    dialog=$(find_window '(Spieler|player)$') || fail "no name dialog from the game menu for $1"
    xdotool windowfocus --sync "$dialog" 2>/dev/null
    xdotool type --delay 50 "$1"
    before=$(screen_sum "$(frame)")
    xdotool key Return
    gone '(Spieler|player)$' || fail "the name dialog stays open for $1"
    # A board takes part from its first paint on, so input before that would
    # come too early: wait for a new board in front.
    poll_until 20 board_joined "$before" || fail "no board for $1"
}

# True when the game menu's new-player entry opens the name dialog, which is
# then closed again.
can_add_player() {
    local dialog
    menu game new
    dialog=$(find_window '(Spieler|player)$' "" 5) || return 1
    xdotool windowfocus --sync "$dialog" 2>/dev/null
    xdotool key Escape
    gone '(Spieler|player)$'
}

show_high_scores() {
    local form
    menu game scores
    form=$(find_window '(Bestenliste|high score)$') || fail "no high-score window"
    xdotool windowfocus --sync "$form" 2>/dev/null
    xdotool key Escape
    gone '(Bestenliste|high score)$' || fail "the high-score window stays open"
}

ini_value() {
    awk -v s="[$1]" -v k="$2" 'BEGIN { IGNORECASE = 1 } { sub(/\r$/, "") }
        /^\[/ { in_s = tolower($0) == tolower(s); next }
        in_s && index(tolower($0), tolower(k) "=") == 1 { print substr($0, length(k) + 2); exit }' \
        vessrin.ini
}

# The total stands above the rating choice at the top right of the board.
total_shown() {
    local text
    for _ in $(seq 10); do
        import -window root -crop 64x16+$((X + 466 + $1))+$((Y + 77 + ${2:-$1})) miff:- 2>/dev/null |
            convert - +repage -colorspace Gray -resize 400% -bordercolor white -border 30 "$work/total.png"
        text=$(tesseract "$work/total.png" - --psm 7 2>/dev/null | tr -d ' \n\f' | tr 'OoIlS' '00115')
        [[ $text =~ ^[0-9]+$ ]] && break
        sleep 0.3
    done
    echo "$text"
}

status_shown() {
    import -window root -crop "${WIDTH}x20+$X+$((Y + HEIGHT - 20))" miff:- 2>/dev/null |
        convert - +repage -colorspace Gray -resize 300% -bordercolor white -border 30 "$work/status.png"
    tesseract "$work/status.png" - --psm 7 2>/dev/null | tr -s ' \n\f' ' '
}

scoring_start() {
    free=()
    local i
    for i in $(seq 0 18); do free[i]=1; done
    declare -gA column_of=()
}
first_free() {
    local i
    for i in "$@"; do [ "${free[i]}" = 1 ] && echo "$i" && return; done
}
choose_target() {
    local c
    if [ -n "${column_of[$1]:-}" ]; then
        target=$(first_free ${column_of[$1]})
        [ -n "$target" ] && return
    else
        for c in "0 1 2" "16 17 18"; do
            [[ " ${column_of[*]} " == *" $c "* ]] && continue
            target=$(first_free $c)
            [ -n "$target" ] || continue
            column_of[$1]=$c
            return
        done
    fi
    target=$(first_free $(seq 3 15) $(seq 0 2) $(seq 16 18))
}
