#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "model/commands.h"
#include "model/data_folder.h"
#include "model/state.h"
#include "model/text_panel.h"
#include "tools/batch/batch_options.h"

namespace {

using xscatter::batch::BatchOptions;

// Exit statuses of the tool.
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kRejected = 2;

// Stands in for the screens: the boxes hold the command-line texts, messages go to stderr.
class BatchPanel : public xscatter::TextPanel {
 public:
  void Warn(const std::string& text) override { std::cerr << text << '\n'; }
  void ReportError(const std::string& text) override { std::cerr << text << '\n'; }
};

int Run(const BatchOptions& options) {
  BatchPanel panel;
  for (const auto& [box, text] : options.boxes) panel.boxes[box] = text;
  panel.angle = options.angle.value_or("");
  xscatter::Module1 m;
  m.AttachPanel(&panel);
  m.SetDataFolder(xscatter::ResolveDataFolder(".", xscatter::ExecutableFolder()));
  if (!xscatter::RunLoadDataTables(m)) return kFailed;

  switch (xscatter::RunCalculateCommand(m)) {
    case xscatter::CommandStatus::Completed:
      break;
    case xscatter::CommandStatus::Rejected:
      return kRejected;
    case xscatter::CommandStatus::Failed:
      return kFailed;
  }
  if (!xscatter::RunWritePrimarySpectrumFile(m)) return kFailed;
  if (!options.angle) return kDone;

  switch (xscatter::RunScatterCommand(m)) {
    case xscatter::CommandStatus::Completed:
      return kDone;
    case xscatter::CommandStatus::Rejected:
      return kRejected;
    case xscatter::CommandStatus::Failed:
      break;
  }
  return kFailed;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto options = xscatter::batch::ParseBatchOptions(args, error);
  if (!options) {
    std::cerr << "xscatter-batch: " << error << "\n\n" << xscatter::batch::kBatchUsage;
    return kRejected;
  }
  if (options->help) {
    std::cout << xscatter::batch::kBatchUsage;
    return kDone;
  }
  if (options->version) {
    const std::filesystem::path tables =
        xscatter::ResolveDataFolder(".", xscatter::ExecutableFolder());
    std::error_code ec;
    const std::filesystem::path shown = std::filesystem::absolute(tables, ec);
    std::cout << "xscatter-batch " << XSCATTER_VERSION
              << "\ntables: " << (ec ? tables : shown.lexically_normal()).string() << '\n';
    return kDone;
  }
  return Run(*options);
}
