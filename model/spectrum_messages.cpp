// SPDX-License-Identifier: MIT
#include <string>
#include <system_error>

#include "model/errors.h"
#include "model/table_messages.h"

namespace xscatter {
namespace {

std::string SystemReason(int error_number) { return std::generic_category().message(error_number); }

}  // namespace

std::string DescribeSpectrumProblem(const SpectrumFileFault& f) {
  const std::string text =
      f.quote_text ? QuotedField(f.text, f.text_cut) : FieldExcerpt(f.text, f.text_cut);
  switch (f.kind) {
    case SpectrumFault::CannotOpen:
      return "cannot be opened (" + SystemReason(f.error_number) + ")";
    case SpectrumFault::CannotRead:
      return "cannot be read (" + SystemReason(f.error_number) + ")";
    case SpectrumFault::NotRegularFile:
      return "is not a regular file";
    case SpectrumFault::TooLarge:
      return "is larger than " + std::to_string(f.count) + " MiB";
    case SpectrumFault::WideEncoding:
      return "is not 8-bit text but " + f.text + "; save it as UTF-8 or ASCII";
    case SpectrumFault::TooFewPoints:
      return "holds " + std::to_string(f.count) + (f.count == 1 ? " point" : " points") +
             "; at least two (energy, fluence) are needed";
    case SpectrumFault::NothingOnGrid:
      return "no fluence above zero on the grid of 0.5 to 150 keV";
    case SpectrumFault::OnlyOneNumber:
      return "only one number; a data line needs energy and fluence";
    case SpectrumFault::DecimalComma:
      return "separates fields by ';' and has ',' between digits (a decimal comma?); write "
             "decimal points as '.'";
    case SpectrumFault::EnergyNotFinite:
      return "energy " + text + " is not a finite number";
    case SpectrumFault::FluenceNotFinite:
      return "fluence " + text + " is not a finite number";
    case SpectrumFault::EnergyNegative:
      return "energy " + text + " keV is negative";
    case SpectrumFault::EnergyNotAbove:
      return "energy " + text + " keV is not above the previous point's " +
             FieldExcerpt(f.previous_text, false) + " keV";
    case SpectrumFault::FluenceNegative:
      return "fluence " + text + " is negative";
    case SpectrumFault::Other:
      return f.text;
  }
  return f.text;
}

}  // namespace xscatter
