// SPDX-License-Identifier: MIT
#include "model/compton_profiles.h"

#include <cstdint>
#include <optional>
#include <string>

#include "model/errors.h"
#include "model/field_reader.h"
#include "model/table_reader.h"

namespace xscatter {
namespace {

constexpr const char* kProfilesFile = "WaterCompton.csv";
constexpr int kShellFields = 2;                 // electrons, binding energy
constexpr int kRowFields = 1 + kComptonShells;  // pz, then J of every shell

double NotNegative(TableReader& reader) {
  const double value = reader.NextNumber();
  if (value < 0) throw reader.FieldError(TableFailure::Negative);
  return value;
}

// The profiles are integrated from pz = 0 upward and mirrored below it, so the grid must start at
// 0 and rise. `previous` is the text of the pz before, empty for the first row; it becomes this
// row's.
double ReadMomentum(TableReader& reader, const std::vector<double>& earlier,
                    std::string& previous) {
  const std::string& text = reader.NextField();
  const std::optional<double> pz = ParseTableNumber(text);
  if (!pz) throw reader.FieldError(TableFailure::NotANumber);
  if (earlier.empty() ? *pz != 0 : !(*pz > earlier.back())) {
    TableError error = reader.FieldError(TableFailure::PzNotAscending);
    error.previous_text = previous;
    throw error;
  }
  previous = text;
  return *pz;
}

}  // namespace

ComptonProfiles LoadComptonProfiles(const std::filesystem::path& data_folder) {
  return GuardTableRead(data_folder, kProfilesFile, [&] {
    TableReader reader(data_folder, kProfilesFile);
    reader.ExpectFields(static_cast<std::int64_t>(kComptonShells) * kShellFields +
                        static_cast<std::int64_t>(kComptonProfileRows) * kRowFields);
    ComptonProfiles profiles;
    for (int s = 0; s < kComptonShells; ++s) {
      reader.BeginRecord();
      profiles.electrons[s] = reader.NextNumber();
      if (!(profiles.electrons[s] > 0)) throw reader.FieldError(TableFailure::NotPositive);
      profiles.binding_kev[s] = NotNegative(reader);
    }
    profiles.pz.reserve(kComptonProfileRows);
    for (auto& j : profiles.j) j.reserve(kComptonProfileRows);
    std::string previous_field;
    for (int row = 0; row < kComptonProfileRows; ++row) {
      reader.BeginRecord();
      profiles.pz.push_back(ReadMomentum(reader, profiles.pz, previous_field));
      for (auto& j : profiles.j) j.push_back(NotNegative(reader));
    }
    return profiles;
  });
}

}  // namespace xscatter
