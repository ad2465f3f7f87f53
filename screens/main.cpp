#include <QApplication>
#include <QStyleFactory>

#include "output/qt/fonts.h"
#include "screens/qt_translations.h"
#include "screens/screen_flow.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  // Windows are hidden and shown by the flow; only EXIT or the main screen's close box ends it.
  QApplication::setQuitOnLastWindowClosed(false);
  xscatter::InstallFontSubstitutions();
  xscatter::InstallQtTranslations(app);

  xscatter::ScreenFlow flow;
  QObject::connect(&flow, &xscatter::ScreenFlow::EndRequested, &app,
                   [] { QCoreApplication::exit(0); });
  if (!flow.Start()) return 1;
  return QApplication::exec();
}
