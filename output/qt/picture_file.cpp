// SPDX-License-Identifier: MIT
#include "output/qt/picture_file.h"

#include <unistd.h>

#include <QBuffer>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>
#include <system_error>

#include "model/errors.h"
#include "output/picture_formats.h"
#include "output/replace_files.h"

namespace xscatter {
namespace {

namespace fs = std::filesystem;

// 96 dpi in dots per metre, for a PNG's physical size.
constexpr double kScreenDotsPerMetre = 96 / 0.0254;

[[noreturn]] void Fail(const fs::path& file, const std::string& reason) {
  throw FileWriteError(kPictureFileKind, file, reason);
}

QByteArray Png(QSize size, int scale, const PicturePainter& paint) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!PictureImage(size, scale, paint).save(&buffer, "PNG")) return {};
  return bytes;
}

QByteArray Svg(QSize size, const QString& title, const PicturePainter& paint) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setResolution(96);
  svg.setTitle(title);
  svg.setDescription(QStringLiteral("xscatter"));
  {
    QPainter painter(&svg);
    paint(painter, 1, true);
  }
  return bytes;
}

}  // namespace

void CheckPictureTarget(const fs::path& file) {
  std::error_code ec;
  if (!file.has_filename() || file.filename() == "." || file.filename() == "..") {
    Fail(file, "ファイル名がありません");
  }
  if (fs::is_directory(file, ec)) Fail(file, "同じ名前のフォルダがあります");
  // Renaming would replace even a file the user made read-only.
  if (fs::exists(file, ec) && ::access(file.c_str(), W_OK) != 0) {
    Fail(file, std::strerror(errno));
  }
}

QFont PictureFont(const QString& face, int pixels, bool vector) {
  QFont font(face);
  font.setPixelSize(pixels);
  font.setWeight(QFont::Normal);
  if (vector) font.setFamily(QFontInfo(font).family());
  return font;
}

QImage PictureImage(QSize size, int scale, const PicturePainter& paint) {
  QImage image(size * scale, QImage::Format_RGB32);
  const int dots = static_cast<int>(std::lround(kScreenDotsPerMetre * scale));
  image.setDotsPerMeterX(dots);
  image.setDotsPerMeterY(dots);
  QPainter painter(&image);
  paint(painter, scale, false);
  return image;
}

void SavePicture(const fs::path& file, QSize size, int png_scale, const QString& title,
                 const PicturePainter& paint) {
  CheckPictureTarget(file);
  const std::optional<PictureFormat> format = PictureFormatOf(file);
  if (!format) Fail(file, "拡張子は .png か .svg にしてください");
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    Fail(file, "描画の準備ができていません");
  }
  const QByteArray bytes =
      *format == PictureFormat::Png ? Png(size, png_scale, paint) : Svg(size, title, paint);
  if (bytes.isEmpty()) Fail(file, "画像を作れませんでした");
  ReplacePictureFile(file,
                     std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void ReplacePictureFile(const fs::path& file, std::string_view bytes) {
  CheckPictureTarget(file);
  ReplaceFiles(file.has_parent_path() ? file.parent_path() : fs::path("."),
               {{file.filename().string(), std::string(bytes)}}, kPictureFileKind);
}

}  // namespace xscatter
