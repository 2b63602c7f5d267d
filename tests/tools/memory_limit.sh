#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# tonvale-format under an address-space limit (ulimit -v) smaller than its output: the canonical text
# of a deeply nested script streams to a pipe, is compared and is written to the file without ever
# being held in memory; a script whose tree does not fit fails with a message and exit status 2.
# Usage: memory_limit.sh TONVALE_FORMAT WORK_DIR
set -uo pipefail
tool=$1
work=$2
limit_kb=150000 # 150 MB: far less than the 200 MB canonical text below, far more than its tree
depth=10000
rm -rf "$work" && mkdir -p "$work" || exit 1
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Every level indents all the lines below it: about 2 * depth^2 bytes of canonical text.
deep=$work/deep.txt
awk -v d=$depth 'BEGIN { for (i = 0; i < d; i++) printf "\"n\"\r\n{\r\n"; printf "\"leaf\"\t\"1\"\r\n";
                         for (i = 0; i < d; i++) printf "}\r\n" }' >"$deep"
expected=$((2 * depth * depth + 15 * depth + 21))

limited() { (ulimit -v $limit_kb && "$@"); }

size=$(limited "$tool" "$deep" | wc -c)
status=${PIPESTATUS[0]}
[[ $status == 0 ]] || fail "printing the deep script exited with $status"
[[ $size == "$expected" ]] || fail "the canonical text of the deep script has $size bytes, not $expected"

named=$(limited "$tool" --check "$deep")
status=$?
[[ $status == 1 && $named == "$deep" ]] || fail "--check of the deep script: exit $status, output '$named'"

limited "$tool" --tree "$deep" >"$work/tree.json"
status=$?
lines=$(wc -l <"$work/tree.json")
[[ $status == 0 && $lines == $((depth + 2)) ]] || fail "--tree of the deep script: exit $status, $lines lines"

# The rewritten file is larger than the limit: it is compared with the printed text by checksum.
printed=$(limited "$tool" "$deep" | cksum)
limited "$tool" --write "$deep"
status=$?
[[ $status == 0 ]] || fail "--write of the deep script exited with $status"
[[ $(cksum <"$deep") == "$printed" ]] || fail "the rewritten deep script is not the printed canonical text"
if compgen -G "$work/.~*" >/dev/null; then fail "--write left a temporary file"; fi
rm -f "$deep" "$work/tree.json"

# Three million elements in one block: the file fits the limit, its tree does not.
flat=$work/flat.txt
{ printf '"s"\r\n{\r\n'; yes '"w" "v"' | head -n 3000000; printf '}\r\n'; } >"$flat"
for mode in "" --check --tree --write; do
  limited "$tool" $mode "$flat" >/dev/null 2>"$work/err.txt"
  status=$?
  [[ $status == 2 ]] || fail "'$mode' on a tree larger than the memory exited with $status"
  grep -q "out of memory" "$work/err.txt" || fail "'$mode' did not say that memory ran out: $(cat "$work/err.txt")"
done
[[ $(head -c 6 "$flat") == $'"s"\r\n{' ]] || fail "--write changed the file it could not load"

((failures == 0)) && echo "ok: canonical text streamed under a limit of $limit_kb KB; out of memory reported"
((failures == 0))
