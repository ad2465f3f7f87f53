// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>
#include <QIcon>
#include <QPixmap>
#include <QSvgRenderer>

namespace xscatter {

// The two stored pictures are compiled into the xscatter_screens static library as Qt resources
// (":/pictures/geometry.svg", ":/pictures/icon.png"). A static library's resources are not
// registered by themselves; every function and class here registers them on first use, and code
// that opens the resource paths directly must call RegisterPictureResources() first.
void RegisterPictureResources();

// The 32 x 32 program icon, the window icon of Form1 and Form5.
QIcon ProgramIcon();

// A bordered picture box with the window background colour showing the geometry diagram
// (5567 x 2713 twips) at the top left: at its own size where the box is large enough, otherwise
// scaled down to fit, keeping its proportions.
class DiagramBox : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kWidthTwips = 5567;
  static constexpr int kHeightTwips = 2713;

  explicit DiagramBox(QWidget* parent = nullptr);

  // Where the diagram lands inside the box, in pixels of the box.
  QRectF PictureRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QSvgRenderer renderer_;
};

// A borderless box of exactly the icon's size (480 x 480 twips) showing the program icon.
class IconBox : public QFrame {
  Q_OBJECT

 public:
  explicit IconBox(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap icon_;
};

}  // namespace xscatter
