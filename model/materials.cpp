// SPDX-License-Identifier: MIT
#include "model/materials.h"

#include <cstdint>

#include "model/errors.h"
#include "model/table_reader.h"

namespace xscatter {
namespace {

constexpr const char* kMaterialsFile = "Materials.csv";
constexpr int kMaxMaterials = 100;
constexpr int kMaterialFields = 2 + kLastBin;  // name, density, mu/rho of every bin

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

int ReadMaterialCount(TableReader& reader) {
  reader.ExpectFields(1);
  reader.BeginRecord();
  const double count = reader.NextNumber();
  if (count >= 1 && count <= kMaxMaterials && count == static_cast<int>(count)) {
    return static_cast<int>(count);
  }
  TableError error = reader.FieldError(TableFailure::BadMaterialCount);
  error.needed = kMaxMaterials;
  throw error;
}

Material ReadMaterial(TableReader& reader, const std::vector<Material>& earlier) {
  reader.BeginRecord();
  Material material;
  material.name = reader.NextField();
  if (material.name.empty()) throw reader.FieldError(TableFailure::EmptyName);
  for (std::size_t i = 0; i < earlier.size(); ++i) {
    if (!SameName(earlier[i].name, material.name)) continue;
    TableError error = reader.FieldError(TableFailure::DuplicateName);
    error.found = static_cast<std::int64_t>(i) + 2;  // record 1 is the count
    throw error;
  }
  material.density = reader.NextNumber();
  if (!(material.density > 0)) throw reader.FieldError(TableFailure::NotPositive);
  for (int k = 1; k <= kLastBin; ++k) {
    material.mu_rho[k] = reader.NextNumber();
    if (material.mu_rho[k] < 0) throw reader.FieldError(TableFailure::Negative);
  }
  return material;
}

}  // namespace

std::vector<Material> LoadMaterials(const std::filesystem::path& data_folder) {
  return GuardTableRead(data_folder, kMaterialsFile, [&] {
    TableReader reader(data_folder, kMaterialsFile);
    const int count = ReadMaterialCount(reader);
    reader.ExpectFields(1 + static_cast<std::int64_t>(count) * kMaterialFields);
    std::vector<Material> materials;
    materials.reserve(count);
    for (int m = 0; m < count; ++m) materials.push_back(ReadMaterial(reader, materials));
    return materials;
  });
}

const Material* FindMaterial(const std::vector<Material>& materials, std::string_view name) {
  for (const Material& material : materials) {
    if (SameName(material.name, name)) return &material;
  }
  return nullptr;
}

FilterLayer MakeFilterLayer(const Material& material, double thickness_mm) {
  FilterLayer layer;
  for (int k = 1; k <= kLastBin; ++k) layer.mu_per_cm[k] = material.mu_rho[k] * material.density;
  layer.thickness_cm = 0.1 * thickness_mm;
  return layer;
}

}  // namespace xscatter
