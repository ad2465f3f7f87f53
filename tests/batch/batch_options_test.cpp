// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/lenient_number.h"
#include "tools/batch/batch_options.h"
#include "tools/batch/sweep.h"

namespace xscatter::batch {
namespace {

struct SweepCase {
  const char* name;
  const char* text;
  std::vector<double> values;  // empty: rejected
};

// The row's name, not its bytes, in test listings.
void PrintTo(const SweepCase& row, std::ostream* out) { *out << row.name; }

class SweepParsing : public ::testing::TestWithParam<SweepCase> {};

TEST_P(SweepParsing, GivesTheValuesInOrderOrRejects) {
  const SweepCase& c = GetParam();
  std::string error;
  const std::optional<Sweep> sweep = ParseSweep(c.text, 1000, error);
  if (c.values.empty()) {
    EXPECT_FALSE(sweep) << c.text;
    EXPECT_FALSE(error.empty());
    return;
  }
  ASSERT_TRUE(sweep) << error;
  EXPECT_EQ(sweep->values, c.values);
}

INSTANTIATE_TEST_SUITE_P(
    Sweeps, SweepParsing,
    ::testing::Values(
        SweepCase{"List", "kv=60,80,100", {60, 80, 100}}, SweepCase{"OneValue", "angle=90", {90}},
        SweepCase{"Range", "angle=5:25:5", {5, 10, 15, 20, 25}},
        // 0.1 * 3 is 0.30000000000000004: the end within 1e-9 of a step is STOP itself.
        SweepCase{"InclusiveEndIsStop", "al=0:0.3:0.1", {0, 0.1, 0.2, 0.3}},
        SweepCase{"StopBetweenSteps", "cu=0:1:0.3", {0, 0.3, 0.6, 0.8999999999999999}},
        SweepCase{"Descending", "kv=150:140:-5", {150, 145, 140}},
        SweepCase{"Exponents", "inherent=1E0,2.5e0", {1, 2.5}}, SweepCase{"NoEquals", "kv60", {}},
        SweepCase{"UnknownName", "voltage=60", {}}, SweepCase{"TwoParts", "kv=60:80", {}},
        SweepCase{"ZeroStep", "kv=60:80:0", {}}, SweepCase{"StepAwayFromStop", "kv=80:60:5", {}},
        SweepCase{"NotANumber", "kv=60,eighty", {}}, SweepCase{"EmptyItem", "kv=60,,80", {}},
        SweepCase{"DecimalComma", "kv=60,5:80:1", {}}, SweepCase{"TooMany", "angle=0:2000:1", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SweepValueText, ReadsBackAsTheSameNumber) {
  for (const double value : {0.0, 0.1, 1.0 / 3, 90.0, 150.5, 1e-300, -2.5, 5 + 37 * 0.1}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(LenientNumber(SweepValueText(value)), value);
  }
}

TEST(Combinations, TheLastSweepVariesFastest) {
  const std::vector<Sweep> sweeps = {{"kv", ConditionBox::TubeVoltage, {60, 80}},
                                     {"angle", std::nullopt, {30, 60, 90}}};
  const std::vector<std::vector<std::size_t>> expected = {{0, 0}, {0, 1}, {0, 2},
                                                          {1, 0}, {1, 1}, {1, 2}};
  EXPECT_EQ(Combinations(sweeps), expected);
  EXPECT_EQ(Combinations({}), std::vector<std::vector<std::size_t>>{{}});
}

struct OptionCase {
  const char* name;
  std::vector<std::string> args;
  const char* error;  // part of the error; empty: accepted
};

// The row's name, not its bytes, in test listings.
void PrintTo(const OptionCase& row, std::ostream* out) { *out << row.name; }

class CommandLine : public ::testing::TestWithParam<OptionCase> {};

TEST_P(CommandLine, AcceptsOrNamesTheFault) {
  const OptionCase& c = GetParam();
  std::string error;
  const std::optional<BatchOptions> options = ParseBatchOptions(c.args, error);
  if (*c.error == 0) {
    EXPECT_TRUE(options) << error;
  } else {
    EXPECT_FALSE(options);
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLine,
    ::testing::Values(
        OptionCase{"AllTogether",
                   {"--kv=100kV", "--angle", "90", "--report", "csv", "--filter", "Be:1", "--sweep",
                    "al=0,1", "--spectra-dir", "out", "--plot", "p.svg"},
                   ""},
        OptionCase{"UnknownOption", {"--bogus"}, "unknown option --bogus"},
        OptionCase{"UnknownOptionWithValue", {"--bogus=1"}, "unknown option --bogus"},
        OptionCase{"MissingValue", {"--kv"}, "option --kv needs a value"},
        OptionCase{"StrayArgument", {"100"}, "unexpected argument '100'"},
        OptionCase{"BadReport", {"--report", "xml"}, "json, text or csv"},
        OptionCase{"BadSweep", {"--sweep", "kv=1:2"}, "--sweep kv=1:2: "},
        OptionCase{"SweepAndPlainOption", {"--kv", "80", "--sweep", "kv=60,80"}, "more than once"},
        OptionCase{"SweepTwice", {"--sweep", "angle=5", "--sweep", "angle=6"}, "more than once"},
        OptionCase{"NegativeFilter", {"--filter", "Be:-1"}, "Be:-1"},
        OptionCase{"FilterWithoutThickness", {"--filter", "Be"}, "MATERIAL:MM"},
        OptionCase{"TextThickness", {"--filter", "Be:one"}, "Be:one"},
        OptionCase{"PrimaryWithConditions", {"--primary", "p.dat", "--kv", "80"}, "--primary"},
        OptionCase{"PrimaryWithFilter", {"--primary", "p.dat", "--filter", "Be:1"}, "--primary"},
        OptionCase{"PrimaryWithAngleSweep", {"--primary", "p.dat", "--sweep", "angle=5,90"}, ""},
        OptionCase{"EmptySpectraFolder", {"--spectra-dir="}, "needs a file or folder name"},
        OptionCase{"EmptyAngleIsAnEmptyBox", {"--angle="}, ""},
        OptionCase{"PlotOfAnUnknownKind", {"--plot", "chart.gif"}, "ending in .png or .svg"},
        OptionCase{"PlotInCapitals", {"--plot", "CHART.SVG"}, ""},
        OptionCase{"TooManyRuns",
                   {"--sweep", "kv=40:150:0.01", "--sweep", "angle=5:175:0.5"},
                   "more than 100000 runs"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace xscatter::batch
