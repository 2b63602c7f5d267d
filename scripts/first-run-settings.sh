#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Usage: first-run-settings.sh [ROOT [SOUND_FOLDER]]
# Prints a tnv.ini that opens the sample project of the repository at ROOT (default: this one):
# scripts in ROOT/sample/scripts, waves in SOUND_FOLDER (default ROOT/build/sample/sound, made by the build).
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
sound="${2:-$root/build/sample/sound}"
script="$root/sample/scripts/soundscapes_sample.txt"
printf '[Options]\r\n'
printf 'Saved=1\r\n'
printf 'LastFile=%s\r\n' "$script"
printf 'FontS=10\r\n'
printf 'Curdir=%s\r\n' "$root/sample"
printf 'SaveOriginFile=0\r\n'
printf 'Sounddir=%s\r\n' "$sound"
printf 'GenVol=0\r\n'
printf '[LastF]\r\n'
printf 'f01=%s\r\n' "$script"
printf 'f02=%s\r\n' "$root/sample/scripts/soundscapes_interior.txt"
