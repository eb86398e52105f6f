#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format makes of it with the root's .clang-format.
# Run `clang-format -i FILE` on the files it names.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
command -v clang-format >/dev/null || { echo "check-format: clang-format is missing (scripts/setup-deps.sh installs it)" >&2; exit 1; }
files=()
while IFS= read -r -d '' file; do
    files+=("$file")
done < <(if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h'
else
    # A tree without git (an unpacked archive): every source file outside the build folders.
    find . -path './build*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -printf '%P\0'
fi)
[ ${#files[@]} -gt 0 ] || { echo "check-format: no C++ files found" >&2; exit 1; }
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "check-format: the files above are not formatted; run clang-format -i on them." >&2
    exit 1
fi
echo "check-format: ${#files[@]} C++ files formatted as .clang-format says"
