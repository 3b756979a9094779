#!/usr/bin/env bash
# One desktop session of an installed Corvane, driven as its user would drive it, with real keys
# and clicks (xdotool) in a virtual X server under openbox. Run by check-packages.sh inside
# xvfb-run, as root or as another user:
#
#   session.sh WHAT OUT
#
# WHAT says what the session does once the main window shows:
#   first    files a record, asks for the built-in browser and reads the message that says which
#            package brings it (corvane-browser is not installed)
#   browser  files a record and opens the built-in browser (corvane-browser is installed)
#   again    selects the first record that an earlier session filed, opens the built-in browser
#   refused  (as root, without QTWEBENGINE_DISABLE_SANDBOX) asks for the built-in browser and reads
#            the message that says why it does not start, and how to start it
# Every session ends with File > Exit. OUT is a folder for the program's output and the
# screenshots (PNG). Exits 0 when every step held, else 1 with the reason.
set -uo pipefail
what=$1
out=$2
mkdir -p "$out"
timeout=${CHECK_TIMEOUT:-60}
corvane_pid=
wm_pid=
# The windows found, set by the conditions until_true evaluates.
splash='' main='' browser=''

log() { printf '  [%s %s] %s\n' "$(id -un)" "$what" "$*"; }
shot() { import -window root "$out/$what-$1.png" 2>/dev/null || true; }
finish() {
    [[ -n $corvane_pid ]] && kill "$corvane_pid" 2>/dev/null
    [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null
    wait 2>/dev/null
}
fail() {
    log "FAILED: $*"
    shot failure
    tail -n 5 "$out/corvane-$what.log" 2>/dev/null | sed 's/^/    /'
    finish
    exit 1
}
# until SECONDS COMMAND...: polls COMMAND (run by eval) until it succeeds; false on timeout.
until_true() {
    local deadline=$((SECONDS + $1))
    shift
    until eval "$*"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.3
    done
}
# visible NAME-REGEX [EXCEPT...]: the first visible window of that name that is none of EXCEPT.
# shellcheck disable=SC2317 # called only from the conditions until_true evaluates
visible() {
    local pattern=$1 id
    shift
    for id in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null); do
        [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
    done
    return 1
}
records() { stat -c %s "${XDG_DATA_HOME:-$HOME/.local/share}/corvane/Data/userDB.pdb" 2>/dev/null || echo 0; }
key() { xdotool key --clearmodifiers "$@"; sleep 0.2; }
click() { # click WINDOW X Y: a click at a point of the window
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.2
}
# message_text BOX: the lines a message box shows. Its text can be selected with the mouse: a
# triple click selects one line into the PRIMARY selection, where xclip reads it.
message_text() {
    local box=$1 y line last='' w h
    eval "$(xdotool getwindowgeometry --shell "$box")"
    w=$WIDTH h=$HEIGHT
    for ((y = 6; y < h / 2; y += 4)); do
        printf '' | xclip -selection primary -i 2>/dev/null
        xdotool mousemove --window "$box" $((w / 2 + (y / 4 % 2) * 40)) "$y" click --repeat 3 --delay 60 1
        line=$(timeout 5 xclip -selection primary -o 2>/dev/null)
        if [[ -n $line && $line != "$last" ]]; then
            echo "$line"
            last=$line
        fi
    done
}

# xvfb-run goes on when its server is slow to say it is ready: wait until it answers.
until_true 20 'xprop -root >/dev/null 2>&1' || fail "the X server $DISPLAY does not answer"
# openbox's first start on a new system is slow (it builds the font cache); a start that could
# not reach the server is tried again.
for _ in 1 2 3; do
    openbox --sm-disable >>"$out/openbox.log" 2>&1 &
    wm_pid=$!
    until_true 30 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" || ! kill -0 "$wm_pid" 2>/dev/null'
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    kill "$wm_pid" 2>/dev/null
    wm_pid=
    sleep 1
done
[[ -n $wm_pid ]] || fail "openbox did not start on $DISPLAY"

corvane >"$out/corvane-$what.log" 2>&1 &
corvane_pid=$!
until_true "$timeout" 'splash=$(visible "^Corvane$")' || fail "no splash window showed"
sleep 0.5
click "$splash" 60 60
until_true "$timeout" 'main=$(visible "^Corvane" "$splash")' || fail "the main window did not show"
sleep 1
shot main
log "the main window shows"

file_record() { # file_record SERVICE USERNAME PASSWORD PATH: typed into the edit boxes, Enter files it
    local before
    # shellcheck disable=SC2034 # read by the condition until_true evaluates
    before=$(records)
    xdotool windowactivate --sync "$main" 2>/dev/null
    # The Service box has the focus when the window shows; Tab goes on to Username, Password, Path.
    xdotool type --delay 20 "$1"
    key Tab
    xdotool type --delay 20 "$2"
    key Tab
    xdotool type --delay 20 "$3"
    key Tab
    xdotool type --delay 20 "$4"
    key shift+Tab Return
    until_true 10 '(($(records) > before))' || fail "the record $1 was not filed"
    log "filed the record $1"
}
open_browser() { # File > Corvo Browser
    xdotool windowactivate --sync "$main" 2>/dev/null
    key alt+f
    key Down Down Return
}

browser_refused() { # browser_refused WORD: the browser command shows a message that holds WORD
    open_browser
    until_true "$timeout" 'box=$(visible "^Corvane$" "$main")' || fail "no message showed for the built-in browser"
    sleep 0.5
    said=$(message_text "$box" | paste -sd ' ')
    shot no-browser
    log "the message says: $said"
    [[ $said == *"$1"* ]] || fail "the message does not name $1"
    xdotool windowactivate --sync "$box" 2>/dev/null
    key Return
    until_true 10 '! visible "^Corvane$" "$main" >/dev/null' || fail "the message did not close"
}

case $what in
first)
    # Its page is the help page, which the built-in browser shows in a later session.
    file_record "help-$(id -un)" "$(id -un)" "Pw-$(id -un)-1" "file:///usr/share/corvane/help.html"
    browser_refused corvane-browser
    ;;
refused)
    browser_refused QTWEBENGINE_DISABLE_SANDBOX
    kill -0 "$corvane_pid" 2>/dev/null || fail "Corvane ended"
    ;;
browser | again)
    if [[ $what == browser ]]; then
        file_record "shop-$(id -un)" "$(id -un)" "Pw-$(id -un)-2" "https://shop.example.org/"
    fi
    # The first row of the grid, some 210 pixels below the top of the window (the grid's top is
    # 158, under a menu bar of about 20): a click selects it, and the title shows the record's date.
    for y in 210 204 216 198 222; do
        click "$main" 47 "$y"
        until_true 2 '[[ $(xdotool getwindowname "$main") == "Corvane - Record Date: "* ]]' && break
    done
    [[ $(xdotool getwindowname "$main") == "Corvane - Record Date: "* ]] \
        || fail "no record could be selected: the grid shows none"
    log "a filed record shows: $(xdotool getwindowname "$main")"
    open_browser
    until_true $((timeout * 2)) 'browser=$(visible "^CorvoBrowser$")' || fail "the built-in browser did not open"
    sleep 2
    shot browser
    log "the built-in browser opened"
    xdotool windowactivate --sync "$browser" 2>/dev/null
    key alt+F4
    until_true 20 '! visible "^CorvoBrowser$" >/dev/null' || fail "the built-in browser did not close"
    ;;
*) fail "no session $what" ;;
esac

xdotool windowactivate --sync "$main" 2>/dev/null
key alt+f
key x
until_true 20 '! kill -0 "$corvane_pid" 2>/dev/null' || fail "File > Exit did not end Corvane"
wait "$corvane_pid"
log "File > Exit ended Corvane with status $?"
corvane_pid=
finish
exit 0
