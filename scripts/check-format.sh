#!/usr/bin/env bash
# Fails, listing the files, when a C++ file of the tree differs from the
# style in .clang-format. Fix with: clang-format -i FILE...
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
wrong=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" > /dev/null 2>&1 || wrong+=("$f")
done
if [ "${#wrong[@]}" -gt 0 ]; then
  echo "check-format: ${#wrong[@]} file(s) differ from .clang-format:" >&2
  printf '  %s\n' "${wrong[@]}" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files follow .clang-format"
