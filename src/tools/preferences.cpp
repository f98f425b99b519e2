#include "tools/preferences.h"

#include <algorithm>
#include <charconv>

#include "common/text.h"
#include "platform/files.h"
#include "platform/folder_browser.h"
#include "platform/ini.h"
#include "platform/path_case.h"
#include "platform/program_folder.h"

namespace vandrel {

namespace {

// Each folder box: its key in Settings.ini and its folder below the Poser folder.
struct LayoutRow {
  const char* key;
  const char* subfolder;
};

constexpr std::array<LayoutRow, kFolderBoxCount> kPoserLayout = {{
    {"CR2", "Runtime/Libraries/Character"},
    {"PZ2", "Runtime/Libraries/Pose"},
    {"PP2", "Runtime/Libraries/Props"},
    {"HR2", "Runtime/Libraries/Hair"},
    {"Save", "Runtime/Libraries/Pose"},
    {"Map", "Runtime/Textures"},
    {"Poser", ""},
    {"CM2", "Runtime/Libraries/Camera"},
    {"LT2", "Runtime/Libraries/Light"},
    {"HD2", "Runtime/Libraries/Hand"},
    {"FC2", "Runtime/Libraries/Face"},
}};

// The boxes' captions, as messages name them.
constexpr std::array<const char*, kFolderBoxCount> kFolderLabels = {
    "Character Folder", "Pose Folder",   "Prop Folder",  "Hair Folder", "Save Folder", "Map Folder",
    "Poser Folder",     "Camera Folder", "Light Folder", "Hand Folder", "Face Folder",
};

constexpr std::array<int, kFolderBoxCount - 1> kLoadOrder = {0, 1, 2, 3, 7, 10, 9, 8, 5, 4};

// The library boxes a newly chosen Poser folder fills, in this order.
constexpr std::array<int, 10> kLayoutFillOrder = {0, 3, 5, 2, 1, 4, 7, 10, 9, 8};

constexpr std::array<AssociationType, kAssociationCount> kAssociationTypes = {{
    {".pz2", "Pose files (*.pz2)", "Poser Pose file", "Pose"},
    {".cr2", "Character files (*.cr2)", "Poser Character file", "Character"},
    {".pp2", "Prop files (*.pp2)", "Poser Prop file", "Prop"},
    {".hr2", "Hair files (*.hr2)", "Poser Hair file", "Hair"},
    {".cm2", "Camera files (*.cm2)", "Poser Camera file", "Camera"},
    {".fc2", "Face files (*.fc2)", "Poser Face file", "Face"},
    {".hd2", "Hand files (*.hd2)", "Poser Hand file", "Hand"},
    {".lt2", "Light files (*.lt2)", "Poser Light file", "Light"},
}};

}  // namespace

std::string ExistingSubfolder(const std::string& poser, const std::string& sub) {
  const std::string path = JoinPath(poser, sub);
  if (FolderExists(path)) return path;
  const std::string resolved = ResolvePathCase(path);
  return !resolved.empty() && FolderExists(resolved) ? resolved : std::string();
}

std::optional<double> NumericValue(const std::string& text) {
  std::string t = Trim(text);
  if (!t.empty() && t.front() == '+') t.erase(0, 1);
  if (t.empty() || t.find_first_not_of("0123456789.eE+-") != std::string::npos ||
      t.find_first_of("0123456789") == std::string::npos)
    return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return value;
}

std::string& FolderField(SettingsRec& s, int box) {
  std::string* fields[kFolderBoxCount] = {&s.CR2,   &s.PZ2, &s.PP2, &s.HR2, &s.Save, &s.Map,
                                          &s.Poser, &s.CM2, &s.LT2, &s.HD2, &s.FC2};
  return *fields[box];
}

const std::string& FolderField(const SettingsRec& s, int box) {
  return FolderField(const_cast<SettingsRec&>(s), box);
}

const char* PoserLayoutFolder(int box) { return kPoserLayout[box].subfolder; }

const char* FolderLabel(int box) { return kFolderLabels[box]; }

const char* FolderKey(int box) { return kPoserLayout[box].key; }

const std::array<int, kFolderBoxCount - 1>& LoadedFolderBoxes() { return kLoadOrder; }

const std::array<AssociationType, kAssociationCount>& AssociationTypes() { return kAssociationTypes; }

PreferencesForm FormFromSettings(const SettingsRec& s) {
  PreferencesForm form;
  for (int i = 0; i < kFolderBoxCount; ++i) form.folders[i] = FolderField(s, i);
  form.thumbDialog = s.CdlgThumb;
  form.thumbMap = s.MapThumb;
  form.thumbMain = s.MainThumb;
  form.autoCorrect = s.AutoCorrect;
  form.noMap = s.SetNoMap;
  form.setVersion = s.SetPoserVersion;
  form.setP5Version = s.SetP5Version;
  form.versionNumber = s.PVersionNumber;
  form.p5VersionNumber = s.P5VersionNumber;
  form.poser4 = s.SaveAsType;
  form.dos = s.FileSystem;
  form.reportTime = s.ReportTime;
  form.disableProperties = s.DisableProperties;
  return form;
}

void ApplyForm(const PreferencesForm& form, SettingsRec& s) {
  for (int i = 0; i < kFolderBoxCount; ++i) {
    if (!form.folders[i].empty() && form.folders[i] != kNone) FolderField(s, i) = form.folders[i];
  }
  s.CdlgThumb = form.thumbDialog;
  s.MapThumb = form.thumbMap;
  s.MainThumb = form.thumbMain;
  s.AutoCorrect = form.autoCorrect;
  s.SetNoMap = form.noMap;
  s.SetPoserVersion = form.setVersion;
  s.SetP5Version = form.setP5Version;
  s.PVersionNumber = form.versionNumber;
  s.P5VersionNumber = form.p5VersionNumber;
  s.SaveAsType = form.poser4;
  s.FileSystem = form.dos;
  s.ReportTime = form.reportTime;
  s.DisableProperties = form.disableProperties;
  if (form.selectedTemplate) s.DefaultTemplate = *form.selectedTemplate;
}

std::string UnsavablePreference(const PreferencesForm& form) {
  std::vector<std::pair<std::string, const std::string*>> values;
  for (int i = 0; i < kFolderBoxCount; ++i) values.emplace_back(kFolderLabels[i], &form.folders[i]);
  values.emplace_back("Poser version for all P4/PP files", &form.versionNumber);
  values.emplace_back("Poser version for all P5 files", &form.p5VersionNumber);
  if (form.selectedTemplate) values.emplace_back("default template", &*form.selectedTemplate);
  for (const auto& [label, value] : values) {
    // Blanks and quotes around a value are kept; a line break cannot be.
    if (!IsWritableIniEntry("Folders", "Key", *value))
      return "The " + label + " cannot be saved in Settings.ini because it holds a line break.";
  }
  return {};
}

bool RunPoserEnabled(const PreferencesForm& form) {
  const std::string& poser = form.folders[kPoserFolderBox];
  return !poser.empty() && poser != kNone;
}

std::string BrowseStartFolder(const std::string& boxText, const std::string& poserFolder) {
  std::string start;
  if (FolderExists(boxText)) {
    start = boxText;
  } else if (FolderExists(poserFolder)) {
    start = poserFolder;
  } else {
    start = HomeFolder();  // not the folder Vandrel happened to start in
  }
  return RemoveTrailingBackslash(start);
}

std::vector<std::pair<int, std::string>> PoserLayoutFills(
    const std::array<std::string, kFolderBoxCount>& folders, const std::string& poserFolder) {
  std::vector<std::pair<int, std::string>> fills;
  for (int box : kLayoutFillOrder) {
    if (FolderExists(folders[box])) continue;
    std::string found = ExistingSubfolder(poserFolder, kPoserLayout[box].subfolder);
    if (!found.empty()) fills.emplace_back(box, std::move(found));
  }
  return fills;
}

std::vector<int> ChangedAssociations(const std::array<bool, kAssociationCount>& registered,
                                     const std::array<bool, kAssociationCount>& ticked) {
  std::vector<int> changed;
  for (int i = 0; i < kAssociationCount; ++i)
    if (registered[i] != ticked[i]) changed.push_back(i);
  return changed;
}

std::string ApplyAssociationChanges(const std::array<bool, kAssociationCount>& registered,
                                    const std::array<bool, kAssociationCount>& ticked,
                                    const AssociationProgram& program) {
  std::vector<int> changed = ChangedAssociations(registered, ticked);
  // An unticked type still claimed by files of an incomplete or earlier
  // registration loses them too: unticked means Vandrel claims nothing of it.
  for (int i = 0; i < kAssociationCount; ++i)
    if (!ticked[i] && !registered[i] && HasAssociationFiles(kAssociationTypes[i].extension))
      changed.push_back(i);
  std::sort(changed.begin(), changed.end());
  std::string failures;
  for (int i : changed) {
    const AssociationType& type = kAssociationTypes[i];
    const bool remove = !ticked[i];
    const std::string error = Associate(type.extension, type.description, program, remove);
    if (!error.empty()) {
      failures += std::string(remove ? "Vandrel could not be unregistered for "
                                     : "Vandrel could not be registered for ") +
                  type.extension + " files:\r\n" + error + "\r\n";
    }
  }
  if (!changed.empty()) {
    const std::string error = RefreshDesktopDatabases();
    if (!error.empty())
      failures += "The desktop's file type database could not be updated:\r\n" + error + "\r\n";
  }
  return failures;
}

std::string CheckedCacheText(const std::string& text, int low, int high, const char* replacement) {
  if (text.empty()) return text;
  const auto value = NumericValue(text);
  if (!value || *value < low || *value > high) return replacement;
  return text;
}

}  // namespace vandrel
