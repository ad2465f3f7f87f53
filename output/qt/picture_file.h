// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class QPainter;

namespace xscatter {

// How a picture's FileWriteError names the file: "画像ファイル NAME を書き込めません（REASON）。"
inline constexpr std::string_view kPictureFileKind = "画像ファイル";

// Throws FileWriteError when `file` cannot be a picture file whatever is written: no file name, a
// folder of that name, or a file the user may not write to.
void CheckPictureTarget(const std::filesystem::path& file);

// Replaces `file` with `bytes` all at once through ReplaceFiles: a reader sees the old file or the
// whole new one, and a file the user may not write to is left alone. Throws FileWriteError.
void ReplacePictureFile(const std::filesystem::path& file, std::string_view bytes);

// Paints a picture on a device with `scale` device pixels to a screen pixel; `vector` for an SVG.
using PicturePainter = std::function<void(QPainter& painter, int scale, bool vector)>;

// A font of `pixels` screen pixels. An SVG names the face that was actually used, so a viewer that
// has it sets the runs of a text (one per script) where they were laid out, not where its own
// stand-in would put them.
QFont PictureFont(const QString& face, int pixels, bool vector);

// The picture of `size` screen pixels as a raster at `scale` times, marked as 96 dpi times scale.
QImage PictureImage(QSize size, int scale, const PicturePainter& paint);

// Writes the picture of `size` screen pixels to `file`: a PNG at `png_scale` times or an SVG of
// vectors and real text titled `title`, as the extension says (.png or .svg, in any case),
// replacing the file atomically. Needs a QGuiApplication. Throws FileWriteError naming the file and
// the reason; an unknown extension is refused before anything is written.
void SavePicture(const std::filesystem::path& file, QSize size, int png_scale, const QString& title,
                 const PicturePainter& paint);

}  // namespace xscatter
