// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "model/commands.h"
#include "model/field_reader.h"
#include "model/state.h"
#include "model/text_panel.h"
#ifdef XSCATTER_HAVE_XRAYLIB
#include <xraylib.h>

#include "model/interpolation.h"
#include "physics_library.h"
#endif

namespace xscatter {
namespace {

namespace fs = std::filesystem;

// The smallest and largest x the scatter models look up: 8 keV at 5 degrees and 150 keV at 175
// degrees, with the program's Pi and wavelength constant.
const double kSmallestX = std::sin(2.5 / 180 * 3.14159) / (12.4 / 8);
const double kLargestX = std::sin(87.5 / 180 * 3.14159) / (12.4 / 150);

// A working folder of the test's own whose Data/ holds the shipped tables.
class ShippedTables : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder);
    fs::create_directory_symlink(XSCATTER_DATA_DIR, folder / "Data");
    m.SetWorkingFolder(folder);
    ASSERT_NO_THROW(m.LoadDataTables());
  }
  void TearDown() override { fs::remove_all(folder); }

  const fs::path folder = fs::path(::testing::TempDir()) /
                          ("xscatter-tables-" + std::to_string(::getpid()) + "-" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
  Module1 m;
};
using LibraryAgreement = ShippedTables;

TEST_F(ShippedTables, EveryUsedValueIsFiniteAndPositive) {
  EXPECT_EQ(m.Pi, 3.14159);
  for (const GridArray* grid :
       {&m.MuTarget, &m.MuAl, &m.MuCu, &m.WaterCoherent, &m.WaterIncoherent}) {
    for (int k = 1; k <= kLastBin; ++k) {
      EXPECT_TRUE(std::isfinite((*grid)[k]) && (*grid)[k] > 0) << "bin " << k;
    }
  }
  for (const TableArray* column : {&m.ScatterX, &m.CoherentF, &m.IncoherentS}) {
    for (int k = 1; k <= kTableRows; ++k) {
      EXPECT_TRUE(std::isfinite((*column)[k]) && (*column)[k] > 0) << "row " << k;
    }
  }
}

TEST_F(ShippedTables, ScatterXAscendsAndBracketsEveryModelX) {
  for (int k = 2; k <= kTableRows; ++k) EXPECT_GT(m.ScatterX[k], m.ScatterX[k - 1]) << k;
  EXPECT_LT(m.ScatterX[1], kSmallestX);
  EXPECT_GT(m.ScatterX[kTableRows], kLargestX);
}

TEST_F(ShippedTables, WaterWeightsAreTheThomsonPrefactor) {
  // r_e^2 / 2 with r_e = 2.8179403262E-13 cm, to the seven digits the file holds.
  for (int k = 1; k <= kLastBin; ++k) {
    EXPECT_EQ(m.WaterCoherent[k], 3.970394e-26) << k;
    EXPECT_EQ(m.WaterIncoherent[k], 3.970394e-26) << k;
  }
}

// The exposure-conditions boxes at their defaults; any message fails the test.
struct DefaultPanel : TextPanel {
  void Warn(const std::string& text) override { ADD_FAILURE() << text; }
  void ReportError(const std::string& text) override { ADD_FAILURE() << text; }
};

TEST_F(ShippedTables, DefaultRunAt100kVShowsTheLinesAndTheKEdge) {
  DefaultPanel panel;
  m.AttachPanel(&panel);
  ASSERT_EQ(RunCalculateCommand(m), CommandStatus::Completed);
  ASSERT_EQ(m.BinCount, 200);
  const GridArray& p = m.PrimarySpectrum;
  // K-alpha2, K-alpha1 (the highest bin), K-beta1 and K-beta2.
  for (const int line : {116, 119, 134, 138}) {
    EXPECT_GT(p[line], 1.2 * p[line - 1]) << line;
    EXPECT_GT(p[line], 1.2 * p[line + 1]) << line;
  }
  EXPECT_EQ(p[119], 1.0);
  // Self-absorption in the target steps up at the tungsten K edge, 69.525 keV; elsewhere from
  // 50 keV on, the fluence falls in small steps.
  EXPECT_GT(p[139] - p[140], 0.02);
  const std::set<int> lines_and_edge = {116, 117, 119, 120, 134, 135, 138, 139, 140};
  for (int i = 101; i <= 200; ++i) {
    if (lines_and_edge.count(i)) continue;
    EXPECT_LT(p[i], p[i - 1]) << i;
    EXPECT_LT(p[i - 1] - p[i], 0.008) << i;
  }
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string Shipped(const char* name) { return Contents(fs::path(XSCATTER_DATA_DIR) / name); }

// The lines of a table, each split into its fields by the program's own field reader. Every line,
// the last included, must end with LF alone.
std::vector<std::vector<std::string>> Lines(const std::string& text) {
  EXPECT_EQ(text.find('\r'), std::string::npos) << "CR in a table";
  EXPECT_TRUE(!text.empty() && text.back() == '\n') << "table does not end with LF";
  std::vector<std::vector<std::string>> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    FieldReader reader(std::string_view(text).substr(start, end - start));
    std::vector<std::string> fields;
    while (const auto field = reader.Next()) fields.push_back(*field);
    lines.push_back(fields);
    start = end + 1;
  }
  return lines;
}

// A field as the tables write every number: seven significant digits in %.6E.
double Number(const std::string& field) {
  static const std::regex kWritten("-?[1-9]\\.[0-9]{6}E[+-][0-9]{2}");
  EXPECT_TRUE(std::regex_match(field, kWritten)) << "'" << field << "' is not %.6E";
  const std::optional<double> value = ParseTableNumber(field);
  EXPECT_TRUE(value.has_value()) << "'" << field << "' does not read as a number";
  return value.value_or(std::nan(""));
}

std::string Printed(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6E", value);
  return text;
}

TEST(ShippedAirTable, HoldsOneRecordPerBinWithEnergyAndTwoCoefficients) {
  const auto lines = Lines(Shipped("Air.csv"));
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLastBin));
  for (int k = 1; k <= kLastBin; ++k) {
    SCOPED_TRACE(::testing::Message() << "bin " << k);
    const auto& fields = lines[k - 1];
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0], Printed(0.5 * k));
    const double absorption = Number(fields[1]);
    const double attenuation = Number(fields[2]);
    EXPECT_TRUE(std::isfinite(absorption) && absorption > 0);
    EXPECT_TRUE(std::isfinite(attenuation) && attenuation > 0);
    // Energy absorption is the part of the attenuation whose energy stays in the air.
    EXPECT_LE(absorption, attenuation);
    // Argon's K edge (3.2 keV, 1.3 % of the mass) is too small to stop the fall between bins.
    if (k > 1) {
      EXPECT_LT(attenuation, Number(lines[k - 2][2]));
    }
  }
  // 0.5 keV lies below the energy-absorption data, so it repeats the 1 keV value.
  EXPECT_EQ(lines[0][1], lines[1][1]);
  EXPECT_EQ(lines[1][1], "3.598523E+03");
}

// One material of Materials.csv as documented: its line, name and density, whether that density
// is xraylib's, the bins at which its mass attenuation rises over the bin before (each the first
// bin above an absorption edge), and where xraylib holds its values: element z, or a NIST
// compound by its name in the library's list.
struct MaterialRow {
  const char* name;
  int line;
  double density;
  bool library_density;
  std::set<int> rises;
  int z;
  const char* compound;
};

std::ostream& operator<<(std::ostream& out, const MaterialRow& row) { return out << row.name; }

const MaterialRow kMaterialRows[] = {
    {"Be", 1, 1.848, true, {}, 4, nullptr},
    {"C", 2, 2.0, true, {}, 6, nullptr},
    {"Al", 3, 2.699, false, {4}, 13, nullptr},     // K 1.560 keV
    {"Ti", 4, 4.54, true, {10}, 22, nullptr},      // K 4.966
    {"Cu", 5, 8.96, false, {2, 18}, 29, nullptr},  // L3,L2 0.93-0.95; K 8.979
    // L 2.52-2.87; K 19.9995 keV, yet at 20.0 keV xraylib still gives the value below the edge.
    {"Mo", 6, 10.22, true, {6, 41}, 42, nullptr},
    {"Sn", 7, 7.31, true, {2, 8, 9, 59}, 50, nullptr},         // M1 0.884; L3 3.929; L2,L1; K 29.20
    {"W", 8, 19.3, false, {4, 21, 24, 25, 140}, 74, nullptr},  // M5,M4; L3 10.21; L2; L1; K 69.525
    {"Pb", 9, 11.35, true, {5, 6, 27, 31, 32, 177}, 82, nullptr},  // M5; M4; L3; L2; L1; K 88.005
    {"air", 10, 1.205e-3, true, {}, 0, "Air, Dry (near sea level)"},
    {"water", 11, 1.0, true, {2}, 0, "Water, Liquid"},  // O K 0.543
    {"PMMA", 12, 1.19, true, {}, 0, "Polymethyl Methacralate (Lucite, Perspex)"},
    {"tissue", 13, 1.0, true, {2}, 0, "Tissue, Soft (ICRU four-component)"},  // O K 0.543
};

class ShippedMaterials : public ::testing::TestWithParam<MaterialRow> {
 protected:
  static void SetUpTestSuite() { lines_ = Lines(Shipped("Materials.csv")); }
  static inline std::vector<std::vector<std::string>> lines_;
};

TEST(ShippedMaterialsFile, StartsWithTheCountThenOneLinePerMaterial) {
  const auto lines = Lines(Shipped("Materials.csv"));
  ASSERT_EQ(lines.size(), std::size(kMaterialRows) + 1);
  EXPECT_EQ(lines[0], std::vector<std::string>{"13"});
  std::set<std::string> folded;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "line " << i + 1);
    ASSERT_EQ(lines[i].size(), 2u + kLastBin);
    // The program finds a material by its name in any letter case.
    std::string name = lines[i][0];
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    EXPECT_TRUE(folded.insert(name).second) << lines[i][0] << " is not unique";
  }
}

TEST_P(ShippedMaterials, NameDensityAndAttenuationAsDocumented) {
  const MaterialRow& row = GetParam();
  ASSERT_LT(static_cast<std::size_t>(row.line), lines_.size());
  const auto& fields = lines_[row.line];
  ASSERT_EQ(fields.size(), 2u + kLastBin);
  EXPECT_EQ(fields[0], row.name);
  EXPECT_EQ(Number(fields[1]), row.density);
  std::set<int> rises;
  for (int k = 1; k <= kLastBin; ++k) {
    const double mu = Number(fields[1 + k]);
    EXPECT_TRUE(std::isfinite(mu) && mu > 0) << "bin " << k;
    if (k > 1 && mu >= Number(fields[k])) rises.insert(k);
  }
  EXPECT_EQ(rises, row.rises);
}

INSTANTIATE_TEST_SUITE_P(EveryMaterial, ShippedMaterials, ::testing::ValuesIn(kMaterialRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Aluminium, copper and tungsten filters must attenuate exactly as the model's own: their rows
// hold the mass attenuation columns of Mus.dat digit for digit.
TEST(ShippedMaterialsFile, AlCuWMatchMusDatDigitForDigit) {
  const auto materials = Lines(Shipped("Materials.csv"));
  const auto mus = Lines(Shipped("Mus.dat"));
  ASSERT_EQ(mus.size(), static_cast<std::size_t>(kLastBin));
  struct Pair {
    int material_line;
    std::size_t mus_field;
    const char* density;
  };
  for (const Pair& pair :
       {Pair{3, 5, "2.699000E+00"}, Pair{5, 6, "8.960000E+00"}, Pair{8, 4, "1.930000E+01"}}) {
    ASSERT_LT(static_cast<std::size_t>(pair.material_line), materials.size());
    const auto& material = materials[pair.material_line];
    SCOPED_TRACE(material.at(0));
    ASSERT_EQ(material.size(), 2u + kLastBin);
    EXPECT_EQ(material[1], pair.density);
    for (int k = 1; k <= kLastBin; ++k) {
      EXPECT_EQ(material[1 + k], mus[k - 1].at(pair.mus_field)) << "bin " << k;
    }
  }
}

#ifdef XSCATTER_HAVE_XRAYLIB

TEST_F(LibraryAgreement, LogLogInterpolationFollowsTheLibraryWithin1Percent) {
  for (int i = 0; i <= 5000; ++i) {
    const double x = kSmallestX * std::pow(kLargestX / kSmallestX, i / 5000.0);
    const double f = InterpolateLogLog(x, m.ScatterX, m.CoherentF);
    EXPECT_NEAR(f * f / tables::WaterFormFactorSquared(x), 1, 0.01) << "F^2 at x = " << x;
    EXPECT_NEAR(
        InterpolateLogLog(x, m.ScatterX, m.IncoherentS) / tables::WaterIncoherentFunction(x), 1,
        0.01)
        << "S at x = " << x;
  }
}

TEST_F(LibraryAgreement, RegeneratedTablesEqualTheShippedOnes) {
  const fs::path made = folder / "made";
  // A longer table from an earlier run is replaced whole, not overwritten in place.
  fs::create_directories(made);
  std::ofstream(made / "Mus.dat") << std::string(100000, 'x');
  const std::string command =
      std::string("\"") + XSCATTER_MAKE_TABLES + "\" \"" + made.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::set<std::string> written;
  for (const auto& entry : fs::directory_iterator(made)) written.insert(entry.path().filename());
  EXPECT_EQ(written, (std::set<std::string>{"Air.csv", "Materials.csv", "Mus.dat", "Water.csv",
                                            "Water.xfs"}));
  for (const std::string& name : written) {
    EXPECT_EQ(Contents(made / name), Shipped(name.c_str()))
        << name << " differs from one made now with xraylib " << tables::LibraryVersion();
    EXPECT_EQ(fs::status(made / name).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read)
        << name << " is not readable by everyone";
  }
}

// A value straight from xraylib; an error the library reports fails the test.
template <typename Call>
double FromLibrary(Call call) {
  xrl_error* error = nullptr;
  const double value = call(&error);
  if (error != nullptr) {
    ADD_FAILURE() << "xraylib: " << error->message;
    xrl_error_free(error);
  }
  return value;
}

class LibraryMaterials : public ::testing::TestWithParam<MaterialRow> {};

TEST_P(LibraryMaterials, EqualXraylibToThePrintedDigits) {
  const MaterialRow& row = GetParam();
  const auto lines = Lines(Shipped("Materials.csv"));
  ASSERT_LT(static_cast<std::size_t>(row.line), lines.size());
  const auto& fields = lines[row.line];
  ASSERT_EQ(fields.size(), 2u + kLastBin);
  EXPECT_EQ(fields[0], row.name);
  if (row.library_density) {
    double density = 0;
    if (row.compound != nullptr) {
      compoundDataNIST* data = GetCompoundDataNISTByName(row.compound, nullptr);
      ASSERT_NE(data, nullptr) << row.compound;
      density = data->density;
      FreeCompoundDataNIST(data);
    } else {
      density = FromLibrary([&](xrl_error** e) { return ElementDensity(row.z, e); });
    }
    EXPECT_EQ(fields[1], Printed(density));
  }
  for (const double e : {10.0, 33.5, 69.5, 88.5, 150.0}) {
    const double mu = FromLibrary([&](xrl_error** error) {
      return row.compound ? CS_Total_CP(row.compound, e, error) : CS_Total(row.z, e, error);
    });
    EXPECT_EQ(fields[1 + static_cast<int>(2 * e)], Printed(mu)) << e << " keV";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryMaterial, LibraryMaterials, ::testing::ValuesIn(kMaterialRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LibraryAir, EqualsXraylibToThePrintedDigits) {
  constexpr const char* kAir = "Air, Dry (near sea level)";
  const auto lines = Lines(Shipped("Air.csv"));
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLastBin));
  for (const double e : {0.5, 1.0, 10.0, 33.5, 69.5, 88.5, 150.0}) {
    SCOPED_TRACE(::testing::Message() << e << " keV");
    const auto& fields = lines.at(static_cast<int>(2 * e) - 1);
    ASSERT_EQ(fields.size(), 3u);
    const double from = std::max(e, 1.0);
    EXPECT_EQ(
        fields[1],
        Printed(FromLibrary([&](xrl_error** error) { return CS_Energy_CP(kAir, from, error); })));
    EXPECT_EQ(fields[2],
              Printed(FromLibrary([&](xrl_error** error) { return CS_Total_CP(kAir, e, error); })));
  }
}

// Why the 0.5 keV bin repeats the 1 keV value: the library has no energy absorption below 1 keV
// (while it has the attenuation). Should a later xraylib have one, this fails and the generator
// should take it.
TEST(LibraryAir, HasNoEnergyAbsorptionBelow1keV) {
  constexpr const char* kAir = "Air, Dry (near sea level)";
  xrl_error* error = nullptr;
  CS_Energy_CP(kAir, 0.5, &error);
  EXPECT_NE(error, nullptr);
  if (error != nullptr) xrl_error_free(error);
  EXPECT_GT(FromLibrary([&](xrl_error** e) { return CS_Total_CP(kAir, 0.5, e); }), 0);
}

// How the generator ends when it cannot do its work: the exit status, a message naming what
// failed ("{out}" stands for the output folder), and what it leaves in the output folder.
struct GeneratorFailure {
  const char* name;
  void (*prepare)(const fs::path& out);
  const char* options;
  int status;
  const char* message;
  bool folder_afterwards;      // whether the output path is a folder afterwards
  std::set<std::string> left;  // and its entries
};

std::ostream& operator<<(std::ostream& out, const GeneratorFailure& row) { return out << row.name; }

const GeneratorFailure kGeneratorFailures[] = {
    {"UnknownWeightKind",
     [](const fs::path&) {},
     "--weights photoelectric",
     2,
     "make-tables: unknown weights 'photoelectric'",
     false,
     {}},
    {"OutputFolderIsAFile",
     [](const fs::path& out) { std::ofstream(out) << "kept"; },
     "",
     1,
     "Not a directory [{out}]",
     false,
     {}},
    // The three tables before it are complete; the one that cannot be written leaves no
    // temporary file behind.
    {"TableNameTakenByAFolder",
     [](const fs::path& out) { fs::create_directories(out / "Air.csv"); },
     "",
     1,
     "make-tables: cannot write {out}/Air.csv: Is a directory",
     true,
     {"Air.csv", "Mus.dat", "Water.csv", "Water.xfs"}},
};

class LibraryGenerator : public ::testing::TestWithParam<GeneratorFailure> {
 protected:
  LibraryGenerator() { fs::create_directories(folder); }
  ~LibraryGenerator() override { fs::remove_all(folder); }

  const fs::path folder = fs::path(::testing::TempDir()) /
                          ("xscatter-generator-" + std::to_string(::getpid()) + "-" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_P(LibraryGenerator, FailsWithAMessageAndNoPartialFile) {
  const GeneratorFailure& row = GetParam();
  const fs::path out = folder / "out";
  row.prepare(out);
  const fs::path errors = folder / "stderr";
  const std::string command = std::string("\"") + XSCATTER_MAKE_TABLES + "\" " + row.options +
                              " \"" + out.string() + "\" > /dev/null 2> \"" + errors.string() +
                              "\"";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == row.status) << command;
  const std::string message =
      std::regex_replace(row.message, std::regex("\\{out\\}"), out.string());
  EXPECT_NE(Contents(errors).find(message), std::string::npos) << Contents(errors);
  ASSERT_EQ(fs::is_directory(out), row.folder_afterwards);
  if (row.folder_afterwards) {
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(out)) left.insert(entry.path().filename());
    EXPECT_EQ(left, row.left);
  } else if (fs::exists(out)) {
    EXPECT_EQ(Contents(out), "kept");
  }
}

INSTANTIATE_TEST_SUITE_P(Failures, LibraryGenerator, ::testing::ValuesIn(kGeneratorFailures),
                         [](const auto& info) { return std::string(info.param.name); });

#else

constexpr const char* kNoLibrary = "xraylib was not found when configuring: comparison skipped";
TEST(LibraryAgreement, LogLogInterpolationFollowsTheLibraryWithin1Percent) {
  GTEST_SKIP() << kNoLibrary;
}
TEST(LibraryAgreement, RegeneratedTablesEqualTheShippedOnes) { GTEST_SKIP() << kNoLibrary; }
TEST(LibraryAgreement, MaterialsAirAndGeneratorFailures) { GTEST_SKIP() << kNoLibrary; }

#endif

}  // namespace
}  // namespace xscatter
