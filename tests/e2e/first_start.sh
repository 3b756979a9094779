#!/usr/bin/env bash
# First start in a fresh folder: the splash hands over by itself, the Data folder is made, three
# logins are filed (the Add button, the Enter key), E&xit writes the window's place; the next
# start shows the splash until it is clicked, the window where it was and the records in order.
# A second copy on the same folder refuses to run; Escape ends without writing the preferences.
source "$(dirname "$0")/lib.sh"
e2e_begin first_start

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

# Only one copy runs on a folder: a second one says so and ends, the first runs on.
first=$CORVANE_PID main=$MAIN
e2e_start
e2e_answer Corvane "Corvane is already running with the records of this folder."
e2e_wait_exit
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
