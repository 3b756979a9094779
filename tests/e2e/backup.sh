#!/usr/bin/env bash
# Backup to a folder and restore from it: whole byte-for-byte copies, one per opening of the
# window, the restored records in the grid at once (so a later edit cannot write the old ones
# back), and a folder without copies refused with its message. A database changed by another
# program is read again before Corvane writes. At "Program and DBase" a backup made under an
# older owner password is restored with that password and enciphered under the one in force,
# and a plain copy is enciphered too: the data folder never holds a plain copy or mixed keys.
source "$(dirname "$0")/lib.sh"
e2e_begin backup

KEEP=$E2E_DIR/keep
EMPTY=$E2E_DIR/empty
mkdir -p "$KEEP" "$EMPTY"

e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main
e2e_file_record add Alpha ann apw1 https://alpha.example/
e2e_file_record add Beta ben bpw2 https://beta.example/ "kept in the backup"

# Back up, the folder typed with a final "/".
e2e_backup_window backup
e2e_backup_save "$KEEP/" "File Backup done"
cmp "$APP/Data/userDB.pdb" "$KEEP/Corvane.pdb" || e2e_fail "the backup copy differs from the database"
cp "$KEEP/Corvane.pdb" "$E2E_DIR/backed-up.pdb"
# One copy per opening: a second Save does nothing.
e2e_click_twips "$BACKUP" 2100 3990 1215 390
sleep 1.5
[[ -z $(e2e_window '^Corvane$' "$MAIN") ]] || e2e_fail "a second Save in the same opening did something"
e2e_backup_close

# A record filed after the backup, then the restore takes the database back.
e2e_file_record add Delta dan dpw4 https://delta.example/
e2e_backup_window restore
e2e_backup_save "$KEEP" "File Recovered"
e2e_backup_close
cmp "$KEEP/Corvane.pdb" "$APP/Data/userDB.pdb" || e2e_fail "the restored database differs from the copy"
cmp "$E2E_DIR/backed-up.pdb" "$KEEP/Corvane.pdb" || e2e_fail "the restore changed the backup copy"

# The grid shows the restored records: Alpha and Beta, and no Delta after them.
e2e_select_row 0
e2e_label Service
e2e_wait_clip Alpha
e2e_key Down Down
e2e_label Service
e2e_wait_clip Beta
e2e_shot restored-records
e2e_toolbar 3 # Reset, so the next record starts from empty boxes

# A record filed now joins the restored ones.
e2e_file_record add Epsilon eve epw5 https://epsilon.example/
e2e_expect "services after the restore and an edit" \
    "$(e2e_records "$APP/Data/userDB.pdb" | cut -d: -f1 | paste -sd ' ')" "Alpha Beta Epsilon"

# A folder without copies: the message, and the database as it was.
cp "$APP/Data/userDB.pdb" "$E2E_DIR/before-failed-restore.pdb"
e2e_backup_window restore
e2e_backup_save "$EMPTY" "Failed to locate Data Base, try to copy it manually"
e2e_backup_close
cmp "$E2E_DIR/before-failed-restore.pdb" "$APP/Data/userDB.pdb" || e2e_fail "a failed restore changed the database"

# The window's title follows the menu entry chosen while it is open.
e2e_backup_window backup
e2e_menu alt+f Down Return
e2e_wait_until 5 '[[ $(e2e_title "$BACKUP") == "Database Restore" ]]' || e2e_fail "the title is $(e2e_title "$BACKUP")"
e2e_backup_close

# Another program puts an older copy in place: the next Add writes nothing and shows that copy.
cp "$E2E_DIR/backed-up.pdb" "$APP/Data/userDB.pdb"
e2e_type_record Zeta zoe zpw6 https://zeta.example/
e2e_toolbar 0
e2e_answer Corvane "The database was changed outside Corvane since Corvane read it. Corvane has read it again, and your \
change was not made: the grid now shows the records the file holds. Please make your change again."
cmp "$E2E_DIR/backed-up.pdb" "$APP/Data/userDB.pdb" || e2e_fail "the other program's copy was written over"
e2e_toolbar 0 # the boxes still hold the record: filing it again now adds it to that copy
e2e_wait_until "$E2E_TIMEOUT" '[[ $(e2e_records "$APP/Data/userDB.pdb" | cut -d: -f1 | paste -sd " ") == "Alpha Beta Zeta" ]]' \
    || e2e_fail "the record was not filed after the reload"

# "Program and DBase" under OLD, a backup, then the password becomes NEW.
set_level1() {
    e2e_security_open
    e2e_security_password
    e2e_key ctrl+a BackSpace
    e2e_type "$1"
    e2e_security_level1
    e2e_security_accept
    e2e_answer "Confirmation Request"
    e2e_wait_window_gone "$SECURITY"
}
OLD=Old1pass NEW=New2pass
KEEP1=$E2E_DIR/keep-level1 PLAIN=$E2E_DIR/plain-only
mkdir -p "$KEEP1" "$PLAIN"
cp "$APP/Data/userDB.pdb" "$PLAIN/Corvane.pdb"
set_level1 "$OLD"
e2e_backup_window backup
e2e_backup_save "$KEEP1" "File Backup done"
e2e_backup_close
set_level1 "$NEW"
e2e_file_record add Theta tom tpw8 https://theta.example/

# The restore asks for the backup's password: a wrong one changes nothing, the right one puts
# the records in place under NEW.
e2e_box 0
restore_with_password() {
    e2e_backup_window restore
    e2e_click_twips "$BACKUP" 120 3540 4560 345
    e2e_key ctrl+a BackSpace
    e2e_type "$KEEP1"
    e2e_click_twips "$BACKUP" 2100 3990 1215 390
    e2e_wait_window '^Corvane$' "$E2E_TIMEOUT" "$MAIN $SPLASH"
    e2e_wait_painted "$WIN"
    e2e_type "$1"
    e2e_key Return
    e2e_answer Corvane "$2"
    e2e_backup_close
}
cp "$APP/Data/userDB.edb" "$E2E_DIR/before-restore.edb"
restore_with_password wrong "$KEEP1/Corvane.edb does not read back with that password.
Nothing was restored."
cmp "$E2E_DIR/before-restore.edb" "$APP/Data/userDB.edb" || e2e_fail "a refused restore changed the database"
restore_with_password "$OLD" "File Recovered"
e2e_expect "records restored under the password in force" \
    "$(e2e_records "$APP/Data/userDB.edb" "$NEW" | cut -d: -f1 | paste -sd ' ')" "Alpha Beta Zeta"
e2e_file_record add Iota ida ipw9 https://iota.example/
e2e_records "$APP/Data/userDB.edb" "$NEW" >/dev/null || e2e_fail "a record was filed under another password"

# A folder with only a plain copy: enciphered under NEW, and no plain file in the data folder.
e2e_backup_window restore
e2e_backup_save "$PLAIN" "File Recovered"
e2e_backup_close
[[ ! -e $APP/Data/userDB.pdb ]] || e2e_fail "a plain copy of the records was left in the data folder"
e2e_expect "plain copy restored at level 1" \
    "$(e2e_records "$APP/Data/userDB.edb" "$NEW" | cut -d: -f1 | paste -sd ' ')" "Alpha Beta Zeta"

e2e_exit
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane" "$KEEP" "$KEEP1"
e2e_log "passed"
