#!/usr/bin/env bash
# A selected record's fields go to the clipboard by a click on their labels, and another program
# reads them there: the user name, the real password behind the asterisks (marked secret for
# clipboard managers), the service, the path through the Path label's pop-up; a click on the
# indicator empties the clipboard.
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

e2e_exit
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"
e2e_log "passed"
