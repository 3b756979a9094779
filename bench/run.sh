#!/usr/bin/env bash
# Builds Corvane in release mode (build-release/) and prints every benchmark figure, one a
# line as "name: value unit". The figures that need a screen run under Xvfb.
#
#   bench/run.sh
set -euo pipefail
CORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$CORVANE_ROOT/scripts/setup.sh"

build="$CORVANE_ROOT/build-release"
corvane_install_missing_packages
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$CORVANE_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)" --target corvane store_bench window_bench make_database qt_floor map_timer browser_bench \
    >/dev/null

# Each step's own chatter (Qt's, the web engine's) goes to a log; it is shown only when a step fails.
logs="$build/bench-logs"
mkdir -p "$logs"
step() {
    local name=$1
    shift
    if ! "$@" 2>"$logs/$name.log"; then
        echo "$name failed; its log, $logs/$name.log, ends:" >&2
        tail -n 20 "$logs/$name.log" >&2
        return 1
    fi
}

echo "# record store (32,767 records)"
step store "$build/bench/store/store_bench"
echo "# main window (32,767 records, offscreen)"
QT_QPA_PLATFORM=offscreen step window "$build/bench/window/window_bench"
echo "# start-up (real program under Xvfb)"
step startup "$CORVANE_ROOT/bench/startup/startup.sh" "$build"
echo "# main window idle (real program under Xvfb)"
step idle "$CORVANE_ROOT/bench/mainwindow/idle_cpu.sh" "$build/bin/corvane"
echo "# built-in browser (under Xvfb)"
step browser "$CORVANE_ROOT/bench/browser/run_browser_bench.sh" "$build"
