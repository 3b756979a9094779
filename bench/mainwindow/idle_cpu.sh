#!/usr/bin/env bash
# How much processor time Corvane's main window takes while it sits idle: the real
# program, started in a fresh copy of its folder in a virtual X server, measured for
# 10 seconds once the main window shows. Prints "idle_cpu_main_pct: <value> %"
# (percent of one core, user plus system time of the whole process).
#
#   bench/mainwindow/idle_cpu.sh [PROGRAM] [SECONDS]
#
# PROGRAM defaults to build/bin/corvane; the browser library, help page and language files
# beside it are copied with it.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
program=${1:-$root/build/bin/corvane}
seconds=${2:-10}
[[ -x "$program" ]] || { echo "build Corvane first: $program" >&2; exit 1; }

if [[ -z "${CORVANE_IDLE_INNER:-}" ]]; then
    folder=$(mktemp -d)
    trap 'rm -rf "$folder"' EXIT
    cp "$program" "$folder/corvane"
    src=$(dirname "$program")
    [[ -f "$src/corvane-browser.so" ]] && cp "$src/corvane-browser.so" "$folder/"
    [[ -f "$src/help.html" ]] && cp "$src/help.html" "$folder/"
    [[ -d "$src/intl" ]] && cp -r "$src/intl" "$folder/"
    [[ $(id -u) -eq 0 ]] && export QTWEBENGINE_DISABLE_SANDBOX=1
    export CORVANE_IDLE_INNER=1 QT_QPA_PLATFORM=xcb QT_LOGGING_RULES='qt.qpa.*=false'
    export XDG_RUNTIME_DIR="$folder/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    exec xvfb-run --auto-servernum --server-args='-screen 0 1280x1024x24' "$0" "$folder/corvane" "$seconds"
fi

# Inside the virtual X server.
"$program" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# Past the splash: the main window is the large window named "Corvane".
main=""
for _ in $(seq 1 200); do
    for w in $(xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null || true); do
        # The splash may go between the search and this look (then the window is no more).
        width=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p' || true)
        if [[ -n "$width" && "$width" -ge 450 ]]; then
            main=$w
        fi
    done
    [[ -n "$main" ]] && break
    kill -0 "$pid" 2>/dev/null || { echo "Corvane ended before its main window showed" >&2; exit 1; }
    sleep 0.1
done
[[ -n "$main" ]] || { echo "the main window did not show within 20 seconds" >&2; exit 1; }
# Let the start settle (the splash going, the first paints) before measuring.
sleep 2

ticks() {
    # Fields 14 and 15 of /proc/PID/stat: user and system time, in clock ticks, of every thread.
    awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$pid/stat"
}
hz=$(getconf CLK_TCK)
before=$(ticks)
start=$(date +%s.%N)
sleep "$seconds"
after=$(ticks)
end=$(date +%s.%N)
awk -v b="$before" -v a="$after" -v hz="$hz" -v s="$start" -v e="$end" \
    'BEGIN { printf "idle_cpu_main_pct: %.2f %%\n", (a - b) / hz / (e - s) * 100 }'
