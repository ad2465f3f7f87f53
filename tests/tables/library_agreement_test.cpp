// The shipped tables against xraylib itself: the interpolated scatter functions and a regenerated
// set. Built without xraylib, the same tests report themselves skipped.

#include <gtest/gtest.h>

#ifdef XSCATTER_HAVE_XRAYLIB

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "model/interpolation.h"
#include "model/state.h"
#include "physics_library.h"
#include "tests/tables/shipped_tables.h"

namespace xscatter::tables_test {
namespace {

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(LibraryAgreement, LogLogInterpolationFollowsTheLibraryWithin1Percent) {
  const ScratchFolder folder;
  Module1 m;
  m.SetWorkingFolder(folder.WithShippedTables());
  ASSERT_NO_THROW(m.LoadDataTables());

  constexpr int kPoints = 5000;
  double worst_f2 = 0;
  double worst_s = 0;
  for (int i = 0; i <= kPoints; ++i) {
    const double x =
        kSmallestModelX * std::pow(kLargestModelX / kSmallestModelX, double(i) / kPoints);
    const double f = InterpolateLogLog(x, m.ScatterX, m.CoherentF);
    const double s = InterpolateLogLog(x, m.ScatterX, m.IncoherentS);
    const double f2_error = std::fabs(f * f / tables::WaterFormFactorSquared(x) - 1);
    const double s_error = std::fabs(s / tables::WaterIncoherentFunction(x) - 1);
    EXPECT_LT(f2_error, 0.01) << "F^2 at x = " << x;
    EXPECT_LT(s_error, 0.01) << "S at x = " << x;
    worst_f2 = std::max(worst_f2, f2_error);
    worst_s = std::max(worst_s, s_error);
  }
  std::cout << "largest deviation from xraylib " << tables::LibraryVersion() << ": F^2 "
            << 100 * worst_f2 << " %, S " << 100 * worst_s << " %\n";
}

TEST(LibraryAgreement, RegeneratedTablesEqualTheShippedOnes) {
  const ScratchFolder scratch;
  const fs::path& folder = scratch.Path();
  const std::string command =
      std::string("\"") + XSCATTER_MAKE_TABLES + "\" \"" + folder.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (const char* name : kTableNames) {
    EXPECT_EQ(Contents(folder / name), Contents(fs::path(XSCATTER_DATA_DIR) / name))
        << name << " differs from one generated now with xraylib " << tables::LibraryVersion();
  }
}

TEST(LibraryAgreement, GeneratorRejectsAnUnknownWeightKind) {
  const ScratchFolder scratch;
  const fs::path folder = scratch.Path() / "not-made";
  const std::string command = std::string("\"") + XSCATTER_MAKE_TABLES +
                              "\" --weights photoelectric \"" + folder.string() + "\" 2> /dev/null";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << command;
  EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
}  // namespace xscatter::tables_test

#else

namespace {

constexpr const char* kNoLibrary = "xraylib was not found when configuring: comparison skipped";

TEST(LibraryAgreement, LogLogInterpolationFollowsTheLibraryWithin1Percent) {
  GTEST_SKIP() << kNoLibrary;
}
TEST(LibraryAgreement, RegeneratedTablesEqualTheShippedOnes) { GTEST_SKIP() << kNoLibrary; }
TEST(LibraryAgreement, GeneratorRejectsAnUnknownWeightKind) { GTEST_SKIP() << kNoLibrary; }

}  // namespace

#endif
