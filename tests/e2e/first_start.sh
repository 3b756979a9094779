#!/usr/bin/env bash
# First start in a fresh folder: the splash hands over by itself, the Data folder is made, three
# logins are filed (the Add button, the Enter key), E&xit writes the window's place; the next
# start shows the splash until it is clicked, the window where it was and the records in order.
# A second start on the same folder brings the first forward; Escape ends without writing the preferences.
# Asked from a terminal with no display, --help and --version answer and a start says why it cannot run.
source "$(dirname "$0")/lib.sh"
e2e_begin first_start

# Asked from a terminal with no display (as over ssh), Corvane answers and says why it cannot start.
no_display() {
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY "$APP/corvane" "$@" >"$E2E_DIR/stdout.txt" 2>"$E2E_DIR/stderr.txt" || status=$?
}
no_display --version
[[ $status == 0 && $(<"$E2E_DIR/stdout.txt") =~ ^Corvane\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || e2e_fail "--version: $status"
no_display --help
[[ $status == 0 && $(head -n 1 "$E2E_DIR/stdout.txt") == "Usage: corvane [options]" ]] || e2e_fail "--help: $status"
no_display --bogus
[[ $status == 2 && $(<"$E2E_DIR/stderr.txt") == *"Unknown option 'bogus'"* ]] || e2e_fail "--bogus: $status"
no_display
[[ $status == 1 && $(<"$E2E_DIR/stderr.txt") == *"no display was found"* ]] || e2e_fail "no display: $status"
e2e_expect "lines said without a display" "$(grep -c '' "$E2E_DIR/stderr.txt")" 1
[[ ! -e $APP/Data ]] || e2e_fail "a start without a display made the Data folder"

e2e_start
e2e_wait_splash
shown_at=$(e2e_now_ms)
e2e_expect "splash size" "${WW}x$WH" "$((6300 / 15))x$((3300 / 15))"
e2e_shot splash
[[ -d $APP/Data ]] || e2e_fail "no Data folder beside the program"
grep -qx Data "$APP/.hidden" || e2e_fail "the Data folder is not listed as hidden"

# Left alone, the splash gives way to the main window after 4 s.
e2e_wait_main
waited=$((MAIN_SHOWN_AT - shown_at))
e2e_log "the splash gave way after $waited ms"
# It was seen a little after it appeared, and the main window a little after it was shown.
((waited >= 3500)) || e2e_fail "the splash gave way after $waited ms, before its 4 s"
e2e_wait_window_gone "$SPLASH"
e2e_expect "main window title" "$(e2e_title "$MAIN")" Corvane
e2e_shot empty-main-window

# Filed out of order; the grid keeps them sorted by service, whatever the letter case.
e2e_file_record add Zeta zed zpass1 https://zeta.example/login "the last one"
e2e_file_record enter alpha al apass2 https://alpha.example/
e2e_file_record enter Mike mike.m mpass3 mike.example "no scheme"
e2e_shot three-records
e2e_records "$APP/Data/userDB.pdb" >"$E2E_DIR/records.txt"
e2e_expect "services in filing order" "$(cut -d: -f1 "$E2E_DIR/records.txt" | paste -sd ' ')" "Zeta alpha Mike"
date='[0-9]{2}-[0-9]{2}-[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}'
[[ $(sed -n 2p "$E2E_DIR/records.txt") =~ ^alpha:!https://alpha\.example/:!al:!apass2:!:!$date:!$ ]] \
    || e2e_fail "the second record reads \"$(sed -n 2p "$E2E_DIR/records.txt")\""

# Somewhere else on the screen, then E&xit: the preferences keep the place of the window's outer
# corner, frame included, in twips.
xdotool windowmove "$MAIN" 200 150
e2e_wait_until 10 'e2e_geometry "$MAIN"; [[ $WX,$WY == 200,150 ]]' || e2e_fail "the window did not move"
e2e_frame "$MAIN"
left=$OX top=$OY
e2e_exit
expected=$(printf '%s\r\n' "[Display]= False" "[AutHide]= False" "[LPos]= $((left * 15))" "[TPos]= $((top * 15))" \
    "[OTop]= False")
e2e_expect "prefs.cfg" "$(cat "$APP/prefs.cfg")" "$expected"
e2e_expect "prefs.cfg lines" "$(grep -c '' "$APP/prefs.cfg")" 5
cmp -s <(e2e_records "$APP/Data/userDB.pdb") "$E2E_DIR/records.txt" || e2e_fail "E&xit changed the database"

# Start again: a click hands over at once, and the window is where it was left.
e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 200 100
clicked_at=$(e2e_now_ms)
e2e_wait_main
waited=$((MAIN_SHOWN_AT - clicked_at))
e2e_log "the main window came $waited ms after the click"
((waited < 3000)) || e2e_fail "the main window came $waited ms after the click on the splash, as if by its timer"
e2e_frame "$MAIN"
e2e_expect "window place after the restart" "$OX,$OY" "$left,$top"

# The grid shows the three records in order: each row's Service and Username, copied by their
# labels and read from outside.
row=0
for want in "alpha al" "Mike mike.m" "Zeta zed"; do
    e2e_select_row "$row"
    e2e_label Service
    e2e_wait_clip "${want% *}"
    e2e_label Username
    e2e_wait_clip "${want#* }"
    row=$((row + 1))
done
e2e_shot records-in-order

# Only one copy runs on a folder. Started again, from behind another program's window or
# minimized, it comes forward and takes the keyboard; the second start ends with status 0, saying
# nothing. Only a first copy that does not answer (stopped) is named in a message, status 4.
first=$CORVANE_PID main=$MAIN
xmessage -geometry 1000x900+0+0 "another program" &
E2E_HELPER_PIDS+=($!)
e2e_wait_until 10 '[[ -n $(xdotool search --onlyvisible --name "^xmessage$") ]]' || e2e_fail "no other window"
other=$(xdotool search --onlyvisible --name "^xmessage$" | head -n 1)
for cover in click minimize; do
    if [[ $cover == click ]]; then e2e_click "$other" 500 300; else xdotool windowminimize "$MAIN"; fi
    e2e_wait_until 5 '[[ $(xdotool getactivewindow) != "$MAIN" ]]' || e2e_fail "$cover left Corvane active"
    e2e_start
    e2e_wait_exit
    e2e_expect "status of a second start ($cover)" "$E2E_STATUS" 0
    CORVANE_PID=$first MAIN=$main
    e2e_wait_until 5 '[[ $(xdotool getactivewindow) == "$MAIN" ]]' || e2e_fail "not brought forward ($cover)"
    top=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*, //; s/.*# //')
    e2e_expect "window on top ($cover)" "$((top))" "$MAIN"
    e2e_shot "brought-forward-$cover"
done
kill -STOP "$first"
e2e_start
e2e_answer Corvane "Corvane is already running with the records of this folder."
e2e_wait_exit
e2e_expect "status of a second start on a stopped copy" "$E2E_STATUS" 4
kill -CONT "$first"
CORVANE_PID=$first MAIN=$main
e2e_running || e2e_fail "the first copy ended when a second one was started"

# Escape in an edit box ends the program at once, without writing the preferences.
xdotool windowmove "$MAIN" 300 250
e2e_wait_until 10 'e2e_geometry "$MAIN"; [[ $WX,$WY == 300,250 ]]' || e2e_fail "the window did not move"
e2e_box 0
e2e_key Escape
e2e_wait_exit
e2e_expect "prefs.cfg after Escape" "$(cat "$APP/prefs.cfg")" "$expected"

e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"
e2e_log "passed"
