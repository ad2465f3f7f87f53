#!/bin/bash
# SPDX-License-Identifier: MIT
# Builds the browser page build-web/xscatter.html with Debian's emscripten: one file holding the
# engine (WebAssembly), the tables, the style and the script.
set -euo pipefail
cd "$(dirname "$0")/.."
# Debian's emcc runs its JavaScript optimiser with the system's Node.js and node-acorn.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# CMake's emscripten toolchain runs node with a flag node 20 refuses; the build runs nothing.
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CROSSCOMPILING_EMULATOR="node;--no-experimental-fetch" "${launcher[@]}" >/dev/null
cmake --build build-web --target xscatter_page -j2
ls -l build-web/xscatter.html
