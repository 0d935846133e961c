#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what .clang-format makes of it; with --fix,
# formats them in place. Files are the ones git tracks, plus new ones not yet added.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | while read -r f; do
    [[ -f $f ]] && echo "$f"
done)
if [[ ${1:-} == --fix ]]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/vurna-format.$$; then
    grep -o '^[^:]*\.\(cpp\|h\)' /tmp/vurna-format.$$ | sort -u | sed 's/^/not formatted: /'
    rm -f /tmp/vurna-format.$$
    echo "check-format.sh: run tools/check-format.sh --fix" >&2
    exit 1
fi
rm -f /tmp/vurna-format.$$
echo "check-format.sh: ${#files[@]} files formatted as .clang-format says"
