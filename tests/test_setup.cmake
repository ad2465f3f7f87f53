# SPDX-License-Identifier: MIT
# What every test folder needs: GoogleTest and its test discovery. A build with another standard
# library (clang with libc++) cannot link the system's GoogleTest, built for libstdc++: it builds
# GoogleTest from Debian's sources instead.
option(XSCATTER_GTEST_FROM_SOURCE "Build GoogleTest from /usr/src/googletest" OFF)
if(XSCATTER_GTEST_FROM_SOURCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
