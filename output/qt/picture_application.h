// SPDX-License-Identifier: MIT
#pragma once

#include <QGuiApplication>
#include <memory>
#include <string>
#include <vector>

namespace xscatter {

// Makes sure a QGuiApplication exists while pictures are drawn, for programs without windows
// (the batch tool). When the process has none, it creates one on the offscreen platform, which
// needs no display, and removes it again on destruction; an existing one is left alone. Either way
// the program's font substitutions are installed. Throws std::logic_error when the process has a
// QCoreApplication that is not a QGuiApplication.
class PictureApplication {
 public:
  PictureApplication(int argc, char** argv);
  ~PictureApplication();
  PictureApplication(const PictureApplication&) = delete;
  PictureApplication& operator=(const PictureApplication&) = delete;

 private:
  // The application keeps references to its arguments for its whole life.
  std::vector<std::string> texts_;
  std::vector<char*> arguments_;
  int count_ = 0;
  std::unique_ptr<QGuiApplication> application_;
};

}  // namespace xscatter
