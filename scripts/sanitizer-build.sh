# SPDX-License-Identifier: MIT
# Sourced by test-sanitizers.sh and test-fuzz.sh: configures build-asan/, the build with
# AddressSanitizer and UndefinedBehaviorSanitizer (the first error ends the program), and sets the
# sanitizers' options. Clang is preferred, as it also builds the fuzzers and covers the second
# compiler; g++ serves otherwise. Leaks are reported except those inside system libraries, listed
# with their reasons in tests/sanitizers/lsan.supp.

if command -v clang++ >/dev/null; then
  sanitizer_compiler=(-DCMAKE_CXX_COMPILER=clang++)
else
  sanitizer_compiler=(-DCMAKE_CXX_COMPILER=g++)
fi
sanitizer_launcher=()
command -v ccache >/dev/null && sanitizer_launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

# Test discovery runs the test programs during the build, so the options hold from here on.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1"

# -O1 keeps the build quick and the reports readable; the benchmark is left out, and so is the
# Python module, which an interpreter without the sanitizers' runtime cannot load.
cmake -S . -B build-asan "${sanitizer_compiler[@]}" "${sanitizer_launcher[@]}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_CXX_FLAGS="$sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_Python=ON >/dev/null
