// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/errors.h"
#include "model/field_reader.h"

namespace xscatter {

// Largest table read: far above any real table, small enough that a wrong file cannot exhaust
// memory.
inline constexpr std::int64_t kMaxTableBytes = 16 * 1024 * 1024;

// Reads a table as a stream of records, counting records and fields for the error messages.
class TableReader {
 public:
  // Reads the whole file: a regular file of at most kMaxTableBytes, opened without blocking so
  // that a pipe or device is refused instead of waited on; a leading UTF-8 byte-order mark is
  // skipped. Throws TableError.
  TableReader(const std::filesystem::path& data_folder, std::string file);
  TableReader(const TableReader&) = delete;
  TableReader& operator=(const TableReader&) = delete;

  // How many fields the whole table needs; a table that ends early names this count.
  void ExpectFields(std::int64_t fields) { needed_ = fields; }
  // Starts the next record; fields are counted from 1 again.
  void BeginRecord();
  // The next field of the current record, valid until the next one is read. Throws TableError
  // (EndsEarly).
  const std::string& NextField();
  // The next field as a number. Throws TableError (EndsEarly, NotANumber).
  double NextNumber();
  // An error about the field last read, quoting it.
  TableError FieldError(TableFailure kind) const;

 private:
  std::filesystem::path folder_;
  std::string file_;
  std::string text_;
  FieldReader fields_;
  std::string last_field_;
  std::int64_t record_ = 0;  // the current record
  int field_ = 0;            // fields read of the current record
  std::int64_t read_ = 0;    // fields read in all
  std::int64_t needed_ = 0;
};

// A table of `records` records of `fields` fields, of which the fields `used` (1-based) are read
// as numbers, none below 0 when `not_negative`.
struct TableLayout {
  std::string file;
  int records = 0;
  int fields = 0;
  std::vector<int> used;
  bool not_negative = false;
};

// Column c holds field used[c] of records 1..records at elements 1..records; element 0 is 0.
// Unused fields are never examined; anything after the last record is ignored. Throws TableError,
// also for running out of memory, so nothing partly read is returned.
std::vector<std::vector<double>> ReadTableColumns(const std::filesystem::path& data_folder,
                                                  const TableLayout& layout);

// A column read by ReadTableColumns as a grid or table array.
template <std::size_t N>
std::array<double, N> ColumnArray(const std::vector<double>& column) {
  std::array<double, N> values{};
  for (std::size_t i = 0; i < N && i < column.size(); ++i) values[i] = column[i];
  return values;
}

// Turns the current exception, which is not a TableError, into one naming the file.
TableError TableErrorFromCurrentException(const std::filesystem::path& data_folder,
                                          const std::string& file);

// Runs `read` for table `file`; a failure other than a TableError (memory, or any other
// exception) becomes a TableError naming the file.
template <typename Read>
auto GuardTableRead(const std::filesystem::path& data_folder, const std::string& file, Read read) {
  try {
    return read();
  } catch (const TableError&) {
    throw;
  } catch (...) {
    throw TableErrorFromCurrentException(data_folder, file);
  }
}

}  // namespace xscatter
