# shellcheck shell=bash
# A Wayland session for the journeys that run in one (sourced after lib.sh): weston nested in the
# journey's X server, with XWayland for X11 programs. weston's output is one X11 window at the top
# left of the X screen; xdotool moves the pointer and types into it there, and weston hands both on
# to the Wayland program (or the X11 program in XWayland) under the pointer or with the keyboard, as
# on a user's desktop. Another program's small window stands beside Corvane's; the user switches
# between the two with Super+Tab, and copies in the other program with wl-copy.
#
# weston places each new window where it likes and tells nobody, so a window of a native Wayland
# program is found by what changed on the screen; its place is then a lib.sh id "place:X,Y,W,H".
#
# XWayland takes the first display number that no X server holds (the journeys run in parallel,
# each with its own).

WESTON_W=1024
WESTON_H=768
# Where the pointer waits while the screen is compared: weston draws it at the bottom right corner
# of its output, which the comparisons leave out.
WESTON_PARK_X=$((WESTON_W - 1))
WESTON_PARK_Y=$((WESTON_H - 1))
WESTON_CUT=12

# weston_start: starts weston (no panel, a plain background, no screen keyboard) and waits until
# XWayland listens; sets WAYLAND_DISPLAY_NAME (the socket in the journey's runtime folder) and
# XWAYLAND_DISPLAY.
weston_start() {
    local ini=$E2E_DIR/weston.ini log=$E2E_DIR/weston.log
    cat >"$ini" <<'EOF'
[core]
idle-time=0

[shell]
panel-position=none
background-image=/nonexistent
background-color=0xff2e4053
locking=false

[input-method]
path=
EOF
    WAYLAND_DISPLAY_NAME=wayland-corvane-e2e
    XDG_RUNTIME_DIR=$E2E_RUNTIME weston --backend=x11-backend.so --use-pixman --xwayland \
        --socket="$WAYLAND_DISPLAY_NAME" --width="$WESTON_W" --height="$WESTON_H" --config="$ini" \
        --log="$log" >/dev/null 2>&1 &
    E2E_HELPER_PIDS+=($!)
    e2e_wait_until 20 'grep -qs "xserver listening on display" "$log"' || e2e_fail "weston did not start (see weston.log)"
    XWAYLAND_DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log" | tail -n 1)
    e2e_wait_until 20 '[[ -S $E2E_RUNTIME/$WAYLAND_DISPLAY_NAME ]]' || e2e_fail "weston made no socket"
    # weston follows the X pointer by its moves from where it last entered weston's window: made
    # under the pointer, the window learns no such place, and weston's pointer may stay in its corner
    # whatever xdotool does. The pointer leaves the window and comes back in: weston knows where it is.
    xdotool mousemove --sync $((WESTON_W + 100)) $((WESTON_H + 100))
    weston_park
    # The desktop is ready once its background is drawn.
    e2e_wait_until 20 '[[ $(weston_colours) -ge 1 && $(weston_pixel 10 10) != "0,0,0" ]]' \
        || e2e_fail "weston never drew its background"
    weston_shot "$E2E_DIR/background.png"
    # shellcheck disable=SC2046 # weston_env's NAME=VALUE words, split on purpose
    env $(weston_env) weston-eventdemo --title="Other program" --width=160 --height=100 --no-border >/dev/null 2>&1 &
    E2E_HELPER_PIDS+=($!)
    e2e_wait_until 20 'weston_shot "$E2E_DIR/desktop.png"; read -r _ _ OTHER_W _ <<<"$(weston_changed "$E2E_DIR/background.png" "$E2E_DIR/desktop.png")"; ((OTHER_W > 100))' \
        || e2e_fail "the other program's window did not show"
    sleep 0.5
    weston_shot "$E2E_DIR/desktop.png"
    e2e_log "weston runs: Wayland socket $WAYLAND_DISPLAY_NAME, XWayland $XWAYLAND_DISPLAY"
}

# weston_switch: Super+Tab, weston's switch to the other window (from Corvane to the other program
# and back).
weston_switch() {
    xdotool key --delay 60 super+Tab
    sleep 0.3
}

# weston_env: the environment of a program in the session (the X server is XWayland's).
weston_env() {
    echo "XDG_RUNTIME_DIR=$E2E_RUNTIME WAYLAND_DISPLAY=$WAYLAND_DISPLAY_NAME DISPLAY=$XWAYLAND_DISPLAY"
}

weston_pixel() {
    import -window root -crop "1x1+$1+$2" -depth 8 -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info: 2>/dev/null
}

weston_colours() {
    import -window root -crop "${WESTON_W}x$WESTON_H+0+0" -colors 16 -format '%k' info: 2>/dev/null || echo 0
}

weston_park() {
    e2e_pointer_to "$WESTON_PARK_X" "$WESTON_PARK_Y"
}

# weston_shot FILE: weston's output as it is now, the pointer's corner left out.
weston_shot() {
    weston_park
    sleep 0.2
    import -window root -crop "$((WESTON_W - WESTON_CUT))x$((WESTON_H - WESTON_CUT))+0+0" +repage "$1" 2>/dev/null
}

# weston_changed BEFORE AFTER: "X Y W H" of what differs between two shots (W 0 when nothing does).
weston_changed() {
    convert "$1" "$2" -compose difference -composite -colorspace gray -threshold 6% png:- | weston_box
}

# weston_box: "X Y W H" of the white pixels of a black and white image read from standard input.
# (A black rim first: ImageMagick's bounding box trims the colour of the corners, which a window that
# covers the whole output would make white.)
weston_box() {
    convert - -bordercolor black -border 1 -format '%@' info: 2>/dev/null \
        | awk -F'[x+]' '{ print $3 - 1, $4 - 1, $1, $2 }'
}

# weston_wait_window BEFORE WIDTH HEIGHT [SECONDS] [WIDTH2 HEIGHT2]: waits until a window of that size
# (pixels, a few either way), or of the second size, has appeared since the shot BEFORE and holds
# still; sets BX BY BW BH.
weston_wait_window() {
    local before=$1 width=$2 height=$3 seconds=${4:-$E2E_TIMEOUT} now=$E2E_DIR/now.png last=
    local deadline=$((SECONDS + seconds)) box width2=${5:-$2} height2=${6:-$3}
    while true; do
        e2e_running || e2e_fail "Corvane ended while the journey waited for a ${width}x$height window"
        weston_shot "$now"
        box=$(weston_changed "$before" "$now")
        read -r BX BY BW BH <<<"$box"
        if [[ $box == "$last" ]] && { ((BW >= width - 4 && BW <= width + 4 && BH >= height - 4 && BH <= height + 4)) \
            || ((BW >= width2 - 4 && BW <= width2 + 4 && BH >= height2 - 4 && BH <= height2 + 4)); }; then
            return 0
        fi
        last=$box
        ((SECONDS < deadline)) || e2e_fail "no ${width}x$height window within $seconds s (what changed: $box)"
        sleep 0.3
    done
}

# weston_main_place: the main window's place id (MAIN) from its box BX BY BW BH: its inside below
# the menu bar begins where the rule under the toolbar (705 twips down) says, and on the left where
# that rule begins. Qt draws the title bar itself on native Wayland, so it is measured, not known.
weston_main_place() {
    local shot=$E2E_DIR/now.png rule left
    rule=$(convert "$shot" -crop "1x$BH+$((BX + 5))+$BY" +repage -colorspace gray -depth 8 txt:- 2>/dev/null \
        | awk -F'[,:() ]+' '/^[0-9]/ { v[$2] = $3 } END {
            for (y = 0; y < 299; y++) if ((y in v) && v[y] < 200 && v[y + 1] == 255) { print y; exit } }')
    [[ -n $rule ]] || e2e_fail "could not find the main window's rule"
    left=$(convert "$shot" -crop "20x1+$BX+$((BY + rule))" +repage -colorspace gray -depth 8 txt:- 2>/dev/null \
        | awk -F'[,:() ]+' '/^[0-9]/ && $3 < 200 { print $1; exit }')
    [[ -n $left ]] || e2e_fail "could not find the main window's left edge"
    MAIN="place:$((BX + left)),$((BY + rule - 705 / E2E_TWIPS_PER_PIXEL)),$((BW - 2 * left)),$((BH - rule))"
    # shellcheck disable=SC2034 # read by lib.sh and the journeys
    E2E_MENU_HEIGHT=0
    e2e_log "main window at $BX,$BY (${BW}x$BH), its inside from $MAIN"
}

# weston_copy TEXT: another program copies TEXT (wl-copy, which stays as the clipboard's owner
# until something else is copied).
weston_copy() {
    local text=$1
    # shellcheck disable=SC2046 # weston_env's NAME=VALUE words, split on purpose
    env $(weston_env) wl-copy --foreground -- "$text" >/dev/null 2>&1 &
    E2E_HELPER_PIDS+=($!)
    e2e_wait_until 5 '[[ "$(weston_clip)" == "$text" ]]' || e2e_fail "wl-copy could not set the clipboard"
}

# weston_clip: the clipboard's text as a Wayland program reads it (empty when it holds none).
weston_clip() {
    # shellcheck disable=SC2046 # weston_env's NAME=VALUE words, split on purpose
    env $(weston_env) timeout 5 wl-paste --no-newline 2>/dev/null || true
}

# weston_active_title: whether the main window's title bar (drawn by Qt on native Wayland) shows it
# active: its caption is dark then, grey otherwise.
weston_active_title() {
    local darkest
    weston_shot "$E2E_DIR/now.png"
    darkest=$(convert "$E2E_DIR/now.png" -crop "$((BW / 3))x16+$((BX + BW / 3))+$((BY + 7))" +repage -colorspace gray \
        -format '%[fx:int(255*minima)]' info: 2>/dev/null)
    ((darkest < 100))
}

# box_shot INDEX FILE: the inside of Corvane's edit box INDEX (MAIN, 15 twips a pixel), as it looks now.
box_shot() {
    local left top width height
    read -r left top width height <<<"${E2E_PLACE[box:$1]}"
    e2e_geometry "$MAIN"
    weston_shot "$E2E_DIR/now.png"
    convert "$E2E_DIR/now.png" -crop "$(((width - 120) / 15))x$(((height - 120) / 15))+$((WX + (left + 60) / 15))+$((WY + (top + 60) / 15))" +repage "$2"
}
