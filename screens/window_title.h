// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace xscatter {

// Caption of the main screen and title of every message box.
inline const QString kProgramTitle = QStringLiteral("散乱Ｘ線スペクトル計算");

}  // namespace xscatter
