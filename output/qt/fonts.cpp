// SPDX-License-Identifier: MIT
#include "output/qt/fonts.h"

#include <QFont>
#include <QStringList>

namespace xscatter {

void InstallFontSubstitutions() {
  const QString gothic = QStringLiteral("Noto Sans CJK JP");
  const QString mincho = QStringLiteral("Noto Serif CJK JP");
  QFont::insertSubstitutions(QStringLiteral("メイリオ"), {QStringLiteral("Meiryo"), gothic,
                                                          QStringLiteral("Droid Sans Fallback")});
  QFont::insertSubstitutions(
      QStringLiteral("HG丸ｺﾞｼｯｸM-PRO"),
      {QStringLiteral("HGMaruGothicMPRO"), QStringLiteral("MotoyaLMaru"), gothic});
  QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                             {QStringLiteral("Liberation Serif"), QStringLiteral("Nimbus Roman"),
                              QStringLiteral("DejaVu Serif")});
  // The geometry diagram's Mincho labels.
  QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"),
                             {QStringLiteral("MS Mincho"), mincho, gothic});
  QFont::insertSubstitutions(QStringLiteral("MS Mincho"), {mincho, gothic});
}

}  // namespace xscatter
