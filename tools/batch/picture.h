// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

#include "output/chart_surface.h"

namespace xscatter::batch {

// The charts of the scatter screen as a picture file: the primary chart and the scatter chart.
class Picture {
 public:
  virtual ~Picture() = default;
  virtual ChartSurface& PrimaryChart() = 0;
  virtual ChartSurface& ScatterChart() = 0;
  // Throws FileWriteError; an existing file is replaced only by a complete picture.
  virtual void Save(const std::filesystem::path& file) const = 0;
};

}  // namespace xscatter::batch
