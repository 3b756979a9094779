#!/usr/bin/env bash
# Kills the store driver (SIGKILL) the given number of times (200 by default)
# in the middle of rewrites of a 32,767-record database, and checks after
# every kill that the database is the old or the new one, whole. ./test.sh
# runs the same test with 20 kills.
#
#   tests/faults/kill_many.sh            200 kills, built in build/
#   tests/faults/kill_many.sh 500        500 kills
#   CORVANE_BUILD_DIR=build-x tests/faults/kill_many.sh   another build folder
#   CORVANE_KILL_SEED=123 tests/faults/kill_many.sh       repeat a run's timings
set -euo pipefail
CORVANE_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
kills=${1:-200}

source "$CORVANE_ROOT/scripts/setup.sh"
corvane_install_missing_packages

build=${CORVANE_BUILD_DIR:-$CORVANE_ROOT/build}
[[ "$build" = /* ]] || build="$CORVANE_ROOT/$build"
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$CORVANE_ROOT" -B "$build"
fi
cmake --build "$build" --target tst_kill --parallel "$(nproc)"
CORVANE_KILLS="$kills" exec "$build/tests/faults/tst_kill"
