#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs every test and the package check; then the browser
# page's tests (which build the engine's and the facade's tests with emscripten's clang and libc++
# and run them under node), the check of every source below Qt against libc++ 13, every test built
# with the sanitizers, and each fuzzer for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
ctest --test-dir build --output-on-failure -j 2
bash scripts/test-package.sh
bash scripts/test-web.sh build/tools/batch/xscatter-batch
bash scripts/check-engine-portable.sh
bash scripts/test-sanitizers.sh
bash scripts/test-fuzz.sh
