// The module-level tables and variables of the program: the document, the
// preferences and the switches through which procedures tell each other how
// to behave. One thread; nothing is locked.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/actors.h"
#include "model/file_info.h"
#include "model/materials.h"
#include "model/object_list.h"
#include "model/settings.h"
#include "model/shared_records.h"
#include "model/state.h"

namespace vandrel {

struct MapListsRec {
  std::vector<StringPairRec> TifFiles;
  std::vector<StringPairRec> JpgFiles;
  std::vector<StringPairRec> BmpFiles;
  std::vector<StringPairRec> BumFiles;
  std::vector<StringPairRec> OtherFiles;
};

extern StateRec gState;
extern SettingsRec gSettings;
extern std::vector<ObjectRec> gObjects;
// The object list of the main window as data: entry i names gObjects[i]; the
// combo box mirrors it. Its order and insertion rule: model/object_list.h.
extern ObjectList gObjectList;
extern std::vector<ActorRec> gActors;
// The actor list of the main window (lstActors) as data: item i + 1 shows
// gActors[i], its text the actor's Name and its first sub-item the Kind. The
// channel reader fills it; the list view mirrors it.
//
// A file may list a million blocks, so an item keeps the two as the header
// line they come from ("actor BODY:1"): one text of 16 bytes. The kind is
// the line's first word and holds no blank.
class ActorListItem {
 public:
  ActorListItem(std::string_view text, std::string_view kind);
  std::string Text() const;  // after the line's first blank
  std::string Kind() const;  // before it

 private:
  std::size_t Blank() const noexcept { return line_.view().find(' '); }

  CompactText line_;
};
static_assert(sizeof(ActorListItem) <= 16);
extern std::vector<ActorListItem> gActorList;

extern bool gImportMode;
extern bool gOpenCancelled;
extern bool gIsHairFile;
extern float gThighLength;
extern bool gActorMaterialsFound;
extern bool gFigureMorphsOnly;
extern bool gFigureMaterialsOnly;
extern bool gFigureBodyOnly;
extern std::vector<StringPairRec> gPictureSizes;
extern MapListsRec gMapLists;
// The folders whose complete scans in this run replaced what the lists and
// the cache files held below them, and the cache entries (Key the name,
// Value the folder) met by a lookup whose files were gone. The cache files
// are written from both and from the lists.
extern std::vector<std::string> gMapScanRoots;
extern std::vector<StringPairRec> gGoneMapFiles;
extern std::vector<StringPairRec> gReplacedMaps;
extern std::vector<std::string> gScannedFolders;
// The map names (lower case) whose folder question was cancelled in this
// pass, and whether Esc in a scan ended every further question of the pass.
extern std::vector<std::string> gDeclinedMapNames;
extern bool gMapQuestionsEnded;
extern bool gAutoCorrecting;
extern int gChosenMapIndex;
extern std::vector<std::string> gMapCandidates;

// One empty element each, as start-up and the main window's reset leave them
// (the actor list empties with the actor table).
void ResetObjects();
void ResetActors();
// The map lists, picture sizes, material and actor tables with one empty
// element each, as the start procedure creates them.
void CreateTables();
// The whole model back to the state of a fresh start (tests start here).
void ResetModel();

}  // namespace vandrel
