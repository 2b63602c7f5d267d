#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks in release mode and prints their figures as a table.
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
