#!/usr/bin/env bash
# End-to-end run of the real main window on a virtual X server, driven by real input events
# (XTEST through xdotool):
#   start sonaveld with a copy of the demo file on the command line; left-click a waveform column
#   (the red cursor line must show there); add a mark from the 編集 menu; click a second column;
#   add a mark from the pop-up menu of a right click; write the cut-edited file through
#   ファイル → "カット編集ファイル作成保存", typing the path into the save dialog; wait for
#   "ファイル作成終了" (the green status text) and the finished file; compare its bytes with the
#   command-line tool's output for the same marks and with the stretch of the source they name;
#   quit with ファイル → "終了" and check that the program ended cleanly and the source is unchanged.
#
# Screen contents are read from the virtual server's frame buffer file (Xvfb -fbdir, XWD layout),
# so every step waits for its visible effect instead of sleeping a fixed time.
#
# Usage: cut_edit_e2e.sh SONAVELD SONAVELD_CLI DEMO_WAV
# Exit codes: 0 passed, 1 failed, 77 skipped (Xvfb or xdotool missing).
# SONAVELD_E2E_TIMEOUT (seconds, default 120) bounds the whole run; SONAVELD_E2E_KEEP=1 keeps the
# work folder also after a pass.
set -uo pipefail

readonly SKIP=77
if [[ $# -ne 3 ]]; then
  echo "usage: $0 SONAVELD SONAVELD_CLI DEMO_WAV" >&2
  exit 2
fi
for tool in Xvfb xdotool timeout od cmp; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (Debian: xvfb, xdotool)"
    exit "$SKIP"
  fi
done

# The whole run under a hard limit: the script runs itself again under timeout(1); the TERM it
# sends on expiry runs the cleanup below.
if [[ -z "${SONAVELD_E2E_INNER:-}" ]]; then
  export SONAVELD_E2E_INNER=1
  timeout -k 10 "${SONAVELD_E2E_TIMEOUT:-120}" bash "$0" "$@"
  rc=$?
  [[ $rc -eq 124 || $rc -eq 137 ]] && echo "FAIL: the end-to-end run exceeded ${SONAVELD_E2E_TIMEOUT:-120} s" >&2
  exit "$rc"
fi

APP_BIN=$(realpath "$1")
CLI_BIN=$(realpath "$2")
DEMO=$(realpath "$3")

# Overlay Image3 and ruler Image4 inside the client area, the client area's size, the data
# offset of the demo file and the default zoom (samples per column) with the view at frame 1.
readonly OVERLAY_LEFT=22 OVERLAY_TOP=132 RULER_LEFT=22 RULER_TOP=104
readonly PANEL_LEFT=664 PANEL_TOP=5 PANEL_WIDTH=113 PANEL_HEIGHT=25
readonly CLIENT_WIDTH=792 CLIENT_HEIGHT=502
readonly ZOOM=1000 VIEW_START=1 FRAME_BYTES=4
# The two columns clicked: inside the 4 s of the demo file at the default zoom (176 columns).
readonly COLUMN1=40 COLUMN2=150

WORK=$(mktemp -d /tmp/sonaveld-e2e.XXXXXX)
XVFB_PID="" APP_PID="" APP_MAY_END=0 PASSED=0
STEP="start"

cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  if [[ $PASSED -ne 1 ]]; then
    echo "FAIL at step: $STEP; work folder kept: $WORK (app.log, failure-screen.xwd)" >&2
    cp "$WORK/fb/Xvfb_screen0" "$WORK/failure-screen.xwd" 2>/dev/null
  fi
  [[ -n "$APP_PID" ]] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
  [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  if [[ $PASSED -eq 1 && -z "${SONAVELD_E2E_KEEP:-}" ]]; then
    rm -rf "$WORK"
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

step() {
  STEP="$*"
  echo "-- $STEP"
}

# wait_until SECONDS DESCRIPTION COMMAND...: polls COMMAND every 0.1 s until it succeeds.
wait_until() {
  local limit=$1 what=$2
  shift 2
  local deadline=$((SECONDS + limit))
  until "$@"; do
    ((SECONDS < deadline)) || fail "timed out after ${limit} s waiting for $what"
    if [[ -n "$APP_PID" && $APP_MAY_END -eq 0 ]] && ! kill -0 "$APP_PID" 2>/dev/null; then
      fail "sonaveld ended unexpectedly (log: $(tail -n 5 "$WORK/app.log" | tr "\n" " "))"
    fi
    sleep 0.1
  done
}

# ---- the frame buffer: XWD header, then 32-bit pixels B, G, R, X per screen column ----
FB="" FB_DATA=0 FB_LINE=0

xwd_field() {  # big-endian 32-bit header field number $1
  local b
  read -r -a b < <(od -An -tu1 -v -j $(($1 * 4)) -N 4 "$FB")
  echo $(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))
}

open_frame_buffer() {
  FB="$WORK/fb/Xvfb_screen0"
  [[ $(xwd_field 11) -eq 32 ]] || fail "the virtual screen does not use 32 bits per pixel"
  [[ $(xwd_field 7) -eq 0 ]] || fail "the virtual screen is not little-endian"
  FB_LINE=$(xwd_field 12)
  FB_DATA=$(($(xwd_field 0) + $(xwd_field 19) * 12))
}

# screen_row Y X COUNT: prints "R G B" for COUNT pixels of screen row Y from column X, one a line.
screen_row() {
  od -An -tu1 -v -w4 -j $((FB_DATA + $1 * FB_LINE + $2 * 4)) -N $(($3 * 4)) "$FB" |
    while read -r b g r _; do echo "$r $g $b"; done
}

# red_at X Y: the screen pixel is pure red (the cursor line and the mark markers).
red_at() { [[ $(screen_row "$2" "$1" 1) == "255 0 0" ]]; }

# red_columns Y X COUNT: the columns (relative to X) of pure red pixels in a stretch of a row.
red_columns() {
  screen_row "$1" "$2" "$3" | grep -n '^255 0 0$' | cut -d: -f1 | while read -r n; do echo $((n - 1)); done
}

# panel_green: some pixel of the status panel Panel1 is clearly green ("ファイル作成終了").
panel_green() {
  local y r g b
  for ((y = PANEL_TOP; y < PANEL_TOP + PANEL_HEIGHT; ++y)); do
    while read -r r g b; do
      ((g - r >= 60 && g - b >= 60)) && return 0
    done < <(screen_row $((CLIENT_Y + y)) $((CLIENT_X + PANEL_LEFT)) "$PANEL_WIDTH")
  done
  return 1
}

# ---- windows ----
# visible_windows: the ids of the application's visible top-level windows (menus and dialogs too).
visible_windows() { xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | sort; }

# new_window BEFORE: one visible window id not in the list BEFORE.
new_window() { comm -13 <(echo "$1") <(visible_windows) | head -n 1; }

# wait_new_window BEFORE WHAT: waits for a window not in BEFORE, prints its id.
wait_new_window() {
  local before=$1 what=$2 id="" deadline=$((SECONDS + 15))
  while [[ -z "$id" ]]; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
    id=$(new_window "$before")
  done
  echo "$id"
}

# window_geometry ID: sets WX, WY, WW, WH.
window_geometry() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
}

# click_at X Y [BUTTON]: moves the pointer there (mousemove --sync would wait forever when it is
# there already), waits until the server reports it there, and clicks.
click_at() {
  xdotool mousemove "$1" "$2"
  wait_until 5 "the pointer at $1,$2" pointer_at "$1" "$2"
  xdotool click "${3:-1}"
}
pointer_at() { [[ $(xdotool getmouselocation --shell | head -n 2 | tr "\n" " ") == "X=$1 Y=$2 " ]]; }

# open_file_menu: clicks the first menu of the menu bar, ファイル, and waits for its list.
open_file_menu() {
  local before
  before=$(visible_windows)
  click_at $((MAIN_X + 15)) $((MAIN_Y + MENU_HEIGHT / 2))
  MENU_WINDOW=$(wait_new_window "$before" "the ファイル menu")
}

# choose_in_open_menu DOWNS: presses Down DOWNS times (the first press selects the first item),
# Return, and waits for the menu to close.
choose_in_open_menu() {
  local i
  for ((i = 0; i < $1; ++i)); do xdotool key Down; done
  xdotool key Return
  wait_until 10 "the menu to close" menu_closed
}
menu_closed() { ! visible_windows | grep -qx "$MENU_WINDOW"; }

# no_message_box: fails when a message box of the application is up (they carry the title
# "Sonaveld"), which would mean a command was refused.
no_message_box() {
  local id
  for id in $(visible_windows); do
    [[ "$id" == "$MAIN_WINDOW" ]] && continue
    if [[ $(xdotool getwindowname "$id" 2>/dev/null) == "Sonaveld" ]]; then
      fail "a message box came up during: $STEP"
    fi
  done
}

place_line() {  # column: left click on the overlay, then the red line must show in row 10
  step "left click on waveform column $1"
  click_at $((CLIENT_X + OVERLAY_LEFT + $1)) $((CLIENT_Y + OVERLAY_TOP + 50))
  wait_until 10 "the cursor line at column $1" red_at $((CLIENT_X + OVERLAY_LEFT + $1)) $((CLIENT_Y + OVERLAY_TOP + 10))
  local columns
  columns=$(red_columns $((CLIENT_Y + OVERLAY_TOP + 10)) $((CLIENT_X + OVERLAY_LEFT)) 760 | tr '\n' ' ')
  [[ "$columns" == "$1 " ]] || fail "cursor line columns are '$columns', expected '$1 '"
}

marker_shows() {  # column: the three red marker lines on the ruler, row 15
  local x=$((CLIENT_X + RULER_LEFT + $1)) y=$((CLIENT_Y + RULER_TOP + 15))
  red_at $((x - 1)) "$y" && red_at "$x" "$y" && red_at $((x + 1)) "$y"
}

le32() {  # little-endian 32-bit value at byte $2 of file $1
  local b
  read -r -a b < <(od -An -tu1 -v -j "$2" -N 4 "$1")
  echo $((b[0] | (b[1] << 8) | (b[2] << 16) | (b[3] << 24)))
}

# output_complete FILE SIZE: the file has its final size and both size fields are written.
output_complete() {
  [[ -f "$1" ]] || return 1
  local size
  size=$(stat -c %s "$1")
  [[ $size -eq $2 ]] && [[ $(le32 "$1" 4) -eq $((size - 8)) ]] && [[ $(le32 "$1" 40) -eq $((size - 44)) ]]
}

process_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }

# ================================ the run ================================
step "start the virtual X server"
mkdir -p "$WORK/fb" "$WORK/source" "$WORK/out" "$WORK/config" "$WORK/runtime"
chmod 700 "$WORK/runtime"
exec {DISPLAY_FD}>"$WORK/display"
Xvfb -displayfd "$DISPLAY_FD" -screen 0 1280x1024x24 -fbdir "$WORK/fb" -nolisten tcp -noreset \
  >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
exec {DISPLAY_FD}>&-
display_known() { [[ -s "$WORK/display" ]] && grep -q '^[0-9]' "$WORK/display"; }
wait_until 15 "Xvfb to start" display_known
export DISPLAY=":$(head -n 1 "$WORK/display")"
wait_until 15 "the frame buffer file" test -s "$WORK/fb/Xvfb_screen0"
open_frame_buffer

step "start sonaveld with the demo file"
cp "$DEMO" "$WORK/source/demo.wav"
SOURCE="$WORK/source/demo.wav"
# The xcb platform with Qt's own widgets: no desktop theme, so the file dialogs are Qt dialogs;
# settings and runtime files go to the work folder; sound, if any, is never started here.
(
  unset XDG_CURRENT_DESKTOP DESKTOP_SESSION GNOME_DESKTOP_SESSION_ID KDE_FULL_SESSION QT_QPA_PLATFORMTHEME
  export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANG=C.UTF-8 XDG_CONFIG_HOME="$WORK/config" XDG_RUNTIME_DIR="$WORK/runtime"
  cd "$WORK/out" && exec "$APP_BIN" "$SOURCE"
) >"$WORK/app.log" 2>&1 &
APP_PID=$!

MAIN_WINDOW=$(timeout 20 xdotool search --sync --onlyvisible --name '^Sonaveld3\.3$' | head -n 1)
[[ -n "$MAIN_WINDOW" ]] || fail "the main window 'Sonaveld3.3' did not appear"
window_geometry "$MAIN_WINDOW"
MAIN_X=$WX MAIN_Y=$WY
[[ $WW -eq $CLIENT_WIDTH ]] || fail "main window is $WW pixels wide, expected $CLIENT_WIDTH"
MENU_HEIGHT=$((WH - CLIENT_HEIGHT))
((MENU_HEIGHT >= 10 && MENU_HEIGHT <= 60)) || fail "unexpected menu bar height $MENU_HEIGHT (window height $WH)"
CLIENT_X=$MAIN_X CLIENT_Y=$((MAIN_Y + MENU_HEIGHT))
echo "   main window $MAIN_WINDOW at $MAIN_X,$MAIN_Y, menu bar $MENU_HEIGHT px, display $DISPLAY"

# The file is open once the left lane shows blue samples in its first columns.
lane_drawn() { screen_row $((CLIENT_Y + OVERLAY_TOP + 80)) $((CLIENT_X + OVERLAY_LEFT)) 40 | grep -q '^0 0 255$'; }
wait_until 20 "the waveform of the demo file" lane_drawn

MARK1=$(((COLUMN1 - 1) * ZOOM + VIEW_START))
MARK2=$(((COLUMN2 - 1) * ZOOM + VIEW_START))

place_line "$COLUMN1"
step "編集 → ライン位置でマーク追加 (mark $MARK1)"
open_file_menu
xdotool key Right  # to 編集; a menu opened from the keyboard selects its first item
choose_in_open_menu 0
wait_until 10 "the mark at column $COLUMN1 on the ruler" marker_shows "$COLUMN1"
no_message_box

place_line "$COLUMN2"
step "pop-up menu → ライン位置でマーク追加 (mark $MARK2)"
before=$(visible_windows)
click_at $((CLIENT_X + OVERLAY_LEFT + COLUMN2)) $((CLIENT_Y + OVERLAY_TOP + 50)) 3
MENU_WINDOW=$(wait_new_window "$before" "the pop-up menu")
window_geometry "$MENU_WINDOW"
# Three items of equal height: the middle of the first one.
click_at $((WX + WW / 2)) $((WY + WH / 6))
wait_until 10 "the pop-up menu to close" menu_closed
wait_until 10 "the mark at column $COLUMN2 on the ruler" marker_shows "$COLUMN2"
marker_shows "$COLUMN1" || fail "the first mark's marker went away"
no_message_box

step "ファイル → カット編集ファイル作成保存, save dialog"
! panel_green || fail "the status panel is green before anything was written"
OUTPUT="$WORK/out/cut.wav"
open_file_menu
before=$(visible_windows)
choose_in_open_menu 3  # 開く, つなげて開く…, then this one
DIALOG=$(wait_new_window "$before" "the save dialog")
dialog_name=$(xdotool getwindowname "$DIALOG")
[[ "$dialog_name" != "Sonaveld" ]] || fail "a message box came up instead of the save dialog"
echo "   save dialog $DIALOG: '$dialog_name'"
xdotool windowfocus --sync "$DIALOG"
sleep 0.3  # let the dialog finish its first layout before typing into its name field
xdotool key ctrl+a
xdotool type --delay 20 "$OUTPUT"
xdotool key Return
dialog_gone() { ! visible_windows | grep -qx "$DIALOG"; }
wait_until 10 "the save dialog to close" dialog_gone

step "wait for the cut-edited file and ファイル作成終了"
DATA_OFFSET=44
WRITTEN=$(((MARK2 - MARK1) * FRAME_BYTES / 200 * 200))
wait_until 30 "the finished file $OUTPUT" output_complete "$OUTPUT" $((DATA_OFFSET + WRITTEN))
wait_until 15 "the green status text ファイル作成終了" panel_green
no_message_box

step "compare the bytes"
"$CLI_BIN" cut "$SOURCE" -o "$WORK/expected.wav" --marks "$MARK1,$MARK2" --yes >"$WORK/cli.log" 2>&1 ||
  fail "sonaveld-cli cut failed: $(cat "$WORK/cli.log")"
cmp "$OUTPUT" "$WORK/expected.wav" || fail "the window's output differs from sonaveld-cli's"
# And independently: bytes 8..39 of the header as in the source, then the marked stretch.
cmp -n 4 "$OUTPUT" "$SOURCE" || fail "RIFF tag differs"
cmp -i 8:8 -n 32 "$OUTPUT" "$SOURCE" || fail "header bytes 8..39 differ from the source"
[[ $(le32 "$OUTPUT" 4) -eq $((DATA_OFFSET + WRITTEN - 8)) ]] || fail "RIFF size field"
[[ $(le32 "$OUTPUT" 40) -eq $WRITTEN ]] || fail "data size field"
cmp -i $((DATA_OFFSET)):$((DATA_OFFSET + (MARK1 - 1) * FRAME_BYTES)) -n "$WRITTEN" "$OUTPUT" "$SOURCE" ||
  fail "the samples are not frames $MARK1..$((MARK2 - 1)) of the source"
echo "   $OUTPUT: $((DATA_OFFSET + WRITTEN)) bytes, frames $MARK1 to $((MARK2 - 1))"

step "ファイル → 終了"
open_file_menu
APP_MAY_END=1
choose_in_open_menu 6
wait_until 15 "sonaveld to end" process_ended
wait "$APP_PID"
app_rc=$?
APP_PID=""
[[ $app_rc -eq 0 ]] || fail "sonaveld ended with status $app_rc"
cmp "$SOURCE" "$DEMO" || fail "the source file changed"

PASSED=1
echo "PASS: end-to-end cut edit through the main window"
