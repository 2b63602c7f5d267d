#!/usr/bin/env bash
# Screenshots of the soundscape player panel and the master volume window under xvfb, saved in
# build/screenshots/. Needs a configured build folder (scripts/test.sh makes one).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target screenshot_player
mkdir -p build/screenshots
ALSOFT_DRIVERS=null xvfb-run -a -s "-screen 0 1024x768x24" build/tests/audiopanel/screenshot_player build/screenshots
