// SPDX-License-Identifier: MIT
#pragma once

namespace xscatter {

// Maps the faces the screens and pictures name (メイリオ, HG丸ｺﾞｼｯｸM-PRO, Times New Roman and the
// Mincho face of the geometry diagram) to close free fonts, used only where the named face is not
// installed. Call once after the QApplication exists and before any window is built.
void InstallFontSubstitutions();

}  // namespace xscatter
