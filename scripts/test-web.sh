#!/bin/bash
# SPDX-License-Identifier: MIT
# Tests of the browser page: the WebAssembly engine under node against the native xscatter-batch,
# then the page itself in Debian's headless chromium, opened as a file.
#   scripts/test-web.sh [XSCATTER_BATCH]   (default: build/tools/batch/xscatter-batch)
# Needs: emscripten, chromium, nodejs (with npm); builds the page first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
batch=$(realpath "${1:-build/tools/batch/xscatter-batch}")
[ -x "$batch" ] || { echo "test-web: no native xscatter-batch at $batch" >&2; exit 1; }
bash scripts/build-web.sh
# playwright-core only, from the lockfile; it drives /usr/bin/chromium and downloads no browser.
(cd web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --prefer-offline >/dev/null)
status=0
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# The engine's and the facade's own tests, compiled by emscripten and run under node on the real
# file system, less those about what the page never does and node does not emulate: writing files
# under a folder lock with the umask's permissions, reading named pipes, threads (the page is built
# without them), and emscripten's C library has no locale but "C", so no German one either.
mkdir -p build-web-tests
NODE_PATH=${NODE_PATH:-/usr/share/nodejs} emcmake cmake -S . -B build-web-tests \
  -DXSCATTER_ENGINE_ONLY=ON -DXSCATTER_GTEST_FROM_SOURCE=ON -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CROSSCOMPILING_EMULATOR="node;--no-experimental-fetch" \
  "-DCMAKE_EXE_LINKER_FLAGS=-fexceptions -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1" \
  "${launcher[@]}" >build-web-tests/configure.log 2>&1 ||
  { cat build-web-tests/configure.log >&2; exit 1; }
NODE_PATH=${NODE_PATH:-/usr/share/nodejs} cmake --build build-web-tests -j2 \
  --target engine_tests app_tests >/dev/null
excluded=ReplaceFiles.*:FolderLock.*:FolderWriter.*:ForeignSpectrum.FilesMustBeSmallAndRegular
excluded+=:GermanLocale.*:ModelRecompute.ConcurrentRunsGiveTheSequentialSpectra
for tests in engine_tests app_tests; do
  (cd build-web-tests/tests/${tests%_tests} && node --no-experimental-fetch $tests.js \
    --gtest_brief=1 "--gtest_filter=-$excluded") || status=1
done
node --no-experimental-fetch web/tests/engine.test.js "$root/build-web/web/xscatter_web_engine.js" \
  "$batch" "$root/data" || status=1
node web/tests/page.test.js build-web/xscatter.html "$batch" "$root/data" build-web/test-artifacts ||
  status=1
echo "test-web: screenshot in build-web/test-artifacts/typical-run.png"
exit $status
