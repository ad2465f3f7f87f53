#!/bin/bash
# The typical run of the program, driven under Xvfb with xdotool as a person would: OK, calculate,
# OK, OK at 90 degrees, END, OK, EXIT; then the three spectrum files in the working folder.
# Usage: typical_run.sh PROGRAM DATA_DIR
set -euo pipefail

program=$1
data=$2

if [[ -z ${XSCATTER_E2E_UNDER_XVFB:-} ]]; then
  for tool in xvfb-run xdotool; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIPPED: $tool is not installed (apt-get install xvfb xauth xdotool)"
      exit 77
    fi
  done
  XSCATTER_E2E_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1600x1000x24 -dpi 96" "$0" "$@"
fi

pid=""
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/Data"
cp "$data/Mus.dat" "$data/Water.csv" "$data/Water.xfs" "$work/Data/"

cd "$work"
QT_QPA_PLATFORM=xcb "$program" &
pid=$!

# Twips to pixels at 96 dpi.
px() { echo $(($1 / 15)); }

# The shown window of the program with the given client size in twips.
find_window() {
  local width height id
  width=$(px "$1")
  height=$(px "$2")
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
      if xdotool getwindowgeometry --shell "$id" | grep -qx "WIDTH=$width" &&
        xdotool getwindowgeometry --shell "$id" | grep -qx "HEIGHT=$height"; then
        echo "$id"
        return
      fi
    done
    sleep 0.1
  done
  echo "no shown window of $width x $height pixels" >&2
  return 1
}

# Clicks the middle of a control given in twips (left, top, width, height).
click() {
  local window=$1
  xdotool mousemove --window "$window" $(px $(($2 + $4 / 2))) $(px $(($3 + $5 / 2)))
  sleep 0.2
  xdotool click 1
  sleep 0.3
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
click "$form1" 11520 3600 2775 855 # OK
form5=$(find_window 14865 8235)
click "$form5" 720 6000 2175 615 # calculate
sleep 1.5
click "$form5" 720 7200 2175 615 # OK
wait_for_file P_Spectrum.dat
form8=$(find_window 19470 11550)
click "$form8" 11880 10320 2655 855 # OK at the default angle
wait_for_file Coh_Spectrum.dat
sleep 0.5
click "$form8" 17520 10320 1455 855 # END
form2=$(find_window 8730 4845)
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
