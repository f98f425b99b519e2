// Copying materials between the groups and entries of the object list.
#include "tools/material_copy.h"

#include <gtest/gtest.h>

#include "core_calls.h"

namespace vandrel::test {
namespace {

MaterialRec Material(const std::string& name, int red) {
  MaterialRec m;
  m.Name = name;
  m.ObjectColor = {static_cast<std::int16_t>(red), 0, 0};
  m.ObjectColorOn = true;
  m.TextureMap = ":Runtime:Textures:" + name + ".jpg";
  return m;
}

class MaterialCopy : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModel();
    gObjects = {ObjectRec{"figure", {Material("Skin", 10), Material("Lips", 20)}},
                ObjectRec{"prop ball", {Material("Rubber", 30)}}, ObjectRec{"hip:1", {Material("Cloth", 40)}},
                ObjectRec{"Spot", {Material("Lens", 50)}}};
    gObjectList = {"figure", "prop ball", "actor hip:1", "light Spot", "actor BODY:1", "actor head:1"};
  }
  void TearDown() override { ResetModel(); }
};

TEST_F(MaterialCopy, PendingCopiesAreAddedRenamedAndRemovedBeforeAnythingChanges) {
  MaterialCopyPlan plan;
  EXPECT_EQ(plan.Destinations()[2].Name, "hip:1");
  EXPECT_EQ(plan.Destinations()[3].Name, "light Spot");
  // The source group itself: every name is already there.
  plan.Add(0, 0, {0, 1});
  EXPECT_TRUE(plan.Destinations()[0].Pending.empty());
  // Into the prop: "skin" is refused ignoring case once it is there.
  plan.Add(1, 0, {0});
  plan.Add(1, 0, {0, 1});
  EXPECT_EQ(plan.Lines(1), (std::vector<std::string>{"Rubber", "Skin", "Lips"}));
  EXPECT_EQ(plan.Rename(1, 1, "LIPS"), RenameOutcome::Exists);
  EXPECT_EQ(plan.Rename(1, 0, "Latex"), RenameOutcome::Nothing);  // an existing material keeps its name
  EXPECT_EQ(plan.Rename(1, 1, ""), RenameOutcome::Nothing);
  EXPECT_EQ(plan.Rename(1, 1, "Skin2"), RenameOutcome::Renamed);
  plan.Add(1, 0, {0});  // the same source again, under its own name
  EXPECT_EQ(plan.Lines(1), (std::vector<std::string>{"Rubber", "Skin2", "Lips", "Skin"}));
  plan.Remove(1, {0, 2});  // the existing line is ignored
  EXPECT_EQ(plan.Lines(1), (std::vector<std::string>{"Rubber", "Skin2", "Skin"}));
  EXPECT_EQ(gObjects[1].Materials.size(), 1u);
  EXPECT_FALSE(gState.Dirty);
}

TEST_F(MaterialCopy, ApplyCopiesWholeRecordsAndKeepsTheListInStepWithTheTable) {
  MaterialCopyPlan plan;
  plan.Add(1, 0, {0});
  plan.Rename(1, 1, "Skin2");
  plan.Add(1, 0, {0});
  plan.Add(3, 1, {0});  // into the light's group: its entry stays "light Spot"
  plan.Add(5, 2, {0});  // into the groupless head
  ASSERT_TRUE(plan.Apply());
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(MaterialNames(gObjects[1]), (std::vector<std::string>{"Rubber", "Skin2", "Skin"}));
  const MaterialRec& copy = gObjects[1].Materials[1];
  EXPECT_EQ(copy.ObjectColor, (ColorRec{10, 0, 0}));
  EXPECT_TRUE(copy.ObjectColorOn);
  EXPECT_EQ(copy.TextureMap, ":Runtime:Textures:Skin.jpg");
  EXPECT_EQ(MaterialNames(gObjects[3]), (std::vector<std::string>{"Lens", "Rubber"}));
  ASSERT_EQ(gObjects.size(), 5u);
  EXPECT_EQ(gObjects[4].Name, "head:1");
  EXPECT_EQ(MaterialNames(gObjects[4]), std::vector<std::string>{"Cloth"});
  // The new group's entry follows the old groups, the groupless BODY after it.
  EXPECT_EQ(gObjectList,
            (ObjectList{"figure", "prop ball", "actor hip:1", "light Spot", "actor head:1", "actor BODY:1"}));
  for (std::size_t k = 0; k < gObjects.size(); ++k) {
    const std::string entry = gObjectList[k].str();
    EXPECT_TRUE(entry == gObjects[k].Name || entry.substr(entry.find(' ') + 1) == gObjects[k].Name) << k;
  }
  // Nothing pending: nothing changes.
  gState.Dirty = false;
  EXPECT_FALSE(MaterialCopyPlan().Apply());
  EXPECT_FALSE(gState.Dirty);

  // Two groups of one name: the chosen one gets the copy.
  gObjects = {ObjectRec{"figure", {Material("A", 1)}}, ObjectRec{"figure", {Material("B", 2)}}};
  gObjectList = {"figure", "figure"};
  MaterialCopyPlan same;
  same.Add(0, 1, {0});
  same.Apply();
  EXPECT_EQ(MaterialNames(gObjects[0]), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(MaterialNames(gObjects[1]), std::vector<std::string>{"B"});

  // A table without groups counts none, and its entries list no materials.
  gObjects = {ObjectRec{}};
  gObjectList = {"actor BODY:1", "actor hip:1"};
  MaterialCopyPlan empty;
  EXPECT_EQ(empty.GroupCount(), 0u);
  EXPECT_TRUE(empty.Lines(0).empty());
}

}  // namespace
}  // namespace vandrel::test
