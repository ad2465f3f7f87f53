#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs every test and the package check; then the engine's
# tests built with clang and libc++, the same tests built with the sanitizers, and each fuzzer for
# a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
ctest --test-dir build --output-on-failure -j 2
bash scripts/test-package.sh
bash scripts/test-libcxx.sh
bash scripts/test-sanitizers.sh
bash scripts/test-fuzz.sh
