// SPDX-License-Identifier: MIT
#pragma once

#include <QKeySequence>
#include <QObject>
#include <QPoint>
#include <functional>
#include <vector>

#include "screens/chart_curves.h"
#include "screens/chart_export.h"
#include "screens/message_box.h"

namespace xscatter {

class ChartBox;

// The keys that show the figures window from the conditions and scatter screens.
extern const QKeySequence kFiguresShortcut;

// What a chart box offers besides its drawing: a context menu (right button or the menu key) to
// save the chart as PNG or SVG, copy its picture, copy its data as tab-separated text and print it;
// and, hovering a curve, a tooltip naming its conditions and angle. Knows the curves drawn on the
// chart since it was last prepared, in drawing order, which the screen flow tells it.
class ChartMenu : public QObject {
  Q_OBJECT

 public:
  // Owned by the chart; failures are shown with `show_message`.
  ChartMenu(ChartBox* chart, MessageFunction show_message);

  // The chart box's menu, or null where it has none.
  static ChartMenu* Of(const ChartBox* chart);

  // Adds "線質を表示" to the menu, running `show_figures`.
  void SetFiguresCommand(std::function<void()> show_figures) {
    show_figures_ = std::move(show_figures);
  }

  void ClearCurves() { curves_.clear(); }
  void AddCurve(ChartCurve curve) { curves_.push_back(std::move(curve)); }
  const std::vector<ChartCurve>& Curves() const { return curves_; }

  ChartExport Picture() const;
  // The title of the curve drawn within a few pixels of `at` (in the chart box's pixels); empty
  // where there is none. The last drawn is on top.
  QString CurveAt(QPoint at) const;

  // The menu's commands; each reports its failure itself.
  void SaveAs(const QString& file) const;
  void CopyPicture() const;
  void CopyData() const;
  void Print() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowMenu(QPoint global);
  void AskAndSave() const;

  ChartBox* chart_;
  MessageFunction show_message_;
  std::vector<ChartCurve> curves_;
  std::function<void()> show_figures_;
};

}  // namespace xscatter
