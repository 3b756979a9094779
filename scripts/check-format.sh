#!/usr/bin/env bash
# Checks that every C++ file of the project is formatted as .clang-format says; lists the
# files clang-format would change and fails when there is any.
set -euo pipefail
CORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$CORVANE_ROOT"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(find src tests bench fuzz -name '*.cpp' -o -name '*.h' | sort)
fi
bad=()
for file in "${files[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done
if ((${#bad[@]})); then
    echo "clang-format would change ${#bad[@]} of ${#files[@]} files (run clang-format -i on them):"
    printf '  %s\n' "${bad[@]}"
    exit 1
fi
echo "clang-format: all ${#files[@]} C++ files are formatted."
