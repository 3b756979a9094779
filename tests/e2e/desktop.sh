#!/usr/bin/env bash
# The main window on a framing window manager, driven with real keys. The outer size, frame
# included, is the normal size from the first show on, Top Most changes no size, and Reset to
# Normal Size brings it back after openbox maximized the window. The key rules of the edit boxes:
# S typed as text, Alt released alone then letters moving the focus without being typed, Alt held
# with a letter, Alt+P opening Preferences, Ctrl switching capture on, Enter filing from the
# Password box only. A release whose press went elsewhere counts for
# nothing: Enter or Escape that closes a refusal, Escape that closes a menu opened by the mouse.
# A record filed last is in view. Under Auto Hide the window collapses to 3000 twips and its lowest
# row grows it again, under a tall title bar too.
source "$(dirname "$0")/lib.sh"
e2e_begin desktop

# Twelve records before the start; the thirteenth, filed last, sorts after them all.
mkdir -p "$APP/Data"
for n in 01 02 03 04 05 06 07 08 09 10 11 12; do
    line=$("$E2E_INSPECT" field-encipher "svc$n:!p$n.example:!user$n:!pw$n:!:!12-01-2026 10:00:$n:!")
    printf '%s\r\n' "$line" >>"$APP/Data/userDB.pdb"
done
chmod 600 "$APP/Data/userDB.pdb"
chmod 700 "$APP/Data"

e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main
e2e_shot framed

# The normal size, 7980 by 6300 twips, is the outer one: the frame is part of it.
e2e_frame "$MAIN"
e2e_expect "outer size after the first show" "${OW}x$OH" "$((7980 / 15))x$((6300 / 15))"
((FT > 0)) || e2e_fail "openbox drew no title bar"
normal="$OX,$OY ${OW}x$OH"

# above: the main window is kept above the others. It stays the same window: one made anew may be
# placed elsewhere by a window manager.
above() {
    xprop -id "$MAIN" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE
}

# Alt+P (held) opens Preferences; T there is Top Most. It keeps the place and the size.
e2e_box 0
e2e_key alt+p
sleep 0.3
e2e_shot preferences-by-alt-p
e2e_key t
e2e_wait_until 10 above || e2e_fail "Top Most did not take"
e2e_frame "$MAIN"
e2e_expect "place and size with Top Most" "$OX,$OY ${OW}x$OH" "$normal"
e2e_menu alt+p t
e2e_wait_until 10 '! above' || e2e_fail "Top Most stayed"
e2e_frame "$MAIN"
e2e_expect "place and size after Top Most" "$OX,$OY ${OW}x$OH" "$normal"

# Maximized by openbox (a double click on the title bar), the window comes back from Reset to Normal
# Size with the normal size where it was.
e2e_pointer_to $((OX + 150)) $((OY + FT / 2))
xdotool click --repeat 2 --delay 80 1
e2e_wait_until 10 'e2e_frame "$MAIN"; ((OW > 7980 / 15))' || e2e_fail "openbox did not maximize the window"
e2e_menu alt+p n
e2e_wait_until 10 'e2e_frame "$MAIN"; [[ "$OX,$OY ${OW}x$OH" == "$normal" ]]' \
    || e2e_fail "Reset to Normal Size gave $OX,$OY ${OW}x$OH, not $normal"

# box_text 0|2|3: the Service, Username or Password box's text, copied by its label.
box_text() {
    local label
    case $1 in
    0) label=Service ;;
    2) label=Username ;;
    3) label=Password ;;
    esac
    e2e_clip_put "(empty)"
    e2e_label "$label"
    e2e_wait_until 3 '[[ "$(e2e_clip)" != "(empty)" ]]' || true
    e2e_clip
}

# Alt released alone, then letters: each moves the focus and is not typed, until another key.
e2e_box 0
e2e_type "Svc" # S without Alt is text
e2e_key Alt_L o
e2e_type "9pw"
e2e_key Alt_L p
e2e_type "1user"
e2e_key Alt_L u r # the letters keep moving the focus: Path, then Info
e2e_type "2info"
# Held with Alt, a letter moves the focus once: the next one is text again.
e2e_key alt+u
e2e_type "u3.example"
e2e_key alt+s
e2e_type "x"
e2e_shot alt-letters
e2e_expect "Service box" "$(box_text 0)" Svcx
e2e_expect "Username box" "$(box_text 2)" 1user
e2e_expect "Password box" "$(box_text 3)" 9pw

# Enter in the Service box files nothing; in the Password box it files the record.
before=$(e2e_db_size)
e2e_box 0
e2e_key Return
sleep 1
e2e_expect "database after Enter in the Service box" "$(e2e_db_size)" "$before"
e2e_box 3
e2e_key Return
e2e_wait_until "$E2E_TIMEOUT" '(($(e2e_db_size) > before))' || e2e_fail "Enter in the Password box filed nothing"
filed=$(e2e_records "$APP/Data/userDB.pdb" | tail -n 1)
e2e_expect "record filed with the keys" "${filed%%:![0-9][0-9]-*}" "Svcx:!u3.example:!1user:!9pw:!2info"
e2e_expect "caption after Add" "$(e2e_title "$MAIN")" Corvane

# The record filed last sorts after the others: its row is wholly in view, just above the
# grid's horizontal scroll bar (16 px or so), not under it.
e2e_select_row 0
for field in "0 zzz last" "2 zed" "3 zpass" "1 z.example"; do
    e2e_box "${field%% *}"
    e2e_key End shift+Home
    e2e_type "${field#* }"
done
e2e_toolbar 0
e2e_wait_until "$E2E_TIMEOUT" '[[ $(e2e_records "$APP/Data/userDB.pdb" | tail -n 1) == "zzz last:"* ]]' \
    || e2e_fail "the last record was not filed"
e2e_expect "caption after Add with a record selected before" "$(e2e_title "$MAIN")" Corvane
e2e_shot filed-last
e2e_geometry "$MAIN"
grid_bottom=$(((2370 + 6300 - 2370 - 800) / 15 + E2E_MENU_HEIGHT))
((grid_bottom <= WH)) || grid_bottom=$WH
e2e_click "$MAIN" 40 $((grid_bottom - 16 - 6))
e2e_wait_until 5 '[[ $(e2e_title "$MAIN") == "Corvane - Record Date: "* ]]' || e2e_fail "no row above the scroll bar"
e2e_expect "row just above the scroll bar" "$(box_text 0)" "zzz last"
e2e_toolbar 3

# A refusal closed with Enter: the Enter that closes it files nothing again.
e2e_type_record "Bad:!name" bad badpw bad.example
e2e_box 3
e2e_key Return
e2e_answer Corvane
sleep 1
[[ -z $(e2e_window '^Corvane$' "$MAIN") ]] || e2e_fail "the Enter that closed the refusal filed again"
# Closed with Escape: Corvane runs on, the boxes keep their text.
e2e_box 3
e2e_key Return
e2e_answer Corvane "" Escape
sleep 1
e2e_running || e2e_fail "the Escape that closed a message box ended Corvane"
# A menu opened with the mouse, then Escape twice: the menu closes, Corvane runs on.
e2e_click "$MAIN" 15 $((E2E_MENU_HEIGHT / 2))
sleep 0.3
e2e_shot menu-by-mouse
e2e_key Escape Escape
sleep 1
e2e_running || e2e_fail "Escape after a menu opened with the mouse ended Corvane"
e2e_expect "Service box after the refusals" "$(box_text 0)" "Bad:!name"

# Ctrl released in a box (after Ctrl+C) switches capture on: the next box to take the focus
# empties the clipboard.
e2e_box 2
e2e_key ctrl+c
e2e_clip_put "copied elsewhere"
e2e_box 0
e2e_wait_clip "" 5
e2e_menu alt+e c
e2e_toolbar 3

# auto_hide_band NORMAL: with Auto Hide on, the mouse over a box collapses the window to 3000
# twips; the lowest row it shows is in the band that grows it (the entry frame's bottom, or where a
# tall title bar leaves that outside, the frame's last strip in view, over the Path box too), and
# the mouse there grows the window back to NORMAL twips, which it keeps on the way down to the grid.
auto_hide_band() {
    local normal=$(($1 / 15))
    e2e_pointer_to 0 0
    e2e_box 0
    e2e_wait_until 10 'e2e_frame "$MAIN"; ((OH < 6300 / 15))' || e2e_fail "Auto Hide did not collapse the window"
    sleep 0.5
    e2e_frame "$MAIN"
    e2e_shot "collapsed-title-$FT"
    e2e_log "collapsed to ${OH} px outer (title bar $FT px)"
    ((OH * 15 == 3000)) || e2e_fail "collapsed to $((OH * 15)) twips under a $FT px title bar"
    local cut=$WH y
    e2e_pointer_to $((WX + 20)) $((WY + cut - 1))
    e2e_wait_until 10 'e2e_frame "$MAIN"; ((OH == normal))' || e2e_fail "the band did not grow the window to $normal px"
    for ((y = cut - 1; y < cut + 30; y += 3)); do
        e2e_pointer_to $((WX + 200)) $((WY + y))
    done
    sleep 0.5
    e2e_frame "$MAIN"
    ((OH == normal)) || e2e_fail "the window collapsed on the way down from the band to the grid"
    e2e_shot "grown-title-$FT"
}
e2e_menu alt+p Up Return # the last entry, Auto Hide
auto_hide_band 6300
e2e_exit

# Under a tall title bar, as GNOME draws one: openbox with a large title font.
tall=$E2E_DIR/openbox-tall.xml
sed '/<font place="\(Active\|Inactive\)Window">/,/<\/font>/ s|<size>[0-9]*</size>|<size>20</size>|' \
    /etc/xdg/openbox/rc.xml >"$tall"
e2e_start_wm "$tall"
e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main
((FT > 30)) || e2e_fail "openbox drew a title bar of $FT px, not a tall one"
e2e_expect "outer size under a tall title bar" "${OW}x$OH" "$((7980 / 15))x$((6300 / 15))"
# Auto Hide was saved on: the mouse over a box collapses the window, and the band grows it to
# the height of a fresh load, 6330 twips.
auto_hide_band 6330
e2e_menu alt+p Up Return
e2e_exit
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"
e2e_log "passed"
