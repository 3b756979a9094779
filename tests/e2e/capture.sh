#!/usr/bin/env bash
# Capture mode gathers a login from another program: with it on, the box that takes the focus
# empties the clipboard and becomes the target, and what another program then copies lands in
# it. A clipboard manager runs, as on every desktop: it puts the last text back as soon as the
# clipboard is emptied, and that text lands in no box. The gathered record is filed and read back
# from the database.
source "$(dirname "$0")/lib.sh"
e2e_begin capture

e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main

# The clipboard manager: whenever the clipboard is emptied, the last text it held comes back.
# It notes that text in a file, so that the journey can wait until it has seen a copy.
KEPT=$E2E_DIR/keeper.txt
keeper() {
    local last='' text
    while true; do
        text=$(e2e_clip)
        if [[ -n $text ]]; then
            [[ $text == "$last" ]] || printf '%s' "$text" >"$KEPT"
            last=$text
        elif [[ -n $last ]]; then
            printf '%s' "$last" | xclip -selection clipboard -i >/dev/null 2>&1
        fi
        sleep 0.1
    done
}
keeper &
E2E_HELPER_PIDS+=($!)

# clip_put_kept TEXT: copies TEXT as another program would, and waits until the manager has seen it
# (a copy emptied before the manager saw it would not come back).
clip_put_kept() {
    local copied=$1
    e2e_clip_put "$copied"
    e2e_wait_until 5 '[[ "$(cat "$KEPT" 2>/dev/null)" == "$copied" ]]' \
        || e2e_fail "the clipboard manager did not see \"$copied\""
}

# Switching it on (the toolbar button) empties the clipboard; the manager puts the text back.
HELD="old text that must not be captured"
clip_put_kept "$HELD"
e2e_toolbar 6
e2e_wait_clip "$HELD"

# capture_into BOX TEXT: focus the box (which empties the clipboard, until the manager puts the
# last text back), copy TEXT elsewhere.
capture_into() {
    e2e_box "$1"
    sleep 0.5
    e2e_wait_clip "$HELD"
    clip_put_kept "$2"
    HELD=$2
}
capture_into 0 "Captured Shop"
capture_into 2 "buyer@shop.example"
capture_into 3 "Cap7Pass"
capture_into 1 "https://shop.example/account"
# Into Info last: the Path put back by the manager must not land there.
e2e_box 4
sleep 0.5
e2e_wait_clip "$HELD"
sleep 0.5
e2e_shot captured

# Off again (Edit > &Capture), then Add files what was gathered.
e2e_capture_file "0 Captured Shop" "1 https://shop.example/account" "2 buyer@shop.example" "3 Cap7Pass" "4 "

# With capture off, a copy elsewhere leaves the boxes alone: what is typed is all there is.
e2e_box 0
e2e_clip_put "not for the box"
e2e_type "typed"
e2e_label Service
e2e_wait_clip "typed"
e2e_shot capture-off

# The toolbar's Quit button ends the program as E&xit does, writing the preferences.
e2e_toolbar 7
e2e_wait_exit
e2e_expect "prefs.cfg lines written by Quit" "$(grep -c $'\r$' "$APP/prefs.cfg")" 5
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"
e2e_log "passed"
