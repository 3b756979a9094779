#!/usr/bin/env bash
# The owner password is a gate, and the files hold up when things go wrong. While "Owner
# Authentication" waits, clicks on the splash's place and anywhere on the screen and keys sent to
# every other window of the program get nobody past it, at "Program Only" and at "Program and
# DBase". A level change killed before and after the owner file changed comes back whole at the
# next start. An enciphered database left alone without its owner file is held, never written
# over, and comes back with its password. A lock file nobody holds and copies left by killed writes
# do not stop a start.
source "$(dirname "$0")/lib.sh"
e2e_begin owner_gate

OWNER=Gate7Pass

confirm() {
    e2e_answer "Confirmation Request" \
        $'Make sure to copy the Password to a safe location\nWhen you are ready, Press Ok to continue'
}

# owner_level: the level the owner file holds.
owner_level() {
    local record
    record=$("$E2E_INSPECT" owner "$APP/Data/ground.lnk" 2>/dev/null) || return 0
    echo "${record: -1}"
}

# data_files: the files in Data that hold records or settings, one line.
# shellcheck disable=SC2010 # the names in Data are Corvane's own, without spaces or newlines
data_files() {
    (cd "$APP/Data" && ls -A | grep -v -e '^\.hidden$' -e '^corvane\.lock$' | sort | tr '\n' ' ')
}

# expect_records: the grid holds Bank and Mail (clicked and copied by their labels).
expect_records() {
    local row=0 want
    for want in Bank Mail; do
        e2e_select_row "$row"
        e2e_label Service
        e2e_wait_clip "$want"
        row=$((row + 1))
    done
}

# A new run of the program may give its windows the ids the last run's had: the last main window's
# id must not hide a message box of this run from the waits.
start_past_splash() {
    e2e_start
    MAIN=
    e2e_wait_splash
    e2e_click "$SPLASH" 100 100
}

# gate: a start that asks for the owner password, then everything an impatient user tries while the
# window waits; nothing may get past it. Types the password at the end and waits for the records.
gate() {
    local what=$1 id x y before
    e2e_start
    MAIN=
    e2e_wait_splash
    local sx=$WX sy=$WY sw=$WW sh=$WH
    before=$(cat "$APP/Data/"userDB.* | md5sum)
    e2e_click "$SPLASH" 100 100
    e2e_wait_window '^Owner Authentication$'
    ASK=$WIN
    e2e_wait_painted "$ASK"
    [[ -z $(e2e_window '^Corvane') ]] || e2e_fail "$what: the splash or the main window is shown beside the authentication"
    # Clicks where the splash was, its corners included, and all over the screen; not on the
    # authentication window itself, whose Cancel ends the program.
    e2e_geometry "$ASK"
    local points=() point
    for x in 5 100 $((sw / 2)) $((sw - 5)); do
        for y in 5 $((sh / 2)) $((sh - 5)); do
            points+=("$((sx + x)),$((sy + y))")
        done
    done
    for x in 10 640 1270; do
        for y in 10 300 1014; do
            points+=("$x,$y")
        done
    done
    for point in "${points[@]}"; do
        x=${point%,*} y=${point#*,}
        ((x >= WX - 2 && x < WX + WW + 2 && y >= WY - 30 && y < WY + WH + 2)) && continue
        e2e_pointer_to "$x" "$y"
        xdotool click 1
        xdotool click 3
    done
    # Keys and clicks sent to every other window the program has, shown or not.
    for id in $(xdotool search --all --pid "$CORVANE_PID" 2>/dev/null); do
        [[ $id == "$ASK" ]] && continue
        xdotool key --window "$id" alt+p s 2>/dev/null || true
        xdotool key --window "$id" alt+f x 2>/dev/null || true
        xdotool click --window "$id" 1 2>/dev/null || true
    done
    # The splash's four seconds are long over.
    sleep 4.5
    e2e_shot "$what-while-asking"
    e2e_shown "$ASK" || e2e_fail "$what: the authentication window went away"
    [[ -z $(e2e_window '^Corvane') ]] || e2e_fail "$what: the main window showed before the password"
    [[ -z $(e2e_window 'Security Settings') ]] || e2e_fail "$what: the security settings opened before the password"
    e2e_expect "$what: the database while asking" "$(cat "$APP/Data/"userDB.* | md5sum)" "$before"
    [[ ! -e $APP/Corvane.log ]] || e2e_fail "$what: the clicks and keys were taken as attempts"
    e2e_log "$what: nothing got past the authentication"
    # A right click on the desktop opened the window manager's menu, which holds the keyboard: the
    # owner closes it first (Escape does nothing in the authentication window).
    xdotool key Escape Escape Escape
    # Minimized and started again meanwhile, Corvane brings the authentication forward, never the
    # main window.
    local first=$CORVANE_PID
    xdotool windowminimize "$ASK"
    e2e_wait_until 5 '[[ $(xdotool getactivewindow 2>/dev/null) != "$ASK" ]]' || e2e_fail "$what: not minimized"
    e2e_start
    e2e_wait_exit
    CORVANE_PID=$first
    e2e_expect "$what: status of a second start" "$E2E_STATUS" 0
    e2e_wait_until 5 '[[ $(xdotool getactivewindow) == "$ASK" ]]' || e2e_fail "$what: the authentication is not in front"
    [[ -z $(e2e_window '^Corvane') ]] || e2e_fail "$what: a second start showed the main window"
    e2e_focus "$ASK"
    e2e_type "$OWNER"
    e2e_key Return
    e2e_wait_main
    expect_records
}

# ---- records at "Program Only", then the gate -------------------------------------------
start_past_splash
e2e_wait_main
e2e_file_record add Mail alice s3cret https://mail.example/ "first one"
e2e_file_record enter Bank bob b4nk https://bank.example/
e2e_security_open
e2e_security_password
e2e_type "$OWNER"
e2e_security_level2
e2e_security_accept
confirm
e2e_wait_window_gone "$SECURITY"
e2e_expect "level after Program Only" "$(owner_level)" 2
e2e_exit

gate program-only
e2e_exit

# ---- "Program and DBase", then the gate --------------------------------------------------
start_past_splash
e2e_wait_window '^Owner Authentication$'
e2e_type "$OWNER"
e2e_key Return
e2e_wait_main
e2e_security_open
e2e_security_level1
e2e_security_accept
confirm
e2e_wait_window_gone "$SECURITY"
e2e_expect "files at Program and DBase" "$(data_files)" "ground.lnk userDB.edb "
e2e_exit

gate program-and-dbase
e2e_exit
cp "$APP/Data/userDB.edb" "$E2E_DIR/level1.edb"

# ---- a level change killed half-way, before and after the owner file changed ------------
# Every fsync takes a second, so that the journey sees each step and kills between two of them.
SLOW=(-e trace=fsync -e inject=fsync:delay_enter=1000000)

# change_level_killed OPTION WHEN: starts slowed down, chooses OPTION in the settings, accepts,
# and kills the program WHEN (staged: the new database is beside the old one; owner: the owner
# file names the new level).
change_level_killed() {
    local option=$1 when=$2 from
    from=$(owner_level)
    e2e_start_traced "${SLOW[@]}"
    MAIN=
    e2e_wait_splash 60
    e2e_click "$SPLASH" 100 100
    if [[ $from != 0 ]]; then
        e2e_wait_window '^Owner Authentication$' 60
        e2e_type "$OWNER"
        e2e_key Return
    fi
    e2e_wait_main 60
    e2e_security_open
    if [[ $from == 0 ]]; then
        e2e_security_password
        e2e_type "$OWNER"
    fi
    $option
    e2e_security_accept
    [[ $option == e2e_security_level1 ]] && confirm
    case $when in
    staged) e2e_wait_until 60 '[[ -n $(ls "$APP/Data" | grep "\.new$") ]]' || e2e_fail "no staged database appeared" ;;
    owner) e2e_wait_until 60 '[[ $(owner_level) != "$from" ]]' || e2e_fail "the owner file never changed" ;;
    esac
    e2e_kill
    e2e_log "killed with: $(data_files)"
}

change_level_killed e2e_security_none staged
start_past_splash
e2e_wait_window '^Owner Authentication$'
e2e_type "$OWNER"
e2e_key Return
e2e_wait_main
expect_records
e2e_exit
e2e_expect "files after 1 to 0 killed before the owner file" "$(data_files)" "ground.lnk userDB.edb "
cmp "$E2E_DIR/level1.edb" "$APP/Data/userDB.edb" || e2e_fail "the enciphered database changed"

change_level_killed e2e_security_none owner
start_past_splash
e2e_wait_main
expect_records
e2e_exit
e2e_expect "files after 1 to 0 killed after the owner file" "$(data_files)" "ground.lnk userDB.pdb "
e2e_expect "records after 1 to 0" "$(e2e_records "$APP/Data/userDB.pdb")" \
    "$(e2e_records "$E2E_DIR/level1.edb" "$OWNER")"

change_level_killed e2e_security_level1 owner
gate program-and-dbase-after-kill
e2e_exit
e2e_expect "files after 0 to 1 killed after the owner file" "$(data_files)" "ground.lnk userDB.edb "
e2e_expect "records after 0 to 1" "$(e2e_records "$APP/Data/userDB.edb" "$OWNER")" \
    "$(e2e_records "$E2E_DIR/level1.edb" "$OWNER")"
cp "$APP/Data/userDB.edb" "$E2E_DIR/level1.edb"

# ---- the owner file lost: the enciphered database alone is held, then found again --------
rm "$APP/Data/ground.lnk"
# A lock no running Corvane holds (an empty one, as a power cut leaves it) and copies of killed writes.
: >"$APP/Data/corvane.lock"
echo stale >"$APP/Data/userDB.pdb.Ab3xYz"
echo stale >"$APP/Data/ground.lnk.QwErTy"
start_past_splash
e2e_answer Corvane
e2e_wait_main
[[ ! -e $APP/Data/userDB.pdb.Ab3xYz && ! -e $APP/Data/ground.lnk.QwErTy ]] || e2e_fail "the copies were left"
# Filing a record now could start a plain database beside the enciphered records.
e2e_type_record Shop carl sh0p https://shop.example/
e2e_toolbar 0
e2e_answer Corvane
e2e_toolbar 3
e2e_security_open
e2e_security_password
e2e_type "Wrong9Pass"
e2e_security_level1
e2e_security_accept
e2e_answer Corvane
e2e_security_password
e2e_key ctrl+a BackSpace
e2e_type "$OWNER"
e2e_security_level1
e2e_security_accept
confirm
e2e_wait_window_gone "$SECURITY"
expect_records
e2e_exit
e2e_expect "files after the password was set again" "$(data_files)" "ground.lnk userDB.edb "
cmp "$E2E_DIR/level1.edb" "$APP/Data/userDB.edb" || e2e_fail "the enciphered database was written over"
e2e_expect "owner level" "$(owner_level)" 1

# ---- a disk that does not confirm: the change is made, kept and told -------------------
# Every sync of the data folder fails. A Replace puts its new file in place all the same: it is
# a warning, not "Disk Error - i66", and the grid, the list and the file keep the change.
e2e_start_traced -P "$APP/Data" -e trace=fsync -e inject=fsync:error=EIO
MAIN=
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_window '^Owner Authentication$'
e2e_type "$OWNER"
e2e_key Return
e2e_wait_main
e2e_select_row 0
e2e_box 4
e2e_key End
e2e_type "kept"
e2e_toolbar 1
e2e_answer Corvane
e2e_select_row 0
e2e_label Service
e2e_wait_clip Bank
e2e_exit
e2e_expect "the replaced record in the file" \
    "$(e2e_field "$(e2e_records "$APP/Data/userDB.edb" "$OWNER" | grep '^Bank')" 4)" "kept"
grep -q 'fsync(.*EIO (Input/output error) (INJECTED)' "$E2E_DIR/strace-$E2E_RUNS.txt" \
    || e2e_fail "no folder sync failed"

e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"
e2e_log "passed"
