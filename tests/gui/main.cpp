// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QApplication>

#include "screens/qt_translations.h"

int main(int argc, char* argv[]) {
  // Test discovery runs this program outside CTest's environment as well.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" XSCATTER_TEST_SCREEN);
  }
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // As the program does, so that the tests see the menus and boxes it shows.
  xscatter::InstallQtTranslations(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
