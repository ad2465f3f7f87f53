// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

#include "output/qt/chart_picture.h"
#include "tools/batch/picture.h"

namespace xscatter::batch {

// The batch tool's picture: the scatter screen's charts drawn by ChartPicture.
class ChartPlot : public Picture {
 public:
  ChartSurface& PrimaryChart() override { return picture_.PrimaryChart(); }
  ChartSurface& ScatterChart() override { return picture_.ScatterChart(); }
  void Save(const std::filesystem::path& file) const override { picture_.Save(file); }

 private:
  ChartPicture picture_;
};

}  // namespace xscatter::batch
