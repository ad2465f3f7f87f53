#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "model/data_folder.h"
#include "tools/batch/batch_options.h"
#include "tools/batch/batch_run.h"

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
  return RunBatch(*options, folders, nullptr, std::cout, std::cerr);
}
