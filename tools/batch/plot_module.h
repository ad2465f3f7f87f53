// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "tools/batch/picture.h"

namespace xscatter::batch {

// The picture of --plot lives in a module of its own, loaded only when a picture is asked for, so
// runs without --plot never load Qt.
inline constexpr const char* kPlotModuleName = "xscatter-batch-plot.so";
inline constexpr const char* kOpenPlotSymbol = "xscatter_batch_open_plot";

// What the module hands out: the Qt application a picture needs, and the picture.
class PlotSession {
 public:
  virtual ~PlotSession() = default;
  virtual Picture& Plot() = 0;
};

// The module's entry point: a new session, or null with the reason in `error`.
using OpenPlotFunction = PlotSession* (*)(int argc, char** argv, std::string* error);

// Loads the module, beside the program (the build tree) or in its installed folder, and opens a
// session; null with the reason in `error` when the module or its libraries cannot be loaded.
std::unique_ptr<PlotSession> OpenPlotModule(const std::filesystem::path& executable_folder,
                                            int argc, char** argv, std::string& error);

}  // namespace xscatter::batch
