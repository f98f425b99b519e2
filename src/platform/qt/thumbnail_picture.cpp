#include "platform/qt/thumbnail_picture.h"

#include <QImageReader>
#include <QPainter>
#include <cstring>

#include "common/text.h"

namespace vandrel {

std::optional<ThumbPicture> LoadThumbnailPicture(const std::string& path) {
  QImageReader reader(QString::fromStdString(path));
  if (EndsWith(LCase(path), ".bum")) reader.setFormat("bmp");
  // Decoding straight to the thumbnail's size spares the memory of a full-size picture.
  const QSize size = reader.size();
  ThumbRect rect;
  if (size.isValid() && !size.isEmpty()) {
    rect = LetterboxRect(size.width(), size.height());
    reader.setScaledSize(QSize(rect.width, rect.height));
  }
  const QImage image = reader.read();
  if (image.isNull()) return std::nullopt;
  if (rect.width <= 0) rect = LetterboxRect(image.width(), image.height());

  QImage canvas(kThumbnailSide, kThumbnailSide, QImage::Format_ARGB32);
  canvas.fill(Qt::black);
  {
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(rect.x, rect.y, rect.width, rect.height), image);
  }
  return FromQImage(canvas);
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
