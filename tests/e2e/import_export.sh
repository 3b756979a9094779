#!/usr/bin/env bash
# File > Import of tests/store/import typed into the file dialog: the summary (Ctrl+C) as planned, every field
# exact, Escape and other columns write nothing; Export read back by Python, imported again as nothing new;
# the same at "Program and DBase" after a restart.
source "$(dirname "$0")/lib.sh"
e2e_begin import_export

SAMPLES=$(cd "$(dirname "$0")/../store/import" && pwd)
FILES=$E2E_DIR/files
mkdir -p "$FILES"
cp "$SAMPLES"/*.csv "$FILES/"
OWNER=Csv4Owner
THERE="(the same Service, Path, Username and Password) and will be skipped."
NL=$'\n'

# expect_logins SAMPLE... [-- KEY]: the database holds the logins of the samples, every field exact.
expect_logins() {
    local samples=() file=$APP/Data/userDB.pdb key=()
    while (($#)) && [[ $1 != -- ]]; do samples+=("$SAMPLES/$1.records") && shift; done
    (($#)) && file=$APP/Data/userDB.edb key=("$2")
    e2e_expect "logins of ${samples[*]##*/}" \
        "$(e2e_records "$file" "${key[@]}" | sed -E 's/[0-9]{2}-[0-9]{2}-[0-9]{4} [0-9:]{8}:!$//' | LC_ALL=C sort)" \
        "$(cat "${samples[@]}" | LC_ALL=C sort -u)"
}

# open_file PATH: File > Import..., the path typed into the file dialog.
open_file() {
    e2e_menu alt+f i
    e2e_wait_window '^Import Logins - Corvane$'
    e2e_wait_painted "$WIN"
    e2e_type "$1"
    e2e_key Return
}

# import_file PATH [SAMPLE ADDED [THERE]]: opens PATH; sets SUMMARY to the summary window and SAID to its
# text as Ctrl+C copies it. With SAMPLE: the counts, then the rows SAMPLE.rejected lists.
import_file() {
    local path=$1
    open_file "$path"
    e2e_wait_window '^Import - Corvane$'
    SUMMARY=$WIN
    e2e_wait_painted "$SUMMARY"
    e2e_shot "summary-$(basename "$path" .csv)"
    e2e_focus "$SUMMARY"
    e2e_key ctrl+c
    e2e_wait_until "$E2E_TIMEOUT" '[[ $(e2e_clip) == "$path, an export of "* ]]' || e2e_fail "the summary was not copied"
    SAID=$(e2e_clip)
    [[ -n ${2:-} ]] || return 0
    e2e_expect "counts" "$(grep -E 'will be added|already there' <<<"$SAID")" "$3${4:+$NL$4 $THERE}"
    e2e_expect "rows left out" "$(grep '^Line ' <<<"$SAID" || true)" "$(cat "$SAMPLES/$2.rejected")"
}

# summary_answer KEY: Return imports, Escape cancels; the summary is gone.
summary_answer() { e2e_key "$1" && e2e_wait_window_gone "$SUMMARY"; }

# export_to PATH COUNT DATABASE [KEY]: File > Export..., the warning answered Yes, the path typed; the
# file is private, and Python's csv module reads the records of DATABASE back from it, field for field.
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
    e2e_expect "the export as Python reads it" "$(python3 -c '
import csv, sys
rows = list(csv.reader(open(sys.argv[1], newline="", encoding="utf-8")))
assert rows[0] == ["Group", "Title", "Username", "Password", "URL", "Notes", "Last Modified"], rows[0]
for group, title, user, password, url, notes, date in rows[1:]:
    assert group == "Corvane"
    print(":!".join([title, url, user, password, notes, date, ""]))' "$1")" "$(e2e_records "${@:3}")"
}

# authenticated_start: Exit, start again and type the owner password.
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

e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main

import_file "$FILES/firefox.csv" firefox "3 records will be added."
summary_answer Return
expect_logins firefox
import_file "$FILES/chrome.csv" chrome "3 records will be added." "1 is already there"
summary_answer Return
expect_logins firefox chrome

# Escape in the summary, or a file of other columns: nothing written.
cp "$APP/Data/userDB.pdb" "$E2E_DIR/before.pdb"
import_file "$FILES/keepassxc.csv"
summary_answer Escape
printf 'url,username,password,totp,extra,name\nhttps://x.example,u,p,,,x\n' >"$FILES/other.csv"
open_file "$FILES/other.csv"
e2e_answer Corvane "Corvane does not know this kind of CSV file: its first line names the columns url, username, \
password, totp, extra, name. Corvane imports the CSV exports of Firefox, Chrome and Chromium, KeePassXC, Bitwarden \
and Corvane itself. Nothing was imported."
cmp "$E2E_DIR/before.pdb" "$APP/Data/userDB.pdb" || e2e_fail "a cancelled or refused import changed the database"
import_file "$FILES/keepassxc.csv" keepassxc "3 records will be added."
summary_answer Return
expect_logins firefox chrome keepassxc

# The export imported again adds nothing.
export_to "$FILES/export.csv" 9 "$APP/Data/userDB.pdb"
cp "$APP/Data/userDB.pdb" "$E2E_DIR/before.pdb"
import_file "$FILES/export.csv"
e2e_expect "export imported again" "$(sed -n 3,4p <<<"$SAID")" "0 records will be added.
9 are already there $THERE"
summary_answer Return
cmp "$E2E_DIR/before.pdb" "$APP/Data/userDB.pdb" || e2e_fail "importing the export changed the database"

# "Program and DBase"; after a restart the records read back enciphered, and an import is enciphered too.
e2e_security_open
e2e_security_password
e2e_type "$OWNER"
e2e_security_level1
e2e_security_accept
e2e_answer "Confirmation Request"
e2e_wait_window_gone "$SECURITY"
authenticated_start
expect_logins firefox chrome keepassxc -- "$OWNER"
import_file "$FILES/bitwarden.csv" bitwarden "3 records will be added."
summary_answer Return
expect_logins firefox chrome keepassxc bitwarden -- "$OWNER"
[[ -z $(find "$E2E_RUNTIME" -name mdb.tmp) ]] || e2e_fail "the deciphered temporary database was left behind"
# The next start holds every record: its export is the enciphered database.
authenticated_start
e2e_shot records-at-level-1
export_to "$FILES/export-level1.csv" 12 "$APP/Data/userDB.edb" "$OWNER"
e2e_exit
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"
e2e_log "passed"
