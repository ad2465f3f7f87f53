// SPDX-License-Identifier: MIT
#include "model/text_panel.h"

#include "model/commands.h"

namespace xscatter {

TextPanel::TextPanel()
    : boxes{{ConditionBox::TubeVoltage, std::string(kDefaultTubeVoltage)},
            {ConditionBox::TargetAngle, std::string(kDefaultTargetAngle)},
            {ConditionBox::InherentFiltration, std::string(kDefaultInherentFiltration)},
            {ConditionBox::AddedAluminium, std::string(kDefaultAddedAluminium)},
            {ConditionBox::AddedCopper, std::string(kDefaultAddedCopper)}} {}

}  // namespace xscatter
