#include "app/settings_file.h"

#include <array>
#include <utility>
#include <vector>

#include "common/text.h"
#include "model/model.h"
#include "platform/file_version.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "platform/path_case.h"
#include "platform/program_folder.h"
#include "platform/registry.h"
#include "platform/ui_services.h"
#include "tools/preferences.h"
#include "tools/selection_templates.h"

namespace vandrel {

namespace {

constexpr const char* kFolders = "Folders";
constexpr const char* kGeneral = "General";
constexpr const char* kTitle = "Vandrel";

const char* TrueFalse(bool value) { return value ? "True" : "False"; }

// A switch of [General]: an empty (missing) value is written back with its
// default; otherwise True exactly when the value is "true" in any case.
bool ReadSwitch(IniFileEdit& ini, const char* key, bool defaultValue) {
  const std::string value = ini.Read(kGeneral, key);
  if (value.empty()) {
    ini.Write(kGeneral, key, TrueFalse(defaultValue));
    return defaultValue;
  }
  return LCase(value) == "true";
}

std::string ReadVersionNumber(IniFileEdit& ini, const char* key) {
  std::string value = ini.Read(kGeneral, key);
  if (!value.empty()) return value;
  std::string exe = JoinPath(gSettings.Poser, "Poser.exe");
  if (!FileExists(exe)) exe = ResolvePathCase(exe);
  value = !exe.empty() && FileExists(exe) ? ShortVersion(GetFileVersion(exe)) : "4.01";
  ini.Write(kGeneral, key, value);
  return value;
}

// A folder value the user has set: neither empty (a first run) nor "none".
bool IsSetFolder(const std::string& value) { return !value.empty() && !EqualsNoCase(value, kNone); }

// The folder keys whose stored folder was missing at start (an unmounted
// drive or share), with the value used instead for this run. Their stored
// value stays in the file until the user changes the folder.
std::vector<std::pair<std::string, std::string>>& MissingStoredFolders() {
  static std::vector<std::pair<std::string, std::string>> keys;
  return keys;
}

// Writes the folder used for this run back unless the stored value names a
// folder of the user's that is only missing now.
void WriteFolderFallback(IniFileEdit& ini, const char* key, const std::string& stored,
                         const std::string& value) {
  if (IsSetFolder(stored))
    MissingStoredFolders().emplace_back(key, value);
  else
    ini.Write(kFolders, key, value);
}

std::string FindPoserFolder(IniFileEdit& ini, bool quiet) {
  const std::string stored = ini.Read(kFolders, "Poser");
  if (FolderExists(stored)) return stored;

  std::string poser = kNone;
  const auto registry = ReadPoserAppPath();
  if (registry && FolderExists(*registry)) {
    MsgResult answer = MsgResult::No;
    if (!quiet)
      answer = Ui().MessageBox("Is " + *registry + "\r\nyour Poser directory?", "Default Poser folder",
                               MsgButtons::YesNo, MsgIcon::None);
    if (answer == MsgResult::Yes) {
      poser = *registry;
    } else if (!quiet) {
      Ui().MessageBox(
          "You can manually choose your Poser folder later\r\nin the Preferences form (in the Settings "
          "menu).",
          kTitle, MsgButtons::OK, MsgIcon::None);
    }
  }
  // A folder the user accepted is stored; otherwise a missing folder of the
  // user's stays stored for the next start.
  if (poser != kNone)
    ini.Write(kFolders, "Poser", poser);
  else
    WriteFolderFallback(ini, "Poser", stored, poser);
  return poser;
}

// The folder boxes in the order SaveSettings writes their [Folders] keys:
// CR2, PZ2, PP2, HR2, CM2, FC2, HD2, LT2, Poser, Map, Save.
constexpr std::array<int, kFolderBoxCount> kSavedFolderBoxes = {0, 1, 2, 3, 7, 10, 9, 8, 6, 5, 4};

}  // namespace

std::string SettingsPath() { return JoinPath(UserConfigFolder(), "Settings.ini"); }

std::string ShortVersion(const std::string& version) {
  const std::size_t first = InStr(version, ".");
  const std::size_t second = first ? InStr(first + 1, version, ".") : 0;
  return second ? Left(version, second - 1) : version;
}

void LoadSettings(bool quiet) {
  // Read once, written back once and only when a key was missing or changed.
  IniFileEdit ini(SettingsPath());
  if (!FileExists(SettingsPath())) ini.SetText("[Folders]\r\n");
  MissingStoredFolders().clear();

  // The Poser folder, then the per-type folders below it. A folder that does
  // not exist counts as unset for this run: the default below the Poser
  // folder, else "none".
  gSettings.Poser = FindPoserFolder(ini, quiet);
  const std::string working = FolderExists(gSettings.Poser) ? gSettings.Poser : std::string();
  for (const int box : LoadedFolderBoxes()) {
    const char* key = FolderKey(box);
    const std::string stored = ini.Read(kFolders, key);
    std::string value = stored;
    if (!FolderExists(stored)) {
      const std::string sub =
          working.empty() ? std::string() : ExistingSubfolder(working, PoserLayoutFolder(box));
      value = sub.empty() ? kNone : sub;
      WriteFolderFallback(ini, key, stored, value);
    }
    FolderField(gSettings, box) = value;
  }

  gSettings.CdlgThumb = ReadSwitch(ini, "CdlgThumb", true);
  gSettings.MapThumb = ReadSwitch(ini, "MapThumb", true);
  gSettings.MainThumb = ReadSwitch(ini, "MainThumb", true);
  gSettings.AutoCorrect = ReadSwitch(ini, "AutoCorrect", true);
  gSettings.SetNoMap = ReadSwitch(ini, "SetNoMap", false);
  gSettings.SetPoserVersion = ReadSwitch(ini, "SetPoserVersion", true);
  gSettings.SetP5Version = ReadSwitch(ini, "SetP5Version", true);

  gSettings.PVersionNumber = ReadVersionNumber(ini, "PVersionNumber");
  gSettings.P5VersionNumber = ReadVersionNumber(ini, "P5VersionNumber");

  std::string value = ini.Read(kGeneral, "SaveAsType");
  if (value.empty()) ini.Write(kGeneral, "SaveAsType", "P4");
  gSettings.SaveAsType = value.empty() || LCase(value) == "p4";

  value = ini.Read(kGeneral, "FileSystem");
  if (value.empty()) ini.Write(kGeneral, "FileSystem", "DOS");
  gSettings.FileSystem = value.empty() || LCase(value) == "dos";

  gSettings.ReportTime = ReadSwitch(ini, "ReportTime", true);
  gSettings.DisableProperties = ReadSwitch(ini, "DisableProperties", true);

  value = ini.Read(kGeneral, "DefaultTemplate");
  gSettings.DefaultTemplate.clear();
  if (!value.empty() && FileExists(TemplateFile(value))) gSettings.DefaultTemplate = value;
  // Preferences are kept in memory when the file cannot be written.
  ini.Save();
}

std::string SaveSettings() {
  IniFileEdit ini(SettingsPath());
  const SettingsRec& s = gSettings;
  bool ok = true;
  auto write = [&](const char* section, const char* key, const std::string& value) {
    ok = ini.Write(section, key, value) && ok;
  };
  for (const int box : kSavedFolderBoxes) {
    const char* key = FolderKey(box);
    const std::string& value = FolderField(s, box);
    // A folder missing at start that is still the one used instead keeps its
    // stored value.
    bool keep = false;
    for (const auto& [missingKey, usedInstead] : MissingStoredFolders())
      keep = keep || (missingKey == key && usedInstead == value);
    if (!keep) write(kFolders, key, value);
  }
  write(kGeneral, "CdlgThumb", TrueFalse(s.CdlgThumb));
  write(kGeneral, "MapThumb", TrueFalse(s.MapThumb));
  write(kGeneral, "MainThumb", TrueFalse(s.MainThumb));
  write(kGeneral, "AutoCorrect", TrueFalse(s.AutoCorrect));
  write(kGeneral, "SetNoMap", TrueFalse(s.SetNoMap));
  write(kGeneral, "SetPoserVersion", TrueFalse(s.SetPoserVersion));
  write(kGeneral, "SetP5Version", TrueFalse(s.SetP5Version));
  write(kGeneral, "PVersionNumber", s.PVersionNumber);
  write(kGeneral, "P5VersionNumber", s.P5VersionNumber);
  write(kGeneral, "ReportTime", TrueFalse(s.ReportTime));
  write(kGeneral, "DefaultTemplate", s.DefaultTemplate);
  write(kGeneral, "DisableProperties", TrueFalse(s.DisableProperties));
  write(kGeneral, "SaveAsType", s.SaveAsType ? "P4" : "P5");
  write(kGeneral, "FileSystem", s.FileSystem ? "DOS" : "UNIX");
  if (ok) ok = ini.Save().empty();
  return ok ? std::string() : "The preferences could not be saved in " + SettingsPath() + ".";
}

}  // namespace vandrel
