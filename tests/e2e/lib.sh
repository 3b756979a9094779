# shellcheck shell=bash
# Shared by the journeys (sourced, not run). A journey is started by CTest inside its own
# virtual X server as
#
#   bash journey.sh BIN_DIR OUT_DIR INSPECT
#
# BIN_DIR holds the built program and its browser library (and help.html and intl/ when they
# exist), OUT_DIR is the root of the journey folders (build/e2e), INSPECT the corvane_inspect
# tool. Each journey works in OUT_DIR/<name>: app/ (a fresh copy of the program folder), home/
# and run/ (its HOME and XDG_RUNTIME_DIR), the program's output, and the screenshots it keeps.
#
# A window manager that draws frames (openbox) runs in the X server, as on a user's desktop:
# windows are framed, placed and given the keyboard by it.
#
# Every wait is bounded; a journey that fails says why, keeps a screenshot of the moment, and
# stops the program it started. A journey that passes leaves its folder without the program.

set -euo pipefail

E2E_BIN=$(cd "$1" && pwd)
E2E_OUT=$2
E2E_INSPECT=$3

# Generous for two loaded cores; the journeys poll, so a quick machine does not wait for them.
E2E_TIMEOUT=${E2E_TIMEOUT:-30}
# 15 twips are one pixel at 96 dpi, which the X server is started with.
E2E_TWIPS_PER_PIXEL=15

# Qt WebEngine refuses to start its sandbox as root and ends the program.
if [[ $(id -u) -eq 0 ]]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi

CORVANE_PID=
E2E_WM_PID=
# Other programs a journey started (a compositor, a clipboard's owner), ended with it.
E2E_HELPER_PIDS=()
E2E_RUNS=0
E2E_SHOTS=0
E2E_MENU_HEIGHT=

e2e_log() {
    printf '[%s %s] %s\n' "$E2E_NAME" "$(date +%T)" "$*" >&2
}

e2e_fail() {
    E2E_FAILED=1
    e2e_log "FAILED: $*"
    e2e_shot "failure" || true
    e2e_show_program_output
    exit 1
}

e2e_show_program_output() {
    local log
    for log in "$E2E_DIR"/corvane-*.log; do
        [[ -s $log ]] || continue
        echo "---- $(basename "$log") (last lines)" >&2
        tail -n 20 "$log" >&2
    done
}

# e2e_begin NAME [--no-wm]: a fresh journey folder with a copy of the program folder; openbox
# runs in the X server unless --no-wm says that another desktop (weston.sh) takes it.
e2e_begin() {
    E2E_NAME=$1
    E2E_DIR=$E2E_OUT/$E2E_NAME
    APP=$E2E_DIR/app
    E2E_HOME=$E2E_DIR/home
    E2E_RUNTIME=$E2E_DIR/run
    rm -rf "$E2E_DIR"
    mkdir -p "$APP" "$E2E_HOME" "$E2E_RUNTIME"
    chmod 0700 "$E2E_RUNTIME"
    cp "$E2E_BIN/corvane" "$E2E_BIN/corvane-browser.so" "$APP/"
    [[ -f $E2E_BIN/help.html ]] && cp "$E2E_BIN/help.html" "$APP/"
    [[ -d $E2E_BIN/intl ]] && cp -r "$E2E_BIN/intl" "$APP/"
    # What the journey put there; everything else in app/ was made by Corvane.
    (cd "$APP" && find . -mindepth 1 | sort) >"$E2E_DIR/shipped.txt"
    trap e2e_cleanup EXIT
    # Whatever Corvane creates must be private by its own doing, not by a kind umask.
    umask 000
    e2e_log "journey folder $E2E_DIR"
    [[ ${2:-} == --no-wm ]] || e2e_start_wm
}

# e2e_start_wm [RC]: starts openbox (with the configuration RC, else its own), replacing the one
# that runs; waits until it manages the screen.
e2e_start_wm() {
    local rc=${1:-}
    local args=(--sm-disable)
    [[ -n $rc ]] && args+=(--config-file "$rc")
    if [[ -n $E2E_WM_PID ]]; then
        args+=(--replace)
        xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null || true
    fi
    local old=$E2E_WM_PID attempt
    # On a busy machine openbox now and then ends at once without managing the screen: it is tried
    # again, twice at most.
    for attempt in 1 2 3; do
        openbox "${args[@]}" >>"$E2E_DIR/openbox.log" 2>&1 &
        E2E_WM_PID=$!
        [[ -n $old ]] && { e2e_wait_until 10 '! kill -0 "$old" 2>/dev/null' || kill "$old" 2>/dev/null || true; }
        e2e_wait_until 20 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" \
            || ! kill -0 "$E2E_WM_PID" 2>/dev/null' || break
        kill -0 "$E2E_WM_PID" 2>/dev/null && break
        echo "openbox ended (attempt $attempt)" >>"$E2E_DIR/openbox.log"
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" \
        || e2e_fail "openbox did not start (see openbox.log)"
    e2e_log "openbox runs${rc:+ with $(basename "$rc")}"
}

e2e_cleanup() {
    local status=$?
    if ((status != 0)) && [[ -z ${E2E_FAILED:-} ]]; then
        e2e_log "FAILED: a step ended with status $status (line ${BASH_LINENO[0]})"
        e2e_shot "failure" || true
        e2e_show_program_output
    fi
    if e2e_running; then
        kill "$CORVANE_PID" 2>/dev/null || true
        e2e_wait_until 10 '! e2e_running' || kill -9 "$CORVANE_PID" 2>/dev/null || true
    fi
    # Only the ones still running as this shell's jobs: an ended one's id may be another program's now.
    local pid running
    running=" $(jobs -p | tr '\n' ' ') "
    for pid in "${E2E_HELPER_PIDS[@]}"; do
        [[ $running == *" $pid "* ]] || continue
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [[ -n $E2E_WM_PID ]]; then
        kill "$E2E_WM_PID" 2>/dev/null || true
        wait "$E2E_WM_PID" 2>/dev/null || true
    fi
    # The copy of the program is only worth its room while a failure is looked into.
    ((status != 0)) || rm -f "$APP/corvane" "$APP/corvane-browser.so"
    exit $status
}

# ---- waiting ----------------------------------------------------------------------------

# e2e_wait_until SECONDS COMMAND...: polls COMMAND (run by eval) until it succeeds; false on timeout.
e2e_wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    while true; do
        if eval "$*"; then
            return 0
        fi
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

e2e_now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

# ---- the program ------------------------------------------------------------------------

# e2e_start [PREFIX...]: starts app/corvane in the background, with the journey's HOME and
# runtime folder and umask 000. PREFIX (for instance "ulimit -f 1") runs in the program's
# shell just before it.
e2e_start() {
    e2e_launch "${*:-:}"
    CORVANE_PID=$E2E_LAUNCHED
    e2e_log "started Corvane (run $E2E_RUNS, pid $CORVANE_PID)"
}

# e2e_launch PREFIX [LAUNCHER...]: starts app/corvane in the background as e2e_start says, run by
# LAUNCHER (strace, say) when one is given; E2E_LAUNCHED is the process started.
e2e_launch() {
    # The X server gives a new program the window ids an ended one had: once the program has
    # ended, its main window's id may name any window of the next one.
    e2e_running || MAIN=
    SPLASH=
    E2E_RUNS=$((E2E_RUNS + 1))
    local prefix=$1
    shift
    (
        cd "$E2E_DIR"
        umask 000
        eval "$prefix"
        exec env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME HOME="$E2E_HOME" \
            XDG_RUNTIME_DIR="$E2E_RUNTIME" "$@" "$APP/corvane"
    ) >"$E2E_DIR/corvane-$E2E_RUNS.log" 2>&1 &
    E2E_LAUNCHED=$!
}

e2e_running() {
    [[ -n $CORVANE_PID ]] && kill -0 "$CORVANE_PID" 2>/dev/null
}

# e2e_wait_exit [SECONDS]: the program has ended by itself; E2E_STATUS is its exit status (strace
# ends with the status of the program it ran).
e2e_wait_exit() {
    e2e_wait_until "${1:-$E2E_TIMEOUT}" '! e2e_running' || e2e_fail "Corvane did not end"
    E2E_STATUS=0
    wait "${E2E_TRACER:-$CORVANE_PID}" 2>/dev/null || E2E_STATUS=$?
    E2E_TRACER=
    e2e_log "Corvane has ended with status $E2E_STATUS"
}

# ---- windows ----------------------------------------------------------------------------

# e2e_window REGEX [EXCEPT]: the first shown window of the program whose title matches REGEX
# (and is none of the ids in EXCEPT); prints nothing when there is none.
e2e_window() {
    local id except=" ${2:-} "
    for id in $(xdotool search --all --onlyvisible --pid "$CORVANE_PID" --name "$1" 2>/dev/null); do
        if [[ $except != *" $id "* ]]; then
            echo "$id"
            return 0
        fi
    done
    return 0
}

# e2e_wait_window REGEX [SECONDS] [EXCEPT]: waits until such a window is shown; sets WIN to it.
e2e_wait_window() {
    local regex=$1 seconds=${2:-$E2E_TIMEOUT} except=${3:-}
    local deadline=$((SECONDS + seconds))
    WIN=
    while true; do
        WIN=$(e2e_window "$regex" "$except")
        [[ -n $WIN ]] && break
        e2e_running || e2e_fail "Corvane ended while the journey waited for a window \"$regex\""
        ((SECONDS < deadline)) || e2e_fail "no window \"$regex\" within $seconds s"
        sleep 0.1
    done
}

# e2e_shown ID: the window is still shown.
e2e_shown() {
    xdotool search --all --onlyvisible --pid "$CORVANE_PID" --name . 2>/dev/null | grep -qx "$1"
}

# e2e_wait_window_gone ID [SECONDS]
e2e_wait_window_gone() {
    local id=$1
    e2e_wait_until "${2:-$E2E_TIMEOUT}" '! e2e_running || ! e2e_shown "$id"' || e2e_fail "window $id is still shown"
}

# e2e_geometry ID: sets WX WY WW WH, the place on the screen and the size of the window's inside
# (pixels). (xdotool's own geometry counts the frame's offset twice under a window manager.) An ID
# "place:X,Y,W,H" is a window found on the screen rather than by the X server (weston.sh): its
# inside is given.
e2e_geometry() {
    if [[ $1 == place:* ]]; then
        IFS=, read -r WX WY WW WH <<<"${1#place:}"
        return 0
    fi
    eval "$(timeout 5 xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ { print "WX=" $4 } /Absolute upper-left Y/ { print "WY=" $4 }
        /^  Width/ { print "WW=" $2 } /^  Height/ { print "WH=" $2 }')"
}

# e2e_frame ID: sets FL FR FT FB, the frame the window manager draws on each side (pixels), and
# OX OY OW OH, the window's outer place and size, frame included.
# shellcheck disable=SC2034 # OX, OY, OW and OH are for the journeys
e2e_frame() {
    local extents
    extents=$(timeout 5 xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
    IFS=, read -r FL FR FT FB <<<"${extents:-0,0,0,0}"
    e2e_geometry "$1"
    OX=$((WX - FL)) OY=$((WY - FT)) OW=$((WW + FL + FR)) OH=$((WH + FT + FB))
}

# e2e_wait_framed ID: the window manager has framed the window and Corvane has sized it since.
e2e_wait_framed() {
    local id=$1
    e2e_wait_until 10 'e2e_frame "$id"; ((FT > 0))' || e2e_fail "window $id was never framed"
    sleep 0.5
    e2e_frame "$id"
}

e2e_title() {
    xdotool getwindowname "$1" 2>/dev/null || true
}

# e2e_wait_splash: sets SPLASH to the splash window, the first window a start shows.
e2e_wait_splash() {
    e2e_wait_window '^Corvane$'
    SPLASH=$WIN
    e2e_geometry "$SPLASH"
    e2e_log "splash window $SPLASH (${WW}x$WH)"
}

# e2e_wait_main [SECONDS]: sets MAIN to the main window (titled Corvane, with a record date
# once one is selected; never the splash window) and MAIN_SHOWN_AT to the time it was first
# seen (e2e_now_ms), measuring its menu bar the first time.
e2e_wait_main() {
    e2e_wait_window '^Corvane( - Record Date: .*)?$' "${1:-$E2E_TIMEOUT}" "${SPLASH:-}"
    MAIN=$WIN
    # shellcheck disable=SC2034 # read by the journeys
    MAIN_SHOWN_AT=$(e2e_now_ms)
    e2e_wait_painted "$MAIN"
    e2e_wait_framed "$MAIN"
    if [[ -z $E2E_MENU_HEIGHT ]]; then
        e2e_menu_height "$MAIN"
        e2e_log "main window $MAIN, menu bar $E2E_MENU_HEIGHT px"
    fi
}

# e2e_wait_painted ID: the window shows more than its background. A window is mapped before
# its first paint; clicking into it earlier would find no controls.
e2e_wait_painted() {
    e2e_wait_until "$E2E_TIMEOUT" "[[ \$(e2e_colours \"$1\") -gt 4 ]]" || e2e_fail "window $1 was never painted"
}

e2e_colours() {
    import -window "$1" -colors 16 -format '%k' info: 2>/dev/null || echo 0
}

# e2e_menu_height MAIN: sets E2E_MENU_HEIGHT to the main window's menu bar height in pixels,
# measured on the window, since the client area (where the controls are placed) begins below
# it. The client's rule Frame1 (top 705 twips) is a sunken line, a dark row over a white one;
# in the window's third pixel column nothing else is drawn but the menu bar's bottom edge.
e2e_menu_height() {
    local main=$1 rule_top=$((705 / E2E_TWIPS_PER_PIXEL)) found=
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while [[ -z $found ]]; do
        found=$(import -window "$main" -crop 1x200+2+0 +repage -colorspace gray -depth 8 txt:- 2>/dev/null \
            | awk -F'[,:() ]+' '/^[0-9]/ { v[$2] = $3 } END {
                for (y = 0; y < 199; y++) if ((y in v) && v[y] < 200 && v[y + 1] == 255) { print y; exit } }')
        [[ -n $found ]] && break
        ((SECONDS < deadline)) || e2e_fail "could not find the main window's rule to measure its menu bar"
        sleep 0.2
    done
    E2E_MENU_HEIGHT=$((found - rule_top))
    ((E2E_MENU_HEIGHT >= 8 && E2E_MENU_HEIGHT <= 60)) \
        || e2e_fail "menu bar measured $E2E_MENU_HEIGHT px high, which cannot be right"
}

# ---- mouse and keyboard -----------------------------------------------------------------

# e2e_click ID X Y [BUTTON]: clicks at a point of the window (pixels from its top left corner).
e2e_click() {
    e2e_geometry "$1"
    e2e_pointer_to $((WX + $2)) $((WY + $3))
    xdotool click "${4:-1}"
}

# e2e_pointer_to X Y: moves the pointer to a point of the screen and waits until it is there.
e2e_pointer_to() {
    # shellcheck disable=SC2034 # xdotool --shell sets all four; local keeps them from the caller
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    # --sync waits for the pointer to move, which it never does when it is there already.
    if [[ $X,$Y != "$1,$2" ]]; then
        xdotool mousemove --sync "$1" "$2"
        sleep 0.05
    fi
}

# e2e_click_twips ID LEFT TOP WIDTH HEIGHT [BUTTON]: clicks the middle of a control placed in
# twips within the window's client area, which for the main window begins below its menu bar.
e2e_click_twips() {
    local top=0
    [[ $1 == "${MAIN:-}" ]] && top=$E2E_MENU_HEIGHT
    local x=$((($2 + $4 / 2) / E2E_TWIPS_PER_PIXEL))
    local y=$((($3 + $5 / 2) / E2E_TWIPS_PER_PIXEL + top))
    e2e_click "$1" "$x" "$y" "${6:-1}"
}

# e2e_focus ID: activates the window, as a click on its frame would; it takes the keyboard. A
# window found on the screen is clicked just above its inside, on the menu bar left of its menus.
e2e_focus() {
    if [[ $1 == place:* ]]; then
        e2e_click "$1" 2 -6
        sleep 0.2
        return 0
    fi
    # On a busy machine the window manager may not have activated the window when windowactivate
    # gives up; keys sent then reach the window that had the focus (a dialog's default button).
    # Ask again until the window manager says the window is active, where it tells.
    local deadline=$((SECONDS + 10)) active
    while :; do
        timeout 5 xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
        active=$(xdotool getactivewindow 2>/dev/null) || break
        [[ $active == "$1" ]] && break
        ((SECONDS < deadline)) || e2e_fail "window $1 could not be activated (the active one is $active)"
        sleep 0.3
    done
    sleep 0.1
}

# e2e_type TEXT: types TEXT into the focused window.
e2e_type() {
    xdotool type --delay "${E2E_TYPE_DELAY:-15}" -- "$1"
}

# e2e_key KEY...: presses keys (xdotool names: Return, Tab, shift+Tab, alt+f).
e2e_key() {
    xdotool key --delay 60 "$@"
}

# ---- clipboard --------------------------------------------------------------------------

# e2e_clip: the clipboard's text as another program reads it (empty when it holds none).
e2e_clip() {
    timeout 5 xclip -selection clipboard -o 2>/dev/null || true
}

# e2e_wait_clip TEXT [SECONDS]: the clipboard holds exactly TEXT.
e2e_wait_clip() {
    local want=$1
    e2e_wait_until "${2:-$E2E_TIMEOUT}" '[[ "$(e2e_clip)" == "$want" ]]' \
        || e2e_fail "the clipboard holds \"$(e2e_clip)\", not \"$want\""
}

# e2e_clip_put TEXT: another program puts TEXT on the clipboard (xclip stays as its owner).
e2e_clip_put() {
    local text=$1
    printf '%s' "$text" | xclip -selection clipboard -i >/dev/null 2>&1
    e2e_wait_until 5 '[[ "$(e2e_clip)" == "$text" ]]' || e2e_fail "xclip could not set the clipboard"
}

# ---- screenshots and files --------------------------------------------------------------

# e2e_shot NAME: keeps a screenshot of the whole screen as NN-NAME.png in the journey folder.
e2e_shot() {
    E2E_SHOTS=$((E2E_SHOTS + 1))
    local file
    file=$(printf '%s/%02d-%s.png' "$E2E_DIR" "$E2E_SHOTS" "$1")
    import -window root "$file" 2>/dev/null && e2e_log "screenshot $(basename "$file")"
}

# e2e_records FILE [KEY]: the plain record lines of a database file (enciphered with KEY).
e2e_records() {
    if [[ $# -ge 2 ]]; then
        "$E2E_INSPECT" enciphered "$1" "$2"
    else
        "$E2E_INSPECT" plain "$1"
    fi
}

# e2e_field LINE N: field N (0 Service, 1 Path, 2 Username, 3 Password, 4 Info, 5 record date).
e2e_field() {
    awk -v n="$2" 'BEGIN { FS = ":!" } { print $(n + 1) }' <<<"$1"
}

# e2e_expect WHAT ACTUAL EXPECTED
e2e_expect() {
    [[ $2 == "$3" ]] || e2e_fail "$1: got \"$2\", expected \"$3\""
}

# e2e_check_modes DIR...: every file and folder Corvane created under DIR is private (0600 and
# 0700); what the journey put into app/ itself is left out.
e2e_check_modes() {
    local root path rel mode bad=0 checked=0
    for root in "$@"; do
        [[ -e $root ]] || continue
        while IFS= read -r -d '' path; do
            if [[ $root == "$APP" ]]; then
                rel=./${path#"$APP"/}
                grep -qxF -- "$rel" "$E2E_DIR/shipped.txt" && continue
            fi
            mode=$(stat -c %a "$path")
            checked=$((checked + 1))
            if [[ -d $path && $mode != 700 ]] || [[ ! -d $path && $mode != 600 ]]; then
                e2e_log "mode $mode: $path"
                bad=1
            fi
        done < <(find "$root" -mindepth 1 -print0)
    done
    ((bad == 0)) || e2e_fail "files or folders Corvane created are not private"
    e2e_log "modes: $checked files and folders are private"
}

# ---- the main window --------------------------------------------------------------------
# Where the main window puts each field's edit box and label, in twips within its client area,
# as the program's own table of places gives them (corvane_inspect places): E2E_PLACE[box:INDEX]
# and E2E_PLACE[label:NAME] hold "LEFT TOP WIDTH HEIGHT".
declare -A E2E_PLACE=()
e2e_read_places() {
    local kind index name place
    while read -r kind index name place; do
        E2E_PLACE[$kind:$index]=$place
        E2E_PLACE[$kind:$name]=$place
    done < <("$E2E_INSPECT" places)
    ((${#E2E_PLACE[@]})) || { echo "corvane_inspect gave no places" >&2; exit 1; }
}
e2e_read_places

# e2e_box INDEX: clicks edit box Text1(INDEX) (0 Service, 1 Path, 2 Username, 3 Password, 4 Info).
e2e_box() {
    local left top width height
    read -r left top width height <<<"${E2E_PLACE[box:$1]}"
    e2e_click_twips "$MAIN" "$left" "$top" "$width" "$height"
}

# e2e_label NAME: clicks a field's label (Service, Username, Password, Path) on its caption.
e2e_label() {
    local left top height
    [[ -n ${E2E_PLACE[label:$1]:-} ]] || e2e_fail "no label $1"
    read -r left top _ height <<<"${E2E_PLACE[label:$1]}"
    # The caption starts at the label's left edge; its middle may be past a short caption.
    e2e_click_twips "$MAIN" "$left" "$top" 450 "$height"
}

# e2e_toolbar N: clicks toolbar button Image1(N) (0 Add, 1 Replace, 2 Trash, 3 Reset, 6 Capture, 7 Quit).
e2e_toolbar() {
    local lefts=(60 640 1200 1765 2910 3500 4120 4790 2370)
    e2e_click_twips "$MAIN" $((75 + lefts[$1])) $((15 + 120)) 480 480
}

# e2e_select_row N: selects grid row N (0 the first record): a click on the first row, then the
# Down key, which selects the row it moves to.
e2e_select_row() {
    local n=$1
    # The grid's header and its rows are one text line and a little more high: 30 px below the
    # grid's top is inside the first row.
    e2e_click "$MAIN" $((105 / E2E_TWIPS_PER_PIXEL + 40)) $((2370 / E2E_TWIPS_PER_PIXEL + E2E_MENU_HEIGHT + 30))
    while ((n-- > 0)); do
        e2e_key Down
    done
    e2e_wait_until 5 '[[ $(e2e_title "$MAIN") == "Corvane - Record Date: "* ]]' || e2e_fail "no record was selected"
}

# e2e_db_size: the bytes of both database files together; it grows when a record is filed.
e2e_db_size() {
    local total=0 file
    for file in "$APP/Data/userDB.pdb" "$APP/Data/userDB.edb"; do
        [[ -f $file ]] && total=$((total + $(stat -c %s "$file")))
    done
    echo "$total"
}

# e2e_capture_file FIELD...: capture off (Edit > &Capture), then Add files what was gathered; each
# FIELD is "N text", the text field N of the record filed must hold.
e2e_capture_file() {
    local before record field
    e2e_menu alt+e c
    before=$(e2e_db_size)
    e2e_toolbar 0
    e2e_wait_until "$E2E_TIMEOUT" '(($(e2e_db_size) > before))' || e2e_fail "the captured record was not filed"
    record=$(e2e_records "$APP/Data/userDB.pdb")
    for field in "$@"; do
        e2e_expect "captured field ${field%% *}" "$(e2e_field "$record" "${field%% *}")" "${field#* }"
    done
}

# e2e_type_record SERVICE USERNAME PASSWORD PATH [INFO]: types a login into the empty boxes,
# moving from box to box with Tab (Service, Username, Password, Path, Info).
e2e_type_record() {
    e2e_box 0
    e2e_type "$1"
    e2e_key Tab
    e2e_type "$2"
    e2e_key Tab
    e2e_type "$3"
    e2e_key Tab
    e2e_type "$4"
    if [[ -n ${5:-} ]]; then
        e2e_key Tab
        e2e_type "$5"
    fi
}

# e2e_file_record HOW SERVICE USERNAME PASSWORD PATH [INFO]: types a login and files it, with
# the toolbar's Add button (HOW add) or Enter in the Password box (HOW enter); waits until the
# database has grown.
e2e_file_record() {
    local how=$1 before
    shift
    # shellcheck disable=SC2034 # read by the condition e2e_wait_until evaluates
    before=$(e2e_db_size)
    e2e_type_record "$@"
    case $how in
    add) e2e_toolbar 0 ;;
    enter)
        e2e_box 3
        e2e_key Return
        ;;
    *) e2e_fail "file a record how? $how" ;;
    esac
    e2e_wait_until "$E2E_TIMEOUT" '(($(e2e_db_size) > before))' || e2e_fail "the record \"$1\" was not filed"
    e2e_log "filed \"$1\" ($how)"
}

# e2e_menu KEYS...: opens a menu of the main window with its access letter and goes on with
# KEYS (for instance alt+f x for E&xit).
e2e_menu() {
    e2e_focus "$MAIN"
    e2e_key "$@"
}

# e2e_corvo_browser: File > Corvo Browser, which has no access letter: the File menu opens on its
# first entry, and Restore Database, Import... and Export... come before it.
e2e_corvo_browser() {
    e2e_menu alt+f Down Down Down Down Return
}

# e2e_exit: E&xit from the File menu; the program writes its preferences and ends, with status 0.
e2e_exit() {
    e2e_menu alt+f x
    e2e_wait_exit
    e2e_expect "exit status after E&xit" "$E2E_STATUS" 0
}

# e2e_message_text BOX: the text a message box shows, line by line. Its text can be selected
# with the mouse, and a triple click selects one line into the PRIMARY selection, where another
# program reads it; the lines lie in the box's upper half, above its buttons. Successive triple
# clicks are 40 px apart, so that none is taken for a continuation of the one before.
e2e_message_text() {
    local box=$1 y x line lines=() last=
    e2e_geometry "$box"
    for ((y = 6; y < WH / 2; y += 4)); do
        x=$((WW / 2 + (y / 4 % 2) * 40))
        printf '' | xclip -selection primary -i >/dev/null 2>&1
        e2e_pointer_to $((WX + x)) $((WY + y))
        xdotool click --repeat 3 --delay 60 1
        line=$(timeout 5 xclip -selection primary -o 2>/dev/null || true)
        # On a loaded machine a triple click may come as a click and a double click: a word of the line.
        if [[ -n $line && $last != *"$line"* ]]; then
            [[ -n $last && $line == *"$last"* ]] && unset 'lines[-1]'
            lines+=("$line")
            last=$line
        fi
    done
    ((${#lines[@]} > 0)) && printf '%s\n' "${lines[@]}"
    return 0
}

# e2e_answer TITLE [TEXT] [KEY]: waits for the message box TITLE, keeps a screenshot, checks
# that it says TEXT (when given; lines joined by a line feed), and answers it with KEY (Return,
# its default button, when not given).
e2e_answer() {
    local title=$1 text=${2:-} key=${3:-Return} said
    # A box titled Corvane is neither the main window nor the splash, which may be titled so too.
    e2e_wait_window "^$title\$" "$E2E_TIMEOUT" "${MAIN:-} ${SPLASH:-}"
    local box=$WIN
    e2e_wait_painted "$box"
    e2e_shot "message-${title// /_}"
    if [[ -n $text ]]; then
        said=$(e2e_message_text "$box")
        [[ $said == "$text" ]] || e2e_fail "the message \"$title\" says \"$said\", not \"$text\""
    fi
    e2e_focus "$box"
    e2e_key "$key"
    e2e_wait_window_gone "$box"
    e2e_log "answered \"$title\"${text:+: $text}"
}

# ---- the backup window ------------------------------------------------------------------

# e2e_backup_window backup|restore: opens File > Back up Database or Restore Database (the
# File menu opens on its first entry); sets BACKUP to the window.
e2e_backup_window() {
    case $1 in
    backup)
        e2e_menu alt+f Return
        e2e_wait_window '^Database Backup$'
        ;;
    restore)
        e2e_menu alt+f Down Return
        e2e_wait_window '^Database Restore$'
        ;;
    esac
    BACKUP=$WIN
    e2e_wait_painted "$BACKUP"
}

# e2e_backup_save FOLDER MESSAGE: types FOLDER into the window's folder box, clicks Save and
# answers the message, which must say MESSAGE.
e2e_backup_save() {
    e2e_click_twips "$BACKUP" 120 3540 4560 345
    e2e_key ctrl+a BackSpace
    e2e_type "$1"
    e2e_click_twips "$BACKUP" 2100 3990 1215 390
    e2e_answer Corvane "$2"
}

# e2e_backup_close: the window's Close button.
e2e_backup_close() {
    e2e_click_twips "$BACKUP" 3465 3990 1215 390
    e2e_wait_window_gone "$BACKUP"
}

# ---- the security settings window ----------------------------------------------------------

# e2e_security_open: opens "Security Settings - Corvane" from the Preferences menu; sets SECURITY
# to the window and FRAMES_TOP, PROTECT_TOP and BUTTONS_TOP to the places of its parts (twips).
# The window shares the room its frame leaves (4020 twips are the controls' own) above and below
# the three frames, and keeps its buttons 120 twips above its bottom edge.
e2e_security_open() {
    e2e_menu alt+p s
    e2e_wait_window '^Security Settings - Corvane$'
    SECURITY=$WIN
    e2e_wait_painted "$SECURITY"
    e2e_wait_framed "$SECURITY"
    e2e_geometry "$SECURITY"
    local inside=$((WH * E2E_TWIPS_PER_PIXEL))
    FRAMES_TOP=$((810 + (inside - 4020) / 2))
    PROTECT_TOP=$((FRAMES_TOP + 1230))
    BUTTONS_TOP=$((inside - 120 - 390))
    ((BUTTONS_TOP >= FRAMES_TOP + 2700)) || BUTTONS_TOP=$((FRAMES_TOP + 2700))
}
e2e_security_password() { e2e_click_twips "$SECURITY" 1080 105 3300 330; }
e2e_security_level1() { e2e_click_twips "$SECURITY" 3510 $((PROTECT_TOP + 330)) 600 285; }
e2e_security_level2() { e2e_click_twips "$SECURITY" 3510 $((PROTECT_TOP + 660)) 600 285; }
e2e_security_none() { e2e_click_twips "$SECURITY" 3510 $((PROTECT_TOP + 990)) 600 285; }
e2e_security_accept() { e2e_click_twips "$SECURITY" 4230 "$BUTTONS_TOP" 1110 390; }

# ---- the program under strace -----------------------------------------------------------

# e2e_start_traced STRACE_OPTION...: starts app/corvane as e2e_start does, but under strace with
# the given options (to slow or fail chosen system calls). CORVANE_PID is the program itself,
# E2E_TRACER the strace that runs it; the trace goes to strace-N.txt in the journey folder.
e2e_start_traced() {
    e2e_launch : strace -f -qq -o "$E2E_DIR/strace-$((E2E_RUNS + 1)).txt" "$@"
    E2E_TRACER=$E2E_LAUNCHED
    CORVANE_PID=
    e2e_wait_until 10 '[[ -n $(pgrep -P "$E2E_TRACER" -x corvane) ]]' || e2e_fail "strace did not start Corvane"
    CORVANE_PID=$(pgrep -P "$E2E_TRACER" -x corvane)
    e2e_log "started Corvane under strace $* (run $E2E_RUNS, pid $CORVANE_PID)"
}

# e2e_kill: kills the program at once (SIGKILL), as a power cut or a crash would stop it.
e2e_kill() {
    kill -9 "$CORVANE_PID" 2>/dev/null || true
    e2e_wait_until 10 '! e2e_running' || e2e_fail "Corvane did not die"
    if [[ -n ${E2E_TRACER:-} ]]; then
        wait "$E2E_TRACER" 2>/dev/null || true
    fi
    E2E_TRACER=
    e2e_log "killed Corvane"
}
