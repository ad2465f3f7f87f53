#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, prepares the working folder work/ with the shipped tables as
# work/Data, and starts xscatter there; its spectrum files appear in work/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
mkdir -p work/Data
cp data/*.dat data/*.csv data/*.xfs work/Data/
cd work
exec ../build/screens/xscatter
