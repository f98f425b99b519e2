#include "platform/qt/picture_decoder.h"

#include <stb_image.h>

#include <QImageReader>
#include <cstring>
#include <memory>
#include <mutex>

#include "common/text.h"

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

// Qt's scaled read (and QImage::scaled) is right only for opaque pictures of
// 8 bits a channel: indexed pictures (1-, 2-, 4- and 8-bit PNG, GIF, BMP)
// come out dithered into a fixed palette, pictures with alpha (grey-alpha
// and RGBA PNG) are averaged without weighting by alpha, and 16-bit ones
// with alpha get their alpha applied twice.
bool ScalesRight(QImage::Format format) {
  switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_Grayscale8:
    case QImage::Format_RGB888:
    case QImage::Format_RGBX8888:
      return true;
    default:
      return false;
  }
}

// A full-size picture scaled down in a format that scales right.
QImage ScaledDown(const QImage& image, QSize size) {
  const QImage::Format work = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
  return image.convertToFormat(work).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

DecodedPicture ReadWithQt(const std::string& path, const ScaledSizeFor& scaledSizeFor) {
  DecodedPicture out;
  QImageReader reader(QString::fromStdString(path));
  if (EndsWith(LCase(path), ".bum")) reader.setFormat("bmp");
  reader.setAutoTransform(false);
  const QSize size = reader.size();
  const QSize scaled = ScaledSize(size, scaledSizeFor);
  const bool readScaled = scaled.isValid() && ScalesRight(reader.imageFormat());
  const bool decodesScaled = readScaled && reader.supportsOption(QImageIOHandler::ScaledSize);
  if (readScaled) {
    reader.setScaledSize(scaled);
    reader.setQuality(25);  // lets the JPEG reader take its faster transform for a small picture
  }
  std::unique_lock<std::mutex> lock(BigPictureLock(), std::defer_lock);
  if (!decodesScaled && size.isValid() && Big(size)) lock.lock();
  out.image = reader.read();
  if (scaled.isValid() && !readScaled && !out.image.isNull()) out.image = ScaledDown(out.image, scaled);
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
    stb.image = ScaledDown(stb.image, scaled);
  return stb;
}

}  // namespace vandrel
