#!/usr/bin/env bash
# Corvane in a Wayland session (weston) with XWayland, no platform chosen: it runs as an X11 program.
# There it sees what a Wayland program copies while Corvane is not the active window, so capture mode
# fills the target box at once, and the place it saves on Exit is where the window is.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/weston.sh"
e2e_begin xwayland --no-wm
weston_start

# x11_place REGEX: waits for Corvane's X11 window titled REGEX in XWayland; sets WIN to its id there
# and PLACE to its place on weston's output (XWayland's screen is weston's).
x11_place() {
    DISPLAY=$XWAYLAND_DISPLAY e2e_wait_window "$1" "$E2E_TIMEOUT" "${SPLASH:-}"
    DISPLAY=$XWAYLAND_DISPLAY e2e_geometry "$WIN"
    PLACE="place:$WX,$WY,$WW,$WH"
}

e2e_start "export $(weston_env)"
x11_place '^Corvane$'
SPLASH=$WIN
DISPLAY=$XWAYLAND_DISPLAY e2e_wait_painted "$SPLASH"
e2e_click "$PLACE" 100 100
x11_place '^Corvane$'
MAIN_X11=$WIN
sleep 1
BX=$WX BY=$WY BW=$WW BH=$WH
weston_shot "$E2E_DIR/now.png"
weston_main_place
e2e_shot main-window

# away: the user switches to the other program, a Wayland one.
away() {
    weston_switch
}

# Capture on; Service is the target. The user goes to the other program and copies there: the box
# fills while Corvane is still inactive.
e2e_toolbar 6
e2e_box 0
away
box_shot 0 "$E2E_DIR/service-before.png"
weston_copy "XWayland Shop"
e2e_wait_until 10 'box_shot 0 "$E2E_DIR/service-now.png"; ! compare -metric AE "$E2E_DIR/service-before.png" "$E2E_DIR/service-now.png" null: 2>/dev/null' \
    || e2e_fail "the copy did not reach the Service box while Corvane was inactive"
e2e_shot service-captured-while-inactive

capture_into() {
    e2e_box "$1"
    away
    weston_copy "$2"
}
capture_into 2 "xw.user"
capture_into 3 "XwPass2"
capture_into 1 "https://xw.example/login"
e2e_box 4
e2e_shot captured
e2e_capture_file "0 XWayland Shop" "1 https://xw.example/login" "2 xw.user" "3 XwPass2"

# Exit saves the place the window has: the top left corner of its frame, a title bar's height above
# the window's inside and a border to its left.
DISPLAY=$XWAYLAND_DISPLAY e2e_geometry "$MAIN_X11"
inside="$WX $WY"
e2e_exit
read -r cx cy <<<"$inside"
lpos=$(sed -n 's/^\[LPos\]= \([-0-9]*\)\r$/\1/p' "$APP/prefs.cfg")
tpos=$(sed -n 's/^\[TPos\]= \([-0-9]*\)\r$/\1/p' "$APP/prefs.cfg")
e2e_log "window inside at $cx,$cy px; prefs.cfg says $lpos,$tpos twips"
dx=$((cx - lpos / 15)) dy=$((cy - tpos / 15))
((dx >= 0 && dx <= 16 && dy >= 0 && dy <= 40)) \
    || e2e_fail "the saved place $lpos,$tpos twips is not the frame of the window at $cx,$cy px"
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"
e2e_log "passed"
