#!/bin/bash
# SPDX-License-Identifier: MIT
# The typical run of the program, driven under Xvfb and the openbox window manager with xdotool as a
# person would: OK, calculate, OK, OK at 90 degrees, END, OK, EXIT; then the three spectrum files
# in the working folder. On the way, each window's frame is checked with xprop: its type, no
# maximise, the whole frame centred on the 1366 x 768 screen; and the main screen, minimised, comes
# back. The scatter screen is taller than the screen: it shows its client area scrolled, at the
# height that fits, and is scrolled down with the mouse wheel before its buttons are clicked.
# Usage: typical_run.sh PROGRAM DATA_DIR
set -euo pipefail

program=$1
data=$2

if [[ -z ${XSCATTER_E2E_UNDER_XVFB:-} ]]; then
  for tool in xvfb-run xdotool openbox xprop xwininfo; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIPPED: $tool is not installed (apt-get install xvfb xauth xdotool openbox x11-utils)"
      exit 77
    fi
  done
  XSCATTER_E2E_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1366x768x24 -dpi 96" "$0" "$@"
fi

screen_width=1366
screen_height=768

pid=""
wm=""
work=$(mktemp -d)
trap 'kill "$pid" "$wm" 2>/dev/null || true; rm -rf "$work"' EXIT

openbox --config-file /dev/null >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
mkdir "$work/Data"
cp "$data/Mus.dat" "$data/Water.csv" "$data/Water.xfs" "$work/Data/"

cd "$work"
QT_QPA_PLATFORM=xcb "$program" &
pid=$!

# Twips to pixels at 96 dpi.
px() { echo $(($1 / 15)); }

# The shown window of the program with the given client size in twips, or with the given width
# and at most the given height.
find_window() {
  local width height id shown
  width=$(px "$1")
  height=$(px "$2")
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
      shown=$(xdotool getwindowgeometry --shell "$id")
      if grep -qx "WIDTH=$width" <<<"$shown" && grep -qx "HEIGHT=$height" <<<"$shown"; then
        echo "$id"
        return
      fi
      if [[ ${3:-} == scrolled ]] && grep -q "^WIDTH=$((width + ${scroll_bar:-0}))$" <<<"$shown" &&
        (($(sed -n 's/^HEIGHT=//p' <<<"$shown") < height)); then
        echo "$id"
        return
      fi
    done
    sleep 0.1
  done
  echo "no shown window of $width x $height pixels" >&2
  return 1
}

# Clicks the middle of a control given in twips (left, top, width, height), in a client area
# scrolled up by ${6:-0} pixels.
click() {
  local window=$1
  xdotool mousemove --window "$window" $(px $(($2 + $4 / 2))) $(($(px $(($3 + $5 / 2))) - ${6:-0}))
  sleep 0.2
  xdotool click 1
  sleep 0.3
}

# Where a window's frame must start along one axis: centred, or at the screen's edge when larger.
expected_start() {
  local length=$1 screen=$2
  if ((length > screen)); then echo 0; else echo $(((screen - length) / 2)); fi
}

# The window's frame as "left top width height", from its client geometry and the frame extents.
frame_of() {
  local id=$1 x y width height extents left right top bottom
  x=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $NF}')
  y=$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ {print $NF}')
  width=$(xwininfo -id "$id" | awk '/Width:/ {print $NF}')
  height=$(xwininfo -id "$id" | awk '/Height:/ {print $NF}')
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ',')
  read -r left right top bottom <<<"${extents:-0 0 0 0}"
  echo $((x - left)) $((y - top)) $((width + left + right)) $((height + top + bottom))
}

# Checks a shown window's frame: its window type, no maximise action, and its placement.
check_frame() {
  local id=$1 name=$2 type=$3 frame left top width height want_left want_top
  if ! xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q "= _NET_WM_WINDOW_TYPE_$type"; then
    echo "$name: window type $(xprop -id "$id" _NET_WM_WINDOW_TYPE), expected $type" >&2
    return 1
  fi
  if xprop -id "$id" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE; then
    echo "$name: the window manager offers to maximise it" >&2
    return 1
  fi
  # The frame is centred once the window manager has framed the window.
  for _ in $(seq 50); do
    frame=$(frame_of "$id")
    read -r left top width height <<<"$frame"
    want_left=$(expected_start "$width" "$screen_width")
    want_top=$(expected_start "$height" "$screen_height")
    ((left - want_left <= 1 && want_left - left <= 1 && top - want_top <= 1 && want_top - top <= 1)) &&
      return 0
    sleep 0.1
  done
  echo "$name: frame $frame (left top width height), expected to start at $want_left $want_top" >&2
  return 1
}

wait_for_file() {
  for _ in $(seq 100); do
    [[ -s $1 ]] && return
    sleep 0.1
  done
  echo "$1 was not written" >&2
  return 1
}

form1=$(find_window 16575 7245)
check_frame "$form1" "main screen" DIALOG
# Without a task-bar entry a minimised main screen could not be found again: it comes back.
xdotool windowminimize "$form1"
for _ in $(seq 50); do
  xprop -id "$form1" WM_STATE | grep -q 'window state: Normal' && break
  sleep 0.1
done
if ! xprop -id "$form1" WM_STATE | grep -q 'window state: Normal'; then
  echo "the minimised main screen did not come back" >&2
  exit 1
fi
sleep 0.3
click "$form1" 11520 3600 2775 855 # OK
form5=$(find_window 14865 8235)
check_frame "$form5" "conditions screen" DIALOG
click "$form5" 720 6000 2175 615 # calculate
sleep 1.5
click "$form5" 720 7200 2175 615 # OK
wait_for_file P_Spectrum.dat
# Fusion's scroll bar, beside the scrolled client area.
scroll_bar=14
form8=$(find_window 19470 11550 scrolled)
check_frame "$form8" "scatter screen" NORMAL
# Scrolled to the bottom with the wheel over the primary chart, the client area is shifted up by
# what does not fit.
xdotool mousemove --window "$form8" 300 200
xdotool click --repeat 40 --delay 20 5
sleep 0.3
shift_up=$(($(px 11550) - $(xdotool getwindowgeometry --shell "$form8" | sed -n 's/^HEIGHT=//p')))
click "$form8" 11880 10320 2655 855 "$shift_up" # OK at the default angle
wait_for_file Coh_Spectrum.dat
sleep 0.5
click "$form8" 17520 10320 1455 855 "$shift_up" # END
form2=$(find_window 8730 4845)
check_frame "$form2" "file notice" NORMAL
click "$form2" 3600 3960 1695 585 # OK
form1=$(find_window 16575 7245)
click "$form1" 11520 4920 2775 735 # EXIT

for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "the program did not end on EXIT" >&2
  exit 1
fi
wait "$pid" || { echo "the program ended with status $?" >&2; exit 1; }

status=0
check() {
  local file=$1 size=$2 lines bytes
  lines=$(wc -l <"$file")
  bytes=$(wc -c <"$file")
  if [[ $lines -ne 301 || $bytes -ne $size ]]; then
    echo "$file: $lines lines and $bytes bytes, expected 301 lines and $size bytes" >&2
    status=1
  fi
}
check P_Spectrum.dat 6616
check Inc_Spectrum.dat 6918
check Coh_Spectrum.dat 6918
[[ $status -eq 0 ]] && echo "typical run passed: three files of 301 lines written"
exit $status
