// SPDX-License-Identifier: MIT
// Costs of the batch tool's sweeps on the shipped tables, whole runs of its logic with the CSV
// report (tables read, every run computed, figures, report text): 171 scatter angles at the
// default conditions (target under 30 ms) and 221 tube voltages with the beam-quality figures
// (target under 0.4 s); and 1,001 scatter angles written into run folders against the same sweep
// without files (target: within 4 times its time; the files reach the disk once, at the end).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tools/batch/batch_options.h"
#include "tools/batch/batch_run.h"

namespace {

namespace fs = std::filesystem;

struct Workplace {
  Workplace()
      : folder(fs::temp_directory_path() /
               ("xscatter-bench-" + std::to_string(std::random_device()()))) {
    fs::create_directories(folder / "Data");
    for (const auto& entry : fs::directory_iterator(XSCATTER_DATA_DIR)) {
      if (entry.path().extension() != ".md") {
        fs::copy_file(entry.path(), folder / "Data" / entry.path().filename());
      }
    }
  }
  ~Workplace() { fs::remove_all(folder); }
  fs::path folder;
};

// `spectra` adds --spectra-dir with a new folder for each iteration.
void RunSweep(benchmark::State& state, std::vector<std::string> args, bool spectra = false) {
  const Workplace workplace;
  int iteration = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> these = args;
    if (spectra) {
      these.insert(
          these.end(),
          {"--spectra-dir", (workplace.folder / ("runs" + std::to_string(++iteration))).string()});
    }
    std::string error;
    const auto options = xscatter::batch::ParseBatchOptions(these, error);
    if (!options) {
      state.SkipWithError(error.c_str());
      return;
    }
    state.ResumeTiming();
    std::ostringstream out, err;
    const int status = xscatter::batch::RunBatch(
        *options, {workplace.folder, workplace.folder / "Data"}, nullptr, out, err);
    if (status != xscatter::batch::kDone) state.SkipWithError(err.str().c_str());
    benchmark::DoNotOptimize(out.str().size());
  }
}

void BM_AngleSweep171Runs(benchmark::State& state) {
  RunSweep(state, {"--sweep", "angle=5:175:1", "--report", "csv"});
}
BENCHMARK(BM_AngleSweep171Runs)->Unit(benchmark::kMillisecond);

void BM_VoltageSweep221Runs(benchmark::State& state) {
  RunSweep(state, {"--sweep", "kv=40:150:0.5", "--report", "csv"});
}
BENCHMARK(BM_VoltageSweep221Runs)->Unit(benchmark::kMillisecond);

void BM_AngleSweep1001RunsNoFiles(benchmark::State& state) {
  RunSweep(state, {"--sweep", "angle=5:175:0.17", "--report", "csv"});
}
BENCHMARK(BM_AngleSweep1001RunsNoFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AngleSweep1001RunsIntoFolders(benchmark::State& state) {
  RunSweep(state, {"--sweep", "angle=5:175:0.17", "--report", "csv"}, true);
}
BENCHMARK(BM_AngleSweep1001RunsIntoFolders)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
