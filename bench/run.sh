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
cmake --build "$build" --parallel "$(nproc)" --target corvane store_bench window_bench make_database browser_bench \
    >/dev/null

quiet() { "$@" 2> >(grep -v -e 'propagateSizeHints' -e 'XDG_RUNTIME_DIR' -e '^$' >&2); }

echo "# record store (32,767 records)"
"$build/bench/store/store_bench"
echo "# main window (32,767 records, offscreen)"
QT_QPA_PLATFORM=offscreen quiet "$build/bench/window/window_bench"
echo "# start-up (real program under Xvfb)"
"$CORVANE_ROOT/bench/startup/startup.sh" "$build"
if [[ -x "$CORVANE_ROOT/bench/mainwindow/idle_cpu.sh" ]]; then
    echo "# main window idle (real program under Xvfb)"
    "$CORVANE_ROOT/bench/mainwindow/idle_cpu.sh" "$build/bin/corvane"
fi
echo "# built-in browser (under Xvfb)"
quiet "$CORVANE_ROOT/bench/browser/run_browser_bench.sh" "$build"
