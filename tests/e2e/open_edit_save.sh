#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end test in a real window: starts the program under a virtual X server with a settings file
# of its own, opens a script through the real file dialog, changes a value in the parameter grid,
# saves, and compares the saved bytes with the canonical text of the expected script. Leaves a
# screenshot of the window in SCREENSHOTS/e2e-open-edit-save.png.
#
# Usage: open_edit_save.sh TONVALE TONVALE_FORMAT SCREENSHOTS
# Exit status 0: passed; 1: failed; 77: skipped (no xvfb-run or xdotool).
set -euo pipefail
program=$(realpath "$1")
formatter=$(realpath "$2")
shots=$3
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || { echo "SKIP: needs xvfb-run and xdotool"; exit 77; }
mkdir -p "$shots"
shots=$(realpath "$shots")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A program folder of its own: the settings file beside the program is this test's alone.
mkdir -p "$work/bin" "$work/project/scripts" "$work/project/sound"
cp "$program" "$work/bin/tonvale"
printf '"e2e.room"\r\n{\r\n\t"dsp"\t"1"\r\n\t"playlooping"\r\n\t{\r\n\t\t"wave"\t")ambient/room.wav"\r\n\t\t"volume"\t"0.4"\r\n\t}\r\n}\r\n' \
  > "$work/project/scripts/e2e.txt"
printf '[Options]\r\nSaved=1\r\nCurdir=%s\r\nSounddir=%s\r\n' "$work/project/scripts" "$work/project/sound" > "$work/bin/tnv.ini"
# What Save must write: the script with the new value, in the canonical layout.
sed 's/"dsp"\t"1"/"dsp"\t"7"/' "$work/project/scripts/e2e.txt" > "$work/expected-source.txt"
"$formatter" "$work/expected-source.txt" > "$work/expected.txt"

cat > "$work/drive.sh" <<'DRIVE'
set -euo pipefail
work=$1
shots=$2
log() { echo "e2e: $*"; }
# Waits up to 15 s for a visible window whose title matches; prints its id.
wait_window() {
  local id=""
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "e2e: no window named '$1'" >&2
  return 1
}
wait_file() {
  for _ in $(seq 100); do [[ -s "$1" ]] && return 0; sleep 0.1; done
  echo "e2e: $1 was not written" >&2
  return 1
}
# The real X server, whatever platform the environment names (CI often sets offscreen).
QT_QPA_PLATFORM=xcb ALSOFT_DRIVERS=null "$work/bin/tonvale" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
main=$(wait_window '^Tonvale$')
log "main window $main"
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers ctrl+o
dialog=$(wait_window '^Открыть$')
log "open dialog $dialog"
xdotool windowfocus --sync "$dialog"
sleep 0.3
xdotool type --delay 10 "$work/project/scripts/e2e.txt"
xdotool key Return
main=$(wait_window '^Tonvale \[e2e.txt\]$')
log "script open"
# The title reads exactly as set, with nothing appended by the toolkit.
title=$(xdotool getwindowname "$main")
[[ "$title" == "Tonvale [e2e.txt]" ]] || { echo "e2e: window title is '$title'" >&2; exit 1; }
xdotool windowfocus --sync "$main"
# Into the tree (a click on its empty lower part), to the soundscape, then into the grid's value
# column of its first row ("dsp"); Enter opens the cell editor, Enter closes it.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" 100 $((HEIGHT - 80)) click 1
sleep 0.2
xdotool key Home
sleep 0.2
xdotool key Tab
sleep 0.2
xdotool key Home Right
sleep 0.2
xdotool key Return
sleep 0.2
xdotool key ctrl+a
xdotool type --delay 20 '7'
xdotool key Return
sleep 0.2
if command -v import >/dev/null; then import -window "$main" "$shots/e2e-open-edit-save.png"; fi
xdotool key ctrl+s
wait_file "$work/project/scripts/~e2e.txt"
log "saved"
DRIVE

if ! timeout 90 xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/drive.sh" "$work" "$shots"; then
  echo "FAIL: the window did not get through open, edit and save"
  exit 1
fi
if ! cmp "$work/expected.txt" "$work/project/scripts/~e2e.txt"; then
  echo "FAIL: saved bytes differ from the expected canonical text"
  diff <(od -c "$work/expected.txt") <(od -c "$work/project/scripts/~e2e.txt") | head -20
  exit 1
fi
if ! cmp -s "$work/project/scripts/e2e.txt" <(printf '"e2e.room"\r\n{\r\n\t"dsp"\t"1"\r\n\t"playlooping"\r\n\t{\r\n\t\t"wave"\t")ambient/room.wav"\r\n\t\t"volume"\t"0.4"\r\n\t}\r\n}\r\n'); then
  echo "FAIL: the original script changed"
  exit 1
fi
echo "PASS: opened, edited and saved through the real window"
