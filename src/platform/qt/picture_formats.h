// The picture formats that neither Qt nor stb_image reads right, and the
// checks that keep a cut-off or damaged file from showing as a picture that
// is partly or wholly black: Photoshop composites (8 and 16 bits a channel,
// raw or run-length coded), PCX (our own reader: Debian has none for Qt 6),
// and whether a BMP or TGA file holds all the pixels its header promises.
#pragma once

#include <QImage>
#include <string_view>

namespace vandrel {

// The composite image of a Photoshop file (RGB or greyscale, 8 or 16 bits a
// channel, the fourth RGB channel as alpha); null when the file is of
// another kind or any of its data is missing or damaged.
QImage ReadPsd(std::string_view bytes);

// A PCX picture (1, 2, 4 or 8 bits, one to four planes: mono, 16 colours,
// 256 colours, RGB and RGBA); null when unreadable or cut off.
QImage ReadPcx(std::string_view bytes);

// True when a TGA file's header is sound and its pixel data (raw or
// run-length coded) is all there.
bool TgaComplete(std::string_view bytes);

// True for a file that does not start as a BMP, and for a BMP whose header
// is sound and whose pixel data (raw or run-length coded) is all there.
bool BmpComplete(std::string_view bytes);

}  // namespace vandrel
