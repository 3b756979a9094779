#!/usr/bin/env bash
# Runs browser_bench in a virtual X server and prints its figures.
#   bench/browser/run_browser_bench.sh BUILD_DIR [--hold SECONDS]
set -euo pipefail
build_dir=${1:?usage: $0 BUILD_DIR [--hold SECONDS]}
shift
bench="$build_dir/bench/browser/browser_bench"
[[ -x "$bench" ]] || { echo "build browser_bench first: $bench" >&2; exit 1; }
if [[ $(id -u) -eq 0 ]]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
export QT_QPA_PLATFORM=xcb
export QT_LOGGING_RULES='qt.qpa.*=false;js=false'
exec xvfb-run --auto-servernum --server-args='-screen 0 1280x800x24' "$bench" "$@" 2> >(grep -v -e '^$' >&2)
