#include "platform/qt/picture_decoder.h"

#include <stb_image.h>

#include <QFile>
#include <QImageReader>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>

#include "common/text.h"
#include "platform/qt/poser_text.h"

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
  if (!scaled.isValid() || scaled.isEmpty() || (scaled.width() >= own.width() && scaled.height() >= own.height()))
    return {};
  return scaled;
}

// The colour type in a PNG file's header (4 = grey with alpha); -1 for any
// other file.
int PngColourType(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray head = file.read(26);
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
bool ScalesRight(QImage::Format format, const std::string& path) {
  switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_Grayscale8:
    case QImage::Format_RGB888:
    case QImage::Format_RGBX8888:
      return true;
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBA8888:
      return PngColourType(path) != 4;
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

DecodedPicture ReadWithQt(const std::string& path, const ScaledSizeFor& scaledSizeFor) {
  DecodedPicture out;
  QImageReader reader(FromUtf8(path));
  if (EndsWith(LCase(path), ".bum")) reader.setFormat("bmp");
  reader.setAutoTransform(false);
  const QSize size = reader.size();
  const QSize scaled = ScaledSize(size, scaledSizeFor);
  const bool readScaled = scaled.isValid() && ScalesRight(reader.imageFormat(), path);
  const bool decodesScaled = readScaled && reader.supportsOption(QImageIOHandler::ScaledSize);
  if (readScaled) {
    reader.setScaledSize(scaled);
    reader.setQuality(25);  // lets the JPEG reader take its faster transform for a small picture
  }
  std::unique_lock<std::mutex> lock(BigPictureLock(), std::defer_lock);
  if (!decodesScaled && size.isValid() && Big(size)) lock.lock();
  out.image = reader.read();
  if (scaled.isValid() && !readScaled && !out.image.isNull()) out.image = ScaledDown(std::move(out.image), scaled);
  out.size = size.isValid() && !size.isEmpty() ? size : out.image.size();
  return out;
}

DecodedPicture ReadWithStb(const std::string& path) {
  DecodedPicture out;
  int w = 0, h = 0, channels = 0;
  if (!stbi_info(path.c_str(), &w, &h, &channels) || w <= 0 || h <= 0) return out;
  std::unique_lock<std::mutex> lock(BigPictureLock(), std::defer_lock);
  if (Big(QSize(w, h))) lock.lock();
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(stbi_load(path.c_str(), &w, &h, &channels, 4), stbi_image_free);
  if (!pixels) return out;
  QImage image(w, h, QImage::Format_RGBA8888);
  if (image.isNull()) return out;
  for (int y = 0; y < h; ++y)
    std::memcpy(image.scanLine(y), pixels.get() + std::size_t(y) * std::size_t(w) * 4, std::size_t(w) * 4);
  out.image = std::move(image);
  out.size = QSize(w, h);
  return out;
}

}  // namespace

DecodedPicture DecodePicture(const std::string& path, const ScaledSizeFor& scaledSizeFor) {
  RaiseAllocationLimit();
  // Qt's TGA reader knows only part of the format, and Qt has none for PSD.
  const std::string lower = LCase(path);
  const bool stbFirst = EndsWith(lower, ".tga") || EndsWith(lower, ".psd");
  DecodedPicture qt;
  if (!stbFirst && !(qt = ReadWithQt(path, scaledSizeFor)).image.isNull()) return qt;
  DecodedPicture stb = ReadWithStb(path);
  if (stb.image.isNull() && stbFirst) return ReadWithQt(path, scaledSizeFor);
  if (const QSize scaled = ScaledSize(stb.size, scaledSizeFor); !stb.image.isNull() && scaled.isValid())
    stb.image = ScaledDown(std::move(stb.image), scaled);
  return stb;
}

}  // namespace vandrel
