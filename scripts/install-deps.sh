#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian 12 packages that building, running and testing xscatter need, skipping the
# package lists when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  clang libclang-rt-dev clang-14 libc++-14-dev libc++abi-14-dev googletest ccache locales
  qt6-base-dev qt6-svg-dev qt6-translations-l10n
  libgtest-dev libbenchmark-dev libxrl-dev
  fonts-noto-cjk fonts-motoya-l-maruberi fonts-liberation2
  xvfb xauth xdotool openbox x11-utils
  pybind11-dev python3-dev python3-numpy python3-pytest
  qt6-qpa-plugins
  dpkg-dev desktop-file-utils appstream groff-base
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
