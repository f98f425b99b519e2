#include "tools/import.h"

#include <array>
#include <unordered_set>

#include "common/text.h"
#include "platform/cdlg_ex.h"
#include "platform/files.h"
#include "platform/ui_services.h"
#include "reader/actor_switches.h"
#include "reader/poser_file_reader.h"
#include "tools/figure_read.h"

namespace vandrel {
namespace {

constexpr const char* kPoseFilters[5] = {
    "Poses|*.pz2|Camera files|*.cm2|Hand files|*.hd2|Face files|*.fc2|Light files|*.lt2|All files|*.*",
    "Camera files|*.cm2|Poses|*.pz2|Hand files|*.hd2|Face files|*.fc2|Light files|*.lt2|All files|*.*",
    "Face files|*.fc2|Poses|*.pz2|Camera files|*.cm2|Hand files|*.hd2|Light files|*.lt2|All files|*.*",
    "Hand files|*.hd2|Poses|*.pz2|Camera files|*.cm2|Face files|*.fc2|Light files|*.lt2|All files|*.*",
    "Light files|*.lt2|Poses|*.pz2|Camera files|*.cm2|Hand files|*.hd2|Face files|*.fc2|All files|*.*"};
constexpr const char* kCharacterFilter = "Characters|*.cr2|All files|*.*";

constexpr std::array<ImportFileType, kImportTypeCount> kTypes = {{
    {"Pose file", kPz2, kPoseFilters[0], false},
    {"Camera file", kCm2, kPoseFilters[1], true},
    {"Face file", kFc2, kPoseFilters[2], true},
    {"Hand file", kHd2, kPoseFilters[3], true},
    {"Light file", kLt2, kPoseFilters[4], true},
    {"Character file", kCr2, kCharacterFilter, false},
    {"Character file with props", kCr2, kCharacterFilter, false},
    {"Multi-figure character file", kCr2, kCharacterFilter, false},
    {"Prop file", kPp2, "Props|*.pp2|All files|*.*", true},
    {"Hair file", kHr2, "Hair|*.hr2|All files|*.*", true},
}};

// An import's open dialog; a cancel leaves the dialog's file name as it was.
bool ChooseImportFile(DocumentCalls& calls, int index) {
  const std::string kept = calls.DialogFileName();
  if (calls.ChooseFile(ImportDialogRequest(index))) return true;
  calls.DialogFileName() = kept;
  return false;
}

// The character-file dialog of the figure procedures; the chosen folder is kept.
bool ChooseCharacterFile(DocumentCalls& calls) {
  if (!ChooseImportFile(calls, 5)) return false;
  gState.LastCharacterFolder = FolderOf(calls.DialogFileName());
  return true;
}

// The material groups in the table (an empty table holds one entry without a name).
std::size_t GroupCount() { return gObjects.size() == 1 && gObjects[0].Name.empty() ? 0 : gObjects.size(); }

// A channel read that adds actors also gives a group to every actor of the
// table whose block in the read file carries materials, whether or not the
// actor had one: the old BODY and the new one both get the new file's BODY
// group, beside the document's own. An actor's block is written with every
// group of its name, so the groups the read added under a name already in the
// table go again (with their entries), and the document's group stays.
void DropRepeatedGroups(std::size_t groupsBefore) {
  if (groupsBefore >= gObjects.size()) return;
  std::unordered_set<std::string> names;
  for (std::size_t k = 0; k < groupsBefore; ++k) names.insert(gObjects[k].Name);
  std::vector<ObjectRec> groups;
  ObjectList entries;
  groups.reserve(gObjects.size());
  entries.reserve(gObjectList.size());
  for (std::size_t k = 0; k < gObjects.size(); ++k) {
    if (k >= groupsBefore && !names.insert(gObjects[k].Name).second) continue;
    groups.push_back(std::move(gObjects[k]));
    if (k < gObjectList.size()) entries.push_back(std::move(gObjectList[k]));
  }
  for (std::size_t k = gObjects.size(); k < gObjectList.size(); ++k)
    entries.push_back(std::move(gObjectList[k]));
  gObjects = std::move(groups);
  gObjectList = std::move(entries);
}

// A channel read of an import, with the groups it repeated dropped again.
bool ReadImportedChannels(DocumentCalls& calls, bool insertOne, bool append, Host& host) {
  // A file that is not Poser text gets the reader's refusal, not the message
  // of a Poser file without channels.
  if (RefuseNonPoserText(calls.DialogFileName(), host)) return false;
  const std::size_t groups = GroupCount();
  const bool read = calls.ReadMorphPoseFile(insertOne, true, "", append);
  if (read) DropRepeatedGroups(groups);
  return read;
}

// The figure chooser of an import's channel read, likewise.
FigureReadResult ChooseImportedFigure(DocumentCalls& calls) {
  const std::size_t groups = GroupCount();
  const FigureReadResult read = calls.RunFigureChooser();
  if (read.ChannelsRead) DropRepeatedGroups(groups);
  return read;
}

// Asks before the BODY actor is replaced. False: the import ends. `replace`
// tells whether the first actor is a BODY actor to go once the new one is in.
bool AskReplaceBody(bool& replace, Host& host) {
  replace = FirstActorIsBody();
  if (!replace) return true;
  return host.Message(kReplaceBodyQuestion, "", MsgButtons::OKCancel, MsgIcon::None) == MsgResult::OK;
}

// The new BODY actor came in front of the old one, which goes now.
void ReplaceBody(bool replace, bool read, DocumentCalls& calls) {
  if (!read) return;
  if (replace && gActors.size() > 1) RemoveActor(1);
  calls.ShowActorList();
  calls.ShowObjectList();
}

// Puts the document back after an import read that brought nothing, the
// shared dialog's file name too; true when the imported groups are in.
bool ImportedOrRestored(bool read, DocumentSnapshot& before, DocumentCalls& calls,
                        const std::string& dialogName) {
  if (read && !gState.ReadError && !gOpenCancelled && !gObjectList.empty()) return true;
  before.Restore();
  calls.DialogFileName() = dialogName;
  return false;
}

}  // namespace

const ImportFileType& ImportType(int index) { return kTypes.at(static_cast<std::size_t>(index)); }

bool BodyOnlyAllowed(int index) { return index >= 5 && index <= 7; }

FileDialogRequest ImportDialogRequest(int index) {
  const ImportFileType& type = ImportType(index);
  // The title and extension of the type's own open dialog.
  FileDialogRequest r = OpenDialogRequest(type.Code);
  r.filter = type.Filter;
  r.initDir.clear();
  const std::string& preference = gSettings.FolderOfType(type.Code);
  if (preference != kNone && !preference.empty()) r.initDir = preference;
  const std::string& last = gState.LastFolderOfType(type.Code);
  if (!last.empty()) r.initDir = last;
  return r;
}

bool ActorExists(const std::string& name) {
  for (const ActorRec& a : gActors)
    if (a.Name == name) return true;
  return false;
}

bool ObjectExists(const std::string& name) {
  for (const ObjectRec& o : gObjects)
    if (o.Name == name) return true;
  return false;
}

std::vector<KeptGroup> KeepActorGroups() {
  std::vector<KeptGroup> kept;
  if (gObjects.empty() || gObjects[0].Name.empty()) return kept;
  for (std::size_t k = 0; k < gObjects.size(); ++k) {
    if (!ActorExists(gObjects[k].Name)) continue;
    std::string entry = k < gObjectList.size() ? gObjectList[k].str() : "actor " + gObjects[k].Name;
    kept.push_back(KeptGroup{gObjects[k], std::move(entry)});
  }
  return kept;
}

void MergeKeptGroups(std::vector<KeptGroup> kept) {
  for (KeptGroup& k : kept) {
    if (gObjects.size() == 1 && gObjects[0].Name.empty())
      gObjects[0] = std::move(k.Group);
    else
      gObjects.push_back(std::move(k.Group));
    AddObjectListItem(k.Entry, 0);
  }
  AddGrouplessActorEntries();
}

DocumentSnapshot::DocumentSnapshot() = default;

void DocumentSnapshot::Restore() {
  gObjects = std::move(objects_);
  gObjectList = std::move(objectList_);
  gActors = std::move(actors_);
  gActorList = std::move(actorList_);
  gState.FileName = std::move(fileName_);
  gState.RequiredVersion = std::move(requiredVersion_);
  gState.ReadVersion = std::move(readVersion_);
  gState.FileNotes = std::move(fileNotes_);
  gState.FileType = fileType_;
  gState.Dirty = dirty_;
  gIsHairFile = hair_;
  gThighLength = thigh_;
}

bool FirstActorIsBody() { return !gActorList.empty() && StartsWith(LCase(gActorList[0].Text()), "body"); }

void RemoveActor(std::size_t index) {
  if (index >= gActors.size()) return;
  gActors.erase(gActors.begin() + static_cast<std::ptrdiff_t>(index));
  if (gActors.empty()) gActors.assign(1, ActorRec{});
  if (index < gActorList.size()) gActorList.erase(gActorList.begin() + static_cast<std::ptrdiff_t>(index));
  // The groupless actors' entries follow the material groups.
  const std::size_t groups = gObjects.size() == 1 && gObjects[0].Name.empty() ? 0 : gObjects.size();
  if (gObjectList.size() > groups) gObjectList.resize(groups);
  AddGrouplessActorEntries();
}

void MergeImportedFile(int fileType, DocumentCalls& calls) {
  gState.FileType = fileType;
  gImportMode = true;
  std::vector<KeptGroup> kept = KeepActorGroups();
  DocumentSnapshot before;
  const std::string dialogName = calls.DialogFileName();
  calls.OpenFile("");
  gImportMode = false;
  if (gOpenCancelled) return;
  if (!ImportedOrRestored(true, before, calls, dialogName)) return;
  MergeKeptGroups(std::move(kept));
  calls.ShowObjectList();
}

void ImportFigureMaterials(DocumentCalls& calls) {
  gState.FileType = kCr2;
  gState.LoadProps = true;
  gImportMode = true;
  gFigureMaterialsOnly = true;
  gFigureMorphsOnly = false;
  const std::string dialogName = calls.DialogFileName();
  if (!ChooseCharacterFile(calls)) {
    gImportMode = false;
    ClearFigureModes();
    return;
  }
  std::vector<KeptGroup> kept = KeepActorGroups();
  DocumentSnapshot before;
  const FigureReadResult read = calls.RunFigureChooser();
  gImportMode = false;
  ClearFigureModes();
  if (!ImportedOrRestored(read.MaterialsRead, before, calls, dialogName)) return;
  MergeKeptGroups(std::move(kept));
  calls.ShowObjectList();
}

void ImportFigureMorphs(DocumentCalls& calls) {
  if (!ChooseCharacterFile(calls)) return;
  gFigureMorphsOnly = true;
  gFigureMaterialsOnly = false;
  if (ChooseImportedFigure(calls).ChannelsRead) calls.ShowObjectList();
}

void ImportBodyActor(DocumentCalls& calls, Host& host) {
  bool replace = false;
  if (!AskReplaceBody(replace, host)) return;
  if (!ChooseImportFile(calls, 5)) return;
  RememberOpenFolder(kCr2, calls.DialogFileName());
  gState.FileType = kCr2;
  ReplaceBody(replace, ReadImportedChannels(calls, true, false, host), calls);
}

void ImportFigureBodyActor(DocumentCalls& calls, Host& host) {
  bool replace = false;
  if (!AskReplaceBody(replace, host)) return;
  if (!ChooseCharacterFile(calls)) return;
  gState.FileType = kCr2;
  gFigureBodyOnly = true;
  gFigureMorphsOnly = true;
  gFigureMaterialsOnly = false;
  ReplaceBody(replace, ChooseImportedFigure(calls).ChannelsRead, calls);
}

void RunImport(ImportData data, int index, bool bodyOnly, DocumentCalls& calls, Host& host) {
  const ImportFileType& type = ImportType(index);
  if (data == ImportData::Materials) {
    if (index == 7) return ImportFigureMaterials(calls);
    if (index == 6) gState.LoadProps = true;
    return MergeImportedFile(type.Code, calls);
  }
  if (index == 5 && bodyOnly) return ImportBodyActor(calls, host);
  if (index == 6 || index == 7)
    return bodyOnly ? ImportFigureBodyActor(calls, host) : ImportFigureMorphs(calls);
  gState.FileType = type.Code;
  if (!ChooseImportFile(calls, index)) return;
  RememberOpenFolder(type.Code, calls.DialogFileName());
  if (ReadImportedChannels(calls, false, type.Append, host)) calls.ShowObjectList();
}

}  // namespace vandrel
