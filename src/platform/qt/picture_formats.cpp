#include "platform/qt/picture_formats.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vandrel {

namespace {

// The largest picture read here: beyond it a "picture" is a damaged header.
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 28;

unsigned U8(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }
unsigned U16LE(std::string_view b, std::size_t at) { return U8(b, at) | (U8(b, at + 1) << 8); }
unsigned U16BE(std::string_view b, std::size_t at) { return (U8(b, at) << 8) | U8(b, at + 1); }
std::uint32_t U32LE(std::string_view b, std::size_t at) {
  return U16LE(b, at) | (std::uint32_t(U16LE(b, at + 2)) << 16);
}
std::uint32_t U32BE(std::string_view b, std::size_t at) {
  return (std::uint32_t(U16BE(b, at)) << 16) | U16BE(b, at + 2);
}

bool SaneSize(std::uint64_t w, std::uint64_t h) { return w > 0 && h > 0 && w * h <= kMaxPixels; }

// One PackBits row (Photoshop's run-length code) into `out`; false when the
// row does not give exactly out.size() bytes.
bool UnpackBits(std::string_view row, std::string& out) {
  std::size_t o = 0, i = 0;
  while (i < row.size() && o < out.size()) {
    const int n = static_cast<signed char>(row[i++]);
    if (n >= 0) {
      const std::size_t count = std::size_t(n) + 1;
      if (i + count > row.size() || o + count > out.size()) return false;
      out.replace(o, count, row.substr(i, count));
      i += count, o += count;
    } else if (n != -128) {
      const std::size_t count = std::size_t(1 - n);
      if (i >= row.size() || o + count > out.size()) return false;
      out.replace(o, count, count, row[i++]);
      o += count;
    }
  }
  return o == out.size();
}

}  // namespace

QImage ReadPsd(std::string_view b) {
  if (b.size() < 26 || b.substr(0, 4) != "8BPS" || U16BE(b, 4) != 1) return {};
  const unsigned channels = U16BE(b, 12), depth = U16BE(b, 22), mode = U16BE(b, 24);
  const std::uint32_t h = U32BE(b, 14), w = U32BE(b, 18);
  if (channels < 1 || channels > 56 || (depth != 8 && depth != 16) || !SaneSize(w, h)) return {};
  const bool rgb = mode == 3;
  if (!(rgb && channels >= 3) && mode != 1) return {};
  // Colour mode data, image resources, layers: each a length and its bytes.
  std::size_t at = 26;
  for (int section = 0; section < 3; ++section) {
    if (at + 4 > b.size()) return {};
    const std::uint64_t length = U32BE(b, at);
    if (length > b.size() - at - 4) return {};
    at += 4 + std::size_t(length);
  }
  if (at + 2 > b.size()) return {};
  const unsigned compression = U16BE(b, at);
  at += 2;
  if (compression > 1) return {};

  const std::size_t rowBytes = std::size_t(w) * (depth / 8);
  const unsigned used = rgb ? (channels >= 4 ? 4 : 3) : 1;
  // Each channel's rows, unpacked: a channel at a time, plane after plane.
  std::vector<std::string> planes(used, std::string());
  std::string row(rowBytes, '\0');
  if (compression == 0) {
    if (std::uint64_t(rowBytes) * h * channels > b.size() - at) return {};
    for (unsigned c = 0; c < used; ++c)
      planes[c] = std::string(b.substr(at + std::size_t(c) * rowBytes * h, rowBytes * h));
  } else {
    const std::size_t rows = std::size_t(h) * channels;
    if (rows * 2 > b.size() - at) return {};
    std::size_t data = at + rows * 2;
    for (std::size_t r = 0; r < rows; ++r) {
      const std::size_t length = U16BE(b, at + 2 * r);
      if (length > b.size() - data) return {};
      const unsigned c = unsigned(r / h);
      if (c < used) {
        if (!UnpackBits(b.substr(data, length), row)) return {};
        planes[c] += row;
      }
      data += length;
    }
  }

  QImage image(int(w), int(h), used == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) return {};
  const std::size_t step = depth / 8;  // the high byte of a 16-bit sample comes first
  for (std::uint32_t y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::size_t i = std::size_t(y) * rowBytes + x * step;
      const auto sample = [&](unsigned c) { return int(static_cast<unsigned char>(planes[c][i])); };
      line[x] = rgb ? qRgba(sample(0), sample(1), sample(2), used == 4 ? sample(3) : 255)
                    : qRgb(sample(0), sample(0), sample(0));
    }
  }
  return image;
}

QImage ReadPcx(std::string_view b) {
  if (b.size() < 128 || U8(b, 0) != 0x0A || U8(b, 2) > 1) return {};
  const unsigned bits = U8(b, 3), planes = U8(b, 65), bytesPerLine = U16LE(b, 66);
  const int xmin = int(U16LE(b, 4)), ymin = int(U16LE(b, 6)), xmax = int(U16LE(b, 8)),
            ymax = int(U16LE(b, 10));
  if (xmax < xmin || ymax < ymin) return {};
  const std::uint32_t w = std::uint32_t(xmax - xmin + 1), h = std::uint32_t(ymax - ymin + 1);
  const bool paletted = bits == 8 && planes == 1;
  const bool truecolour = bits == 8 && (planes == 3 || planes == 4);
  const bool sixteen = (bits == 1 && planes >= 1 && planes <= 4) || ((bits == 2 || bits == 4) && planes == 1);
  if (!(paletted || truecolour || sixteen) || !SaneSize(w, h) ||
      std::uint64_t(bytesPerLine) * 8 < std::uint64_t(w) * bits)
    return {};

  // The 256-colour palette follows the pixels, after a byte 12.
  std::size_t end = b.size();
  if (paletted) {
    if (b.size() < 128 + 769 || U8(b, b.size() - 769) != 12) return {};
    end = b.size() - 769;
  }
  const std::size_t lineBytes = std::size_t(planes) * bytesPerLine;
  std::string pixels(lineBytes * h, '\0');
  std::size_t i = 128, o = 0;
  if (U8(b, 2) == 0) {
    if (pixels.size() > end - i) return {};
    pixels.assign(b.substr(i, pixels.size()));
  } else {
    while (o < pixels.size()) {
      if (i >= end) return {};
      unsigned c = U8(b, i++), count = 1;
      if ((c & 0xC0) == 0xC0) {
        if (i >= end) return {};
        count = c & 0x3F;
        c = U8(b, i++);
      }
      const std::size_t n = std::min<std::size_t>(count, pixels.size() - o);
      pixels.replace(o, n, n, char(c));
      o += n;
    }
  }

  QImage image(int(w), int(h), planes == 4 && bits == 8 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) return {};
  const auto headerColour = [&](unsigned index) {
    if (bits == 1 && planes == 1) return index ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    const std::size_t p = 16 + 3 * std::size_t(index & 15);
    return qRgb(int(U8(b, p)), int(U8(b, p + 1)), int(U8(b, p + 2)));
  };
  for (std::uint32_t y = 0; y < h; ++y) {
    const char* line = pixels.data() + std::size_t(y) * lineBytes;
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
    const auto at = [&](unsigned plane, std::size_t x) {
      return unsigned(static_cast<unsigned char>(line[plane * bytesPerLine + x]));
    };
    for (std::uint32_t x = 0; x < w; ++x) {
      if (paletted) {
        const std::size_t p = b.size() - 768 + 3 * std::size_t(at(0, x));
        out[x] = qRgb(int(U8(b, p)), int(U8(b, p + 1)), int(U8(b, p + 2)));
      } else if (truecolour) {
        out[x] = qRgba(int(at(0, x)), int(at(1, x)), int(at(2, x)), planes == 4 ? int(at(3, x)) : 255);
      } else {
        // Each plane gives one bit of the index, or one plane its packed bits.
        unsigned index = 0;
        for (unsigned p = 0; p < planes; ++p) {
          const std::size_t bit = std::size_t(x) * bits;
          const unsigned value = (at(p, bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
          index |= value << (p * bits);
        }
        out[x] = headerColour(index);
      }
    }
  }
  return image;
}

bool TgaComplete(std::string_view b) {
  if (b.size() < 18) return false;
  const unsigned idLength = U8(b, 0), mapType = U8(b, 1), type = U8(b, 2);
  const unsigned mapLength = U16LE(b, 5), mapDepth = U8(b, 7), w = U16LE(b, 12), h = U16LE(b, 14),
                 depth = U8(b, 16);
  if (mapType > 1 || !(type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11))
    return false;
  if (!SaneSize(w, h) || depth == 0 || depth > 32) return false;
  std::size_t at = 18 + idLength + (mapType ? std::size_t(mapLength) * ((mapDepth + 7) / 8) : 0);
  const std::size_t pixelBytes = (depth + 7) / 8;
  const std::uint64_t pixels = std::uint64_t(w) * h;
  if (at > b.size()) return false;
  if (type < 9) return pixels * pixelBytes <= b.size() - at;
  for (std::uint64_t done = 0; done < pixels;) {
    if (at >= b.size()) return false;
    const unsigned packet = U8(b, at++);
    const std::size_t count = (packet & 0x7F) + 1;
    const std::size_t data = packet & 0x80 ? pixelBytes : count * pixelBytes;
    if (data > b.size() - at) return false;
    at += data;
    done += count;
  }
  return true;
}

bool BmpComplete(std::string_view b) {
  if (b.size() < 2 || b.substr(0, 2) != "BM") return true;
  if (b.size() < 26) return false;
  const std::uint32_t offset = U32LE(b, 10), header = U32LE(b, 14);
  std::uint64_t w, h;
  unsigned bits, compression = 0;
  if (header == 12) {
    w = U16LE(b, 18), h = U16LE(b, 20), bits = U16LE(b, 24);
  } else {
    if (header < 40 || b.size() < 34) return false;
    w = U32LE(b, 18);
    const auto height = static_cast<std::int32_t>(U32LE(b, 22));
    h = height < 0 ? std::uint64_t(-std::int64_t(height)) : std::uint64_t(height);
    bits = U16LE(b, 28), compression = U32LE(b, 30);
    if (w > 0x7FFFFFFF) return false;
  }
  if (!SaneSize(w, h) || offset < 14 + header || offset >= b.size()) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (compression == 0 || compression == 3 || compression == 6)
    return ((w * bits + 31) / 32) * 4 * h <= b.size() - offset;
  if (compression != 1 && compression != 2) return true;  // JPEG or PNG inside: their reader judges
  // Run-length coded: the codes must reach the end-of-picture mark.
  for (std::size_t at = offset; at + 1 < b.size();) {
    const unsigned count = U8(b, at), code = U8(b, at + 1);
    at += 2;
    if (count != 0 || code == 0) continue;
    if (code == 1) return true;
    if (code == 2) {
      at += 2;
    } else {
      const std::size_t bytes = compression == 1 ? code : (code + 1) / 2;
      at += bytes + (bytes & 1);
    }
  }
  return false;
}

}  // namespace vandrel
