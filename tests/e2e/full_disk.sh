#!/usr/bin/env bash
# A full disk: the program runs with its file size limited below the database's size (SIGXFSZ
# ignored, so a write that would pass the limit fails instead of killing it). Filing a record
# (an append) and replacing one (a whole rewrite) are both told to the user, and the database
# file stays exactly what it was.
source "$(dirname "$0")/lib.sh"
e2e_begin full_disk

# Records long enough that the database passes the 1024-byte limit set below.
long_info() {
    printf "$1 %.0s" $(seq 60)
}
e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main
E2E_TYPE_DELAY=2
e2e_file_record add Archive arch apw1 https://archive.example/ "$(long_info keep)"
e2e_file_record add Books reader bpw2 https://books.example/ "$(long_info read)"
e2e_file_record add Cloud cloudy cpw3 https://cloud.example/ "$(long_info sync)"
E2E_TYPE_DELAY=
e2e_exit
size=$(stat -c %s "$APP/Data/userDB.pdb")
((size > 1024)) || e2e_fail "the database is only $size bytes, not past the limit"
cp "$APP/Data/userDB.pdb" "$E2E_DIR/before.pdb"

# Files may not grow past 1024 bytes from now on.
e2e_start "trap '' XFSZ; ulimit -f 1"
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main

# Add appends to the database: refused by the disk, told to the user.
e2e_type_record Diary writer dpw4 https://diary.example/
e2e_toolbar 0
e2e_answer "Disk Error - i66" "Can not access the DataBase."
cmp "$E2E_DIR/before.pdb" "$APP/Data/userDB.pdb" || e2e_fail "the failed append changed the database"
e2e_toolbar 3 # Reset

# Replace writes the database anew: the new file cannot be written, the old one stays.
e2e_select_row 1
e2e_box 2
e2e_key End
e2e_type ".renamed"
e2e_toolbar 1
e2e_answer "Disk Error - i66" "Can not access the DataBase."
cmp "$E2E_DIR/before.pdb" "$APP/Data/userDB.pdb" || e2e_fail "the failed rewrite changed the database"
e2e_shot after-disk-errors
e2e_exit

# Nothing half-written is left beside the database.
# shellcheck disable=SC2012 # the names in Data are Corvane's own, without spaces or newlines
e2e_expect "files in Data" "$(cd "$APP/Data" && ls -A | paste -sd " ")" userDB.pdb
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"
e2e_log "passed"
