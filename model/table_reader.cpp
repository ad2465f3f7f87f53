// SPDX-License-Identifier: MIT
#include "model/table_reader.h"

#include <algorithm>
#include <exception>
#include <new>
#include <string_view>
#include <utility>

#include "model/regular_file.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

TableError FileError(TableFailure kind, const fs::path& data_folder, const std::string& file,
                     int error_number = 0) {
  TableError error(kind, file, data_folder);
  error.error_number = error_number;
  return error;
}

TableError TooLarge(const fs::path& data_folder, const std::string& file, std::int64_t size) {
  TableError error(TableFailure::TooLarge, file, data_folder);
  error.needed = kMaxTableBytes;
  error.found = size;
  return error;
}

// The text of table `file` in `data_folder`, as TableReader describes it.
std::string ReadTableText(const fs::path& data_folder, const std::string& file) {
  auto read = ReadRegularFile(data_folder / file, kMaxTableBytes);
  if (const auto* failure = std::get_if<RegularFileFailure>(&read)) {
    using Kind = RegularFileFailure::Kind;
    switch (failure->kind) {
      case Kind::CannotOpen:
        throw FileError(TableFailure::CannotOpen, data_folder, file, failure->error_number);
      case Kind::CannotRead:
        throw FileError(TableFailure::CannotRead, data_folder, file, failure->error_number);
      case Kind::IsFolder:
        throw FileError(TableFailure::IsFolder, data_folder, file);
      case Kind::NotRegularFile:
        throw FileError(TableFailure::NotRegularFile, data_folder, file);
      case Kind::TooLarge:
        throw TooLarge(data_folder, file, failure->size);
    }
  }
  std::string text = std::move(std::get<std::string>(read));
  if (text.starts_with(kByteOrderMark)) text.erase(0, kByteOrderMark.size());
  return text;
}

}  // namespace

TableError TableErrorFromCurrentException(const fs::path& data_folder, const std::string& file) {
  TableError error(TableFailure::Unexpected, file, data_folder);
  try {
    throw;
  } catch (const std::bad_alloc&) {
    error.kind = TableFailure::OutOfMemory;
  } catch (const std::exception& other) {
    error.detail = other.what();
  } catch (...) {
    error.detail = "unknown error";
  }
  return error;
}

TableReader::TableReader(const fs::path& data_folder, std::string file)
    : folder_(data_folder),
      file_(std::move(file)),
      text_(ReadTableText(folder_, file_)),
      fields_(text_) {}

void TableReader::BeginRecord() {
  ++record_;
  field_ = 0;
}

const std::string& TableReader::NextField() {
  ++field_;
  std::optional<std::string> text = fields_.Next();
  if (!text) {
    TableError error(TableFailure::EndsEarly, file_, folder_);
    error.record = record_;
    error.field = field_;
    error.needed = needed_;
    error.found = read_;
    throw error;
  }
  ++read_;
  last_field_ = std::move(*text);
  return last_field_;
}

double TableReader::NextNumber() {
  const std::optional<double> value = ParseTableNumber(NextField());
  if (!value) throw FieldError(TableFailure::NotANumber);
  return *value;
}

TableError TableReader::FieldError(TableFailure kind) const {
  TableError error(kind, file_, folder_);
  error.record = record_;
  error.field = field_;
  error.SetText(last_field_);
  return error;
}

std::vector<std::vector<double>> ReadTableColumns(const fs::path& data_folder,
                                                  const TableLayout& layout) {
  return GuardTableRead(data_folder, layout.file, [&] {
    TableReader reader(data_folder, layout.file);
    reader.ExpectFields(static_cast<std::int64_t>(layout.records) * layout.fields);
    std::vector<std::vector<double>> columns(layout.used.size(),
                                             std::vector<double>(layout.records + 1, 0.0));
    for (int k = 1; k <= layout.records; ++k) {
      reader.BeginRecord();
      for (int field = 1; field <= layout.fields; ++field) {
        const auto used = std::find(layout.used.begin(), layout.used.end(), field);
        if (used == layout.used.end()) {
          reader.NextField();
        } else {
          const double value = reader.NextNumber();
          if (layout.not_negative && value < 0) throw reader.FieldError(TableFailure::Negative);
          columns[used - layout.used.begin()][k] = value;
        }
      }
    }
    return columns;
  });
}

}  // namespace xscatter
