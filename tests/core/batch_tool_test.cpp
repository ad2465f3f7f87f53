#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/core/core_fixture.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

struct Result {
  int status;
  std::string err;
};

Result RunBatch(const fs::path& folder, const std::string& args) {
  const std::string command =
      "cd '" + folder.string() + "' && '" XSCATTER_BATCH "' " + args + " 2> batch.err > batch.out";
  const int raw = std::system(command.c_str());
  Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testing::ReadFile(folder / "batch.err")};
  fs::remove(folder / "batch.err");
  fs::remove(folder / "batch.out");
  return r;
}

TEST(BatchTool, ExitStatusesAndMessages) {
  const struct {
    const char* args;
    int status;
    const char* err;  // part of standard error
    int files;        // spectrum files written
  } cases[] = {
      {"--kv 100 --target-angle 12 --inherent 2.5 --al 0 --cu 0 --angle 90", 0, "", 3},
      {"", 0, "", 1},
      {"--kv=100kV --angle=90deg", 0, "", 3},
      {"--kv=", 2, "\xE3\x80\x80管電圧が範囲外 ", 0},
      {"--kv 30 --angle 90", 2, "管電圧が範囲外", 0},
      {"--target-angle 0", 2, "ターゲット角度を再入力", 0},
      {"--inherent 0.5", 2, "固有ろ過を再入力", 0},
      {"--target-angle 179.99", 2, "この条件ではスペクトルを計算できません", 0},
      {"--angle 4", 2, " 散乱角度が範囲外です ", 1},
      {"--bogus 1", 2, "unknown option --bogus", 0},
      {"--kv", 2, "needs a value", 0},
  };
  for (const auto& c : cases) {
    testing::TempFolder folder;
    testing::WriteTestTables(folder.Path());
    const Result r = RunBatch(folder.Path(), c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    if (*c.err == '\0') {
      EXPECT_EQ(r.err, "") << c.args;
    } else {
      EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << ": " << r.err;
    }
    int files = 0;
    for (const char* name : {"P_Spectrum.dat", "Inc_Spectrum.dat", "Coh_Spectrum.dat"}) {
      files += fs::exists(folder.Path() / name);
    }
    EXPECT_EQ(files, c.files) << c.args;
  }
}

TEST(BatchTool, TableErrorExitsWithOne) {
  testing::TempFolder folder;
  const Result r = RunBatch(folder.Path(), "--angle 90");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Mus.dat"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace xscatter
