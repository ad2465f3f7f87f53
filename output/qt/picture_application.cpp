// SPDX-License-Identifier: MIT
#include "output/qt/picture_application.h"

#include <stdexcept>

#include "output/qt/fonts.h"

namespace xscatter {
PictureApplication::PictureApplication(int argc, char** argv) {
  if (QCoreApplication::instance() == nullptr) {
    // The option outranks QT_QPA_PLATFORM, so a display named there is not needed either.
    texts_ = {argc > 0 && argv[0] != nullptr ? argv[0] : "xscatter", "-platform", "offscreen"};
    for (std::string& text : texts_) arguments_.push_back(text.data());
    arguments_.push_back(nullptr);
    count_ = static_cast<int>(texts_.size());
    application_ = std::make_unique<QGuiApplication>(count_, arguments_.data());
  } else if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    throw std::logic_error("pictures need a QGuiApplication, and this process has a plain one");
  }
  InstallFontSubstitutions();
}

PictureApplication::~PictureApplication() = default;

}  // namespace xscatter
