#include "output/qt/picture_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#include "model/errors.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

// Keeps the temporary file's name within the usual 255-byte limit for any target name.
constexpr std::size_t kNameStemLimit = 200;
constexpr int kNameAttempts = 100;

[[noreturn]] void Fail(const fs::path& file, const std::string& reason) {
  throw FileWriteError(PictureFailureMessage(file, reason));
}

[[noreturn]] void FailWithErrno(const fs::path& file, int error) {
  Fail(file, std::strerror(error));
}

std::string RandomSuffix() {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device source;
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  std::string suffix(8, ' ');
  for (char& c : suffix) c = kLetters[pick(source)];
  return suffix;
}

// Creates a new hidden file beside the target; the umask gives it the usual permissions.
int CreateTemporary(const fs::path& file, fs::path& temporary) {
  const std::string stem = file.filename().string().substr(0, kNameStemLimit);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary = file.parent_path() / ("." + stem + "." + RandomSuffix());
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) FailWithErrno(file, errno);
  }
  FailWithErrno(file, EEXIST);
}

// Writes everything and flushes it to the disk; the errno of the first failure, or 0.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return ::fsync(fd) == 0 ? 0 : errno;
}

}  // namespace

std::string PictureFailureMessage(const fs::path& file, const std::string& reason) {
  std::error_code ec;
  const fs::path folder = fs::absolute(file, ec).parent_path();
  return "画像ファイル " + file.filename().string() + " を書き込めません（" + reason +
         "）。\n保存先フォルダ: " + (ec ? file.parent_path() : folder.lexically_normal()).string();
}

void CheckPictureTarget(const fs::path& file) {
  std::error_code ec;
  if (!file.has_filename() || file.filename() == "." || file.filename() == "..") {
    Fail(file, "ファイル名がありません");
  }
  if (fs::is_directory(file, ec)) Fail(file, "同じ名前のフォルダがあります");
  // Renaming would replace even a file the user made read-only.
  if (fs::exists(file, ec) && ::access(file.c_str(), W_OK) != 0) {
    FailWithErrno(file, errno);
  }
}

void ReplacePictureFile(const fs::path& file, std::string_view bytes) {
  CheckPictureTarget(file);
  const fs::path target = file.has_parent_path() ? file : fs::path(".") / file;

  fs::path temporary;
  const int fd = CreateTemporary(target, temporary);
  const int write_error = WriteAll(fd, bytes);
  const int close_error = ::close(fd) == 0 ? 0 : errno;
  const int error = write_error != 0 ? write_error : close_error;
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) == 0) return;
  const int rename_error = error != 0 ? error : errno;
  ::unlink(temporary.c_str());
  FailWithErrno(file, rename_error);
}

}  // namespace xscatter
