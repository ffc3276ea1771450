#!/bin/sh
# Takes a screenshot of the main window after opening a WAV file, under a virtual X server.
# Usage: tests/tools/window_screenshot.sh [WAV] [OUT.png]
#   WAV      defaults to data/demo.wav
#   OUT.png  defaults to build/window.png
# SONAVELD_BIN chooses the program (default build/bin/sonaveld); SHOT_DELAY the seconds to wait
# before the shot (default 3). Installs xvfb and the capture tools when they are missing.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=${SONAVELD_BIN:-$root/build/bin/sonaveld}
wav=${1:-$root/data/demo.wav}
out=${2:-$root/build/window.png}

if ! command -v xvfb-run >/dev/null 2>&1 || ! command -v import >/dev/null 2>&1; then
  if [ "$(id -u)" = 0 ]; then
    apt-get install -y xvfb x11-apps imagemagick >/dev/null || {
      apt-get update >/dev/null && apt-get install -y xvfb x11-apps imagemagick >/dev/null; }
  else
    echo "window_screenshot: needs xvfb-run and ImageMagick's import (apt-get install xvfb imagemagick)" >&2
    exit 1
  fi
fi
[ -x "$bin" ] || { echo "window_screenshot: $bin not built" >&2; exit 1; }
[ -f "$wav" ] || { echo "window_screenshot: $wav not found" >&2; exit 1; }
mkdir -p "$(dirname "$out")"

xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  QT_QPA_PLATFORM=xcb "$1" "$2" &
  pid=$!
  sleep "$4"
  import -window root "$3"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
' sh "$bin" "$wav" "$out" "${SHOT_DELAY:-3}"
echo "$out"
