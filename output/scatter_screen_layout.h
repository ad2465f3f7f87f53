// SPDX-License-Identifier: MIT
#pragma once

namespace xscatter {

// A rectangle in twips of a window's client area (15 to a pixel at 96 dpi): left, top, width,
// height. A line runs from (left, top) by (width, height).
struct TwipBox {
  int left;
  int top;
  int width;
  int height;
};

struct TwipText {
  TwipBox box;
  const char* text;
};

// The scatter screen's charts, headings and legend: the window places its controls here, and the
// chart picture of the batch tool and the context menu draws the same screen from it.
namespace scatter_screen {

inline constexpr TwipText kPrimaryHeading{{1200, 120, 6480, 540},
                                          "一次Ｘ線スペクトル（最大値で正規化）"};
inline constexpr TwipText kScatterHeading{{11400, 120, 6480, 540},
                                          "散乱Ｘ線スペクトル（最大値で正規化）"};
inline constexpr TwipBox kPrimaryChart{360, 720, 9135, 6615};
inline constexpr TwipBox kScatterChart{9840, 720, 9135, 6615};
inline constexpr TwipBox kLegendPanel{9840, 7440, 9135, 1335};
inline constexpr TwipBox kIncoherentLine{10440, 7800, 960, 0};
inline constexpr TwipBox kCoherentLine{10440, 8400, 960, 0};
inline constexpr TwipText kIncoherentLegend{{11760, 7560, 6585, 465},
                                            "非干渉性散乱 (Compton散乱) 線のスペクトル"};
inline constexpr TwipText kCoherentLegend{{11760, 8160, 6180, 465},
                                          "干渉性散乱 (Rayleigh散乱) 線のスペクトル"};

}  // namespace scatter_screen
}  // namespace xscatter
