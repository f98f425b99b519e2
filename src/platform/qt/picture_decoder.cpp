#include "platform/qt/picture_decoder.h"

#include <stb_image.h>

#include <QImageReader>
#include <cstring>
#include <memory>
#include <mutex>

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

DecodedPicture ReadWithQt(const std::string& path, const ScaledSizeFor& scaledSizeFor) {
  DecodedPicture out;
  QImageReader reader(FromUtf8(path));
  if (EndsWith(LCase(path), ".bum")) reader.setFormat("bmp");
  reader.setAutoTransform(false);
  const QSize size = reader.size();
  const bool decodesScaled = reader.supportsOption(QImageIOHandler::ScaledSize);
  const QSize scaled = ScaledSize(size, scaledSizeFor);
  if (scaled.isValid()) {
    reader.setScaledSize(scaled);
    reader.setQuality(25);  // lets the JPEG reader take its faster transform for a small picture
  }
  std::unique_lock<std::mutex> lock(BigPictureLock(), std::defer_lock);
  if (!(decodesScaled && scaled.isValid()) && size.isValid() && Big(size)) lock.lock();
  out.image = reader.read();
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
    stb.image = stb.image.scaled(scaled, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return stb;
}

}  // namespace vandrel
