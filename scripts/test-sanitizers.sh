#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (see sanitizer-build.sh) and runs it, the fuzzers' committed corpora included.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/sanitizer-build.sh
cmake --build build-asan -j "$(nproc)"
ctest --test-dir build-asan --output-on-failure -j 2
