// SPDX-License-Identifier: MIT
// The module of --plot: Qt's application object and the scatter screen's charts as a picture.
#include <QtGlobal>
#include <exception>
#include <iostream>
#include <string>

#include "output/qt/picture_application.h"
#include "tools/batch/chart_plot.h"
#include "tools/batch/plot_module.h"

namespace xscatter::batch {
namespace {

class QtPlotSession : public PlotSession {
 public:
  QtPlotSession(int argc, char** argv) : application_(argc, argv) {}
  Picture& Plot() override { return plot_; }

 private:
  PictureApplication application_;
  ChartPlot plot_;
};

}  // namespace
}  // namespace xscatter::batch

extern "C" __attribute__((visibility("default"))) xscatter::batch::PlotSession*
xscatter_batch_open_plot(int argc, char** argv, std::string* error) {
  // Pictures are drawn with Qt's painter, which needs an application object but no display. Qt's
  // notes about the session (no runtime folder, say) are not the tool's to pass on.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
  });
  try {
    return new xscatter::batch::QtPlotSession(argc, argv);
  } catch (const std::exception& failure) {
    *error = failure.what();
    return nullptr;
  }
}
