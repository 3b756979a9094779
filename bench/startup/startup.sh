#!/usr/bin/env bash
# Start-up figures of the real program under Xvfb, side by side with a trivial Qt window (a
# QMainWindow holding an empty QTableView, bench/startup/qt_floor.cpp) in the same run: each
# run starts the trivial window, then Corvane, each with a fresh home and runtime folder, and
# the medians are compared. Corvane starts from the same folder every time, as an installed
# copy does (the warm-up run is its first start there).
#   qt_floor_startup_ms             the trivial window: from its exec until its window is mapped
#   startup_ms                      Corvane: from its exec until its first window (the splash) is mapped
#   startup_ratio_to_qt_floor       the two medians' ratio
#   qt_floor_startup_cpu_ms, startup_cpu_ms   the processor time each had used when its first
#                                   window was mapped (every thread, user and system)
#   startup_cpu_ratio_to_qt_floor   the two medians' ratio
#   splash_click_to_main_32767_ms   from a click on the splash until the main window is on screen (32,767 records)
#   qt_floor_rss_kib, qt_floor_pss_kib   the trivial window's resident and proportional memory, once shown
#   rss_main_32767_kib, pss_main_32767_kib   Corvane's, once the main window shows 32,767 records
#   rss_main_32767_over_floor_kib   how much more resident memory that is than the trivial window's
#   qt_floor_cpu_ms, cpu_main_32767_ms   processor time used by the time memory is read, and
#                                   qt_floor_threads, threads_main_32767 the threads then running
#   cpu_main_32767_ratio_to_qt_floor   the two medians' ratio
#
#   bench/startup/startup.sh BUILD_DIR [RUNS] [PROGRAM_FOLDER]
# RUNS defaults to 9 (after one warm-up run of each). PROGRAM_FOLDER holds the Corvane to
# measure (the program and what lies beside it); by default BUILD_DIR/bin, which is where a
# build puts it. Runs itself under xvfb-run when there is no display.
set -euo pipefail
build_dir=$(cd "${1:?usage: $0 BUILD_DIR [RUNS] [PROGRAM_FOLDER]}" && pwd)
runs=${2:-9}
program_dir=$(cd "${3:-$build_dir/bin}" && pwd)
if [[ -z "${CORVANE_BENCH_IN_X:-}" ]]; then
    export CORVANE_BENCH_IN_X=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" "$build_dir" "$runs" "$program_dir"
fi
[[ $(id -u) -eq 0 ]] && export QTWEBENGINE_DISABLE_SANDBOX=1
export QT_LOGGING_RULES='qt.qpa.*=false'

map_timer=$build_dir/bench/startup/map_timer
floor=$build_dir/bench/startup/qt_floor
work=$(mktemp -d "$build_dir/bench-startup.XXXXXX")
pid=
trap '[[ -n $pid ]] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT
# A copy of the program's folder, with 32,767 records.
app=$work/app
mkdir -p "$app"
cp -r "$program_dir"/. "$app/"
rm -rf "$app/Data" "$app/prefs.cfg"
"$build_dir/bench/startup/make_database" "$app" 32767

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# memory PID FIELD: Rss or Pss of the whole process, in KiB.
memory() { awk -v field="$2:" '$1 == field { print $2 }' "/proc/$1/smaps_rollup"; }
# processor PID: the processor time the process has used, in ms: its threads' own figures summed
# (in ns), or the process's (clock ticks, coarser, but holding ended threads) where that is more.
processor() {
    local threads ticks
    threads=$(cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%.1f", ns / 1e6 }')
    ticks=$(awk -v hz="$(getconf CLK_TCK)" '{ sub(/.*\) /, ""); printf "%.1f", ($12 + $13) * 1000 / hz }' "/proc/$1/stat")
    awk -v a="$threads" -v b="$ticks" 'BEGIN { print (a > b ? a : b) }'
}
threads() {
    local tasks=("/proc/$1/task"/*)
    echo "${#tasks[@]}"
}

# fresh_run: a new home and runtime folder for one start.
fresh_run() {
    rm -rf "$work/run"
    mkdir -p "$work/run"
    mkdir -m 700 "$work/run/home" "$work/run/runtime"
    export HOME=$work/run/home XDG_RUNTIME_DIR=$work/run/runtime
    unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
}

# start PROGRAM: starts it in the current folder; sets pid, mapped_ms and mapped_cpu_ms.
start() {
    local out
    out=$("$map_timer" 20000 "$1")
    read -r pid mapped_ms mapped_cpu_ms _ <<<"$out"
}

# The program is map_timer's child, not this shell's: wait until it is gone (or a zombie).
running() { [[ -r /proc/$1/stat ]] && [[ $(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) != Z ]]; }
stop() {
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        running "$pid" || break
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
    pid=
}

visible_corvane() { xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null || true; }

floor_times=() floor_rss=() floor_pss=() times=() main_times=() rss=() pss=()
floor_cpu=() cpu=() floor_total_cpu=() total_cpu=() floor_threads=() main_threads=()
for ((run = -1; run < runs; ++run)); do
    fresh_run
    cd "$work/run"
    start "$floor"
    sleep 1
    if ((run >= 0)); then
        floor_times+=("$mapped_ms")
        floor_cpu+=("$mapped_cpu_ms")
        floor_rss+=("$(memory "$pid" Rss)")
        floor_pss+=("$(memory "$pid" Pss)")
        floor_total_cpu+=("$(processor "$pid")")
        floor_threads+=("$(threads "$pid")")
    fi
    stop
    cd "$work"

    fresh_run
    cd "$app"
    start ./corvane
    splash="" tries=0
    while [[ -z "$splash" && $((tries++)) -lt 100 ]]; do
        splash=$(visible_corvane | head -n 1)
    done
    [[ -n "$splash" ]] || { echo "the splash never showed" >&2; exit 1; }
    read -r x y < <(xdotool getwindowgeometry "$splash" | awk '/Position/ { split($2, p, ","); print p[1] + 10, p[2] + 10 }')
    clicked=$(now_ms)
    xdotool mousemove "$x" "$y" click 1
    main="" tries=0
    while [[ -z "$main" && $((tries++)) -lt 4000 ]]; do
        for w in $(visible_corvane); do
            [[ "$w" != "$splash" ]] && main=$w
        done
    done
    [[ -n "$main" ]] || { echo "the main window never showed" >&2; exit 1; }
    shown=$(($(now_ms) - clicked))
    sleep 1
    if ((run >= 0)); then
        times+=("$mapped_ms")
        cpu+=("$mapped_cpu_ms")
        main_times+=("$shown")
        rss+=("$(memory "$pid" Rss)")
        pss+=("$(memory "$pid" Pss)")
        total_cpu+=("$(processor "$pid")")
        main_threads+=("$(threads "$pid")")
    fi
    stop
    # Corvane was killed; it takes its lock away when it ends as a user ends it.
    rm -f "$app/Data/corvane.lock"
    cd "$work"
done

# compare FLOOR_NAME NAME RATIO_NAME FLOOR_VALUES VALUES: the medians of the two arrays (ms) and their ratio.
compare() {
    local -n floor_values=$4 values=$5
    local floor corvane
    floor=$(printf '%s\n' "${floor_values[@]}" | median)
    corvane=$(printf '%s\n' "${values[@]}" | median)
    echo "$1: $floor ms"
    echo "$2: $corvane ms"
    echo "$3: $(ratio "$corvane" "$floor")"
}
compare qt_floor_startup_ms startup_ms startup_ratio_to_qt_floor floor_times times
compare qt_floor_startup_cpu_ms startup_cpu_ms startup_cpu_ratio_to_qt_floor floor_cpu cpu
echo "splash_click_to_main_32767_ms: $(printf '%s\n' "${main_times[@]}" | median) ms"
floor_rss_kib=$(printf '%s\n' "${floor_rss[@]}" | median)
rss_kib=$(printf '%s\n' "${rss[@]}" | median)
echo "qt_floor_rss_kib: $floor_rss_kib KiB"
echo "qt_floor_pss_kib: $(printf '%s\n' "${floor_pss[@]}" | median) KiB"
echo "rss_main_32767_kib: $rss_kib KiB"
echo "pss_main_32767_kib: $(printf '%s\n' "${pss[@]}" | median) KiB"
echo "rss_main_32767_over_floor_kib: $((rss_kib - floor_rss_kib)) KiB"
compare qt_floor_cpu_ms cpu_main_32767_ms cpu_main_32767_ratio_to_qt_floor floor_total_cpu total_cpu
echo "qt_floor_threads: $(printf '%s\n' "${floor_threads[@]}" | median)"
echo "threads_main_32767: $(printf '%s\n' "${main_threads[@]}" | median)"
