#!/usr/bin/env bash
# Renders the main window, its menus and every dialog to PNG files under a
# virtual X server (Xvfb), so anyone can look at the layouts.
#   tools/screenshots.sh [output folder]     default: build/screenshots
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TESSARY_BUILD_DIR:-$root/build}
out=${1:-$build/screenshots}

command -v xvfb-run >/dev/null || { echo "xvfb-run is missing: apt-get install xvfb" >&2; exit 1; }
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target tessary_screenshots
mkdir -p "$out"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" "$build/tools/tessary_screenshots" "$out"
echo "Pictures are in $out"
