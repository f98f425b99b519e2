#include "platform/qt/picture_decoder.h"

#include <stb_image.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>

#include "common/text.h"
#include "platform/files.h"
#include "platform/qt/disk_file.h"
#include "platform/qt/picture_formats.h"

namespace vandrel {

namespace {

// Decoding a picture of more than this many bytes at full size takes the
// big-picture lock, so that a few of them never decode side by side.
constexpr qint64 kBigPictureBytes = qint64(64) << 20;

std::mutex& BigPictureLock() {
  static std::mutex lock;
  return lock;
}

// Qt refuses pictures over 128 MB by default; an 8192 x 8192 map is 256 MB.
void RaiseAllocationLimit() {
  static std::once_flag once;
  std::call_once(once, [] { QImageReader::setAllocationLimit(1024); });
}

bool Big(QSize size) { return qint64(size.width()) * size.height() * 4 > kBigPictureBytes; }

QSize ScaledSize(QSize own, const ScaledSizeFor& scaledSizeFor) {
  if (!scaledSizeFor || !own.isValid() || own.isEmpty()) return {};
  const QSize scaled = scaledSizeFor(own);
  if (!scaled.isValid() || scaled.isEmpty() ||
      (scaled.width() >= own.width() && scaled.height() >= own.height()))
    return {};
  return scaled;
}

// The colour type in a PNG file's header (4 = grey with alpha); -1 for any
// other file.
int PngColourType(QIODevice& device) {
  const QByteArray head = device.peek(26);
  if (head.size() < 26 || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR") return -1;
  return static_cast<unsigned char>(head[25]);
}

// Whether Qt's scaled read (and QImage::scaled) gives the picture's true
// thumbnail. It does not for indexed pictures (1-, 2-, 4- and 8-bit PNG,
// GIF, BMP: dithered into a fixed palette), 16-bit pictures with alpha
// (alpha applied twice) and grey-alpha PNGs (grey averaged without
// weighting by alpha: a transparency map's clear parts bleed in). RGBA
// pictures of 8 bits a channel are averaged the same way, but only along
// their alpha edges does that show, and a full-size read of them takes
// about three times as long: they are read scaled.
bool ScalesRight(QImage::Format format, int pngColourType) {
  switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_Grayscale8:
    case QImage::Format_RGB888:
    case QImage::Format_RGBX8888:
      return true;
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBA8888:
      return pngColourType != 4;
    default:
      return false;
  }
}

// A full-size picture scaled down in a format that scales right (converted
// in place: a large picture is not held twice).
QImage ScaledDown(QImage image, QSize size) {
  image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The lower-cased text after the last "." of a path's file name.
std::string Extension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return {};
  return LCase(path.substr(dot + 1));
}

// Qt's reader on an open file (or the bytes of one), the format named by the
// file's extension first and then by its content.
DecodedPicture ReadWithQt(QIODevice& device, const std::string& extension,
                          const ScaledSizeFor& scaledSizeFor) {
  DecodedPicture out;
  const int pngColourType = PngColourType(device);  // before the reader moves on
  QImageReader reader(&device, extension == "bum" ? QByteArray("bmp") : QByteArray::fromStdString(extension));
  reader.setAutoTransform(false);
  const QSize size = reader.size();
  const QSize scaled = ScaledSize(size, scaledSizeFor);
  const bool readScaled = scaled.isValid() && ScalesRight(reader.imageFormat(), pngColourType);
  const bool decodesScaled = readScaled && reader.supportsOption(QImageIOHandler::ScaledSize);
  if (readScaled) {
    reader.setScaledSize(scaled);
    reader.setQuality(25);  // lets the JPEG reader take its faster transform for a small picture
  }
  std::unique_lock<std::mutex> lock(BigPictureLock(), std::defer_lock);
  if (!decodesScaled && size.isValid() && Big(size)) lock.lock();
  out.image = reader.read();
  if (scaled.isValid() && !readScaled && !out.image.isNull())
    out.image = ScaledDown(std::move(out.image), scaled);
  out.size = size.isValid() && !size.isEmpty() ? size : out.image.size();
  return out;
}

DecodedPicture ReadWithQt(const std::string& path, const std::string& extension,
                          const ScaledSizeFor& scaledSizeFor) {
  QFile file;
  if (!OpenDiskFile(file, path)) return {};
  if (file.peek(2) != "BM") return ReadWithQt(file, extension, scaledSizeFor);
  // A BMP is read whole first: a cut-off one would show black where its
  // missing rows are.
  QByteArray bytes = file.readAll();
  if (!BmpComplete(std::string_view(bytes.constData(), std::size_t(bytes.size())))) return {};
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  return ReadWithQt(buffer, extension, scaledSizeFor);
}

DecodedPicture ReadWithStb(const std::string& bytes) {
  DecodedPicture out;
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int length = static_cast<int>(bytes.size());
  int w = 0, h = 0, channels = 0;
  if (bytes.size() > 0x7FFFFFFF || !stbi_info_from_memory(data, length, &w, &h, &channels) || w <= 0 ||
      h <= 0)
    return out;
  std::unique_lock<std::mutex> lock(BigPictureLock(), std::defer_lock);
  if (Big(QSize(w, h))) lock.lock();
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(stbi_load_from_memory(data, length, &w, &h, &channels, 4),
                                                   stbi_image_free);
  if (!pixels) return out;
  QImage image(w, h, QImage::Format_RGBA8888);
  if (image.isNull()) return out;
  for (int y = 0; y < h; ++y)
    std::memcpy(image.scanLine(y), pixels.get() + std::size_t(y) * std::size_t(w) * 4, std::size_t(w) * 4);
  out.image = std::move(image);
  out.size = QSize(w, h);
  return out;
}

// A picture of our own readers, or stb_image's when the file holds all its
// pixels; null for a damaged or cut-off file.
DecodedPicture ReadFromBytes(const std::string& bytes, const std::string& extension) {
  const std::string_view view(bytes);
  DecodedPicture out;
  if (view.substr(0, 4) == "8BPS") {
    std::unique_lock<std::mutex> lock(BigPictureLock(), std::defer_lock);
    if (qint64(bytes.size()) > kBigPictureBytes / 4) lock.lock();
    out.image = ReadPsd(view);
  } else if (extension == "pcx") {
    out.image = ReadPcx(view);
  } else if ((extension == "tga" && !TgaComplete(view)) || !BmpComplete(view)) {
    return out;
  } else {
    return ReadWithStb(bytes);
  }
  out.size = out.image.size();
  return out;
}

DecodedPicture Scaled(DecodedPicture picture, const ScaledSizeFor& scaledSizeFor) {
  if (const QSize scaled = ScaledSize(picture.size, scaledSizeFor);
      !picture.image.isNull() && scaled.isValid())
    picture.image = ScaledDown(std::move(picture.image), scaled);
  return picture;
}

}  // namespace

DecodedPicture DecodePicture(const std::string& path, const ScaledSizeFor& scaledSizeFor) {
  RaiseAllocationLimit();
  // Qt's TGA reader knows only part of the format, and Qt has none for PSD
  // or PCX. Every file is opened by the bytes of its name.
  const std::string extension = Extension(path);
  const bool ownFirst = extension == "tga" || extension == "psd" || extension == "pcx";
  if (!ownFirst) {
    if (DecodedPicture qt = ReadWithQt(path, extension, scaledSizeFor); !qt.image.isNull()) return qt;
  }
  if (!FileExists(path)) return {};
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return {};
  DecodedPicture own = ReadFromBytes(*bytes, extension);
  if (own.image.isNull() && ownFirst && extension == "tga" && TgaComplete(*bytes))
    return ReadWithQt(path, extension, scaledSizeFor);
  return Scaled(std::move(own), scaledSizeFor);
}

}  // namespace vandrel
