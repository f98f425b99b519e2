#include "app/settings_file.h"

#include "common/text.h"
#include "model/model.h"
#include "platform/file_version.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "platform/path_case.h"
#include "platform/program_folder.h"
#include "platform/registry.h"
#include "platform/ui_services.h"
#include "tools/selection_templates.h"

namespace vandrel {

namespace {

constexpr const char* kFolders = "Folders";
constexpr const char* kGeneral = "General";
constexpr const char* kTitle = "Vandrel";

// A folder below the Poser folder, resolved the way Poser's own paths are
// (stored case first, then any case); "" when it does not exist.
std::string ExistingSubfolder(const std::string& poser, const std::string& sub) {
  const std::string path = JoinPath(poser, sub);
  if (FolderExists(path)) return path;
  const std::string resolved = ResolvePathCase(path);
  return !resolved.empty() && FolderExists(resolved) ? resolved : std::string();
}

const char* TrueFalse(bool value) { return value ? "True" : "False"; }

// A switch of [General]: an empty (missing) value is written back with its
// default; otherwise True exactly when the value is "true" in any case.
bool ReadSwitch(const std::string& ini, const char* key, bool defaultValue) {
  const std::string value = ReadIni(kGeneral, key, ini);
  if (value.empty()) {
    WriteIni(kGeneral, key, TrueFalse(defaultValue), ini);
    return defaultValue;
  }
  return LCase(value) == "true";
}

std::string ReadVersionNumber(const std::string& ini, const char* key) {
  std::string value = ReadIni(kGeneral, key, ini);
  if (!value.empty()) return value;
  std::string exe = JoinPath(gSettings.Poser, "Poser.exe");
  if (!FileExists(exe)) exe = ResolvePathCase(exe);
  value = !exe.empty() && FileExists(exe) ? ShortVersion(GetFileVersion(exe)) : "4.01";
  WriteIni(kGeneral, key, value, ini);
  return value;
}

std::string FindPoserFolder(const std::string& ini, bool quiet) {
  const std::string stored = ReadIni(kFolders, "Poser", ini);
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
      Ui().MessageBox("You can manually choose your Poser folder later\r\nin the Preferences form (in the Settings menu).",
                      kTitle, MsgButtons::OK, MsgIcon::None);
    }
  }
  WriteIni(kFolders, "Poser", poser, ini);
  return poser;
}

struct DefaultFolder {
  const char* key;
  const char* sub;
};
constexpr DefaultFolder kDefaultFolders[] = {
    {"CR2", "Runtime/Libraries/Character"}, {"PZ2", "Runtime/Libraries/Pose"},
    {"PP2", "Runtime/Libraries/Props"},     {"HR2", "Runtime/Libraries/Hair"},
    {"CM2", "Runtime/Libraries/Camera"},    {"FC2", "Runtime/Libraries/Face"},
    {"HD2", "Runtime/Libraries/Hand"},      {"LT2", "Runtime/Libraries/Light"},
    {"Map", "Runtime/Textures"},            {"Save", "Runtime/Libraries/Pose"},
};

}  // namespace

std::string SettingsPath() { return JoinPath(ProgramFolder(), "Settings.ini"); }

std::string ShortVersion(const std::string& version) {
  const std::size_t first = InStr(version, ".");
  const std::size_t second = first ? InStr(first + 1, version, ".") : 0;
  return second ? Left(version, second - 1) : version;
}

void LoadSettings(bool quiet) {
  const std::string ini = SettingsPath();
  if (!FileExists(ini)) WriteFileAtomic(ini, "[Folders]\r\n");

  // The Poser folder, then the per-type folders below it.
  const std::string poser = FindPoserFolder(ini, quiet);
  const std::string working = FolderExists(poser) ? poser : std::string();
  for (const auto& folder : kDefaultFolders) {
    if (FolderExists(ReadIni(kFolders, folder.key, ini))) continue;
    const std::string sub = working.empty() ? std::string() : ExistingSubfolder(working, folder.sub);
    WriteIni(kFolders, folder.key, sub.empty() ? kNone : sub, ini);
  }

  gSettings.CR2 = ReadIni(kFolders, "CR2", ini);
  gSettings.HR2 = ReadIni(kFolders, "HR2", ini);
  gSettings.PP2 = ReadIni(kFolders, "PP2", ini);
  gSettings.PZ2 = ReadIni(kFolders, "PZ2", ini);
  gSettings.CM2 = ReadIni(kFolders, "CM2", ini);
  gSettings.FC2 = ReadIni(kFolders, "FC2", ini);
  gSettings.HD2 = ReadIni(kFolders, "HD2", ini);
  gSettings.LT2 = ReadIni(kFolders, "LT2", ini);
  gSettings.Poser = ReadIni(kFolders, "Poser", ini);
  gSettings.Save = ReadIni(kFolders, "Save", ini);
  gSettings.Map = ReadIni(kFolders, "Map", ini);

  gSettings.CdlgThumb = ReadSwitch(ini, "CdlgThumb", true);
  gSettings.MapThumb = ReadSwitch(ini, "MapThumb", true);
  gSettings.MainThumb = ReadSwitch(ini, "MainThumb", true);
  gSettings.AutoCorrect = ReadSwitch(ini, "AutoCorrect", true);
  gSettings.SetNoMap = ReadSwitch(ini, "SetNoMap", false);
  gSettings.SetPoserVersion = ReadSwitch(ini, "SetPoserVersion", true);
  gSettings.SetP5Version = ReadSwitch(ini, "SetP5Version", true);

  gSettings.PVersionNumber = ReadVersionNumber(ini, "PVersionNumber");
  gSettings.P5VersionNumber = ReadVersionNumber(ini, "P5VersionNumber");

  std::string value = ReadIni(kGeneral, "SaveAsType", ini);
  if (value.empty()) WriteIni(kGeneral, "SaveAsType", "P4", ini);
  gSettings.SaveAsType = value.empty() || LCase(value) == "p4";

  value = ReadIni(kGeneral, "FileSystem", ini);
  if (value.empty()) WriteIni(kGeneral, "FileSystem", "DOS", ini);
  gSettings.FileSystem = value.empty() || LCase(value) == "dos";

  gSettings.ReportTime = ReadSwitch(ini, "ReportTime", true);
  gSettings.DisableProperties = ReadSwitch(ini, "DisableProperties", true);

  value = ReadIni(kGeneral, "DefaultTemplate", ini);
  gSettings.DefaultTemplate.clear();
  if (!value.empty() && FileExists(TemplateFile(value)))
    gSettings.DefaultTemplate = value;
}

std::string SaveSettings() {
  const std::string ini = SettingsPath();
  const SettingsRec& s = gSettings;
  bool ok = true;
  auto write = [&](const char* section, const char* key, const std::string& value) {
    ok = WriteIni(section, key, value, ini) && ok;
  };
  const std::pair<const char*, const std::string*> folders[] = {
      {"CR2", &s.CR2}, {"PZ2", &s.PZ2}, {"PP2", &s.PP2},     {"HR2", &s.HR2}, {"CM2", &s.CM2}, {"FC2", &s.FC2},
      {"HD2", &s.HD2}, {"LT2", &s.LT2}, {"Poser", &s.Poser}, {"Map", &s.Map}, {"Save", &s.Save},
  };
  for (const auto& [key, value] : folders) write(kFolders, key, *value);
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
  return ok ? std::string() : "The preferences could not be saved in " + ini + ".";
}

}  // namespace vandrel
