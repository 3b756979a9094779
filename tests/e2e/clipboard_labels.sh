#!/usr/bin/env bash
# A selected record's fields go to the clipboard by a click on their labels, and another program
# reads them there: the user name, the real password behind the asterisks (marked secret for
# clipboard managers), the service, the path through the Path label's pop-up; a click on the
# indicator empties the clipboard.
# Find (Ctrl+F, typing, Return, F3, Shift+F3, Escape) and the grid's type-ahead select records as a
# click on their rows does, and leave the clipboard and capture mode alone.
source "$(dirname "$0")/lib.sh"
e2e_begin clipboard_labels

USERNAME=jdoe.clip@example.org
PASSWORD=Pw9xClip4
e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main
e2e_file_record add Forum "$USERNAME" "$PASSWORD" https://forum.example/login "copied by labels"
e2e_file_record add Other other.user otherpw https://other.example/
# For Find: Mail holds "forum" in its Info, Shop only in its password. A second apart, each record
# has a date of its own, which the caption shows when it is selected.
sleep 1
e2e_file_record add Mail post@mail.example mailpw https://mail.example/ "weekly FORUM digest"
sleep 1
e2e_file_record add Shop buyer Forum9x https://shop.example/
e2e_exit

# Another start: the records come from the file, as they do for a user.
e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main
e2e_clip_put "held before"
e2e_select_row 0

e2e_label Username
e2e_wait_clip "$USERNAME"
e2e_label Password
e2e_wait_clip "$PASSWORD"
targets=$(timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null || true)
grep -qx x-kde-passwordManagerHint <<<"$targets" \
    || e2e_fail "the password was put on the clipboard without the hint that keeps it out of histories"
e2e_shot password-copied
e2e_label Service
e2e_wait_clip Forum

# The Path label opens its pop-up; its first entry is "Copy to Clipboard".
e2e_label Path
e2e_key Down Return
e2e_wait_clip https://forum.example/login
e2e_shot path-copied

# The indicator shows a full clipboard; a click on it empties the clipboard.
e2e_click_twips "$MAIN" $((5910 + 45)) $((45 + 30)) 240 270
e2e_wait_clip ""
e2e_shot clipboard-emptied

# date_of SERVICE: the record date of the record whose Service is SERVICE, as the file holds it.
date_of() {
    e2e_records "$APP/Data/userDB.pdb" | awk -F':!' -v s="$1" '$1 == s { print $6 }'
}
# wait_selected SERVICE: the caption shows the date of SERVICE's record, as a click on its row shows it.
wait_selected() {
    local want
    want="Corvane - Record Date: $(date_of "$1")"
    e2e_wait_until 10 '[[ $(e2e_title "$MAIN") == "$want" ]]' \
        || e2e_fail "\"$1\" is not selected: the caption reads \"$(e2e_title "$MAIN")\""
    e2e_log "\"$1\" is selected"
}
# boxes_hold SERVICE USERNAME: the Service and Username boxes hold them (their labels copy them).
boxes_hold() {
    e2e_label Service
    e2e_wait_clip "$1"
    e2e_label Username
    e2e_wait_clip "$2"
}

# Ctrl+F in an edit box: the Find window takes the keyboard. Forum is selected; "FORU" finds the next
# record that holds it (Mail, in its Info; never Shop, whose password holds it), then round the end.
e2e_clip_put "held while finding"
e2e_box 0
e2e_key ctrl+f
e2e_wait_window '^Find$'
FIND=$WIN
e2e_wait_until 10 '[[ $(xdotool getactivewindow 2>/dev/null) == "$FIND" ]]' || e2e_fail "the Find window has no keyboard"
e2e_type FORU
wait_selected Mail
e2e_shot find-typed
e2e_key Return
wait_selected Forum
e2e_key F3
wait_selected Mail
e2e_key shift+F3
wait_selected Forum
e2e_type x
sleep 0.5
wait_selected Forum
e2e_shot find-no-match
e2e_key Escape
e2e_wait_window_gone "$FIND"
wait_selected Forum
# Find put nothing on the clipboard, and capture mode is off: a box that takes the focus leaves it as it is.
e2e_expect "clipboard after Find" "$(e2e_clip)" "held while finding"
e2e_box 2
sleep 0.5
e2e_expect "clipboard after a box took the focus" "$(e2e_clip)" "held while finding"
boxes_hold Forum "$USERNAME"

# The grid's own type-ahead: the Service that begins with the letters typed.
e2e_select_row 0
e2e_type sh
wait_selected Shop
boxes_hold Shop buyer
e2e_shot typeahead

e2e_exit
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"
e2e_log "passed"
