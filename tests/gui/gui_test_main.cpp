#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>

#include "output/qt/fonts.h"

int main(int argc, char* argv[]) {
  // Test discovery runs this program outside CTest's environment as well.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setQuitOnLastWindowClosed(false);
  xscatter::InstallFontSubstitutions();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
