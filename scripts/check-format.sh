#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when a C++ file of the repository does not match .clang-format; names the files and the fix.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is not installed (scripts/install-deps.sh installs it)"; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src app tools tests bench fuzz -name '*.cpp' -o -name '*.h')
bad=()
for f in "${files[@]}"; do
  [[ -f "$f" ]] || continue
  clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if ((${#bad[@]})); then
  echo "These files do not match .clang-format:"
  printf '  %s\n' "${bad[@]}"
  echo "Fix them with: clang-format -i ${bad[*]}"
  exit 1
fi
echo "Format: ${#files[@]} files match .clang-format"
