#!/usr/bin/env bash
# Runs shellcheck over every shell script of the project (the .shellcheckrc at the top says how);
# prints what it finds and fails when it finds anything.
set -euo pipefail
CORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$CORVANE_ROOT"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.sh' .ci/run)
else
    mapfile -t files < <({ find . -path './build*' -prune -o -name '*.sh' -print && echo .ci/run; } | sort)
fi
shellcheck "${files[@]}"
echo "shellcheck: all ${#files[@]} shell scripts pass."
