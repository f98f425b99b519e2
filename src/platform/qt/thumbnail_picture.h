// Pictures for the thumbnail lists: a picture file decoded and letterboxed
// on black into a square, and the conversions between the core's
// ThumbPicture and Qt's images.
#pragma once

#include <QImage>
#include <QSize>
#include <optional>
#include <string>

#include "platform/dialog_preview.h"

namespace vandrel {

struct Thumbnail {
  QImage image;  // kThumbnailSide square; null when the file could not be read
  QSize size;    // the picture's own size in pixels
};

// The picture of w x h pixels as its thumbnail: a black kThumbnailSide square
// with the picture fitted into its top-left kThumbnailPicture square,
// centred along the shorter side.
QImage ComposeThumbnail(const QImage& picture);

// Decodes a picture file (straight to the thumbnail's size where the format
// allows) and composes its thumbnail.
Thumbnail ReadThumbnail(const std::string& path);

// ReadThumbnail as a core ThumbPicture; nullopt when the file cannot be read.
std::optional<ThumbPicture> LoadThumbnailPicture(const std::string& path);

QImage ToQImage(const ThumbPicture& picture);
ThumbPicture FromQImage(const QImage& image);

}  // namespace vandrel
