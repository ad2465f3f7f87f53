// SPDX-License-Identifier: MIT
#include "model/table_messages.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace xscatter {
namespace {

namespace fs = std::filesystem;

constexpr int kQuotedCharacters = 40;

std::string EscapedByte(unsigned char byte) {
  char text[5];
  std::snprintf(text, sizeof text, "\\x%02X", byte);
  return text;
}

// Length of the well-formed UTF-8 sequence that begins at `s[pos]`, 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[pos + i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (pos + length > s.size()) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

std::string Quote(std::string_view text, bool already_cut) {
  std::string quoted = "\"";
  std::size_t pos = 0;
  for (int characters = 0; pos < text.size() && characters < kQuotedCharacters; ++characters) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x20 || byte == 0x7F) {
      quoted += EscapedByte(byte);
      ++pos;
    } else if (byte < 0x80) {
      quoted += text[pos++];
    } else if (const std::size_t length = Utf8SequenceLength(text, pos); length > 0) {
      quoted += text.substr(pos, length);
      pos += length;
    } else {
      quoted += EscapedByte(byte);
      ++pos;
    }
  }
  if (pos < text.size() || already_cut) quoted += "…";
  return quoted + "\"";
}

std::string FolderNote(const fs::path& data_folder) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(data_folder, ec);
  return "\n探したフォルダ: " + (ec ? data_folder : absolute.lexically_normal()).string();
}

std::string SystemReason(int error_number, const char* fallback) {
  return error_number != 0 ? std::strerror(error_number) : fallback;
}

std::string FieldPlace(const TableError& e) {
  return " のレコード " + std::to_string(e.record) + " のフィールド " + std::to_string(e.field);
}

std::string Body(const TableError& e) {
  const std::string table = "データテーブル " + e.file;
  const std::string quoted = Quote(e.text, e.text_cut);
  switch (e.kind) {
    case TableFailure::IsFolder:
      return table + " を読めません（ファイルではなくフォルダです）。";
    case TableFailure::NotRegularFile:
      return table + " を読めません（通常のファイルではありません）。";
    case TableFailure::CannotOpen:
      return table + " を開けません（" + SystemReason(e.error_number, "cannot open") + "）。";
    case TableFailure::CannotRead:
      return table + " を読み込めません（" + SystemReason(e.error_number, "cannot read") + "）。";
    case TableFailure::TooLarge:
      return table + " を読めません（大きすぎます: 上限は " + std::to_string(e.needed) +
             " バイトです）。";
    case TableFailure::OutOfMemory:
      return table + " を読み込めません（メモリが足りません）。";
    case TableFailure::Unexpected:
      return table + " を読み込めません（" + e.detail + "）。";
    case TableFailure::EndsEarly:
      return table + " が途中で終わっています: レコード " + std::to_string(e.record) +
             " のフィールド " + std::to_string(e.field) + " がありません（" +
             std::to_string(e.needed) + " 個のフィールドが必要なところ " + std::to_string(e.found) +
             " 個）。";
    case TableFailure::NotANumber:
      return table + FieldPlace(e) + " が数値ではありません: " + quoted;
    case TableFailure::NotPositive:
      return table + FieldPlace(e) + " が正の数ではありません: " + quoted;
    case TableFailure::Negative:
      return table + FieldPlace(e) + " が負の数です: " + quoted;
    case TableFailure::NotAscending:
      return table + FieldPlace(e) + " の x が前のレコードの x " + Quote(e.previous_text, false) +
             " より大きくありません: " + quoted + "（x はレコードごとに増えなければなりません）";
    case TableFailure::BadMaterialCount:
      return table + " のレコード 1 が 1 から " + std::to_string(e.needed) +
             " までの材料の数ではありません: " + quoted;
    case TableFailure::EmptyName:
      return table + " のレコード " + std::to_string(e.record) + " の材料名が空です。";
    case TableFailure::DuplicateName:
      return table + " のレコード " + std::to_string(e.record) + " の材料名 " + quoted +
             " はレコード " + std::to_string(e.found) +
             " の材料名と同じです（大文字と小文字は区別しません）。";
    case TableFailure::PzNotAscending:
      return table + FieldPlace(e) + " の pz が" +
             (e.previous_text.empty() ? std::string(" 0 ではありません: ")
                                      : "前のレコードの pz " + Quote(e.previous_text, false) +
                                            " より大きくありません: ") +
             quoted + "（pz は 0 から始まり、レコードごとに増えなければなりません）";
  }
  return table + " を使えません。";
}

}  // namespace

std::string DescribeTableError(const TableError& error) {
  return Body(error) + FolderNote(error.folder);
}

}  // namespace xscatter
