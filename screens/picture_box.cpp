// SPDX-License-Identifier: MIT
#include "screens/picture_box.h"

#include <QPaintEvent>
#include <QPainter>

#include "output/qt/twips.h"

// Q_INIT_RESOURCE has to be used outside any namespace.
static void InitPicturesResource() { Q_INIT_RESOURCE(pictures); }

namespace xscatter {
namespace {

const QString kDiagramPath = QStringLiteral(":/pictures/geometry.svg");
const QString kIconPath = QStringLiteral(":/pictures/icon.png");
constexpr int kIconTwips = 480;

}  // namespace

void RegisterPictureResources() {
  static const bool registered = [] {
    InitPicturesResource();
    return true;
  }();
  (void)registered;
}

QIcon ProgramIcon() {
  RegisterPictureResources();
  return QIcon(kIconPath);
}

DiagramBox::DiagramBox(QWidget* parent) : QFrame(parent) {
  RegisterPictureResources();
  renderer_.load(kDiagramPath);
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

QRectF DiagramBox::PictureRect() const {
  const QRect inner = contentsRect();
  const QSizeF natural(TwipsToPixels(kWidthTwips, this), TwipsToPixelsY(kHeightTwips, this));
  QSizeF size = natural;
  if (natural.width() > inner.width() || natural.height() > inner.height()) {
    size = natural.scaled(QSizeF(inner.size()), Qt::KeepAspectRatio);
  }
  return QRectF(QPointF(inner.topLeft()), size);
}

void DiagramBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setClipRect(contentsRect());
  renderer_.render(&painter, PictureRect());
}

IconBox::IconBox(QWidget* parent) : QFrame(parent) {
  RegisterPictureResources();
  icon_ = QPixmap(kIconPath);
  setFrameStyle(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  setFixedSize(TwipsToPixels(kIconTwips, this), TwipsToPixelsY(kIconTwips, this));
}

void IconBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(rect(), icon_);
}

}  // namespace xscatter
