#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fuzzes each libFuzzer target in tests/fuzz/ for a bounded time, starting from its committed
# corpus in tests/fuzz/corpus/<target>/ (left as it is: new inputs go to a scratch folder). A crash,
# a broken property, a leak or an input that takes over 10 s fails; the input is kept in
# build-asan/fuzz-crashes/ to reproduce with `build-asan/tests/fuzz/fuzz_<target> <file>`.
# Needs clang; skipped without it.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang++ >/dev/null; then
  echo "SKIPPED: clang is not installed, so the fuzzers are not built"
  exit 0
fi
seconds=${XSCATTER_FUZZ_SECONDS:-20}
targets=(lenient_number field_reader number_format table_loader)

source scripts/sanitizer-build.sh
cmake --build build-asan -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

crashes=build-asan/fuzz-crashes
mkdir -p "$crashes"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for target in "${targets[@]}"; do
  mkdir -p "$scratch/$target"
  echo "fuzzing $target for $seconds s"
  if ! "build-asan/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$crashes/$target-" -print_final_stats=1 \
    "$scratch/$target" "tests/fuzz/corpus/$target" >"$scratch/$target.log" 2>&1; then
    tail -n 60 "$scratch/$target.log"
    echo "fuzz_$target FAILED; the input is in $crashes/" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units' "$scratch/$target.log" || true
  fi
done
exit $status
