#!/usr/bin/env bash
# Starts Tonvale under a virtual X server on the sample script, selects a soundscape and saves a
# screenshot of the main window to build/screenshots/main.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
if [[ ! -x build/app/tonvale ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j2 --target tonvale
fi
mkdir -p build/screenshots
out="$root/build/screenshots/main.png"

# A program folder of its own, so the settings of a normal run stay untouched.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cp build/app/tonvale "$home/"
cat > "$home/tnv.ini" <<INI
[Options]
Saved=1
LastFile=$root/sample/scripts/soundscapes_sample.txt
Curdir=$root/sample
Sounddir=$root/sample/sound
FontS=10
[LastF]
f01=$root/sample/scripts/soundscapes_sample.txt
INI

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  "$1/tonvale" &
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
