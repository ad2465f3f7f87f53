#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "model/errors.h"
#include "model/state.h"
#include "output/number_format.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLineEnd = "\r\n";

std::string FailureMessage(const fs::path& target, const std::string& reason) {
  std::error_code ec;
  const fs::path folder = fs::absolute(target, ec).parent_path();
  return "スペクトルファイル " + target.filename().string() + " を書き込めません（" + reason +
         "）。\n保存先フォルダ: " +
         (ec ? target.parent_path() : folder.lexically_normal()).string();
}

// Writes the whole content to a temporary file beside the target and renames it into place, so an
// existing file is replaced only by a complete one.
void WriteFileAtomically(const fs::path& target, const std::string& content) {
  std::error_code ec;
  if (fs::is_directory(target, ec)) {
    throw FileWriteError(FailureMessage(target, "同じ名前のフォルダがあります"));
  }
  fs::path temporary = target;
  temporary += ".tmp" + std::to_string(::getpid());

  errno = 0;
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) throw FileWriteError(FailureMessage(target, std::strerror(errno)));
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
                       std::fflush(file) == 0;
  const int write_error = errno;
  const bool closed = std::fclose(file) == 0;
  const int close_error = errno;
  if (!written || !closed) {
    fs::remove(temporary, ec);
    throw FileWriteError(
        FailureMessage(target, std::strerror(written ? close_error : write_error)));
  }
  fs::rename(temporary, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw FileWriteError(FailureMessage(target, ec.message()));
  }
}

std::string SpectrumText(const char* header, const GridArray& first, const GridArray& second,
                         int second_decimals, bool first_is_bin_energy) {
  std::string text = header;
  text += kLineEnd;
  text.reserve(24 * kLastBin);
  for (int i = 1; i <= kLastBin; ++i) {
    text += FormatScientific(first_is_bin_energy ? 0.5 * i : first[i], 3);
    text += "  ";
    text += FormatScientific(second[i], second_decimals);
    text += kLineEnd;
  }
  return text;
}

}  // namespace

void Module1::WritePrimarySpectrumFile() const {
  WriteFileAtomically(folder_ / "P_Spectrum.dat",
                      SpectrumText(" keV   Fluence", PrimarySpectrum, PrimarySpectrum, 3, true));
}

void Module1::WriteScatterSpectrumFiles() const {
  WriteFileAtomically(
      folder_ / "Inc_Spectrum.dat",
      SpectrumText(" keV     Fluence", IncoherentSpectrum[1], IncoherentSpectrum[2], 4, false));
  WriteFileAtomically(
      folder_ / "Coh_Spectrum.dat",
      SpectrumText(" keV     Fluence", CoherentSpectrum, CoherentSpectrum, 4, true));
}

}  // namespace xscatter
