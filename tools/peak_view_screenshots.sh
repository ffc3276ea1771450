#!/usr/bin/env bash
# Screenshots of the main window in peak view at zooms 1000, 1, 100 and 100000, and of the
# one-frame drawing at 1000 and 100000, under a virtual X server, driven with xdotool.
# Usage: tools/peak_view_screenshots.sh [WAV] [OUT_DIR]
#   WAV      defaults to a 10-minute speech-like file with one click made by bench/peak_bench
#   OUT_DIR  defaults to build/peak-shots
# Needs Xvfb, xdotool and ImageMagick's import (apt-get install xvfb xdotool imagemagick).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${2:-$root/build/peak-shots}
mkdir -p "$out"
wav=${1:-$out/long.wav}
[[ -f "$wav" ]] || "$root/build/bin/peak_bench" --make "$wav" 600

exec {fd}>"$out/display"
Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec {fd}>&-
until grep -q '^[0-9]' "$out/display" 2>/dev/null; do sleep 0.1; done
export DISPLAY=":$(head -n 1 "$out/display")"
(unset QT_QPA_PLATFORMTHEME; QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 exec "$root/build/bin/sonaveld" "$wav") \
  >"$out/app.log" 2>&1 &
app=$!
trap 'kill $app $xvfb 2>/dev/null; wait 2>/dev/null' EXIT
sleep 3
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --pid "$app" | head -n 1)")"
menu=$((HEIGHT - 502))  # the client area is 502 pixels high

shot() { sleep 2; import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" "$out/$1.png"; }
peak_view() {  # ツール, then its second item
  xdotool mousemove $((X + 118)) $((Y + menu / 2)) click 1
  sleep 0.5
  xdotool key Down Down Return
}
zoom() {  # types the zoom; Delete drops the box's completion of the typed text
  xdotool mousemove $((X + 340)) $((Y + menu + 74)) click --repeat 3 1
  sleep 0.3
  xdotool key ctrl+a type "$1"
  xdotool key Delete Tab
}
shot one-frame-zoom1000
peak_view
shot peak-zoom1000
for z in 1 100 100000; do
  zoom "$z"
  shot "peak-zoom$z"
done
peak_view
shot one-frame-zoom100000
ls "$out"/*.png
