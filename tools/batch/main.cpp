#include <iostream>
#include <string>
#include <vector>

#include "model/command_panel.h"
#include "model/commands.h"
#include "model/state.h"
#include "tools/batch/batch_options.h"

namespace {

using xscatter::ConditionBox;
using xscatter::batch::BatchOptions;

// Exit statuses of the tool.
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kRejected = 2;

// Stands in for the screens: the boxes hold the command-line texts, messages go to stderr.
class BatchPanel : public xscatter::CommandPanel {
 public:
  explicit BatchPanel(BatchOptions options) : options_(std::move(options)) {}

  std::string ConditionText(ConditionBox box) const override { return *Box(box); }
  void SetConditionText(ConditionBox box, const std::string& text) override {
    *const_cast<std::string*>(Box(box)) = text;
  }
  std::string AngleText() const override { return options_.angle.value_or(""); }
  void Warn(const std::string& text) override { std::cerr << text << '\n'; }
  void ReportError(const std::string& text) override { std::cerr << text << '\n'; }
  void Yield() override {}

 private:
  const std::string* Box(ConditionBox box) const {
    switch (box) {
      case ConditionBox::TubeVoltage:
        return &options_.kv;
      case ConditionBox::TargetAngle:
        return &options_.target_angle;
      case ConditionBox::InherentFiltration:
        return &options_.inherent;
      case ConditionBox::AddedAluminium:
        return &options_.aluminium;
      case ConditionBox::AddedCopper:
        break;
    }
    return &options_.copper;
  }

  BatchOptions options_;
};

int Run(const BatchOptions& options) {
  BatchPanel panel(options);
  xscatter::Module1 m;
  m.AttachPanel(&panel);
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
    std::cout << "xscatter-batch " << XSCATTER_VERSION << '\n';
    return kDone;
  }
  return Run(*options);
}
