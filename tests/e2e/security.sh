#!/usr/bin/env bash
# Owner password at "Program and DBase": the database is enciphered with it, the owner is asked
# for it at start (two wrong tries and the right one), three wrong tries end the program with an
# intrusion report, no password stored in a record is left readable in any file, and going back
# to "None" gives the plain database back line for line. A pasted password loses its line break,
# and the expiry day picked in the calendar is the one stored.
# Locking (the screen saver's signal on a session bus of the journey's own, or Ctrl+L) hides every window at
# once, leaving no password on the clipboard and no record text for a screen reader, until the owner is back.
source "$(dirname "$0")/lib.sh"
e2e_begin security

OWNER=Owl2Pass9
# A password stored in a record at level 1: it must be found, readable, in no file at all.
SENTINEL=Zq8SentinelW3x
TODAY=$(date +%m-%d-%Y)

# start_to_authentication: a start that asks for the owner password; sets ASK to the window.
start_to_authentication() {
    e2e_start
    # X reuses window ids from one run of the program to the next: the last run's main window id
    # may now name this run's message box, which the waits for a box must not pass over.
    MAIN=
    e2e_wait_splash
    e2e_click "$SPLASH" 100 100
    e2e_wait_window '^Owner Authentication$'
    ASK=$WIN
    e2e_wait_painted "$ASK"
    e2e_click_twips "$ASK" 1140 150 3180 330
}

# ---- locking ------------------------------------------------------------------------------
LOCKED_TEXTS=(alice carol "$SENTINEL" "$OWNER" vault.example mail.example "first one")
shown_but_owner() { xdotool search --all --onlyvisible --pid "$CORVANE_PID" --name . | grep -vx "$(e2e_window '^Owner Auth')"; }
screen_reader() { /usr/bin/python3 "$(dirname "$0")/atspi_texts.py" "$CORVANE_PID" || e2e_fail "no screen reader sees Corvane"; }

# lock screen|keys WHAT: the screen saver's signal, or Ctrl+L. Within a second every window but "Owner Authentication"
# (ASK) is gone; the copied password is off the clipboard; a screen reader reads no record text.
lock() {
    local start found text
    e2e_frame "$MAIN"
    PLACE=$OX,$OY
    [[ $1 == screen ]] || e2e_focus "$MAIN"
    start=$(e2e_now_ms)
    if [[ $1 == keys ]]; then
        e2e_key ctrl+l
    else
        gdbus emit --session --object-path /org/freedesktop/ScreenSaver \
            --signal org.freedesktop.ScreenSaver.ActiveChanged true >/dev/null
    fi
    e2e_wait_until 10 '[[ -z $(shown_but_owner) ]]' || e2e_fail "$2: still shown: $(shown_but_owner)"
    e2e_log "$2: every window hidden within $(($(e2e_now_ms) - start)) ms"
    (($(e2e_now_ms) - start <= ${E2E_LOCK_MS:-1000})) || e2e_fail "$2: the windows took too long to go"
    e2e_wait_window '^Owner Authentication$'
    ASK=$WIN
    e2e_shot "locked-$2"
    [[ $(e2e_clip) != "$SENTINEL" ]] || e2e_fail "$2: the clipboard still holds the password"
    text=$(screen_reader)
    for found in "${LOCKED_TEXTS[@]}"; do
        ! grep -qiF -- "$found" <<<"$text" || e2e_fail "$2: a screen reader reads \"$found\" while locked"
    done
}

# unlock WHAT: the right password brings the same main window back where it was.
unlock() {
    e2e_focus "$ASK"
    e2e_type "$OWNER"
    e2e_key Return
    e2e_wait_window '^Corvane$' "$E2E_TIMEOUT" "$SPLASH"
    e2e_wait_framed "$WIN"
    e2e_expect "$1: the window after unlocking" "$WIN $OX,$OY" "$MAIN $PLACE"
}

e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main
e2e_file_record add Mail alice s3cret https://mail.example/ "first one"
e2e_file_record enter Bank bob b4nk https://bank.example/
e2e_records "$APP/Data/userDB.pdb" >"$E2E_DIR/plain-lines.txt"

# Escape closes the settings window as Cancel does, and leaves Corvane running.
e2e_security_open
e2e_key Escape
e2e_wait_window_gone "$SECURITY"
e2e_focus "$MAIN"

# Preferences > Set Password: the password, then the level (typing it selects "None" again).
e2e_security_open
e2e_security_password
e2e_type "$OWNER"
e2e_security_level1
e2e_shot settings
e2e_security_accept
e2e_answer "Confirmation Request" \
    $'Make sure to copy the Password to a safe location\nWhen you are ready, Press Ok to continue'
e2e_wait_window_gone "$SECURITY"

[[ ! -e $APP/Data/userDB.pdb ]] || e2e_fail "the plain database is still there at level 1"
e2e_expect "owner record" "$("$E2E_INSPECT" owner "$APP/Data/ground.lnk")" "xx-xx-xxxx${OWNER}${TODAY}1"
e2e_expect "the enciphered database, deciphered line by line" \
    "$(e2e_records "$APP/Data/userDB.edb" "$OWNER")" "$(cat "$E2E_DIR/plain-lines.txt")"

# A record filed at level 1 is appended enciphered.
e2e_file_record add Vault carol "$SENTINEL" https://vault.example/ "kept at level 1"
e2e_records "$APP/Data/userDB.edb" "$OWNER" >"$E2E_DIR/level1-lines.txt" \
    || e2e_fail "the enciphered database does not decipher with the owner password"
e2e_expect "records at level 1" "$(wc -l <"$E2E_DIR/level1-lines.txt")" 3
e2e_expect "password of the record filed at level 1" "$(e2e_field "$(tail -n 1 "$E2E_DIR/level1-lines.txt")" 3)" \
    "$SENTINEL"

# A Replace at level 1 writes the database anew through the deciphered temporary file, which
# is gone afterwards.
e2e_select_row 1
e2e_box 4
# End, not Ctrl+End: Ctrl released in an edit box switches capture mode on.
e2e_key End
e2e_type " and changed"
before=$(e2e_db_size)
e2e_toolbar 1
e2e_wait_until "$E2E_TIMEOUT" '(($(e2e_db_size) > before))' || e2e_fail "the replaced record was not written"
e2e_records "$APP/Data/userDB.edb" "$OWNER" >"$E2E_DIR/level1-lines.txt" \
    || e2e_fail "the rewritten database does not decipher with the owner password"
e2e_expect "Info of the replaced record" "$(e2e_field "$(grep '^Mail' "$E2E_DIR/level1-lines.txt")" 4)" \
    "first one and changed"
e2e_expect "records after the Replace" "$(wc -l <"$E2E_DIR/level1-lines.txt")" 3
[[ -z $(find "$E2E_RUNTIME" -type f) ]] || e2e_fail "the rewrite left files in the runtime folder"

# A backup copy at level 1 is the enciphered file.
mkdir -p "$E2E_DIR/backup"
e2e_backup_window backup
e2e_backup_save "$E2E_DIR/backup" "File Backup done"
e2e_backup_close
cmp "$APP/Data/userDB.edb" "$E2E_DIR/backup/Corvane.edb" || e2e_fail "the backup copy differs from the database"
e2e_exit

# Start again: two wrong passwords, then the right one.
start_to_authentication
e2e_shot authentication
e2e_type "wrong1"
e2e_key Return
e2e_type "owl2pass9" # the case counts
e2e_key Return
# Both were taken as attempts and refused: the dialog still asks, the records stay hidden.
sleep 1
e2e_shown "$ASK" || e2e_fail "the authentication window closed after wrong passwords"
[[ -z $(e2e_window '^Corvane' "$SPLASH") ]] || e2e_fail "the main window showed before the right password"
e2e_type "$OWNER"
e2e_key Return
e2e_wait_main
e2e_shot records-after-authentication
[[ ! -e $APP/Corvane.log ]] || e2e_fail "a successful authentication wrote an intrusion report"
[[ -z $(find "$E2E_RUNTIME" -name mdb.tmp) ]] || e2e_fail "the deciphered temporary database was left behind"
# The grid holds the three records in order, the one filed at level 1 with its password.
row=0
for want in "Bank bob" "Mail alice" "Vault carol"; do
    e2e_select_row "$row"
    e2e_label Service
    e2e_wait_clip "${want% *}"
    e2e_label Username
    e2e_wait_clip "${want#* }"
    row=$((row + 1))
done
e2e_expect "date of the last row" "$(e2e_title "$MAIN")" \
    "Corvane - Record Date: $(e2e_field "$(grep '^Vault' "$E2E_DIR/level1-lines.txt")" 5)"
e2e_label Password
e2e_wait_clip "$SENTINEL"
e2e_exit

# Start again and fail three times: the message, the report, the program gone.
start_to_authentication
before=$(date +%s)
e2e_type "a"
e2e_key Return
e2e_type "b b"
e2e_key Return
e2e_type "c!"
e2e_key Return
e2e_answer "Access Error" "You are not allowed to use this application"
e2e_wait_exit
e2e_expect "exit status after three wrong passwords" "$E2E_STATUS" 3
after=$(date +%s)
e2e_shot program-gone

report=$E2E_DIR/report.txt
tr -d '\r' <"$APP/Corvane.log" >"$report"
e2e_expect "report lines" "$(grep -c '' "$report")" 10
e2e_expect "report line ends" "$(grep -c $'\r$' "$APP/Corvane.log")" 10
stamp=$(sed -n 4p "$report")
[[ $stamp =~ ^\[\ ([0-9]{2})-([0-9]{2})-([0-9]{4})\ -\ ([0-9]{2}:[0-9]{2}:[0-9]{2})\ \]$ ]] \
    || e2e_fail "report time stamp \"$stamp\""
when=$(date -d "${BASH_REMATCH[3]}-${BASH_REMATCH[1]}-${BASH_REMATCH[2]} ${BASH_REMATCH[4]}" +%s)
((when >= before - 1 && when <= after + 1)) || e2e_fail "report time stamp \"$stamp\" is not the time of the failure"
expected=$(printf '%s\n' "" "Corvane Intrussion Report" "" "$stamp" "" "Intrussion attempt #1: a" \
    "Intrussion attempt #2: b b" "Intrussion attempt #3: c!" "" " -------- END REPORT --------------")
e2e_expect "intrusion report" "$(cat "$report")" "$expected"

# Secrecy: the record's password is in no file Corvane leaves behind, in plain text or in the
# form the field cipher alone would give it.
hidden=$("$E2E_INSPECT" field-encipher "$SENTINEL")
found=$(grep -rlaF -e "$SENTINEL" -e "$hidden" "$E2E_DIR" --exclude='*.png' --exclude=corvane \
    --exclude='*-lines.txt' || true)
[[ -z $found ]] || e2e_fail "the password stored in a record can be read in: $found"
e2e_log "secrecy: the stored password is readable in no file"
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane" "$E2E_DIR/backup"

# ---- locked while the owner is away --------------------------------------------------------
# The accessibility bus keeps its socket in the journey's home, and is there before Corvane starts, as at login.
HOME=$E2E_HOME dbus-daemon --session --nofork --print-address=3 3>"$E2E_DIR/bus" 2>"$E2E_DIR/dbus.log" &
LOCK_BUS=$!
E2E_HELPER_PIDS+=("$LOCK_BUS")
e2e_wait_until 10 '[[ -s $E2E_DIR/bus ]]' || e2e_fail "no session bus"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$E2E_DIR/bus")
export DBUS_SESSION_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress >/dev/null
start_to_authentication
e2e_type "$OWNER"
e2e_key Return
e2e_wait_main
e2e_select_row 2
e2e_label Password
e2e_wait_clip "$SENTINEL"
grep -qF carol <<<"$(screen_reader)" || e2e_fail "the screen reader cannot read the records at all"
sleep 1 # Corvane listens to the desktop a little after its window shows
lock screen screen-saver
unlock screen-saver
e2e_expect "title after unlocking" "$(e2e_title "$MAIN")" Corvane
e2e_select_row 2
e2e_label Username
e2e_wait_clip carol
# A lock closes the security settings and their confirmation of a new level, saving nothing.
owner_before=$("$E2E_INSPECT" owner "$APP/Data/ground.lnk")
e2e_security_open
e2e_security_level2
e2e_security_accept
e2e_wait_window '^Confirmation Request$'
lock screen confirmation
e2e_expect "owner record" "$("$E2E_INSPECT" owner "$APP/Data/ground.lnk")" "$owner_before"
unlock confirmation
[[ -z $(e2e_window 'Security Settings|Confirmation Request') ]] || e2e_fail "the security settings came back"
e2e_backup_window backup
lock screen backup
unlock backup
e2e_select_row 2
e2e_label Path
e2e_key Down Down Right Return
e2e_wait_window '^CorvoBrowser$' 90
lock screen browser
unlock browser
[[ -z $(e2e_window '^(Database|CorvoBrowser)') ]] || e2e_fail "the backup or browser window came back"
# Ctrl+L, then three wrong passwords: the report, the preferences written as by Exit, the end.
rm "$APP/prefs.cfg"
lock keys ctrl-l
# Minimized while locked, a second start brings "Owner Authentication" back, never the records.
xdotool windowminimize "$ASK"
running=$CORVANE_PID
e2e_start
e2e_wait_exit
CORVANE_PID=$running
e2e_wait_until 5 '[[ $(xdotool getactivewindow 2>/dev/null) == "$ASK" ]]' || e2e_fail "a second start left the owner's window minimized"
[[ -z $(shown_but_owner) ]] || e2e_fail "a second start showed $(shown_but_owner) while locked"
e2e_focus "$ASK"
for wrong in x1 y2 z3; do
    e2e_type "$wrong"
    e2e_key Return
done
e2e_answer "Access Error" "You are not allowed to use this application"
e2e_wait_exit
e2e_expect "report" "$(tr -d '\r' <"$APP/Corvane.log" | tail -n 5 | head -n 3 | tr '\n' ' ')" \
    "Intrussion attempt #1: x1 Intrussion attempt #2: y2 Intrussion attempt #3: z3 "
e2e_expect "preferences" "$(tr -d '\r' <"$APP/prefs.cfg" | sed -n '3p;4p' | tr '\n' ' ')" \
    "[LPos]= $((${PLACE%,*} * E2E_TWIPS_PER_PIXEL)) [TPos]= $((${PLACE#*,} * E2E_TWIPS_PER_PIXEL)) "
kill "$LOCK_BUS"
unset DBUS_SESSION_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON

# Back to "None" (the box holds the password in force): the plain database comes back line for
# line, without the enciphered one, and the next start asks for nothing.
start_to_authentication
e2e_type "$OWNER"
e2e_key Return
e2e_wait_main
e2e_security_open
e2e_security_none
e2e_security_accept
e2e_wait_window_gone "$SECURITY"
[[ ! -e $APP/Data/userDB.edb ]] || e2e_fail "the enciphered database is still there at level 0"
e2e_expect "the plain database after leaving level 1" "$(e2e_records "$APP/Data/userDB.pdb")" \
    "$(cat "$E2E_DIR/level1-lines.txt")"
e2e_expect "owner record at level 0" "$("$E2E_INSPECT" owner "$APP/Data/ground.lnk")" "xx-xx-xxxx${OWNER}${TODAY}0"
e2e_exit
e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main
e2e_shot level-none

# With Sugest on, a pasted password keeps its line break and tab out: the owner could type
# neither when asked for it. The expiry date is the day picked in the calendar pop-up, with the
# keyboard there: a week on from today.
e2e_security_open
e2e_click_twips "$SECURITY" $((120 + 120)) $((FRAMES_TOP + 150)) 600 285
e2e_clip_put $'Line\nBreak\tTab'
e2e_security_password
e2e_key End shift+Home ctrl+v
e2e_click_twips "$SECURITY" 5460 90 1020 360
e2e_wait_clip LineBreakTab
e2e_click_twips "$SECURITY" $((3360 + 150)) $((FRAMES_TOP + 330)) 600 285
e2e_click_twips "$SECURITY" $((3360 + 1590 + 1380 - 300)) $((FRAMES_TOP + 705)) 300 330
sleep 0.5
e2e_shot calendar
e2e_key Down Return
e2e_security_accept
e2e_wait_window_gone "$SECURITY"
e2e_expect "owner record with the day picked" "$("$E2E_INSPECT" owner "$APP/Data/ground.lnk")" \
    "$(date -d '+7 days' +%m-%d-%Y)LineBreakTab${TODAY}0"
e2e_exit

e2e_check_modes "$APP" "$E2E_RUNTIME/corvane" "$E2E_DIR/backup"
e2e_log "passed"
