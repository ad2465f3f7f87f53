// SPDX-License-Identifier: MIT
#include <dlfcn.h>

#include "tools/batch/plot_module.h"

namespace xscatter::batch {

std::unique_ptr<PlotSession> OpenPlotModule(const std::filesystem::path& executable_folder,
                                            int argc, char** argv, std::string& error) {
  // Beside the program in the build tree; in the library folder when installed.
  const std::filesystem::path places[] = {
      executable_folder / kPlotModuleName,
      executable_folder / XSCATTER_PLOT_MODULE_DIR / kPlotModuleName};
  void* module = nullptr;
  for (const auto& place : places) {
    module = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module) break;
    if (std::filesystem::exists(place)) {
      error = ::dlerror();
      return nullptr;
    }
  }
  if (!module) {
    error = std::string("the picture module ") + kPlotModuleName + " is not installed beside " +
            executable_folder.string();
    return nullptr;
  }
  // The module stays loaded to the end: Qt's objects are destroyed only then.
  const auto open = reinterpret_cast<OpenPlotFunction>(::dlsym(module, kOpenPlotSymbol));
  if (!open) {
    error = ::dlerror();
    return nullptr;
  }
  std::unique_ptr<PlotSession> session(open(argc, argv, &error));
  return session;
}

}  // namespace xscatter::batch
