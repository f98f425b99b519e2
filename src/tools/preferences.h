// The preferences as the preferences window shows and edits them, and the
// layout of a Poser installation that both the window and start-up use to
// find the default folders below the Poser folder. No Qt.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/settings.h"
#include "platform/associations.h"

namespace vandrel {

inline constexpr int kFolderBoxCount = 11;
inline constexpr int kAssociationCount = 8;
inline constexpr int kPoserFolderBox = 6;

// The folder boxes TXT(0) .. TXT(10): CR2, PZ2, PP2, HR2, Save, Map, Poser,
// CM2, LT2, HD2, FC2.
std::string& FolderField(SettingsRec& settings, int box);
const std::string& FolderField(const SettingsRec& settings, int box);
// The box's folder below a Poser folder ("Runtime/Libraries/Character"); ""
// for the Poser box itself.
const char* PoserLayoutFolder(int box);
// The box's caption ("Character Folder").
const char* FolderLabel(int box);
// The box's key in Settings.ini's [Folders] section ("CR2", ..., "Poser").
const char* FolderKey(int box);
// The library boxes in the order start-up fills them from Settings.ini (and
// adds their keys when missing): CR2, PZ2, PP2, HR2, CM2, FC2, HD2, LT2, Map,
// Save.
const std::array<int, kFolderBoxCount - 1>& LoadedFolderBoxes();
// A folder below the Poser folder, resolved the way Poser's own paths are
// (stored case first, then any case); "" when it does not exist.
std::string ExistingSubfolder(const std::string& poser, const std::string& sub);

// The file types of the association boxes chkAs(0) .. chkAs(7).
struct AssociationType {
  const char* extension;    // ".pz2"
  const char* label;        // "Pose files (*.pz2)"
  const char* description;  // "Poser Pose file"
  const char* kind;         // "Pose"
};
const std::array<AssociationType, kAssociationCount>& AssociationTypes();

// What the window's controls hold.
struct PreferencesForm {
  std::array<std::string, kFolderBoxCount> folders;
  std::array<bool, kAssociationCount> associate{};
  bool thumbDialog = false, thumbMap = false, thumbMain = false;
  bool autoCorrect = false, noMap = false;
  bool setVersion = false, setP5Version = false;
  std::string versionNumber, p5VersionNumber;
  bool poser4 = false, dos = false;
  bool reportTime = false, disableProperties = false;
  std::optional<std::string> selectedTemplate;  // nullopt: no entry selected
};

// The form as the window opens it on `settings` (associations all unticked).
PreferencesForm FormFromSettings(const SettingsRec& settings);
// What OK copies into the preferences: every folder box that is neither empty
// nor "none" (others keep the stored folder), the switches, the version
// numbers as typed, and the template when one is selected.
void ApplyForm(const PreferencesForm& form, SettingsRec& settings);
// The text telling which value of the form Settings.ini cannot keep (one
// holding a line break), "" when every value can be saved.
std::string UnsavablePreference(const PreferencesForm& form);
// Run Poser is usable after OK exactly when the Poser box names a folder.
bool RunPoserEnabled(const PreferencesForm& form);

// Where a Browse button opens the dialog: the box's folder, else the Poser
// folder, else the user's home folder; one trailing "/" removed.
std::string BrowseStartFolder(const std::string& boxText, const std::string& poserFolder);
// After a Poser folder was chosen: the library boxes (in the order Character,
// Hair, Map, Prop, Pose, Save, Camera, Face, Hand, Light) that hold no
// existing folder while the chosen folder has that box's folder, each with
// the folder found (any case).
std::vector<std::pair<int, std::string>> PoserLayoutFills(
    const std::array<std::string, kFolderBoxCount>& folders, const std::string& poserFolder);

// The chkAs indices whose box differs from the registration found at load.
std::vector<int> ChangedAssociations(const std::array<bool, kAssociationCount>& registered,
                                     const std::array<bool, kAssociationCount>& ticked);
// Registers the changed types that are ticked and unregisters the others,
// then refreshes the desktop's databases when anything changed. Returns the
// failures to show the user, "" when there were none.
std::string ApplyAssociationChanges(const std::array<bool, kAssociationCount>& registered,
                                    const std::array<bool, kAssociationCount>& ticked,
                                    const AssociationProgram& program);

// A decimal number, blanks around it allowed; nullopt for anything else.
std::optional<double> NumericValue(const std::string& text);
// The text a cache box keeps after a change: "" stays, a number in
// [low, high] stays, anything else becomes `replacement`.
std::string CheckedCacheText(const std::string& text, int low, int high, const char* replacement);

}  // namespace vandrel
