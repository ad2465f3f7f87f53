#pragma once

#include <string>

namespace xscatter {

// Scientific notation with one digit before the point, `decimals` after it, and an exponent of at
// least two digits with its sign: FormatScientific(0.5, 3) == "5.000E-01". Locale independent.
std::string FormatScientific(double value, int decimals);

}  // namespace xscatter
