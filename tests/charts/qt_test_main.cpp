#include <gtest/gtest.h>

#include <QApplication>

#include "output/qt/fonts.h"

int main(int argc, char** argv) {
  // Test discovery runs this binary without the test's environment, so default to offscreen here.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  xscatter::InstallFontSubstitutions();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
