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
  return found ? gPictureSizes[found->front()].Value : std::string();
}

}  // namespace vandrel
