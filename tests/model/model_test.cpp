#include "model/model.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/channel_edits.h"

namespace vandrel {
namespace {

TEST(Model, ResetLeavesOneEmptyElementPerTable) {
  gObjects.resize(4);
  gObjects[0].Name = "figure";
  gActors.resize(2);
  gObjectList = {"figure", "prop ball"};
  gState.FileName = "x";
  gSettings.Poser = "p";
  gMapLists.JpgFiles.push_back({"a.jpg", "/t"});
  ResetModel();
  ASSERT_EQ(gObjects.size(), 1u);
  EXPECT_TRUE(gObjects[0].Name.empty());
  EXPECT_TRUE(gObjects[0].Materials.empty());
  ASSERT_EQ(gActors.size(), 1u);
  EXPECT_TRUE(gActors[0].Dials.empty());
  EXPECT_TRUE(gObjectList.empty());
  EXPECT_TRUE(gState.FileName.empty());
  EXPECT_TRUE(gSettings.Poser.empty());
  EXPECT_EQ(gMapLists.JpgFiles.size(), 1u);
  EXPECT_TRUE(IsEmptyTable(gMapLists.JpgFiles));
}

TEST(Model, NewMaterialHoldsTheAbsentValues) {
  const MaterialRec m;
  EXPECT_EQ(m.HighlightSize, 1);
  EXPECT_EQ(m.TextureStrength, "0");
  EXPECT_TRUE(IsNoMap(m.TextureMap) && IsNoMap(m.BumpMap) && IsNoMap(m.ReflectionMap) &&
              IsNoMap(m.TransparencyMap));
  for (int i = 0; i < MaterialRec::kSwitchCount; ++i) EXPECT_FALSE(m.SwitchOn(i)) << i;
  EXPECT_TRUE(IsNoMap("no_map"));
  EXPECT_FALSE(IsNoMap("NO_MAP.jpg"));
}

TEST(Model, SwitchesByPanelIndexFollowThePanelOrder) {
  MaterialRec m;
  m.SwitchOn(0) = true;
  m.SwitchOn(4) = true;
  m.SwitchOn(17) = true;
  EXPECT_TRUE(m.ObjectColorOn);
  EXPECT_TRUE(m.HighlightSizeOn);
  EXPECT_TRUE(m.MultiplyThroughKdColorOn);
  EXPECT_FALSE(m.HighlightColorOn);
  m.TextureMapOn = true;
  EXPECT_TRUE(m.SwitchOn(8));
}

TEST(Model, FileTypesAndTheirFolders) {
  EXPECT_EQ(FileTypeOfExtension("CR2"), kCr2);
  EXPECT_EQ(FileTypeOfExtension("lt2"), kLt2);
  EXPECT_EQ(FileTypeOfExtension("txt"), -1);
  EXPECT_STREQ(FileTypeExtension(kHd2), "hd2");
  for (int t : {kPz2, kCm2, kFc2, kHd2, kLt2}) EXPECT_TRUE(IsPoseType(t));
  for (int t : {kCr2, kPp2, kHr2}) EXPECT_FALSE(IsPoseType(t));

  StateRec state;
  state.LastFolderOfType(kFc2) = "/face";
  EXPECT_EQ(state.LastFaceFolder, "/face");
  SettingsRec settings;
  settings.LT2 = "/light";
  settings.FC2 = "/face";
  EXPECT_EQ(settings.FolderOfType(kLt2), "/light");
  EXPECT_EQ(settings.FolderOfType(kFc2), "/face");
  EXPECT_FALSE(IsSetFolder("none"));
  EXPECT_FALSE(IsSetFolder(""));
  EXPECT_TRUE(IsSetFolder("/x"));
}

TEST(Model, TablesFillEntryZeroFirst) {
  std::vector<StringPairRec> table(1);
  AddToTable(table, {"a.jpg", "/t"});
  ASSERT_EQ(table.size(), 1u);
  AddToTable(table, {"b.jpg", "/t"});
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[1].Key, "b.jpg");

  gObjectList = {"figure", "prop ball", "actor head"};
  EXPECT_EQ(FirstActorListIndex(), 2u);
  gObjectList = {"figure"};
  EXPECT_EQ(FirstActorListIndex(), 1u);

  // A long list of actor entries makes room piece by piece, polling, and
  // ends as one insertion would leave it.
  for (const auto& [actors, room] : {std::pair<std::size_t, std::size_t>{3, 0}, {200000, 0}, {200000, 2}}) {
    gObjectList = {"prop a"};
    gObjectList.shrink_to_fit();
    gObjectList.reserve(actors + 1 + room);
    for (std::size_t i = 0; i < actors; ++i) gObjectList.push_back("actor p" + std::to_string(i));
    ObjectList expected = gObjectList;
    expected.insert(expected.begin() + 1, {"figure", "prop b"});
    int polls = 0;
    AddObjectListItems({"figure", "prop b"}, [&polls] { ++polls; });
    EXPECT_EQ(gObjectList, expected);
    EXPECT_EQ(polls, actors > 3 ? (room != 0 ? 4 : 3) : 0);
  }
  ResetModel();
}

// An item keeps its name and kind as one header line, parted at its first
// blank: names with blanks, empty names or kinds and long lines come back.
TEST(Model, ActorListItemsGiveBackTheirNameAndKind) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"BODY:1", "actor"},      {"Spot Light 2", "light"}, {"", "actor"}, {"x", ""}, {" ", "prop"}, {"", ""},
      {"rShldrBend:1", "actor"}};
  for (const auto& [text, kind] : cases) {
    const ActorListItem item(text, kind);
    const ActorListItem copy = item;
    EXPECT_EQ(copy.Text(), text) << kind;
    EXPECT_EQ(copy.Kind(), kind) << text;
  }
}

TEST(Model, BlankDialListsStaySharedUntilWritten) {
  DialList blank;
  blank.SetBlank();
  blank.reserve(1);
  const DialList copy = blank;
  DialList other = DialList(blank);
  for (const DialList* list : {&std::as_const(blank), &copy, &std::as_const(other)}) {
    ASSERT_EQ(list->size(), 1u);
    EXPECT_TRUE((*list)[0].Name.empty());
    EXPECT_FALSE(list->Owned());
  }
  // The first write gives the list its own records; the copies keep theirs.
  blank[0].Name = "Smile";
  blank.emplace_back().Name = "Grin";
  EXPECT_TRUE(blank.Owned());
  std::string names;
  for (const DialRec& d : blank) names += d.Name + ";";
  EXPECT_EQ(names, "Smile;Grin;");
  EXPECT_TRUE(copy[0].Name.empty());
  EXPECT_TRUE(DialList(copy)[0].Name.empty());
  other = blank;
  blank.clear();
  EXPECT_TRUE(blank.empty() && other.size() == 2 && other.back().Name == "Grin");

  // Loops over every dial leave a million blank actors shared.
  gActors.assign(2, ActorRec{});
  gActors[0].Dials.SetBlank();
  gActors[1].Dials = {DialRec{}};
  gActors[1].Dials[0].Value = 3;
  ZeroAllDials();
  EXPECT_FALSE(gActors[0].Dials.Owned());
  EXPECT_EQ(gActors[1].Dials[0].Value, 0);

  // An actor's copy is whole and apart: its properties and channels too.
  gActors[1].Name = "hip";
  gActors[1].EditProps().ExtName = "Hip";
  ActorRec copied = gActors[1];
  copied.EditProps().ExtName = "Other";
  copied.Dials[0].Value = 2;
  gActors[0] = copied;
  EXPECT_EQ(gActors[1].Props().ExtName + gActors[0].Name + gActors[0].Props().ExtName, "HiphipOther");
  EXPECT_EQ(gActors[1].Dials[0].Value + gActors[0].Dials[0].Value, 2);
  EXPECT_TRUE(ActorRec().Props().ExtName.empty());
  ResetModel();
}

TEST(Model, GroupsShareTheirMaterialsUntilOneChangesThem) {
  MaterialRec skin;
  skin.Name = "Skin";
  skin.TextureMap = ":Runtime:Textures:a texture of more than fifteen bytes.jpg";
  gObjects = {ObjectRec{"figure", {skin, MaterialRec{}}}};
  gObjects.push_back(gObjects[0]);
  gObjects.push_back(gObjects[0]);
  ASSERT_TRUE(gObjects[1].Materials.SharesWith(gObjects[0].Materials));
  // A change through one group's write access shows in that group alone.
  gObjects[1].Materials.Edit()[0].TextureMap = "NO_MAP";
  gObjects[2].Materials.Edit().emplace_back().Name = "Eyes";
  std::string seen;
  for (const ObjectRec& group : gObjects) {
    for (const MaterialRec& m : group.Materials) seen += m.Name + "=" + m.TextureMap + ",";
    seen += ";";
  }
  EXPECT_EQ(seen, "Skin=" + skin.TextureMap + ",=NO_MAP,;Skin=NO_MAP,=NO_MAP,;Skin=" + skin.TextureMap +
                      ",=NO_MAP,Eyes=NO_MAP,;");
  EXPECT_FALSE(gObjects[1].Materials.SharesWith(gObjects[0].Materials));
  // A list the group alone holds is changed in place; an empty one gets records.
  const MaterialRec* first = &gObjects[1].Materials[0];
  EXPECT_EQ(&gObjects[1].Materials.Edit()[0], first);
  GroupMaterials none;
  EXPECT_TRUE(none.empty() && none.begin() == none.end());
  none.Edit().push_back(skin);
  EXPECT_EQ(none.size(), 1u);
  EXPECT_EQ(gObjects[0].Materials.size(), 2u);
  ResetModel();
}

}  // namespace
}  // namespace vandrel
