#!/usr/bin/env bash
# Builds Corvane and runs every test: unit and window tests offscreen, the
# end-to-end journeys in a virtual X server. Exits with CTest's status.
#
#   ./test.sh              everything, in build/
#   ./test.sh --sanitize   the unit and window tests under ASan and UBSan, in build-sanitize/
set -euo pipefail
CORVANE_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$CORVANE_ROOT/scripts/setup.sh"

build_dir="$CORVANE_ROOT/build"
cmake_args=()
ctest_args=(--output-on-failure --parallel "$(nproc)")
if [[ "${1:-}" == "--sanitize" ]]; then
    build_dir="$CORVANE_ROOT/build-sanitize"
    cmake_args=(-DCORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DCORVANE_BUILD_BENCH=OFF)
    ctest_args+=(--label-exclude e2e)
    # Qt WebEngine's own code is not instrumented: its allocator trips LSan, and it frees some
    # objects with a different type than it made them with.
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:new_delete_type_mismatch=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

corvane_install_missing_packages
corvane_build "$build_dir" "${cmake_args[@]}"

cd "$build_dir"
exec ctest "${ctest_args[@]}"
