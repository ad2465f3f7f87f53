// SPDX-License-Identifier: MIT
#include "screens/chart_menu.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHelpEvent>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <variant>

#include "model/errors.h"
#include "output/qt/chart_box.h"

namespace xscatter {

const QKeySequence kFiguresShortcut(Qt::CTRL | Qt::Key_I);

namespace {

// How near a curve the pointer must be for its tooltip, in pixels.
constexpr double kReach = 4;
// The chart units across and down a chart's inner area.
constexpr double kUnitsAcross = 6000;
constexpr double kUnitsDown = 2500;

double DistanceToSegment(QPointF p, QPointF a, QPointF b) {
  const QPointF ab = b - a;
  const double length2 = QPointF::dotProduct(ab, ab);
  double t = length2 > 0 ? QPointF::dotProduct(p - a, ab) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const QPointF d = p - (a + t * ab);
  return std::hypot(d.x(), d.y());
}

}  // namespace

ChartMenu::ChartMenu(ChartBox* chart, MessageFunction show_message)
    : QObject(chart), chart_(chart), show_message_(std::move(show_message)) {
  setObjectName(QStringLiteral("chart_menu"));
  chart->installEventFilter(this);
}

ChartMenu* ChartMenu::Of(const ChartBox* chart) {
  return chart->findChild<ChartMenu*>(QStringLiteral("chart_menu"), Qt::FindDirectChildrenOnly);
}

ChartExport ChartMenu::Picture() const {
  return ChartExport(chart_->Marks(), CurvesCaption(curves_));
}

QString ChartMenu::CurveAt(QPoint at) const {
  const QRectF inner = chart_->contentsRect();
  const auto to_pixels = [&](QPointF units) {
    return QPointF(inner.left() + units.x() * inner.width() / kUnitsAcross,
                   inner.top() + units.y() * inner.height() / kUnitsDown);
  };
  // The curves are the chart's curve marks, one for each curve drawn, in the same order.
  std::vector<const CurveMark*> drawn;
  for (const ChartMark& mark : chart_->Marks()) {
    if (const auto* curve = std::get_if<CurveMark>(&mark)) drawn.push_back(curve);
  }
  if (drawn.size() != curves_.size()) return {};
  for (std::size_t k = drawn.size(); k-- > 0;) {
    const std::vector<QPointF>& points = drawn[k]->points;
    for (std::size_t i = 1; i < points.size(); ++i) {
      if (DistanceToSegment(at, to_pixels(points[i - 1]), to_pixels(points[i])) <= kReach) {
        return curves_[k].title;
      }
    }
  }
  return {};
}

void ChartMenu::SaveAs(const QString& file) const {
  try {
    Picture().Save(file.toStdString());
  } catch (const FileWriteError& error) {
    show_message_(MessageKind::kError, QString::fromStdString(error.what()));
  }
}

void ChartMenu::CopyPicture() const {
  QApplication::clipboard()->setImage(Picture().Image(ChartExport::kPngScale));
}

void ChartMenu::CopyData() const { QApplication::clipboard()->setText(CurvesTable(curves_)); }

void ChartMenu::Print() const {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, chart_);
  dialog.setWindowTitle(QStringLiteral("グラフを印刷"));
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter painter;
  if (!painter.begin(&printer)) {
    show_message_(MessageKind::kError, QStringLiteral("印刷を始められませんでした。"));
    return;
  }
  // Drawn at four times the screen's resolution and fitted to the page, keeping its proportions.
  const QImage image = Picture().Image(4);
  const QRect page = painter.viewport();
  const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
  painter.drawImage(QRect(page.topLeft(), size), image);
}

void ChartMenu::AskAndSave() const {
  QString filter;
  const QString file = QFileDialog::getSaveFileName(
      chart_, QStringLiteral("グラフを画像として保存"), QStringLiteral("spectrum.png"),
      QStringLiteral("PNG 画像 (*.png);;SVG 画像 (*.svg)"), &filter);
  if (file.isEmpty()) return;
  SaveAs(file);
}

void ChartMenu::ShowMenu(QPoint global) {
  QMenu menu(chart_);
  menu.addAction(QStringLiteral("画像として保存 (PNG/SVG)..."), this, [this] { AskAndSave(); });
  menu.addAction(QStringLiteral("画像をコピー"), this, [this] { CopyPicture(); });
  QAction* data =
      menu.addAction(QStringLiteral("データをコピー (タブ区切り)"), this, [this] { CopyData(); });
  data->setEnabled(!curves_.empty());
  menu.addSeparator();
  menu.addAction(QStringLiteral("印刷..."), this, [this] { Print(); });
  if (show_figures_) {
    menu.addSeparator();
    QAction* figures = menu.addAction(QStringLiteral("線質を表示"), this, show_figures_);
    figures->setShortcut(kFiguresShortcut);
  }
  menu.exec(global);
}

bool ChartMenu::eventFilter(QObject* watched, QEvent* event) {
  if (watched != chart_) return false;
  if (event->type() == QEvent::ContextMenu) {
    auto* menu_event = static_cast<QContextMenuEvent*>(event);
    // From the menu key, the menu opens at the chart's middle.
    const QPoint at = menu_event->reason() == QContextMenuEvent::Keyboard
                          ? chart_->mapToGlobal(chart_->rect().center())
                          : menu_event->globalPos();
    ShowMenu(at);
    return true;
  }
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString title = CurveAt(help->pos());
    if (title.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), title, chart_);
    }
    return true;
  }
  return false;
}

}  // namespace xscatter
