#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz/ (clang, ASan and UBSan) and runs
# each of them for a bounded time, one after the other.
#
#   fuzz/run.sh                        every target, 60 s each
#   fuzz/run.sh --minutes 10           every target, 10 minutes each
#   fuzz/run.sh --seconds 30 owner_record    one target, 30 s
#
# Seeds are read from fuzz/corpus/<target>/ and fuzz/regressions/<target>/;
# what the fuzzer adds goes to build-fuzz/fuzz/corpora/<target>/, and an input
# that breaks a target to build-fuzz/fuzz/findings/<target>/. Keep such an
# input in fuzz/regressions/<target>/ once the fault is mended, so that the
# replay test (tests/fuzz, part of ./test.sh) guards it. Exits non-zero when
# any target found something.
set -euo pipefail
CORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)

seconds=60
targets=()
while [[ $# -gt 0 ]]; do
    case "$1" in
    --minutes) seconds=$(($2 * 60)); shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    -h | --help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
    esac
done
if [[ ${#targets[@]} -eq 0 ]]; then
    for source in "$CORVANE_ROOT"/fuzz/targets/fuzz_*.cpp; do
        name=$(basename "$source" .cpp)
        targets+=("${name#fuzz_}")
    done
fi

source "$CORVANE_ROOT/scripts/setup.sh"
corvane_install_missing_packages

build="$CORVANE_ROOT/build-fuzz"
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    CC=clang CXX=clang++ cmake -S "$CORVANE_ROOT" -B "$build" -DCORVANE_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_BUILD_BENCH=OFF
else
    cmake "$build" >/dev/null # picks up targets added since the last run
fi
build_targets=()
for t in "${targets[@]}"; do build_targets+=("fuzz_$t"); done
cmake --build "$build" --target "${build_targets[@]}" --parallel "$(nproc)"

# The targets write small files on every input: keep them in memory when we can.
memory="$build/fuzz/tmp"
[[ -d /dev/shm && -w /dev/shm ]] && memory=/dev/shm
mkdir -p "$memory"
work=$(mktemp -d "$memory/corvane-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# AddressSanitizer keeps freed memory in quarantine, so a long run grows past
# libFuzzer's default limit of 2 GB without any leak of ours (without the
# quarantine a target stays near 60 MB); leave it room.
rss_limit_mb=4096
failed=()
for t in "${targets[@]}"; do
    corpus="$build/fuzz/corpora/$t"
    findings="$build/fuzz/findings/$t"
    mkdir -p "$corpus" "$findings"
    inputs=("$corpus" "$CORVANE_ROOT/fuzz/corpus/$t")
    [[ -d "$CORVANE_ROOT/fuzz/regressions/$t" ]] && inputs+=("$CORVANE_ROOT/fuzz/regressions/$t")
    echo "== fuzz_$t for ${seconds} s"
    if ! TMPDIR="$work" "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -max_len=8192 -rss_limit_mb="$rss_limit_mb" \
        -print_final_stats=1 -artifact_prefix="$findings/" "${inputs[@]}"; then
        failed+=("$t")
        echo "!! fuzz_$t found a fault; the input is in $findings/"
    fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
    echo "Targets with findings: ${failed[*]}"
    exit 1
fi
echo "No findings in: ${targets[*]}"
