// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>
#include <QWidget>

namespace xscatter {

// A small window beside the screens with the beam-quality figures as text that can be selected
// and copied. It blocks nothing, and closing it only hides it.
class FiguresWindow : public QWidget {
  Q_OBJECT

 public:
  explicit FiguresWindow(QWidget* parent = nullptr);

  void ShowText(const QString& text);

  QPlainTextEdit* Text;
};

}  // namespace xscatter
