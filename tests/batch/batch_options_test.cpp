// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/lenient_number.h"
#include "output/number_format.h"
#include "tools/batch/batch_options.h"
#include "tools/batch/sweep.h"

namespace xscatter::batch {
namespace {

TEST(SweepParsing, GivesTheValuesInOrder) {
  const struct {
    const char* name;
    const char* text;
    std::vector<double> values;
  } cases[] = {{"List", "kv=60,80,100", {60, 80, 100}},
               {"OneValue", "angle=90", {90}},
               {"Range", "angle=5:25:5", {5, 10, 15, 20, 25}},
               // 0.1 * 3 is 0.30000000000000004: the end within 1e-9 of a step is STOP itself.
               {"InclusiveEndIsStop", "al=0:0.3:0.1", {0, 0.1, 0.2, 0.3}},
               {"StopBetweenSteps", "cu=0:1:0.3", {0, 0.3, 0.6, 0.8999999999999999}},
               {"Descending", "kv=150:140:-5", {150, 145, 140}},
               {"Exponents", "inherent=1E0,2.5e0", {1, 2.5}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    const std::optional<Sweep> sweep = ParseSweep(c.text, 1000, error);
    ASSERT_TRUE(sweep) << error;
    EXPECT_EQ(sweep->values, c.values);
  }
}

// No '=', an unknown name, two parts, a zero step, a step away from STOP, a word, an empty item,
// a decimal comma, and more values than allowed.
TEST(SweepParsing, RejectsWithAnError) {
  for (const char* text : {"kv60", "voltage=60", "kv=60:80", "kv=60:80:0", "kv=80:60:5",
                           "kv=60,eighty", "kv=60,,80", "kv=60,5:80:1", "angle=0:2000:1"}) {
    SCOPED_TRACE(text);
    std::string error;
    EXPECT_FALSE(ParseSweep(text, 1000, error));
    EXPECT_FALSE(error.empty());
  }
}

// A swept value reaches its box as text; the box must read back the very same double.
TEST(SweptValueText, ReadsBackThroughTheBoxAsTheSameNumber) {
  for (const double value : {0.0, 0.1, 1.0 / 3, 90.0, 150.5, 1e-300, -2.5, 5 + 37 * 0.1}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(LenientNumber(ShortestText(value)), value);
  }
}

// Accepted, or rejected with an error naming the fault.
TEST(CommandLine, AcceptsOrNamesTheFault) {
  const struct {
    const char* name;
    std::vector<std::string> args;
    const char* error;  // part of the error; empty: accepted
  } cases[] = {{"AllTogether",
                {"--kv=100kV", "--angle", "90", "--report", "csv", "--filter", "Be:1", "--sweep",
                 "al=0,1", "--spectra-dir", "out", "--plot", "p.svg"},
                ""},
               // Once told that it "needs a value".
               {"UnknownOptionAlone", {"--bogus"}, "unknown option --bogus"},
               {"UnknownOptionWithValue", {"--bogus=1"}, "unknown option --bogus"},
               {"MissingValue", {"--kv"}, "option --kv needs a value"},
               {"StrayArgument", {"100"}, "unexpected argument '100'"},
               {"BadReport", {"--report", "xml"}, "json, text or csv"},
               {"BadSweep", {"--sweep", "kv=1:2"}, "--sweep kv=1:2: "},
               {"SweepAndPlainOption", {"--kv", "80", "--sweep", "kv=60,80"}, "more than once"},
               {"SweepTwice", {"--sweep", "angle=5", "--sweep", "angle=6"}, "more than once"},
               {"NegativeFilter", {"--filter", "Be:-1"}, "Be:-1"},
               {"FilterWithoutThickness", {"--filter", "Be"}, "MATERIAL:MM"},
               {"TextThickness", {"--filter", "Be:one"}, "Be:one"},
               {"PrimaryWithConditions", {"--primary", "p.dat", "--kv", "80"}, "--primary"},
               {"PrimaryWithFilter", {"--primary", "p.dat", "--filter", "Be:1"}, "--primary"},
               {"PrimaryWithAngleSweep", {"--primary", "p.dat", "--sweep", "angle=5,90"}, ""},
               {"EmptySpectraFolder", {"--spectra-dir="}, "needs a file or folder name"},
               {"EmptyAngleIsAnEmptyBox", {"--angle="}, ""},
               {"PlotOfAnUnknownKind", {"--plot", "chart.gif"}, "ending in .png or .svg"},
               {"PlotInCapitals", {"--plot", "CHART.SVG"}, ""},
               {"TooManyRuns",
                {"--sweep", "kv=40:150:0.01", "--sweep", "angle=5:175:0.5"},
                "more than 100000 runs"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    const bool accepted = ParseBatchOptions(c.args, error).has_value();
    EXPECT_EQ(accepted, !*c.error);
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace xscatter::batch
