// Bringing data from a second Poser file into the open document: its
// materials (they take the place of the document's material groups while
// the actors' own groups stay), its morph and pose channels (added to the
// actor table or replacing it) or only its BODY actor.
#pragma once

#include <string>
#include <vector>

#include "model/model.h"
#include "tools/document_calls.h"

namespace vandrel {

inline constexpr const char* kReplaceBodyQuestion = "Do you want to replace the existing BODY actor?";

// The file types of the import window, by option index 0..9.
struct ImportFileType {
  const char* Label;
  int Code;            // the file-type code
  const char* Filter;  // the morph-and-pose dialog's filter
  bool Append;         // a morph-and-pose import adds to the actor table
};
inline constexpr int kImportTypeCount = 10;
const ImportFileType& ImportType(int index);
// Character file, with props, multi-figure: the types whose BODY actor alone can be imported.
bool BodyOnlyAllowed(int index);

// The open dialog of a morph-and-pose import of type `index` (5 also serves
// the figure procedures): title and extension of its code, its filter, the
// type's preference folder unless "none", the last-used folder winning.
FileDialogRequest ImportDialogRequest(int index);

enum class ImportData { Materials = 0, MorphsAndPoses = 1 };

// Runs the import the window's options chose; its own questions and
// messages (replace the BODY actor, a file that is not Poser text) go to
// `host`.
void RunImport(ImportData data, int index, bool bodyOnly, DocumentCalls& calls, Host& host);

// The import procedures.
void MergeImportedFile(int fileType, DocumentCalls& calls);
void ImportFigureMaterials(DocumentCalls& calls);
void ImportFigureMorphs(DocumentCalls& calls);
void ImportBodyActor(DocumentCalls& calls, Host& host);
void ImportFigureBodyActor(DocumentCalls& calls, Host& host);

bool ActorExists(const std::string& name);
bool ObjectExists(const std::string& name);

// A material group of an actor kept through a material import, with the text
// of its object-list entry.
struct KeptGroup {
  ObjectRec Group;
  std::string Entry;
};
// The groups of gObjects named as an actor.
std::vector<KeptGroup> KeepActorGroups();
// Appends the kept groups to the imported ones and lists the actors without
// a group again.
void MergeKeptGroups(std::vector<KeptGroup> kept);

// The document as an import read may change it, to be put back when the read
// failed or brought no materials.
class DocumentSnapshot {
 public:
  DocumentSnapshot();
  void Restore();

 private:
  std::vector<ObjectRec> objects_ = gObjects;
  ObjectList objectList_ = gObjectList;
  std::vector<ActorRec> actors_ = gActors;
  std::vector<ActorListItem> actorList_ = gActorList;
  std::string fileName_ = gState.FileName;
  std::string requiredVersion_ = gState.RequiredVersion;
  std::string readVersion_ = gState.ReadVersion;
  std::string fileNotes_ = gState.FileNotes;
  int fileType_ = gState.FileType;
  bool dirty_ = gState.Dirty;
  bool hair_ = gIsHairFile;
  float thigh_ = gThighLength;
};

// Whether the first item of the actor list is the BODY actor.
bool FirstActorIsBody();
// Removes actor `index` from gActors and the actor list (a table of one
// entry becomes one empty entry) and lists the groupless actors anew.
void RemoveActor(std::size_t index);

}  // namespace vandrel
