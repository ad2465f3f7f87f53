#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the engine, the facade and their tests with clang and libc++, the browser edition's
# toolchain, and runs the tests, after checking every source below Qt against the features the
# browser's libc++ 13 lacks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/check-engine-portable.sh
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-libcxx -DXSCATTER_ENGINE_ONLY=ON -DXSCATTER_GTEST_FROM_SOURCE=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_CXX_FLAGS=-stdlib=libc++ -DCMAKE_EXE_LINKER_FLAGS=-stdlib=libc++ "${launcher[@]}" \
  >/dev/null
cmake --build build-libcxx -j 2
ctest --test-dir build-libcxx --output-on-failure -j 2
