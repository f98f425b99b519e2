#include "maps/picture_sizes.h"

#include "maps/key_index.h"
#include "model/model.h"

namespace vandrel {

void AddPictureSize(const std::string& fileName, int width, int height) {
  AddToTable(gPictureSizes, StringPairRec{fileName, std::to_string(width) + " X " + std::to_string(height)});
}

std::string PictureSizeOf(const std::string& fileName) {
  static KeyIndex index;
  index.Update(gPictureSizes);
  const auto* found = index.Find(fileName);
  if (!found) return {};
  // Two files whose names differ only in case are two pictures: the one of
  // exactly this name first.
  for (std::size_t i : *found)
    if (gPictureSizes[i].Key == fileName) return gPictureSizes[i].Value;
  return gPictureSizes[found->front()].Value;
}

}  // namespace vandrel
