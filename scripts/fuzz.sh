#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the libFuzzer targets with ASan + UBSan for SECONDS seconds each (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
TONVALE_WITH_FUZZ=1 scripts/install-deps.sh
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONVALE_BUILD_FUZZ=ON \
  -DTONVALE_SANITIZE=ON -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DTONVALE_BUILD_GUI=OFF -DTONVALE_BUILD_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build build-fuzz -j2
for f in build-fuzz/fuzz/fuzz_*; do
  [[ -x "$f" ]] || continue
  name=$(basename "$f")
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  # The seeds are the test fixtures and the sample scripts: every awkward input the tests know.
  cp -n tests/document/fixtures/*.txt sample/scripts/*.txt "$corpus"/ 2>/dev/null || true
  echo "== $name for ${seconds}s"
  "$f" -max_total_time="$seconds" -max_len=65536 -timeout=10 -print_final_stats=1 \
       -artifact_prefix=build-fuzz/ "$corpus"
done
