#!/usr/bin/env bash
# Start-up figures of the real program under Xvfb, the median of several runs:
#   startup_to_splash_ms           from the program's start until its splash window is on screen
#   splash_click_to_main_32767_ms  from a click on the splash until the main window is on screen (32,767 records)
#   rss_main_32767_kib             the program's resident memory once the main window shows them
#
#   bench/startup/startup.sh BUILD_DIR [RUNS]
# Runs itself under xvfb-run when there is no display.
set -euo pipefail
build_dir=$(cd "${1:?usage: $0 BUILD_DIR [RUNS]}" && pwd)
runs=${2:-7}
if [[ -z "${CORVANE_BENCH_IN_X:-}" ]]; then
    export CORVANE_BENCH_IN_X=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" "$build_dir" "$runs"
fi
[[ $(id -u) -eq 0 ]] && export QTWEBENGINE_DISABLE_SANDBOX=1

work=$(mktemp -d "$build_dir/bench-startup.XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$HOME"
app=$work/app
mkdir -p "$app"
cp "$build_dir/bin/corvane" "$app/"
cp -r "$build_dir/bin/intl" "$app/" 2>/dev/null || true
"$build_dir/bench/startup/make_database" "$app" 32767

now_ms() { date +%s%3N; }

# The main window is the visible "Corvane" window that is not the splash (which is frameless and shorter).
visible_corvane() { xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null || true; }

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

splash_times=() main_times=() rss_values=()
for ((run = 0; run < runs; ++run)); do
    start=$(now_ms)
    (cd "$app" && exec ./corvane) &
    pid=$!
    splash="" tries=0
    while [[ -z "$splash" && $((tries++)) -lt 2000 ]]; do
        splash=$(visible_corvane | head -n 1)
    done
    [[ -n "$splash" ]] || { echo "the splash never showed" >&2; kill "$pid"; exit 1; }
    splash_times+=($(($(now_ms) - start)))

    read -r x y < <(xdotool getwindowgeometry "$splash" | awk '/Position/ { split($2, p, ","); print p[1] + 10, p[2] + 10 }')
    clicked=$(now_ms)
    xdotool mousemove "$x" "$y" click 1
    main="" tries=0
    while [[ -z "$main" && $((tries++)) -lt 4000 ]]; do
        for w in $(visible_corvane); do
            [[ "$w" != "$splash" ]] && main=$w
        done
    done
    [[ -n "$main" ]] || { echo "the main window never showed" >&2; kill "$pid"; exit 1; }
    main_times+=($(($(now_ms) - clicked)))

    sleep 1
    rss_values+=($(awk '/VmRSS/ { print $2 }' "/proc/$pid/status"))
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done

echo "startup_to_splash_ms: $(printf '%s\n' "${splash_times[@]}" | median) ms"
echo "splash_click_to_main_32767_ms: $(printf '%s\n' "${main_times[@]}" | median) ms"
echo "rss_main_32767_kib: $(printf '%s\n' "${rss_values[@]}" | median) KiB"
