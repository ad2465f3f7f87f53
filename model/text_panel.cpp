// SPDX-License-Identifier: MIT
#include "model/text_panel.h"

namespace xscatter {

TextPanel::TextPanel() : boxes(DefaultConditionTexts()) {}

}  // namespace xscatter
