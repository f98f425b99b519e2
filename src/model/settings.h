// The preferences record, kept in Settings.ini in the user's config folder.
#pragma once

#include <string>

namespace vandrel {

inline constexpr const char* kNone = "none";

struct SettingsRec {
  // Start folders of the open dialogs per file type ("none" = not set).
  // Note the order: LT2 stands before FC2 and HD2.
  std::string CR2, PZ2, PP2, HR2, CM2, LT2, FC2, HD2;
  std::string Save;   // start folder of Save As
  std::string Map;    // start folder of the map Browse dialogs
  std::string Poser;  // Poser's folder, "none" when unset
  bool CdlgThumb = false;
  bool MapThumb = false;
  bool MainThumb = false;
  bool AutoCorrect = false;
  bool SetNoMap = false;
  bool SetPoserVersion = false;
  bool SetP5Version = false;
  std::string PVersionNumber;
  std::string P5VersionNumber;
  bool SaveAsType = false;  // true = Poser 4, false = Poser 5
  bool FileSystem = false;  // true = DOS/Windows (CR LF), false = UNIX/Macintosh (CR)
  bool ReportTime = false;
  std::string DefaultTemplate;
  bool DisableProperties = false;

  // The preference folder of a file-type code 0..7.
  const std::string& FolderOfType(int fileType) const;
};

// True when a folder preference holds a folder ("none" and "" do not).
bool IsSetFolder(const std::string& folder);

}  // namespace vandrel
