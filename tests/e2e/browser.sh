#!/usr/bin/env bash
# The built-in browser on a local login page, opened both ways: the Path label's pop-up
# (Browse > Corvane Browser) and File > Corvo Browser. Once the page has loaded, the user name
# is on the clipboard, where another program reads it. Tab reaches no hidden button. Then the
# browser library is taken away: asking for the browser says why it cannot open, and the rest of
# Corvane goes on working.
source "$(dirname "$0")/lib.sh"
e2e_begin browser

mkdir -p "$E2E_DIR/site"
cat >"$E2E_DIR/site/login.html" <<'EOF'
<!DOCTYPE html>
<html><head><title>Local login</title></head>
<body style="font-family: sans-serif">
<h1>Local login page</h1>
<form><p>User <input name="user"></p><p>Password <input name="pass" type="password"></p>
<p><button type="button">Log in</button></p></form>
</body></html>
EOF
PAGE=file://$E2E_DIR/site/login.html
USERNAME=bob.browser
PASSWORD=Br0wserPw
# The engine's first start takes a while on a loaded machine.
LOADED_WITHIN=90

e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main
e2e_file_record add "Local page" "$USERNAME" "$PASSWORD" "$PAGE"
e2e_select_row 0

# The Path label's pop-up: Copy to Clipboard, Browse > Corvane Browser.
e2e_clip_put "held before the page loaded"
e2e_label Path
e2e_key Down Down Right Return
e2e_wait_window '^CorvoBrowser$'
BROWSER=$WIN
e2e_wait_clip "$USERNAME" "$LOADED_WITHIN"
e2e_wait_painted "$BROWSER"
e2e_shot corvane-browser

# Tab through the window with the keyboard: every stop in the bar shows where the focus is, and
# Space where none shows (in the page) never copies the password. The password's own button
# lies hidden under its mask and must be no stop of its own.
e2e_focus "$BROWSER"
bar_shot() { import -window "$BROWSER" -crop 460x22+0+19 +repage "$1" 2>/dev/null; }
bar_shot "$E2E_DIR/bar-without-focus.png"
for step in $(seq 14); do
    e2e_key Tab
    sleep 0.3
    bar_shot "$E2E_DIR/bar.png"
    # A focus frame changes a hundred pixels or more; a few (a covered button's corners) are no mark.
    changed=$(compare -metric AE "$E2E_DIR/bar-without-focus.png" "$E2E_DIR/bar.png" null: 2>&1 | awk '{ print int($1) }') || true
    if ((changed < 40)); then
        e2e_clip_put "Tab $step"
        e2e_key space
        sleep 0.5
        [[ $(e2e_clip) != "$PASSWORD" ]] || e2e_fail "Tab $step reached a hidden button: Space copied the password"
    fi
done
rm -f "$E2E_DIR/bar.png"

# Closed, then opened again from the File menu on the same record.
e2e_focus "$BROWSER"
e2e_key alt+F4
e2e_wait_window_gone "$BROWSER"
e2e_clip_put "held before the second opening"
e2e_corvo_browser
e2e_wait_window '^CorvoBrowser$'
BROWSER=$WIN
e2e_wait_clip "$USERNAME" "$LOADED_WITHIN"
e2e_shot corvo-browser
e2e_focus "$BROWSER"
e2e_key alt+F4
e2e_wait_window_gone "$BROWSER"

e2e_exit
e2e_check_modes "$APP" "$E2E_RUNTIME/corvane"

# Without its library, the browser cannot open; the program says so and goes on.
mv "$APP/corvane-browser.so" "$E2E_DIR/corvane-browser.so.away"
e2e_start
e2e_wait_splash
e2e_click "$SPLASH" 100 100
e2e_wait_main
e2e_select_row 0
e2e_corvo_browser
e2e_wait_window '^Corvane$' "$E2E_TIMEOUT" "$MAIN $SPLASH"
BOX=$WIN
e2e_wait_painted "$BOX"
e2e_shot no-browser-library
said=$(e2e_message_text "$BOX")
e2e_log "the message says: $(paste -sd '|' <<<"$said")"
[[ $(head -n 1 <<<"$said") == "The built-in browser cannot be opened." ]] \
    || e2e_fail "the message without the library says \"$said\""
grep -q "corvane-browser.so is missing." <<<"$(paste -sd ' ' <<<"$said")" || e2e_fail "the message does not say the library is missing"
e2e_focus "$BOX"
e2e_key Return
e2e_wait_window_gone "$BOX"
[[ -z $(e2e_window '^CorvoBrowser$') ]] || e2e_fail "a browser window opened without the library"
e2e_file_record add "After the browser" carol C4rolPw https://after.example/
e2e_exit
e2e_log "passed"
