// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer with the broken property named, so the input is kept as a crash.
#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)
