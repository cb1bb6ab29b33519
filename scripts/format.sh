#!/usr/bin/env bash
# Formats every C and C++ file of the tree with clang-format (.clang-format at the top).
# --check changes nothing: it lists the files that differ and fails if there are any.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "clang-format not found: install clang-format-14" >&2
  exit 2
fi
mapfile -t files < <(git ls-files '*.h' '*.hpp' '*.c' '*.cpp')
if [ "${1:-}" = "--check" ]; then
  "$format" --dry-run -Werror "${files[@]}" 2>&1 | grep -o '^[^:]*:[0-9]*' | cut -d: -f1 | sort -u |
    sed 's/^/not formatted: /' >&2 || true
  "$format" --dry-run -Werror "${files[@]}" >/dev/null 2>&1
else
  "$format" -i "${files[@]}"
fi
