#pragma once

namespace xscatter {

// Depth coefficient D(kV) of the target model: the electron path scale in the self-absorption term.
double TuckerDepthCoefficient(double kv);

// Share K(kV) of the characteristic lines in per cent of the bremsstrahlung sum; 0 up to 70 kV.
double CharacteristicLineShare(double kv);

}  // namespace xscatter
