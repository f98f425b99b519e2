// Map thumbnails: the two picture lists, their stock pictures, the picture
// sizes, the letterbox and every picture format a map may come in.
#include "maps/qt/thumbnails.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <QLabel>
#include <functional>
#include <vector>

#include "app/qt_app.h"
#include "common/text.h"
#include "maps/picture_sizes.h"
#include "model/model.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

constexpr QRgb kRed = 0xFFD02010;

std::string Bytes(const QByteArray& a) { return std::string(a.constData(), std::size_t(a.size())); }

std::string Saved(int w, int h, const char* format) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kRed);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (QByteArray(format) == "tiff") writer.setCompression(1);  // LZW keeps big test pictures small
  EXPECT_TRUE(writer.write(image)) << format;
  return Bytes(bytes);
}

void Put16(std::string& s, int v) { s += char(v & 0xFF), s += char((v >> 8) & 0xFF); }
void Put32BE(std::string& s, int v) {
  for (int shift : {24, 16, 8, 0}) s += char((v >> shift) & 0xFF);
}

// A red w x h TGA, top row first: uncompressed or run-length coded, with or without the 2.0 footer.
std::string Tga(int w, int h, bool rle, bool footer) {
  std::string s{0, 0, char(rle ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Put16(s, w), Put16(s, h);
  s += char(24), s += char(0x20);
  const std::string bgr{char(qBlue(kRed)), char(qGreen(kRed)), char(qRed(kRed))};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w;) {
      const int run = rle ? std::min(128, w - x) : 1;
      if (rle) s += char(0x80 | (run - 1));
      s += bgr;
      x += run;
    }
  }
  if (footer) s += std::string(8, '\0') + "TRUEVISION-XFILE." + '\0';
  return s;
}

// A red w x h GIF (Qt writes none): a two-colour table and LZW codes of 3
// bits, a clear code before every two pixels keeping the code size.
std::string Gif(int w, int h) {
  std::string s = "GIF89a";
  Put16(s, w), Put16(s, h);
  s += std::string{char(0x80), 0, 0, char(qRed(kRed)), char(qGreen(kRed)), char(qBlue(kRed)), 0, 0, 0};
  s += char(0x2C), Put16(s, 0), Put16(s, 0), Put16(s, w), Put16(s, h), s += char(0), s += char(2);
  std::string data;
  unsigned bits = 0, count = 0;
  const auto code = [&](unsigned c) {
    bits |= c << count, count += 3;
    while (count >= 8) data += char(bits & 0xFF), bits >>= 8, count -= 8;
  };
  for (int i = 0; i < w * h; i += 2) code(4), code(0), code(0);
  code(5);
  if (count) data += char(bits & 0xFF);
  for (std::size_t i = 0; i < data.size(); i += 255) {
    const std::string block = data.substr(i, 255);
    s += char(block.size()) + block;
  }
  return s + char(0) + ';';
}

// A PNG written sample by sample (Qt writes none of 2 or 4 bits, nor
// grey-alpha): colour type 0 grey, 3 indexed, 4 grey-alpha, 6 RGBA; one
// deflate stream from qCompress, whose first four bytes are its own length.
std::string Png(int w, int h, int depth, int colourType,
                const std::function<std::vector<int>(int, int)>& samples, const std::string& palette = {},
                const std::string& transparency = {}) {
  const auto crc = [](const std::string& bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
      c ^= b;
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
  };
  std::string png = "\x89PNG\r\n\x1a\n";
  const auto chunk = [&](const char* type, const std::string& data) {
    Put32BE(png, int(data.size()));
    const std::string body = type + data;
    png += body;
    Put32BE(png, int(crc(body)));
  };
  std::string header;
  Put32BE(header, w), Put32BE(header, h);
  header += {char(depth), char(colourType), 0, 0, 0};
  chunk("IHDR", header);
  if (!palette.empty()) chunk("PLTE", palette);
  if (!transparency.empty()) chunk("tRNS", transparency);
  std::string rows;
  for (int y = 0; y < h; ++y) {
    rows += '\0';
    unsigned bits = 0, count = 0;
    for (int x = 0; x < w; ++x) {
      for (int v : samples(x, y)) {
        if (depth == 16)
          rows += char(v >> 8), rows += char(v & 0xFF);
        else if (depth == 8)
          rows += char(v);
        else
          bits = (bits << depth) | unsigned(v), count += unsigned(depth);
        if (count == 8) rows += char(bits), bits = 0, count = 0;
      }
    }
    if (count) rows += char(bits << (8 - count));
  }
  const QByteArray packed = qCompress(QByteArray(rows.data(), qsizetype(rows.size())));
  chunk("IDAT", std::string(packed.constData() + 4, std::size_t(packed.size() - 4)));
  chunk("IEND", "");
  return png;
}

// A w x h Photoshop composite of one colour: RGB or grey, 8 or 16 bits a
// sample (the 16-bit sample's high byte is the colour, its low byte 0x5A),
// raw or in PackBits rows (runs for 8 bits, literal packets for 16).
std::string PsdOf(int w, int h, int depth, bool rle, bool grey) {
  std::string s = "8BPS";
  const int channels = grey ? 1 : 3;
  s += std::string{0, 1} + std::string(6, '\0') + std::string{0, char(channels)};
  Put32BE(s, h), Put32BE(s, w);
  s += std::string{0, char(depth), 0, char(grey ? 1 : 3)} + std::string(12, '\0') +
       std::string{0, char(rle ? 1 : 0)};
  const int values[3] = {qRed(kRed), qGreen(kRed), qBlue(kRed)};
  std::string counts, data;
  for (int c = 0; c < channels; ++c) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      row += char(grey ? qGray(kRed) : values[c]);
      if (depth == 16) row += char(0x5A);
    }
    for (int y = 0; y < h; ++y) {
      std::string packed;
      for (std::size_t i = 0; rle && i < row.size(); i += 128) {
        const std::size_t n = std::min<std::size_t>(128, row.size() - i);
        if (depth == 8)
          packed += char(1 - int(n)), packed += row[i];
        else
          packed += char(n - 1), packed += row.substr(i, n);
      }
      data += rle ? packed : row;
      counts += char(packed.size() >> 8), counts += char(packed.size() & 0xFF);
    }
  }
  return s + (rle ? counts : "") + data;
}

// A w x h PCX in one colour, run-length coded: `bits` a pixel in `planes`
// planes (8 x 1 with the 256-colour palette after the pixels, 8 x 3 RGB,
// 1 x 4 from the header's 16 colours, 1 x 1 black and white).
std::string Pcx(int w, int h, int bits, int planes) {
  std::string s(128, '\0');
  s[0] = 0x0A, s[1] = 5, s[2] = 1, s[3] = char(bits);
  s[8] = char((w - 1) & 0xFF), s[9] = char((w - 1) >> 8), s[10] = char((h - 1) & 0xFF),
  s[11] = char((h - 1) >> 8);
  const int red = 5, bpl = ((w * bits + 15) / 16) * 2;
  for (int i = 0; i < 3; ++i)
    s[std::size_t(16 + 3 * red + i)] = char(i == 0 ? qRed(kRed) : i == 1 ? qGreen(kRed) : qBlue(kRed));
  s[65] = char(planes), s[66] = char(bpl & 0xFF), s[67] = char(bpl >> 8), s[68] = 1;
  const auto rle = [&](const std::string& line) {
    for (std::size_t i = 0; i < line.size();) {
      std::size_t n = 1;
      while (i + n < line.size() && n < 63 && line[i + n] == line[i]) ++n;
      if (n > 1 || (static_cast<unsigned char>(line[i]) & 0xC0) == 0xC0) s += char(0xC0 | n);
      s += line[i];
      i += n;
    }
  };
  for (int y = 0; y < h; ++y) {
    for (int p = 0; p < planes; ++p) {
      int value = 0xFF;  // mono: white; 16 colours: bit p of index 5
      if (bits == 8)
        value = planes == 1 ? red : p == 0 ? qRed(kRed) : p == 1 ? qGreen(kRed) : qBlue(kRed);
      else if (planes == 4)
        value = (red >> p) & 1 ? 0xFF : 0;
      rle(std::string(std::size_t(bpl), char(value)));
    }
  }
  if (bits == 8 && planes == 1) {
    std::string palette(768, '\0');
    palette[3 * red] = char(qRed(kRed)), palette[3 * red + 1] = char(qGreen(kRed)),
                palette[3 * red + 2] = char(qBlue(kRed));
    s += char(12) + palette;
  }
  return s;
}

bool Near(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) < 12 && std::abs(qGreen(a) - qGreen(b)) < 12 &&
         std::abs(qBlue(a) - qBlue(b)) < 12;
}

class Thumbnails : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    ResetModel();
    CutMainThumbnailsToStock();
    ClearChooserThumbnails();
    gSettings.Poser = dir.path() + "/Poser";
  }
  void TearDown() override { ResetModel(); }
  test::TempDir dir;
};

TEST_F(Thumbnails, ListsKeepStockPicturesSizesAndTheLetterbox) {
  ThumbnailList& main = ImageList1(0);
  ASSERT_EQ(main.Count(), 5u);
  const char* stock[] = {"Black", "NoImage", "PicPrev", "NA", "Loading"};
  for (std::size_t i = 0; i < 5; ++i)
    EXPECT_TRUE(main.KeyAt(i) == stock[i] && main.At(i).width == 93 && main.At(i).height == 93)
        << main.KeyAt(i);

  const std::string wide = dir.write("Maps/Wide.PNG", Saved(1024, 512, "png"));
  const std::string tall = dir.write("Maps/tall.png", Saved(512, 1024, "png"));
  EXPECT_TRUE(LoadThumbNail(wide, 0));
  EXPECT_FALSE(LoadThumbNail(wide, 0));  // the same key: nothing read, nothing added
  EXPECT_TRUE(LoadThumbNail(tall, 0));
  EXPECT_TRUE(LoadThumbNail(wide, 1));  // the chooser's list has its own copy
  EXPECT_FALSE(LoadThumbNail(dir.file("Maps/gone.png"), 0));
  ASSERT_EQ(main.Count(), 7u);
  ASSERT_EQ(ImageList1(1).Count(), 1u);
  EXPECT_EQ(ImageList1(1).At(0).width, 97);

  ASSERT_EQ(gPictureSizes.size(), 3u);
  EXPECT_EQ(gPictureSizes[0].Key, wide);
  EXPECT_EQ(gPictureSizes[0].Value, "1024 X 512");
  EXPECT_EQ(gPictureSizes[1].Value, "512 X 1024");
  EXPECT_EQ(PictureSizeOf(LCase(wide)), "1024 X 512");
  EXPECT_EQ(PictureSizeOf(dir.file("Maps/gone.png")), "");

  // 1024 x 512 fills 93 x 47 of the 97 square from y 23: bands above and
  // below; 512 x 1024 bands left and right. Scaled to 93, the picture's
  // edges move by about one pixel.
  const ThumbPicture* w = main.Find(wide);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->width, 93);
  const ThumbPicture* t = main.Find(tall);
  ASSERT_NE(t, nullptr);
  for (int band : {10, 80}) {
    EXPECT_EQ(w->at(46, band), 0xFF000000u) << band;
    EXPECT_EQ(t->at(band, 46), 0xFF000000u) << band;
  }
  EXPECT_TRUE(Near(w->at(46, 46), kRed) && Near(w->at(88, 46), kRed) && Near(t->at(46, 46), kRed));

  CutMainThumbnailsToStock();
  EXPECT_EQ(main.Count(), 5u);
  EXPECT_TRUE(main.Contains("Loading"));
}

// Every map format read right or refused: every picture that shows is its
// own colour (read at the centre and at the bottom, where a cut-off file
// would be black), and no damaged, cut-off or unknown file shows at all.
// Pictures in a folder whose name is not valid UTF-8 read as any others.
TEST_F(Thumbnails, EveryFormatIsReadRightOrRefusedAndBrokenCopiesAreRefused) {
  const std::string bmp = Saved(40, 20, "bmp"), rawTga = Tga(40, 20, false, true),
                    rleTga = Tga(40, 20, true, false);
  const std::string psd8 = PsdOf(40, 20, 8, false, false), psd16Rle = PsdOf(40, 20, 16, true, false);
  const std::string pcx8 = Pcx(40, 20, 8, 1), pcx24 = Pcx(40, 20, 8, 3);
  const QRgb white = 0xFFFFFFFF, grey = qRgb(qGray(kRed), qGray(kRed), qGray(kRed));
  const struct {
    const char* name;
    std::string bytes;
    QRgb colour;  // 0: refused
  } files[] = {
      {"a.jpg", Saved(40, 20, "jpeg"), kRed},
      {"b.jpeg", Saved(40, 20, "jpeg"), kRed},
      {"c.png", Saved(40, 20, "png"), kRed},
      {"d.bmp", bmp, kRed},
      {"e.bum", bmp, kRed},
      {"f.gif", Gif(40, 20), kRed},
      {"g.tif", Saved(40, 20, "tiff"), kRed},
      {"raw footer.tga", rawTga, kRed},
      {"rle footer.tga", Tga(40, 20, true, true), kRed},
      {"rle.tga", rleTga, kRed},
      {"raw.tga", Tga(40, 20, false, false), kRed},
      {"8 raw.psd", psd8, kRed},
      {"8 rle.psd", PsdOf(40, 20, 8, true, false), kRed},
      {"16 raw.psd", PsdOf(40, 20, 16, false, false), kRed},
      {"16 rle.psd", psd16Rle, kRed},
      {"grey 16 rle.psd", PsdOf(40, 20, 16, true, true), grey},
      {"256.pcx", pcx8, kRed},
      {"rgb.pcx", pcx24, kRed},
      {"16.pcx", Pcx(40, 20, 1, 4), kRed},
      {"mono.pcx", Pcx(40, 20, 1, 1), white},
      {"Caf\xe9/a.tif", Saved(40, 20, "tiff"), kRed},
      {"Caf\xe9/b.JPG", Saved(40, 20, "jpeg"), kRed},
      {"Caf\xe9/c.png", Saved(40, 20, "png"), kRed},
      {"Caf\xe9/d.bmp", bmp, kRed},
      {"Caf\xe9/e.tga", rleTga, kRed},
      {"Caf\xe9/f.psd", psd16Rle, kRed},
      {"Caf\xe9/g.pcx", pcx24, kRed},
      {"cut.bmp", bmp.substr(0, bmp.size() * 3 / 4), 0},
      {"header only.bmp", bmp.substr(0, 54), 0},
      {"junk.bmp", "BM" + std::string(60, '\x7F'), 0},
      {"cut raw.tga", rawTga.substr(0, 18 + 40 * 20 * 3 / 2), 0},
      {"cut rle.tga", rleTga.substr(0, rleTga.size() / 2), 0},
      {"cut raw.psd", psd8.substr(0, psd8.size() - 100), 0},
      {"cut 16 rle.psd", psd16Rle.substr(0, psd16Rle.size() * 2 / 3), 0},
      {"junk.psd", "8BPS" + std::string(40, '\x7F'), 0},
      {"cut 256.pcx", pcx8.substr(0, pcx8.size() - 300), 0},
      {"cut rgb.pcx", pcx24.substr(0, pcx24.size() / 2), 0},
      {"junk.pcx", std::string(200, '\x0A'), 0},
      {"junk.tga", "not a picture at all", 0},  // neither reader knows it: the caller shows "NA"
  };
  for (const auto& f : files) {
    const std::string path = dir.write(f.name, f.bytes);
    const bool loaded = LoadThumbNail(path, 0);
    EXPECT_EQ(loaded, f.colour != 0) << f.name;
    if (!loaded || f.colour == 0) {
      EXPECT_EQ(PictureSizeOf(path), "") << f.name;
      continue;
    }
    EXPECT_EQ(PictureSizeOf(path), "40 X 20") << f.name;
    const ThumbPicture& thumb = *ImageList1(0).Find(path);
    for (int y : {46, 60}) EXPECT_TRUE(Near(thumb.at(46, y), f.colour)) << f.name << " at y " << y;
  }
  // Beyond Qt's default limit of 128 MB for one picture.
  const std::string big = dir.write("Big.tif", Saved(8192, 4200, "tiff"));
  EXPECT_TRUE(LoadThumbNail(big, 0));
  EXPECT_EQ(PictureSizeOf(big), "8192 X 4200");

  // A map reference names that folder in the file's Windows-1252 bytes.
  gSettings.Poser = dir.path();
  dir.write("Runtime/Textures/Caf\xe9/Skin.tif", Saved(20, 40, "tiff"));
  LoadMapReferenceThumbnail(":Runtime:Textures:Caf\xe9:Skin.tif");
  FinishPendingThumbnails();
  const ThumbPicture* skin = MapThumbnail(":Runtime:Textures:Caf\xe9:Skin.tif");
  ASSERT_TRUE(skin);
  EXPECT_TRUE(Near(skin->at(46, 46), kRed));

  // Thumbnails still being made when the next file is read are dropped.
  const std::string pending = dir.write("Big.png", Saved(2048, 2048, "png"));
  RequestThumbnail(pending);
  CutMainThumbnailsToStock();
  FinishPendingThumbnails();
  EXPECT_EQ(ImageList1(0).Count(), std::size_t(kStockPictureCount));
  EXPECT_EQ(PictureSizeOf(pending), "");
}

TEST_F(Thumbnails, MapsOfAReadArriveInTheOrderTheyWereNamedAndMapBoxesShowThem) {
  std::vector<std::string> files;
  for (int i = 0; i < 6; ++i)
    files.push_back(dir.write("Poser/Runtime/Textures/M" + std::to_string(i) + ".jpg",
                              Saved(64 + 200 * (5 - i), 64, "jpeg")));
  for (int i = 0; i < 6; ++i) LoadMapReferenceThumbnail(":m" + std::to_string(i) + ".JPG");
  LoadMapReferenceThumbnail(":M0.jpg");    // named twice: one thumbnail
  LoadMapReferenceThumbnail(":gone.jpg");  // no file: nothing
  const ThumbnailList& main = ImageList1(0);
  ASSERT_EQ(main.Count(), 11u);
  ASSERT_EQ(gPictureSizes.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(main.KeyAt(5 + i), files[i]);
    EXPECT_EQ(gPictureSizes[i].Key, files[i]);
  }
  EXPECT_FALSE(LoadThumbNail(files[2], 0));

  const std::string skin = dir.write("Poser/Runtime/Textures/Skin.jpg", Saved(64, 64, "jpeg"));
  QLabel image, caption;
  ShowMapThumbnail(":Runtime:Textures:skin.jpg", &image, &caption);
  EXPECT_FALSE(image.isEnabled());  // not loaded yet
  ASSERT_TRUE(LoadThumbNail(skin, 0));
  ShowMapThumbnail(":Runtime:Textures:skin.jpg", &image, &caption);
  EXPECT_TRUE(image.isEnabled());
  EXPECT_TRUE(caption.isEnabled());
  EXPECT_EQ(image.pixmap().size(), QSize(93, 93));
  for (const char* path : {"NO_MAP", "", ":Runtime:Textures:gone.jpg"}) {
    ShowMapThumbnail(path, &image, &caption);
    EXPECT_FALSE(image.isEnabled()) << path;
    EXPECT_FALSE(caption.isEnabled()) << path;
    EXPECT_TRUE(image.pixmap().isNull()) << path;
  }
  ShowLoadingPicture(&image);
  EXPECT_FALSE(image.pixmap().isNull());
}

// Low-bit indexed maps (1-bit transparency maps above all), grey-alpha and
// 16-bit pictures: every block of the thumbnail shows the average of its
// block in the full-size picture, over black. Blocks of a fine checker of
// clear white and opaque black average to black; averaging without alpha
// would give grey, and a dithered palette dots.
TEST_F(Thumbnails, LowBitIndexedAndAlphaPngsMatchTheirFullSizePicture) {
  constexpr int kW = 512, kH = 256, kBlock = 64;
  const auto checker = [](int x, int y) { return (x / kBlock + y / kBlock) % 3 == 2; };
  const auto block = [](int x, int y) { return x / kBlock + 8 * (y / kBlock); };
  std::string palette;
  for (int i = 0; i < 16; ++i) palette += {char(20 + 15 * i), char(200 - 9 * i), char((i * 67) & 0xFF)};
  const auto indexed = [&](int depth) {
    return [&, depth](int x, int y) {
      const int top = (1 << depth) - 1;
      return std::vector<int>{checker(x, y) ? (x + y) % 2 : block(x, y) % (top + 1)};
    };
  };
  // Grey g and alpha a per block; checker: clear white beside opaque black.
  const auto alpha = [&](int depth, int channels) {
    return [&, depth, channels](int x, int y) {
      const int top = (1 << depth) - 1;
      int g = block(x, y) * 7 % 32 * top / 31, a = block(x, y) * 5 % 32 * top / 31;
      if (checker(x, y)) g = (x + y) % 2 ? top : 0, a = (x + y) % 2 ? 0 : top;
      std::vector<int> v(std::size_t(channels - 1), g);
      if (channels == 4) v[1] = top - g;
      v.push_back(a);
      return v;
    };
  };
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {
      {"mono.png", Png(kW, kH, 1, 3, indexed(1), palette.substr(0, 6), std::string(1, '\0'))},
      {"two.png", Png(kW, kH, 2, 3, indexed(2), palette.substr(0, 12))},
      {"four.png", Png(kW, kH, 4, 3, indexed(4), palette, std::string{0, char(128)})},
      {"eight.png", Png(kW, kH, 8, 3, indexed(4), palette)},
      {"grey alpha.png", Png(kW, kH, 8, 4, alpha(8, 2))},
      {"grey alpha 16.png", Png(kW, kH, 16, 4, alpha(16, 2))},
      {"rgba 16.png", Png(kW, kH, 16, 6, alpha(16, 4))},
  };
  const ThumbRect rect = LetterboxRect(kW, kH);
  for (const auto& f : files) {
    const std::string path = dir.write(f.name, f.bytes);
    const QImage full = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(full.size(), QSize(kW, kH)) << f.name;
    // The chooser's list keeps the thumbnails at their own size.
    ASSERT_TRUE(LoadThumbNail(path, 1)) << f.name;
    const ThumbPicture& thumb = *ImageList1(1).Find(path);
    for (int by = 0; by < kH / kBlock; ++by) {
      for (int bx = 0; bx < kW / kBlock; ++bx) {
        long sum[3] = {0, 0, 0};
        for (int y = by * kBlock; y < (by + 1) * kBlock; ++y) {
          for (int x = bx * kBlock; x < (bx + 1) * kBlock; ++x) {
            const QRgb p = full.pixel(x, y);
            sum[0] += qRed(p) * qAlpha(p), sum[1] += qGreen(p) * qAlpha(p), sum[2] += qBlue(p) * qAlpha(p);
          }
        }
        const long n = long(kBlock) * kBlock * 255;
        const QRgb expected = qRgb(int(sum[0] / n), int(sum[1] / n), int(sum[2] / n));
        const int cx = (bx * kBlock + kBlock / 2) * rect.width / kW,
                  cy = (by * kBlock + kBlock / 2) * rect.height / kH;
        const QRgb shown = thumb.at(rect.x + cx, rect.y + cy);
        EXPECT_TRUE(Near(shown, expected))
            << f.name << " block " << bx << "," << by << ": " << std::hex << shown << " for " << expected;
      }
    }
  }
}

// Two maps whose names differ only in case are two files on Linux: each
// keeps its own thumbnail and size, in the lists and through colon paths.
TEST_F(Thumbnails, NamesDifferingInCaseAreTwoPictures) {
  const std::string upper = dir.write("Poser/Runtime/Textures/Skin.jpg", Saved(64, 32, "jpeg"));
  const std::string lower = dir.file("Poser/Runtime/Textures/skin.jpg");
  QImage blue(32, 64, QImage::Format_RGB32);
  blue.fill(0xFF1030D0);
  ASSERT_TRUE(blue.save(QString::fromStdString(lower), "JPEG"));
  LoadMapReferenceThumbnail(":Runtime:Textures:Skin.jpg");
  LoadMapReferenceThumbnail(":Runtime:Textures:skin.jpg");
  ASSERT_EQ(ImageList1(0).Count(), 7u);
  const ThumbPicture* a = MapThumbnail(":Runtime:Textures:Skin.jpg");
  const ThumbPicture* b = MapThumbnail(":Runtime:Textures:skin.jpg");
  ASSERT_TRUE(a && b);
  EXPECT_TRUE(Near(a->at(46, 46), kRed));
  EXPECT_TRUE(Near(b->at(46, 46), 0xFF1030D0));
  EXPECT_EQ(PictureSizeOf(upper), "64 X 32");
  EXPECT_EQ(PictureSizeOf(lower), "32 X 64");
  EXPECT_TRUE(LoadThumbNail(lower, 1));
  EXPECT_TRUE(LoadThumbNail(upper, 1));
  EXPECT_TRUE(Near(ImageList1(1).Find(lower)->at(46, 46), 0xFF1030D0));
}

}  // namespace
}  // namespace vandrel
