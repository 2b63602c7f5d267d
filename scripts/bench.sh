#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks in release mode and prints their figures as a table, then times tonvale-format
# as a whole process (wall time and peak resident memory) on the generated 1,000,000-line script and on
# a script nested 100,000 levels deep. Benchmark options (--benchmark_filter=...) go to every benchmark;
# TONVALE_BENCH_PROCESS=0 skips the process figures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTONVALE_BUILD_BENCH=ON >/dev/null
cmake --build build-bench -j2
for b in build-bench/bench/bench_*; do
  [[ -x "$b" ]] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true "$@"
done

[[ "${TONVALE_BENCH_PROCESS:-1}" == 1 ]] || exit 0
data=build-bench/bench-data
mkdir -p "$data"
build-bench/bench/make_bench_scripts 1000000 "$data/script-1M.txt" 100000 "$data/deep-100k.txt"
format=build-bench/tools/tonvale-format
# Prints "LABEL: S s, peak RSS N MB" for the command; its output goes to /dev/null.
measure() {
  local label=$1
  shift
  local report
  report=$( { /usr/bin/time -f "%e %M" "$@" >/dev/null 2>/dev/null; } 2>&1 | tail -n 1)
  read -r seconds kilobytes <<<"$report"
  printf '%-44s %6s s   peak RSS %5d MB\n' "$label:" "$seconds" $((kilobytes / 1024))
}
echo "== tonvale-format as a process (best of 3 where repeated)"
echo "script: $(wc -l <"$data/script-1M.txt") lines, $(($(stat -c %s "$data/script-1M.txt") / 1000000)) MB"
for run in 1 2 3; do measure "canonical text of the 1M-line script, run $run" "$format" "$data/script-1M.txt"; done
measure "--check of the 1M-line script" "$format" --check "$data/script-1M.txt"
measure "--check of the 100,000-deep script" "$format" --check "$data/deep-100k.txt"
measure "--tree of the 100,000-deep script" "$format" --tree "$data/deep-100k.txt"
# The canonical text of the deep script is about 20 GB: it streams through a pipe.
measure "canonical text of the 100,000-deep script" bash -c "'$format' '$data/deep-100k.txt' | cat >/dev/null"
rm -f "$data/script-1M.txt" "$data/deep-100k.txt"
