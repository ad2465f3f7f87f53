// SPDX-License-Identifier: MIT
#include "model/table_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <exception>
#include <new>
#include <string_view>
#include <utility>

#include "model/unique_fd.h"

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
  const fs::path path = data_folder / file;
  // O_NONBLOCK: opening a pipe without a writer must not wait.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) throw FileError(TableFailure::CannotOpen, data_folder, file, errno);
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) {
    throw FileError(TableFailure::CannotRead, data_folder, file, errno);
  }
  if (S_ISDIR(status.st_mode)) throw FileError(TableFailure::IsFolder, data_folder, file);
  if (!S_ISREG(status.st_mode)) throw FileError(TableFailure::NotRegularFile, data_folder, file);
  if (status.st_size > kMaxTableBytes) throw TooLarge(data_folder, file, status.st_size);

  // The file may grow while it is read: read one byte beyond the limit to notice.
  std::string text(static_cast<std::size_t>(status.st_size) + 1, '\0');
  std::size_t size = 0;
  for (;;) {
    if (size == text.size()) {
      if (text.size() > static_cast<std::size_t>(kMaxTableBytes)) {
        throw TooLarge(data_folder, file, static_cast<std::int64_t>(text.size()));
      }
      text.resize(std::min<std::size_t>(2 * text.size(), kMaxTableBytes + 1));
    }
    const ssize_t got = ::read(fd.get(), text.data() + size, text.size() - size);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError(TableFailure::CannotRead, data_folder, file, errno);
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  text.resize(size);
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
