#!/bin/bash
# SPDX-License-Identifier: MIT
# Runs a program on an Xvfb screen under the openbox window manager, with a panel's worth of the
# screen's bottom reserved (openbox's margin, which it publishes as the work area as a panel's
# strut would) and Qt's scale factor set: the windows' frames, placement and fit as on a desktop.
# Usage: under_openbox.sh WIDTHxHEIGHT PANEL_PIXELS SCALE PROGRAM [ARGS...]
set -euo pipefail

if [[ -z ${XSCATTER_UNDER_XVFB:-} ]]; then
  for tool in xvfb-run openbox xprop; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIPPED: $tool is not installed (apt-get install xvfb xauth openbox x11-utils)"
      exit 77
    fi
  done
  XSCATTER_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 ${1}x24 -dpi 96" "$0" "$@"
fi

panel=$2
scale=$3
shift 3

config=$(mktemp)
wm=""
trap 'kill "$wm" 2>/dev/null || true; rm -f "$config"' EXIT
cat >"$config" <<XML
<?xml version="1.0"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <margins><top>0</top><bottom>$panel</bottom><left>0</left><right>0</right></margins>
</openbox_config>
XML
openbox --config-file "$config" >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_WORKAREA
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale "$@"
