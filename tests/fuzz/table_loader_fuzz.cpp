// SPDX-License-Identifier: MIT
// Any content of one data table, the other two being the shipped ones: loading either succeeds or
// fails with a TableError and leaves the store untouched; no other exception, crash or hang.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#include "check.h"
#include "model/errors.h"
#include "model/state.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kTables[] = {"Mus.dat", "Water.csv", "Water.xfs"};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, std::string_view content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  FUZZ_CHECK(out.good());
}

// A working folder whose Data/ holds copies of the shipped tables, removed at exit.
class WorkingFolder {
 public:
  WorkingFolder() {
    std::string pattern = (fs::temp_directory_path() / "xscatter-fuzz-XXXXXX").string();
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    path_ = pattern;
    fs::create_directory(path_ / "Data");
    for (int i = 0; i < 3; ++i) {
      shipped_[i] = ReadFile(fs::path(XSCATTER_DATA_DIR) / kTables[i]);
      FUZZ_CHECK(!shipped_[i].empty());
      WriteFile(Table(i), shipped_[i]);
    }
  }
  ~WorkingFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }

  const fs::path& Path() const { return path_; }
  fs::path Table(int i) const { return path_ / "Data" / kTables[i]; }
  const std::string& Shipped(int i) const { return shipped_[i]; }

 private:
  fs::path path_;
  std::string shipped_[3];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const WorkingFolder folder;
  if (size == 0) return 0;
  const int table = data[0] % 3;
  WriteFile(folder.Table(table),
            std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

  xscatter::Module1 store;
  store.SetWorkingFolder(folder.Path());
  try {
    store.LoadDataTables();
    FUZZ_CHECK(store.Pi == 3.14159);
  } catch (const xscatter::TableError&) {
    FUZZ_CHECK(store.Pi == 0);
    FUZZ_CHECK(store.MuTarget[1] == 0 && store.ScatterX[1] == 0);
  }
  WriteFile(folder.Table(table), folder.Shipped(table));
  return 0;
}
