#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that the engine compiles with the browser edition's toolchain: clang 14 with libc++,
# which lacks floating-point std::to_chars/from_chars, std::format and most std::ranges
# algorithms. Every engine source is compiled for syntax only; any error fails the check.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
compiler="${CLANG_CXX:-clang++-14}"

if ! command -v "$compiler" >/dev/null; then
  echo "check-engine-portable: $compiler not found (apt-get install clang-14 libc++-14-dev)" >&2
  exit 1
fi
if ! echo '#include <vector>' | "$compiler" -x c++ -std=c++20 -stdlib=libc++ -fsyntax-only - \
    2>/dev/null; then
  echo "check-engine-portable: $compiler finds no libc++ headers (apt-get install libc++-14-dev)" >&2
  exit 1
fi

# libc++ 14 declares the floating-point std::to_chars that libc++ 13 lacks: mark them unavailable
# so that a call fails here as it would there.
shim="$(mktemp --suffix=.h)"
trap 'rm -f "$shim"' EXIT
cat >"$shim" <<'SHIM'
#include <__availability>
#undef _LIBCPP_AVAILABILITY_TO_CHARS_FLOATING_POINT
#define _LIBCPP_AVAILABILITY_TO_CHARS_FLOATING_POINT \
  __attribute__((unavailable("libc++ 13 has no floating-point std::to_chars")))
SHIM

cd "$root"
# The engine, the facade, the shell and the charts: everything below Qt and the front ends.
sources=(model/*.cpp app/*.cpp output/*.cpp)
failed=0
for source in "${sources[@]}"; do
  if ! "$compiler" -std=c++20 -stdlib=libc++ -fsyntax-only -Wall -Wextra -include "$shim" \
      -I"$root" "$source"; then
    echo "check-engine-portable: $source does not compile with $compiler and libc++" >&2
    failed=1
  fi
done
if [ "$failed" -ne 0 ]; then exit 1; fi
echo "check-engine-portable: ${#sources[@]} engine sources compile with $compiler and libc++"
