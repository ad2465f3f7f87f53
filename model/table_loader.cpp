#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "model/errors.h"
#include "model/field_reader.h"
#include "model/state.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

struct TableFile {
  const char* name;
  int records;
  int fields_per_record;
  std::vector<int> used_fields;  // 1-based positions within a record
};

std::string FolderNote(const fs::path& data_folder) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(data_folder, ec);
  return "\n探したフォルダ: " + (ec ? data_folder : absolute.lexically_normal()).string();
}

std::string ReadWholeFile(const fs::path& path, const fs::path& data_folder, const char* name) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    throw TableError(std::string("データテーブル ") + name +
                     " を読めません（ファイルではなくフォルダです）。" + FolderNote(data_folder));
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    const int error = errno;
    const std::string reason = error != 0 ? std::strerror(error) : "cannot open";
    throw TableError(std::string("データテーブル ") + name + " を開けません（" + reason + "）。" +
                     FolderNote(data_folder));
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    throw TableError(std::string("データテーブル ") + name + " を読み込めません（" +
                     std::strerror(errno) + "）。" + FolderNote(data_folder));
  }
  return content.str();
}

// Reads records x fields and returns the used fields of every record, record by record, in the
// order of `used_fields`. Throws before anything is returned, so no partly read table is kept.
std::vector<double> ReadTable(const fs::path& data_folder, const TableFile& table) {
  const std::string text = ReadWholeFile(data_folder / table.name, data_folder, table.name);
  FieldReader reader(text);
  std::vector<double> values;
  values.reserve(table.records * table.used_fields.size());
  const int total = table.records * table.fields_per_record;
  int read = 0;
  for (int record = 1; record <= table.records; ++record) {
    for (int field = 1; field <= table.fields_per_record; ++field) {
      std::optional<std::string> text_field = reader.Next();
      if (!text_field) {
        throw TableError(std::string("データテーブル ") + table.name +
                         " が途中で終わっています: レコード " + std::to_string(record) +
                         " のフィールド " + std::to_string(field) + " がありません（" +
                         std::to_string(total) + " 個のフィールドが必要なところ " +
                         std::to_string(read) + " 個）。" + FolderNote(data_folder));
      }
      ++read;
      bool used = false;
      for (int u : table.used_fields) used = used || u == field;
      if (!used) continue;
      const std::optional<double> value = ParseTableNumber(*text_field);
      if (!value) {
        throw TableError(std::string("データテーブル ") + table.name + " のレコード " +
                         std::to_string(record) + " のフィールド " + std::to_string(field) +
                         " が数値ではありません: \"" + *text_field + "\"" +
                         FolderNote(data_folder));
      }
      values.push_back(*value);
    }
  }
  return values;
}

}  // namespace

void Module1::LoadDataTables() {
  const fs::path data_folder = DataFolder();
  const std::vector<double> mus = ReadTable(data_folder, {"Mus.dat", kLastBin, 7, {2, 3, 4}});
  const std::vector<double> water = ReadTable(data_folder, {"Water.csv", kLastBin, 3, {2, 3}});
  const std::vector<double> xfs = ReadTable(data_folder, {"Water.xfs", kTableRows, 3, {1, 2, 3}});

  for (int k = 1; k <= kLastBin; ++k) {
    MuTarget[k] = mus[3 * (k - 1)];
    MuAl[k] = mus[3 * (k - 1) + 1];
    MuCu[k] = mus[3 * (k - 1) + 2];
    WaterCoherent[k] = water[2 * (k - 1)];
    WaterIncoherent[k] = water[2 * (k - 1) + 1];
  }
  for (int k = 1; k <= kTableRows; ++k) {
    ScatterX[k] = xfs[3 * (k - 1)];
    CoherentF[k] = xfs[3 * (k - 1) + 1];
    IncoherentS[k] = xfs[3 * (k - 1) + 2];
  }
  Pi = 3.14159;
}

}  // namespace xscatter
