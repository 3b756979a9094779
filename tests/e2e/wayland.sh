#!/usr/bin/env bash
# Corvane as a native Wayland program in a Wayland session (weston), the platform chosen by the user
# with QT_QPA_PLATFORM=wayland. There a program sees the clipboard only while one of its windows is
# active, and weston keeps the clipboard's text when a program empties it, as desktop clipboard
# managers do. Capture mode takes what another program copies all the same: the text the clipboard
# held when a box became the target lands nowhere, a box keeps its text while Corvane is inactive,
# and a copy that reaches Corvane only with the click into the next box lands in the box that was
# the target. Top Most is the desktop's; the saved place and Top Most are written back as they were
# read. The built-in browser's Maximize and theatre mode are window states weston places: the
# window's own buttons stay on the screen and bring the normal size back.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/weston.sh"
e2e_begin wayland --no-wm
weston_start

# Written by a run on an X11 desktop.
PREFS=$'[Display]= False\r\n[AutHide]= False\r\n[LPos]= 2880\r\n[TPos]= 1440\r\n[OTop]= True\r\n'
printf '%s' "$PREFS" >"$APP/prefs.cfg"
chmod 600 "$APP/prefs.cfg"

e2e_start "export $(weston_env) QT_QPA_PLATFORM=wayland"
# The splash hands over by itself after 4 s: on a loaded machine the main window may be the first seen.
weston_wait_window "$E2E_DIR/desktop.png" 420 220 "$E2E_TIMEOUT" $((7980 / 15)) $((6300 / 15))
((BW > 420 + 4)) || e2e_click "place:$BX,$BY,$BW,$BH" 100 100
weston_wait_window "$E2E_DIR/desktop.png" $((7980 / 15)) $((6300 / 15))
weston_main_place
e2e_shot main-window
# A native Wayland program: XWayland knows no window of it.
[[ -z $(DISPLAY=$XWAYLAND_DISPLAY xdotool search --pid "$CORVANE_PID" 2>/dev/null) ]] \
    || e2e_fail "Corvane runs as an X11 program although the user chose Wayland"

# box_changed A B: the two looks differ by more than a caret.
box_changed() {
    local pixels
    pixels=$(compare -metric AE "$1" "$2" null: 2>&1 | awk '{ print int($1) }') || true
    ((pixels > 40))
}
# away: the user switches to the other program.
away() {
    weston_switch
    e2e_wait_until 5 '! weston_active_title' || e2e_fail "Corvane stayed the active window"
}

# Capture on while the clipboard holds a text: Corvane empties the clipboard, weston keeps the text,
# and it lands in no box.
box_shot 0 "$E2E_DIR/service-empty.png"
weston_copy "held when capture began"
e2e_toolbar 6
sleep 1
box_shot 0 "$E2E_DIR/service-after-capture-on.png"
box_changed "$E2E_DIR/service-empty.png" "$E2E_DIR/service-after-capture-on.png" \
    && e2e_fail "the text the clipboard held when capture began landed in the Service box"
e2e_expect "clipboard after capture on (weston keeps it)" "$(weston_clip)" "held when capture began"

# Service: copied while Corvane is inactive; it arrives with the click straight into Username.
e2e_box 0
away
weston_copy "Wayland Shop"
weston_active_title && e2e_fail "Corvane became active before the click"
e2e_box 2
box_shot 0 "$E2E_DIR/service-captured.png"
box_changed "$E2E_DIR/service-empty.png" "$E2E_DIR/service-captured.png" \
    || e2e_fail "the copy made while Corvane was inactive did not reach the Service box"
e2e_shot service-captured

# Username: copied while inactive, it arrives when the user comes back (Super+Tab). Away
# again, the box keeps it (Qt reports an empty clipboard meanwhile), and clicking straight into
# Password with the clipboard unchanged leaves it as it is.
away
weston_copy "way.user"
weston_switch
e2e_wait_until 5 weston_active_title || e2e_fail "Super+Tab did not bring Corvane back"
e2e_wait_until 10 'box_shot 2 "$E2E_DIR/username.png"; box_changed "$E2E_DIR/service-empty.png" "$E2E_DIR/username.png"' \
    || e2e_fail "the copy did not reach the Username box when Corvane became active"
away
sleep 1
box_shot 2 "$E2E_DIR/username-away.png"
box_changed "$E2E_DIR/service-empty.png" "$E2E_DIR/username-away.png" \
    || e2e_fail "the Username box lost its text when Corvane became inactive"
weston_active_title && e2e_fail "Corvane became active again while the user was away"
e2e_shot away-with-username
e2e_box 3

# Password and Path, box after box.
away
weston_copy "WayPass1"
e2e_box 1
away
weston_copy "https://way.example/login"
e2e_box 4
e2e_shot captured

# Capture off (Edit > Capture), then Add files what was gathered.
e2e_capture_file "0 Wayland Shop" "1 https://way.example/login" "2 way.user" "3 WayPass1"

# Top Most is the desktop's here: the entry is greyed out, and says where to find it.
e2e_menu alt+p
sleep 0.5
e2e_shot preferences-menu
e2e_key Escape

# The built-in browser: its own title bar is the dark strip along its top.
BAR_COLOUR="#1f3b63"
# browser_bar: sets GX GY GW to the title bar's place and width; false while none shows.
browser_bar() {
    local box
    weston_shot "$E2E_DIR/now.png"
    box=$(convert "$E2E_DIR/now.png" -fill black +opaque "$BAR_COLOUR" -fill white -opaque "$BAR_COLOUR" png:- \
        | weston_box)
    read -r GX GY GW _ <<<"$box"
    ((GW > 100))
}
e2e_corvo_browser
e2e_wait_until 90 'browser_bar && ((GW >= 535 && GW <= 541))' || e2e_fail "the browser window did not show"
e2e_shot browser-normal
# The size the window's own Restore gives it, 8100 twips wide.
# shellcheck disable=SC2034 # read by the conditions e2e_wait_until evaluates
normal=$((8100 / 15))

# Maximize (its button at the title bar's right end): weston gives it the whole output.
e2e_click "place:$GX,$GY,$GW,19" $((GW - 40 + 8)) 9
e2e_wait_until 10 'browser_bar && ((GX == 0 && GY == 0 && GW >= WESTON_W - WESTON_CUT))' \
    || e2e_fail "Maximize did not fill the screen (bar at $GX,$GY, $GW wide)"
e2e_shot browser-maximized
# Restore: its button, in Maximize's place at the right end of the screen, brings the normal size back.
e2e_click "place:0,0,$WESTON_W,19" $((WESTON_W - 40 + 8)) 9
e2e_wait_until 10 'browser_bar && ((GW == normal))' || e2e_fail "Restore did not bring the normal size back"
e2e_shot browser-restored

# Theatre mode (the window menu, top left): the page covers the whole output, the bar at the bottom.
e2e_click "place:$GX,$GY,$GW,19" 9 9
sleep 0.5
e2e_key t
theatre() {
    weston_shot "$E2E_DIR/now.png"
    read -r TX TY TW TH <<<"$(weston_changed "$E2E_DIR/desktop.png" "$E2E_DIR/now.png")"
    ((TX == 0 && TY == 0 && TW == WESTON_W - WESTON_CUT && TH == WESTON_H - WESTON_CUT)) && ! browser_bar
}
e2e_wait_until 10 theatre || e2e_fail "theatre mode did not cover the screen"
e2e_shot browser-theatre
# The button that leaves it sits in the bar at the bottom, right of the path box.
e2e_click "place:0,$((WESTON_H - 20)),$WESTON_W,20" $((9735 / 15 + 10)) 10
e2e_wait_until 10 'browser_bar && ((GW == normal))' || e2e_fail "leaving theatre mode did not bring the normal size back"
e2e_shot browser-after-theatre
e2e_key alt+F4
e2e_wait_until 10 '! browser_bar' || e2e_fail "the browser window did not close"

# Exit: the place and Top Most go back into the file as they were read.
e2e_exit
printf '%s' "$PREFS" | cmp -s - "$APP/prefs.cfg" || e2e_fail "prefs.cfg was not written back as read: $(cat -A "$APP/prefs.cfg")"
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"
e2e_log "passed"
