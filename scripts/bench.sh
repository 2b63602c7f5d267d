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
# Prints the wall time, the CPU time (user + system: the figure to trust on a busy machine), the peak
# resident memory and the exit status of the command; its output goes to /dev/null.
measure() {
  local label=$1
  shift
  /usr/bin/time -o "$data/time.txt" -f "%e %M %x %U %S" "$@" >/dev/null 2>&1 || true
  read -r seconds kilobytes status user system < <(tail -n 1 "$data/time.txt")
  printf '%-52s %6s s wall %6s s CPU   peak RSS %4d MB   exit %s\n' "$label:" "$seconds" \
    "$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')" $((kilobytes / 1024)) "$status"
}
echo "== tonvale-format as a process (best of 3 where repeated)"
echo "script: $(wc -l <"$data/script-1M.txt") lines, $(($(stat -c %s "$data/script-1M.txt") / 1000000)) MB"
for run in 1 2 3; do measure "canonical text of the 1M-line script, run $run" "$format" "$data/script-1M.txt"; done
measure "--check of the 1M-line script" "$format" --check "$data/script-1M.txt"
measure "--check of the 100,000-deep script" "$format" --check "$data/deep-100k.txt"
measure "--tree of the 100,000-deep script" "$format" --tree "$data/deep-100k.txt"
# The canonical text of the deep script is about 20 GB: it streams through a pipe.
measure "canonical text of the 100,000-deep script to a pipe" bash -c "'$format' '$data/deep-100k.txt' | cat >/dev/null"
rm -f "$data/script-1M.txt" "$data/deep-100k.txt" "$data/time.txt"
