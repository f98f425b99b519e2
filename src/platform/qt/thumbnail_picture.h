// Pictures for the thumbnail lists: a picture file read with QImageReader
// and letterboxed on black into a square, and the conversions between the
// core's ThumbPicture and Qt's images.
#pragma once

#include <QImage>
#include <optional>
#include <string>

#include "platform/dialog_preview.h"

namespace vandrel {

// The letterboxed thumbnail of a picture file (".bum" bump maps read as
// BMP); nullopt when the file cannot be read as a picture.
std::optional<ThumbPicture> LoadThumbnailPicture(const std::string& path);

QImage ToQImage(const ThumbPicture& picture);
ThumbPicture FromQImage(const QImage& image);

}  // namespace vandrel
