// SPDX-License-Identifier: MIT
#include "screens/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QtGlobal>

namespace xscatter {

void InstallQtTranslations(QCoreApplication& app) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(&app);
  if (translator->load(QStringLiteral("qtbase_ja"), folder)) {
    QCoreApplication::installTranslator(translator);
  } else {
    qWarning("Qt's Japanese translations %s/qtbase_ja.qm could not be loaded",
             qUtf8Printable(folder));
    delete translator;
  }
}

}  // namespace xscatter
