#!/usr/bin/env bash
# Screenshots of the text tab with the find window open and of the settings dialog under xvfb, saved
# in build/screenshots/. Needs a configured build folder (scripts/test.sh makes one).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target screenshot_text
mkdir -p build/screenshots
xvfb-run -a -s "-screen 0 1024x768x24" build/tests/shell/screenshot_text build/screenshots
