// The state of the open document and of the dialogs.
#pragma once

#include <array>
#include <string>

namespace vandrel {

// File-type codes.
enum FileType : int { kCr2 = 0, kPz2 = 1, kPp2 = 2, kHr2 = 3, kCm2 = 4, kFc2 = 5, kHd2 = 6, kLt2 = 7 };
inline constexpr int kFileTypeCount = 8;
// "cr2", "pz2", ... by code.
const char* FileTypeExtension(int fileType);
// The code of a three-letter extension in any case, or -1.
int FileTypeOfExtension(const std::string& ext);
// Pose-type files (.pz2 .cm2 .fc2 .hd2 .lt2) are read whole and saved in place.
bool IsPoseType(int fileType);

struct StateRec {
  std::string RequiredVersion;
  std::string FileName;
  bool FileGiven = false;
  int MorphLoadMode = 0;
  bool SilentSave = false;
  int FileType = 0;
  bool Dirty = false;
  bool LoadProps = false;
  int BrowseFolderIndex = 0;
  bool KeyMissing = false;
  std::string LastMapFolder;
  // Last-used folders in file-type order: .cr2 .pz2 .pp2 .hr2 .cm2 .fc2 .hd2 .lt2.
  std::string LastCharacterFolder;
  std::string LastPoseFolder;
  std::string LastPropFolder;
  std::string LastHairFolder;
  std::string LastCameraFolder;
  std::string LastFaceFolder;
  std::string LastHandFolder;
  std::string LastLightFolder;
  std::string LastSaveFolder;
  bool EventsOn = false;
  std::string FileNotes;
  bool ReadError = false;
  std::string ReadVersion;

  // The last-used folder of a file-type code 0..7.
  std::string& LastFolderOfType(int fileType);
};

}  // namespace vandrel
