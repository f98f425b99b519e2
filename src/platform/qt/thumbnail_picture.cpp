#include "platform/qt/thumbnail_picture.h"

#include <QPainter>
#include <cstring>

#include "common/text.h"
#include "platform/qt/picture_decoder.h"

namespace vandrel {

QImage ComposeThumbnail(const QImage& picture) {
  QImage canvas(kThumbnailSide, kThumbnailSide, QImage::Format_ARGB32);
  canvas.fill(Qt::black);
  const ThumbRect rect = LetterboxRect(picture.width(), picture.height());
  if (rect.width > 0) {
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(rect.x, rect.y, rect.width, rect.height), picture);
  }
  return canvas;
}

Thumbnail ReadThumbnail(const std::string& path) {
  // Decoding straight to the letterbox's size spares the memory of a full-size picture.
  DecodedPicture picture = DecodePicture(path, [](QSize own) {
    const ThumbRect rect = LetterboxRect(own.width(), own.height());
    return QSize(rect.width, rect.height);
  });
  if (picture.image.isNull()) return {};
  return Thumbnail{ComposeThumbnail(picture.image), picture.size};
}

std::optional<ThumbPicture> LoadThumbnailPicture(const std::string& path) {
  Thumbnail thumb = ReadThumbnail(path);
  if (thumb.image.isNull()) return std::nullopt;
  return FromQImage(thumb.image);
}

QImage ToQImage(const ThumbPicture& picture) {
  if (picture.empty()) return {};
  QImage image(picture.width, picture.height, QImage::Format_ARGB32);
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(image.scanLine(y), picture.pixels.data() + static_cast<std::size_t>(y) * picture.width,
                static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t));
  return image;
}

ThumbPicture FromQImage(const QImage& image) {
  ThumbPicture picture;
  if (image.isNull()) return picture;
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  picture.width = argb.width();
  picture.height = argb.height();
  picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(picture.pixels.data() + static_cast<std::size_t>(y) * picture.width, argb.constScanLine(y),
                static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t));
  return picture;
}

}  // namespace vandrel
