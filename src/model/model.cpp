#include "model/model.h"

#include "common/text.h"
#include "model/channel_edits.h"
#include "model/data_not_kept.h"

namespace vandrel {

StateRec gState;
SettingsRec gSettings;
std::vector<ObjectRec> gObjects(1);
ObjectList gObjectList;
std::vector<ActorRec> gActors(1);
std::vector<ActorListItem> gActorList;

bool gImportMode = false;
bool gOpenCancelled = false;
bool gIsHairFile = false;
float gThighLength = 0.0f;
bool gActorMaterialsFound = false;
bool gFigureMorphsOnly = false;
bool gFigureMaterialsOnly = false;
bool gFigureBodyOnly = false;
std::vector<StringPairRec> gPictureSizes(1);
MapListsRec gMapLists{{{}}, {{}}, {{}}, {{}}, {{}}};
std::vector<std::string> gMapScanRoots;
std::vector<StringPairRec> gGoneMapFiles;
std::vector<StringPairRec> gReplacedMaps(1);
std::vector<std::string> gScannedFolders(1);
std::vector<std::string> gDeclinedMapNames;
bool gMapQuestionsEnded = false;
bool gAutoCorrecting = false;
int gChosenMapIndex = 0;
std::vector<std::string> gMapCandidates(1);

ActorListItem::ActorListItem(std::string_view text, std::string_view kind) {
  std::string line;
  line.reserve(kind.size() + 1 + text.size());
  line.append(kind).append(1, ' ').append(text);
  line_ = line;
}

std::string ActorListItem::Text() const { return std::string(line_.view().substr(Blank() + 1)); }

std::string ActorListItem::Kind() const { return std::string(line_.view().substr(0, Blank())); }

void ResetObjects() { gObjects.assign(1, ObjectRec{}); }

void ResetActors() {
  gActors.assign(1, ActorRec{});
  gActorList.clear();
}

void CreateTables() {
  gMapLists = MapListsRec{{{}}, {{}}, {{}}, {{}}, {{}}};
  gMapScanRoots.clear();
  gGoneMapFiles.clear();
  gPictureSizes.assign(1, StringPairRec{});
  ResetObjects();
  ResetActors();
}

void ResetModel() {
  gState = StateRec{};
  gSettings = SettingsRec{};
  CreateTables();
  gObjectList.clear();
  gActorList.clear();
  gImportMode = gOpenCancelled = gIsHairFile = false;
  gThighLength = 0.0f;
  gActorMaterialsFound = gFigureMorphsOnly = gFigureMaterialsOnly = gFigureBodyOnly = false;
  gReplacedMaps.assign(1, StringPairRec{});
  gScannedFolders.assign(1, std::string{});
  gDeclinedMapNames.clear();
  gMapQuestionsEnded = false;
  gAutoCorrecting = false;
  gChosenMapIndex = 0;
  gMapCandidates.assign(1, std::string{});
  ResetChannelSelection();
  gFileInfo = FileInfoRec{};
  gDataNotKept = DataNotKeptRec{};
}

void AddToTable(std::vector<StringPairRec>& table, StringPairRec pair) {
  if (table.empty()) table.resize(1);
  if (table[0].Key.empty())
    table[0] = std::move(pair);
  else
    table.push_back(std::move(pair));
}

bool IsNoMap(std::string_view path) { return EqualsNoCase(path, kNoMap); }

const std::vector<MaterialRec> GroupMaterials::kNone;

bool MaterialRec::SwitchOn(int index) const {
  switch (index) {
    case kObjectColor:
      return ObjectColorOn;
    case kHighlightColor:
      return HighlightColorOn;
    case kAmbientColor:
      return AmbientColorOn;
    case kReflectiveColor:
      return ReflectiveColorOn;
    case kHighlightSize:
      return HighlightSizeOn;
    case kTransparencyMin:
      return TransparencyMinOn;
    case kTransparencyMax:
      return TransparencyMaxOn;
    case kTransparencyFalloff:
      return TransparencyFalloffOn;
    case kTextureMap:
      return TextureMapOn;
    case kBumpMap:
      return BumpMapOn;
    case kReflectionMap:
      return ReflectionMapOn;
    case kTransparencyMap:
      return TransparencyMapOn;
    case kTextureStrength:
      return TextureStrengthOn;
    case kBumpStrength:
      return BumpStrengthOn;
    case kReflectionStrength:
      return ReflectionStrengthOn;
    case kKsIgnoreTexture:
      return KsIgnoreTextureOn;
    case kMultiplyThroughLights:
      return MultiplyThroughLightsOn;
    case kMultiplyThroughKdColor:
      return MultiplyThroughKdColorOn;
  }
  return false;
}

void MaterialRec::SetSwitchOn(int index, bool on) {
  switch (index) {
    case kObjectColor:
      ObjectColorOn = on;
      return;
    case kHighlightColor:
      HighlightColorOn = on;
      return;
    case kAmbientColor:
      AmbientColorOn = on;
      return;
    case kReflectiveColor:
      ReflectiveColorOn = on;
      return;
    case kHighlightSize:
      HighlightSizeOn = on;
      return;
    case kTransparencyMin:
      TransparencyMinOn = on;
      return;
    case kTransparencyMax:
      TransparencyMaxOn = on;
      return;
    case kTransparencyFalloff:
      TransparencyFalloffOn = on;
      return;
    case kTextureMap:
      TextureMapOn = on;
      return;
    case kBumpMap:
      BumpMapOn = on;
      return;
    case kReflectionMap:
      ReflectionMapOn = on;
      return;
    case kTransparencyMap:
      TransparencyMapOn = on;
      return;
    case kTextureStrength:
      TextureStrengthOn = on;
      return;
    case kBumpStrength:
      BumpStrengthOn = on;
      return;
    case kReflectionStrength:
      ReflectionStrengthOn = on;
      return;
    case kKsIgnoreTexture:
      KsIgnoreTextureOn = on;
      return;
    case kMultiplyThroughLights:
      MultiplyThroughLightsOn = on;
      return;
    case kMultiplyThroughKdColor:
      MultiplyThroughKdColorOn = on;
      return;
  }
}

}  // namespace vandrel
