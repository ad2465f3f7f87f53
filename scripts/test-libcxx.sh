#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the engine, the facade and their tests with clang and libc++, the browser edition's
# toolchain, and runs the tests. libc++ 14 has floating-point std::to_chars, which the browser's
# libc++ 13 lacks, so the sources are also searched for it.
set -euo pipefail
cd "$(dirname "$0")/.."
engine_sources=$(ls model/*.cpp model/*.h app/*.cpp app/*.h output/number_format.* output/spectrum_files.*)
if grep -nE 'std::(to_chars|from_chars)\(|std::ranges::|std::format\(|<format>' $engine_sources \
    | grep -v '^\S*:[0-9]*:\s*//'; then
  echo "test-libcxx: the engine must not use the library features above" >&2
  exit 1
fi
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-libcxx -DXSCATTER_ENGINE_ONLY=ON -DXSCATTER_GTEST_FROM_SOURCE=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_CXX_FLAGS=-stdlib=libc++ -DCMAKE_EXE_LINKER_FLAGS=-stdlib=libc++ "${launcher[@]}" \
  >/dev/null
cmake --build build-libcxx -j 2
ctest --test-dir build-libcxx --output-on-failure -j 2
