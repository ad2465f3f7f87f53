// SPDX-License-Identifier: MIT
// The scatter screen's value labels with texts too wide for them: shown from the start, cut at the
// right with an ellipsis, never cut on the left where "12.5" would read as ".5"; texts that fit are
// painted as before.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>

#include "screens/form8.h"

namespace xscatter::testing {
namespace {

// A label like `label` (font, palette, place) showing `text` with `alignment`, drawn by QLabel.
QImage Drawn(QLabel* label, const QString& text, Qt::Alignment alignment) {
  QLabel plain(text, label->parentWidget());
  plain.setFont(label->font());
  plain.setPalette(label->palette());
  plain.setAlignment(alignment);
  plain.setGeometry(label->geometry());
  return plain.grab().toImage();
}

TEST(ValueLabels, ATextTooWideIsCutAtTheRightAndOneThatFitsIsUnchanged) {
  Form8 form;
  QLabel* label = form.Label18;
  const QString wide = QStringLiteral("12.5000000 mmAl");
  const int width = label->contentsRect().width();
  const struct {
    const char* name;
    QString text;
    QString shown;
    Qt::Alignment alignment;
  } rows[] = {
      {"fits, right-aligned", "2.5", "2.5", Qt::AlignRight | Qt::AlignTop},
      {"too wide, from its start", wide,
       label->fontMetrics().elidedText(wide, Qt::ElideRight, width), Qt::AlignLeft | Qt::AlignTop}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    label->setText(row.text);
    EXPECT_EQ(label->text(), row.text);
    EXPECT_EQ(label->grab().toImage(), Drawn(label, row.shown, row.alignment));
  }
  EXPECT_TRUE(rows[1].shown.startsWith(QStringLiteral("12.")));
  EXPECT_TRUE(rows[1].shown.endsWith(QChar(0x2026)));
}

}  // namespace
}  // namespace xscatter::testing
