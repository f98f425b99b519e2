#include "model/state.h"

#include "common/text.h"
#include "model/settings.h"

namespace vandrel {

namespace {
constexpr const char* kExtensions[kFileTypeCount] = {"cr2", "pz2", "pp2", "hr2", "cm2", "fc2", "hd2", "lt2"};
}

const char* FileTypeExtension(int fileType) {
  return fileType >= 0 && fileType < kFileTypeCount ? kExtensions[fileType] : "";
}

int FileTypeOfExtension(const std::string& ext) {
  const std::string lower = LCase(ext);
  for (int i = 0; i < kFileTypeCount; ++i)
    if (lower == kExtensions[i]) return i;
  return -1;
}

bool IsPoseType(int fileType) {
  return fileType == kPz2 || fileType == kCm2 || fileType == kFc2 || fileType == kHd2 || fileType == kLt2;
}

std::string& StateRec::LastFolderOfType(int fileType) {
  switch (fileType) {
    case kCr2:
      return LastCharacterFolder;
    case kPz2:
      return LastPoseFolder;
    case kPp2:
      return LastPropFolder;
    case kHr2:
      return LastHairFolder;
    case kCm2:
      return LastCameraFolder;
    case kFc2:
      return LastFaceFolder;
    case kHd2:
      return LastHandFolder;
    default:
      return LastLightFolder;
  }
}

const std::string& SettingsRec::FolderOfType(int fileType) const {
  switch (fileType) {
    case kCr2:
      return CR2;
    case kPz2:
      return PZ2;
    case kPp2:
      return PP2;
    case kHr2:
      return HR2;
    case kCm2:
      return CM2;
    case kFc2:
      return FC2;
    case kHd2:
      return HD2;
    default:
      return LT2;
  }
}

bool IsSetFolder(const std::string& folder) { return !folder.empty() && folder != kNone; }

}  // namespace vandrel
