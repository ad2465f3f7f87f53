// SPDX-License-Identifier: MIT
#include <unistd.h>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "model/data_folder.h"
#include "tools/batch/batch_options.h"
#include "tools/batch/batch_run.h"
#include "tools/batch/interrupt.h"
#include "tools/batch/plot_module.h"

namespace {

using namespace xscatter::batch;

// Standard output that cannot take the text (a full disk, /dev/full) fails the command.
int Flushed(int status) {
  std::cout.flush();
  if (std::cout) return status;
  std::cerr << "xscatter-batch: cannot write to standard output\n";
  return kFailed;
}

int Main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto options = ParseBatchOptions(args, error);
  if (!options) {
    std::cerr << "xscatter-batch: " << error << "\n\n" << kBatchUsage;
    return kRejected;
  }
  if (options->help) {
    std::cout << kBatchUsage;
    return Flushed(kDone);
  }
  const BatchFolders folders{".", xscatter::ResolveDataFolder(".", xscatter::ExecutableFolder())};
  if (options->version) {
    std::error_code ec;
    const std::filesystem::path shown = std::filesystem::absolute(folders.data, ec);
    std::cout << "xscatter-batch " << XSCATTER_VERSION
              << "\ntables: " << (ec ? folders.data : shown.lexically_normal()).string() << '\n';
    return Flushed(kDone);
  }
  AllowCatchingInterrupts();
  std::FILE* terminal = !options->quiet && ::isatty(STDERR_FILENO) ? stderr : nullptr;
  if (!options->plot_file) {
    return Flushed(RunBatch(*options, folders, nullptr, std::cout, std::cerr, terminal));
  }
  // Qt is loaded for pictures only.
  const auto session = OpenPlotModule(xscatter::ExecutableFolder(), argc, argv, error);
  if (!session) {
    std::cerr << "xscatter-batch: cannot draw pictures: " << error << '\n';
    return kFailed;
  }
  return Flushed(RunBatch(*options, folders, &session->Plot(), std::cout, std::cerr, terminal));
}

}  // namespace

int main(int argc, char** argv) {
  // No exception leaves the program: each ends in a message and a failed status.
  try {
    return Main(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "xscatter-batch: out of memory\n";
  } catch (const std::exception& error) {
    std::cerr << "xscatter-batch: " << error.what() << '\n';
  }
  return kFailed;
}
