#!/usr/bin/env bash
# File > Import and File > Export with real keys. The exports of Firefox, Chrome, KeePassXC and
# Bitwarden (tests/store/import), typed into Qt's own file dialog: the summary, copied with Ctrl+C,
# counts the records to add and those already there and lists every row that cannot be stored
# with its line; Import files every field exactly, Escape writes nothing, a file of other columns
# is refused. Export warns, and writes a private file that Python's csv module reads back field for
# field and that imports again as nothing new. At "Program and DBase", after a restart, the records
# read back enciphered, an import is enciphered too, and a start after it shows every record.
source "$(dirname "$0")/lib.sh"
e2e_begin import_export

SAMPLES=$(cd "$(dirname "$0")/../store/import" && pwd)
FILES=$E2E_DIR/files
mkdir -p "$FILES"
cp "$SAMPLES"/*.csv "$FILES/"
OWNER=Csv4Owner

# expect_logins SAMPLE... [-- KEY]: the database holds the logins of the samples, every field exact.
expect_logins() {
    local samples=() file=$APP/Data/userDB.pdb key=()
    while (($#)) && [[ $1 != -- ]]; do samples+=("$SAMPLES/$1.records") && shift; done
    (($#)) && file=$APP/Data/userDB.edb key=("$2")
    e2e_expect "logins of ${samples[*]##*/}" \
        "$(e2e_records "$file" "${key[@]}" | sed -E 's/[0-9]{2}-[0-9]{2}-[0-9]{4} [0-9:]{8}:!$//' | LC_ALL=C sort)" \
        "$(cat "${samples[@]}" | LC_ALL=C sort -u)"
}

# import_file PATH: File > Import..., the path typed into the file dialog; waits for the summary,
# sets SUMMARY to the window and SAID to its text, as Ctrl+C copies it.
import_file() {
    local path=$1
    e2e_menu alt+f i
    e2e_wait_window '^Import Logins - Corvane$'
    e2e_wait_painted "$WIN"
    e2e_type "$1"
    e2e_key Return
    e2e_wait_window '^Import - Corvane$'
    SUMMARY=$WIN
    e2e_wait_painted "$SUMMARY"
    e2e_shot "summary-$(basename "$1" .csv)"
    e2e_focus "$SUMMARY"
    e2e_key ctrl+c
    e2e_wait_until 5 '[[ $(e2e_clip) == "$path, an export of "* ]]' || e2e_fail "the summary was not copied"
    SAID=$(e2e_clip)
}

# expect_summary ADDED [THERE] SAMPLE: the counts, then the rows of SAMPLE.rejected.
expect_summary() {
    e2e_expect "records to add" "$(sed -n 3p <<<"$SAID")" "$1"
    [[ -z ${3:-} ]] || e2e_expect "records already there" "$(sed -n 4p <<<"$SAID")" "$2"
    e2e_expect "rows left out" "$(grep '^Line ' <<<"$SAID" || true)" "$(cat "$SAMPLES/${3:-$2}.rejected")"
}

# summary_answer KEY: answers the summary (Return imports, Escape cancels) and waits until it is gone.
summary_answer() {
    e2e_key "$1"
    e2e_wait_window_gone "$SUMMARY"
}

# export_to PATH: File > Export..., the warning answered Yes, the path typed; checks the message.
export_to() {
    e2e_menu alt+f p
    e2e_answer "Confirmation Request" "The exported file holds every password as plain text, unenciphered: anyone \
who can read the file can read all your logins. Keep it somewhere safe, and delete it once you no longer need it. \
Export the records?"
    e2e_wait_window '^Export Logins - Corvane$'
    e2e_wait_painted "$WIN"
    e2e_key ctrl+a
    e2e_type "$1"
    e2e_key Return
    e2e_answer Corvane "$2 records were exported to $1."
    e2e_expect "mode of the exported file" "$(stat -c %a "$1")" 600
}

# csv_reads_back FILE DATABASE [KEY]: Python's csv module reads every record back from the export.
csv_reads_back() {
    e2e_expect "the export as Python reads it" "$(python3 -c '
import csv, sys
rows = list(csv.reader(open(sys.argv[1], newline="", encoding="utf-8")))
assert rows[0] == ["Group", "Title", "Username", "Password", "URL", "Notes", "Last Modified"], rows[0]
for group, title, user, password, url, notes, date in rows[1:]:
    assert group == "Corvane"
    print(":!".join([title, url, user, password, notes, date, ""]))' "$1")" "$(e2e_records "${@:2}")"
}

e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main

import_file "$FILES/firefox.csv"
expect_summary "3 records will be added." firefox
summary_answer Return
expect_logins firefox

import_file "$FILES/chrome.csv"
expect_summary "3 records will be added." \
    "1 is already there (the same Service, Path, Username and Password) and will be skipped." chrome
summary_answer Return
expect_logins firefox chrome

# Escape in the summary writes nothing; Import then files the records.
cp "$APP/Data/userDB.pdb" "$E2E_DIR/before-cancel.pdb"
import_file "$FILES/keepassxc.csv"
summary_answer Escape
cmp "$E2E_DIR/before-cancel.pdb" "$APP/Data/userDB.pdb" || e2e_fail "a cancelled import changed the database"
import_file "$FILES/keepassxc.csv"
expect_summary "3 records will be added." keepassxc
summary_answer Return
expect_logins firefox chrome keepassxc

# Columns of another program: refused, nothing written.
printf 'url,username,password,totp,extra,name\nhttps://x.example,u,p,,,x\n' >"$FILES/other.csv"
cp "$APP/Data/userDB.pdb" "$E2E_DIR/before-refused.pdb"
e2e_menu alt+f i
e2e_wait_window '^Import Logins - Corvane$'
e2e_wait_painted "$WIN"
e2e_type "$FILES/other.csv"
e2e_key Return
e2e_answer Corvane "Corvane does not know this kind of CSV file: its first line names the columns url, username, \
password, totp, extra, name. Corvane imports the CSV exports of Firefox, Chrome and Chromium, KeePassXC, Bitwarden \
and Corvane itself. Nothing was imported."
cmp "$E2E_DIR/before-refused.pdb" "$APP/Data/userDB.pdb" || e2e_fail "a refused import changed the database"

# Export, read back by Python; imported again it adds nothing.
export_to "$FILES/export.csv" 9
csv_reads_back "$FILES/export.csv" "$APP/Data/userDB.pdb"
import_file "$FILES/export.csv"
e2e_expect "export imported again" "$(sed -n 3,4p <<<"$SAID")" "0 records will be added.
9 are already there (the same Service, Path, Username and Password) and will be skipped."
summary_answer Return
cmp "$E2E_DIR/before-refused.pdb" "$APP/Data/userDB.pdb" || e2e_fail "importing the export changed the database"

# "Program and DBase", then a start that asks for the owner password.
e2e_security_open
e2e_security_password
e2e_type "$OWNER"
e2e_security_level1
e2e_security_accept
e2e_answer "Confirmation Request"
e2e_wait_window_gone "$SECURITY"
authenticated_start() {
    e2e_exit
    e2e_start
    MAIN=
    e2e_wait_splash
    e2e_click "$SPLASH" 100 100
    e2e_wait_window '^Owner Authentication$'
    e2e_wait_painted "$WIN"
    e2e_click_twips "$WIN" 1140 150 3180 330
    e2e_type "$OWNER"
    e2e_key Return
    e2e_wait_main
}
authenticated_start
expect_logins firefox chrome keepassxc -- "$OWNER"
import_file "$FILES/bitwarden.csv"
expect_summary "3 records will be added." bitwarden
summary_answer Return
expect_logins firefox chrome keepassxc bitwarden -- "$OWNER"
[[ -z $(find "$E2E_RUNTIME" -name mdb.tmp) ]] || e2e_fail "the deciphered temporary database was left behind"

# After a start the program holds every record: its export is the enciphered database.
authenticated_start
e2e_shot records-at-level-1
export_to "$FILES/export-level1.csv" 12
csv_reads_back "$FILES/export-level1.csv" "$APP/Data/userDB.edb" "$OWNER"
e2e_exit
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"
e2e_log "passed"
