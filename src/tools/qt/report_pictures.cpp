#include "tools/qt/report_pictures.h"

#include <QBuffer>
#include <QByteArray>

#include "maps/qt/thumbnails.h"
#include "platform/files.h"
#include "platform/qt/thumbnail_picture.h"

namespace vandrel {

std::string JpegBytes(const ThumbPicture& picture) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (picture.empty() || !ToQImage(picture).save(&buffer, "JPEG", 80)) return {};
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<std::string> QtReportPictures::LibraryThumbnailJpeg(const std::string& pngPath) {
  if (!FileExists(pngPath)) return std::nullopt;
  const std::optional<ThumbPicture> picture = LoadThumbnailPicture(pngPath);
  if (!picture) return std::nullopt;
  return JpegBytes(*picture);
}

std::string QtReportPictures::MapPictureJpeg(const std::string& filePath) {
  if (MapThumbnail(filePath) == nullptr) LoadThumbNail(filePath, 0);
  const ThumbPicture* picture = MapThumbnail(filePath);
  if (picture == nullptr) picture = ImageList1(0).Find("NA");
  return picture ? JpegBytes(*picture) : std::string();
}

}  // namespace vandrel
