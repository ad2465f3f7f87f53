// SPDX-License-Identifier: MIT
#pragma once

#include "app/entries.h"
#include "model/state.h"

namespace xscatter {

enum class CommandStatus {
  Completed,  // the caller draws the new curves (and enables OK after a calculation)
  Rejected,   // an entry was refused with a warning through the panel
  Failed,     // a model or file error was reported through the panel
};

// The calculate command up to and including its yield: the checks in their fixed order (a refused
// box is put back to its default), BinCount, the primary model. The panel must be attached.
CommandStatus RunCalculateCommand(Module1& m);

// The scatter command's calculation: angle check, clearing, ScatterAngle, both models with their
// yields, common maximum and normalisation. On a model error the previous scatter spectra and
// scalars are restored.
CommandStatus RunScatterCalculation(Module1& m);

// The scatter command up to the drawing: angle check, clearing, ScatterAngle, both models with
// their yields, common maximum, normalisation, both files, ScatterSaved = 1. On a model error the
// previous scatter spectra and scalars are restored; a file error leaves ScatterSaved alone.
CommandStatus RunScatterCommand(Module1& m);

// Writes P_Spectrum.dat; a failure is reported through the panel and false returned.
bool RunWritePrimarySpectrumFile(Module1& m);

// LoadDataTables with the failure reported through the panel; false when the tables are unusable.
bool RunLoadDataTables(Module1& m);

}  // namespace xscatter
