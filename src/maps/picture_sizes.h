// gPictureSizes: the pixel size of every picture loaded as a thumbnail.
#pragma once

#include <string>

namespace vandrel {

// Adds the entry of a loaded picture: Key = the file path as given, Value =
// "<width> X <height>" ("1024 X 512"). One entry per load, none merged.
void AddPictureSize(const std::string& fileName, int width, int height);

// The size text of the first entry whose Key equals `fileName`, else of the
// first one equal without regard to case; "" when there is none.
std::string PictureSizeOf(const std::string& fileName);

}  // namespace vandrel
