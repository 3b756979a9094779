#!/usr/bin/env bash
# Runs browser_bench in a virtual X server and prints its figures:
#   browser_first_open_ms   median of 5 processes, each opening the browser once, cold, each
#                           with a fresh home folder
#   idle_cpu_browser_pct    one more process, which then sits 10 seconds with the page open
#
#   bench/browser/run_browser_bench.sh BUILD_DIR [--hold SECONDS]
# With --hold, a single process keeps the window open that long (for a screenshot) instead.
set -euo pipefail
build_dir=$(cd "${1:?usage: $0 BUILD_DIR [--hold SECONDS]}" && pwd)
shift
bench="$build_dir/bench/browser/browser_bench"
[[ -x "$bench" ]] || { echo "build browser_bench first: $bench" >&2; exit 1; }
if [[ -z "${CORVANE_BENCH_IN_X:-}" ]]; then
    export CORVANE_BENCH_IN_X=1
    exec xvfb-run --auto-servernum --server-args='-screen 0 1280x800x24' "$0" "$build_dir" "$@"
fi
if [[ $(id -u) -eq 0 ]]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
export QT_QPA_PLATFORM=xcb
export QT_LOGGING_RULES='qt.qpa.*=false;js=false'

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# once ARGUMENTS...: one browser_bench process with a home and runtime folder of its own.
once() {
    rm -rf "$work/run"
    mkdir -p "$work/run"
    mkdir -m 700 "$work/run/home" "$work/run/runtime"
    HOME=$work/run/home XDG_RUNTIME_DIR=$work/run/runtime "$bench" "$@" 2> >(grep -v -e '^$' >&2)
}

if [[ $# -gt 0 ]]; then
    once "$@"
    exit
fi
times=()
for _ in 1 2 3 4 5; do
    times+=("$(once --hold 0 | awk '/^browser_first_open_ms:/ { print $2 }')")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
echo "browser_first_open_ms: $median ms"
once | grep '^idle_cpu_browser_pct:'
