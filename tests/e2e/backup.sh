#!/usr/bin/env bash
# Backup to a folder and restore from it: whole byte-for-byte copies, one per opening of the
# window, the restored records in the grid at once (so a later edit cannot write the old ones
# back), and a folder without copies refused with its message.
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

e2e_exit
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane" "$KEEP"
e2e_log "passed"
