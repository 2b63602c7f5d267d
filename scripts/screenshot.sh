#!/usr/bin/env bash
# Starts Tonvale under a virtual X server on the sample script, selects a soundscape and saves a
# screenshot of the main window to build/screenshots/main.png. With --docs it also refreshes the
# README's pictures, docs/main-window.png and docs/player-panel.png (through screenshot-player.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build -j2 --target tonvale sample_sounds
mkdir -p build/screenshots
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

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  ALSOFT_DRIVERS=null "$1/tonvale" &
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
' _ "$home" "$out"
echo "$out"

if [[ "${1:-}" == --docs ]]; then
  scripts/screenshot-player.sh
  # Small enough to commit: metadata stripped, colours reduced.
  convert "$out" -strip -colors 96 docs/main-window.png
  convert build/screenshots/player-both-groups.png -strip -colors 96 docs/player-panel.png
  ls -l docs/main-window.png docs/player-panel.png
fi
