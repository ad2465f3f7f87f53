// SPDX-License-Identifier: MIT
#include <QtGlobal>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "model/data_folder.h"
#include "output/qt/picture_application.h"
#include "tools/batch/batch_options.h"
#include "tools/batch/batch_run.h"
#include "tools/batch/chart_plot.h"

int main(int argc, char** argv) {
  using namespace xscatter::batch;
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto options = ParseBatchOptions(args, error);
  if (!options) {
    std::cerr << "xscatter-batch: " << error << "\n\n" << kBatchUsage;
    return kRejected;
  }
  if (options->help) {
    std::cout << kBatchUsage;
    return kDone;
  }
  const BatchFolders folders{".", xscatter::ResolveDataFolder(".", xscatter::ExecutableFolder())};
  if (options->version) {
    std::error_code ec;
    const std::filesystem::path shown = std::filesystem::absolute(folders.data, ec);
    std::cout << "xscatter-batch " << XSCATTER_VERSION
              << "\ntables: " << (ec ? folders.data : shown.lexically_normal()).string() << '\n';
    return kDone;
  }
  if (!options->plot_file) return RunBatch(*options, folders, nullptr, std::cout, std::cerr);
  // Pictures are drawn with Qt's painter, which needs an application object but no display. Qt's
  // notes about the session (no runtime folder, say) are not the tool's to pass on.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
  });
  const xscatter::PictureApplication application(argc, argv);
  ChartPlot plot;
  return RunBatch(*options, folders, &plot, std::cout, std::cerr);
}
