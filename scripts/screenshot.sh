#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Screenshots under a virtual X server, saved in build/screenshots/:
#   scripts/screenshot.sh [main]   the main window on the sample script with a soundscape selected
#   scripts/screenshot.sh main-en  the same with the English interface (tonvale --lang en)
#   scripts/screenshot.sh text     the text tab with the find window, and the settings dialog
#   scripts/screenshot.sh edits    the window after a new file with blocks, the new-element and comments dialogs
#   scripts/screenshot.sh player   the soundscape player panel and the master volume window
#   scripts/screenshot.sh audio    the main window while a wave previews, and the panel opened from it
#   scripts/screenshot.sh project  the project and problems panels on the fixture project
#   scripts/screenshot.sh docs     main (Russian and English), player and project, then refreshes
#                                  docs/main-window.png, docs/main-window-en.png, docs/player-panel.png
#                                  and docs/project-panels.png
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
mode="${1:-main}"
scripts/install-deps.sh
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
mkdir -p build/screenshots
xvfb=(xvfb-run -a -s "-screen 0 1024x768x24")

# The windows that a test program drives and photographs itself.
shoot() {
  local target=$1 folder=$2
  cmake --build build -j2 --target "$target"
  ALSOFT_DRIVERS=null ALSOFT_CONF=/dev/null "${xvfb[@]}" "build/tests/$folder/$target" build/screenshots
}
case "$mode" in
  text) shoot screenshot_text shell; exit ;;
  edits) shoot screenshot_edits shell; exit ;;
  player) shoot screenshot_player audiopanel; exit ;;
  audio) shoot screenshot_audiowindow shell; exit ;;
  project) shoot screenshot_project shell; exit ;;
  main | main-en | docs) ;;
  *) echo "usage: scripts/screenshot.sh [main|main-en|text|edits|player|audio|project|docs]" >&2; exit 2 ;;
esac

cmake --build build -j2 --target tonvale sample_sounds
out="$root/build/screenshots/main.png"

# A program folder of its own, so the settings of a normal run stay untouched.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cp build/app/tonvale "$home/"
# The sample project is copied beside it, so the picture shows no path of this machine.
mkdir -p "$home/project"
cp -r sample/scripts "$home/project/scripts"
cp -r build/sample/sound "$home/project/sound"
project="$home/project"
cat > "$home/tnv.ini" <<INI
[Options]
Saved=1
LastFile=$project/scripts/soundscapes_sample.txt
Curdir=$project
Sounddir=$project/sound
FontS=10
[LastF]
f01=$project/scripts/soundscapes_sample.txt
INI

# The main window in a language (ru or en), photographed into a file.
shoot_main() {
  "${xvfb[@]}" bash -c '
    set -e
    ALSOFT_DRIVERS=null "$1/tonvale" --lang "$3" &
    pid=$!
    win=$(xdotool search --sync --onlyvisible --name "Tonvale" | head -n1)
    sleep 1
    xdotool windowfocus --sync "$win" || true
    # Expand the tree, then pick the soundscape "sample.wind_field" by typing the start of its name.
    xdotool key --window "$win" ctrl+Right
    sleep 0.3
    xdotool type --window "$win" --delay 60 "\"sample.w"
    sleep 0.6
    import -window "$win" "$2"
    kill "$pid"
  ' _ "$home" "$2" "$1"
  echo "$2"
}
out_en="$root/build/screenshots/main-en.png"
case "$mode" in
  main) shoot_main ru "$out" ;;
  main-en) shoot_main en "$out_en" ;;
  docs) shoot_main ru "$out"; shoot_main en "$out_en" ;;
esac

if [[ "$mode" == docs ]]; then
  shoot screenshot_player audiopanel
  # Small enough to commit: metadata stripped, colours reduced.
  convert "$out" -strip -colors 96 docs/main-window.png
  convert "$out_en" -strip -colors 96 docs/main-window-en.png
  convert build/screenshots/player-both-groups.png -strip -colors 96 docs/player-panel.png
  shoot screenshot_project shell
  convert build/screenshots/project-panels.png -strip -colors 96 docs/project-panels.png
  ls -l docs/main-window.png docs/main-window-en.png docs/player-panel.png docs/project-panels.png
fi
