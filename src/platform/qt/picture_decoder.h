// Reading picture files for thumbnails: QImageReader for what Qt reads
// (JPEG, PNG, BMP, GIF, TIFF, ...; ".bum" bump maps as BMP), stb_image for
// TGA (with RLE or without footer), and readers of our own for PSD and PCX.
// Files are opened by the bytes of their names, and a damaged or cut-off
// BMP, TGA, PSD or PCX gives no picture rather than one with black where its
// data is missing. Pictures may be very large (8192 x 8192 TIFF): pictures
// of 8 bits a channel in formats that decode scaled do so; the kinds whose
// scaled read Qt gets wrong (indexed, 16-bit with alpha, grey-alpha PNG) are
// decoded at full size (one very large picture at a time) and scaled
// afterwards.
#pragma once

#include <QImage>
#include <QSize>
#include <functional>
#include <string>

namespace vandrel {

struct DecodedPicture {
  QImage image;  // the picture, possibly already scaled down towards the asked size; null = unreadable
  QSize size;    // the picture's own size in pixels
};

// The size to decode a picture of the given own size at; invalid = full size.
using ScaledSizeFor = std::function<QSize(QSize own)>;

// Decodes `path`, at the size `scaledSizeFor` gives when it gives one (a
// size smaller than the picture's own). Safe to call from several threads.
DecodedPicture DecodePicture(const std::string& path, const ScaledSizeFor& scaledSizeFor = {});

}  // namespace vandrel
