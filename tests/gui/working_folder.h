#pragma once

#include <QTemporaryDir>
#include <filesystem>

namespace xscatter::testing {

// A temporary working folder with a Data/ of small, smooth, positive tables in the program's
// format: enough for every calculation of the screens to run.
class WorkingFolder {
 public:
  WorkingFolder();
  std::filesystem::path Path() const;
  bool Exists(const char* file_name) const;

 private:
  QTemporaryDir dir_;
};

}  // namespace xscatter::testing
