#!/usr/bin/env bash
# Screenshots of the tree editing surface under xvfb, saved in build/screenshots/: the main window
# after a new file with blocks, the new-element dialog and the comments dialog. Needs a configured
# build folder (scripts/test.sh makes one).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target screenshot_edits
mkdir -p build/screenshots
xvfb-run -a -s "-screen 0 1024x768x24" build/tests/shell/screenshot_edits build/screenshots
