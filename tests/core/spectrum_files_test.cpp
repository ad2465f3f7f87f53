#include <gtest/gtest.h>

#include <filesystem>

#include "model/commands.h"
#include "model/errors.h"
#include "tests/core/core_fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

const fs::path kReference = XSCATTER_REFERENCE_DIR;

TEST(SpectrumFiles, DefaultRunMatchesAnIndependentImplementationByteForByte) {
  testing::LoadedStore s;
  ASSERT_EQ(RunCalculateCommand(s.m), CommandStatus::Completed);
  ASSERT_TRUE(RunWritePrimarySpectrumFile(s.m));
  ASSERT_EQ(RunScatterCommand(s.m), CommandStatus::Completed);
  for (const char* name : {"P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"}) {
    const std::string written = ReadFile(s.folder.Path() / name);
    EXPECT_EQ(written, ReadFile(kReference / name)) << name;
    EXPECT_EQ(written.size(), std::string(name) == "P_Spectrum.dat" ? 6616u : 6918u) << name;
  }
}

TEST(SpectrumFiles, LayoutOfEveryLine) {
  Module1 m;
  testing::TempFolder folder;
  m.SetWorkingFolder(folder.Path());
  m.PrimarySpectrum[200] = 0.5;
  m.PrimarySpectrum[100] = 1;
  m.PrimarySpectrum[50] = 2.5E-120;
  m.IncoherentSpectrum[1][200] = 83.633;
  m.IncoherentSpectrum[2][200] = 0.5;
  m.CoherentSpectrum[200] = 0.5;
  m.CoherentSpectrum[100] = 1;
  m.WritePrimarySpectrumFile();
  m.WriteScatterSpectrumFiles();

  const std::string p = ReadFile(folder.Path() / "P_Spectrum.dat");
  const std::string inc = ReadFile(folder.Path() / "Inc_Spectrum.dat");
  const std::string coh = ReadFile(folder.Path() / "Coh_Spectrum.dat");
  const struct {
    const std::string& file;
    std::string expected;
  } cases[] = {
      {p, " keV   Fluence\r\n5.000E-01  0.000E+00\r\n1.000E+00  0.000E+00\r\n"},
      {p, "\r\n1.000E+02  5.000E-01\r\n"},
      {p, "\r\n5.000E+01  1.000E+00\r\n"},
      {p, "\r\n2.500E+01  2.500E-120\r\n"},
      {p, "\r\n1.500E+02  0.000E+00\r\n"},
      {inc, " keV     Fluence\r\n0.000E+00  0.0000E+00\r\n"},
      {inc, "\r\n8.363E+01  5.0000E-01\r\n0.000E+00  0.0000E+00\r\n"},
      {coh, " keV     Fluence\r\n5.000E-01  0.0000E+00\r\n"},
      {coh, "\r\n1.000E+02  5.0000E-01\r\n"},
      {coh, "\r\n5.000E+01  1.0000E+00\r\n"},
  };
  for (const auto& c : cases) EXPECT_NE(c.file.find(c.expected), std::string::npos) << c.expected;
  EXPECT_EQ(p.size(), 6617u);  // one three-digit exponent
  EXPECT_EQ(inc.size(), 6918u);
  EXPECT_EQ(coh.size(), 6918u);
  EXPECT_TRUE(p.ends_with("1.500E+02  0.000E+00\r\n"));
  EXPECT_TRUE(coh.ends_with("1.500E+02  0.0000E+00\r\n"));
}

TEST(SpectrumFiles, FailedWriteLeavesTheOldFileWhole) {
  Module1 m;
  testing::TempFolder folder;
  m.SetWorkingFolder(folder.Path());
  m.WritePrimarySpectrumFile();
  const std::string old = ReadFile(folder.Path() / "P_Spectrum.dat");
  m.PrimarySpectrum[10] = 1;
  // A folder where the temporary file would go makes the write fail before the rename.
  fs::path blocker = folder.Path() / "P_Spectrum.dat";
  blocker += ".tmp" + std::to_string(::getpid());
  fs::create_directory(blocker);
  try {
    m.WritePrimarySpectrumFile();
    ADD_FAILURE() << "write into a blocked temporary succeeded";
  } catch (const FileWriteError& error) {
    EXPECT_NE(std::string(error.what()).find("P_Spectrum.dat"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("Is a directory"), std::string::npos) << error.what();
  }
  EXPECT_EQ(ReadFile(folder.Path() / "P_Spectrum.dat"), old);
}

}  // namespace
}  // namespace xscatter
