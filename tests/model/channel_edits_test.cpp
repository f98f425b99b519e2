// The channel pane's work on the actor table, without a window.
#include "model/channel_edits.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>
#include <vector>

#include "model/model.h"

namespace vandrel {
namespace {

DialRec Dial(const std::string& type, const std::string& name, double value = 0, bool valueOn = true) {
  DialRec d;
  d.ChannelType = type;
  d.Name = name;
  d.Value = value;
  d.ValueOn = valueOn;
  return d;
}

ActorRec Actor(const std::string& name, std::vector<DialRec> dials) {
  ActorRec a;
  a.Name = name;
  a.Kind = "actor";
  a.Dials = dials.empty() ? std::vector<DialRec>(1) : std::move(dials);
  return a;
}

void SetActors(std::vector<ActorRec> actors) {
  gActors = std::move(actors);
  gActorList.clear();
  for (const ActorRec& a : gActors) gActorList.push_back({a.Name, a.Kind.view()});
}

std::string Names() {
  std::string out;
  for (std::size_t k = 0; k < gActors.size(); ++k) {
    out += gActors[k].Name + (k < gActorList.size() ? "=" + gActorList[k].Text() : "") + ":";
    for (const DialRec& d : gActors[k].Dials)
      out += " " + (d.Name.empty() ? "-" : d.ChannelType + "/" + d.Name);
    out += ";";
  }
  return out;
}

class ChannelEdits : public ::testing::Test {
 protected:
  void SetUp() override { ResetModel(); }
};

TEST_F(ChannelEdits, DialValuesAreShownAndCheckedWithAPointWhateverTheLocale) {
  for (const char* locale : {"C", "de_DE.UTF-8"}) {
    if (std::setlocale(LC_ALL, locale) == nullptr) continue;
    EXPECT_EQ(DialValueText(0.5), "0.5") << locale;
    EXPECT_EQ(DialValueText(-0.25), "-0.25") << locale;
    EXPECT_EQ(DialValueText(3), "3") << locale;
    for (const auto& [typed, value] : std::vector<std::pair<const char*, double>>{{"0.5", 0.5},
                                                                                  {".5", 0.5},
                                                                                  {"-0.5", -0.5},
                                                                                  {"-.5", -0.5},
                                                                                  {"10.5", 10.5},
                                                                                  {"-10000", -10000},
                                                                                  {"10000", 10000},
                                                                                  {" 7 ", 7},
                                                                                  {"0", 0}}) {
      const std::optional<double> accepted = AcceptedDialValue(typed);
      ASSERT_TRUE(accepted.has_value()) << typed << " " << locale;
      EXPECT_EQ(*accepted, value) << typed;
    }
    for (const char* refused : {"", "abc", "5abc", "1.50", "+5", "0,5", "10001", "-10000.5", "05", "1e2"})
      EXPECT_FALSE(AcceptedDialValue(refused).has_value()) << refused << " " << locale;
  }
  std::setlocale(LC_ALL, "C");

  // DepthMapSize: the leading number + 1, halves to even; 16 bits or nothing.
  for (const auto& [typed, stored] :
       std::vector<std::pair<const char*, std::optional<int>>>{{"512", 513},
                                                               {"1.5", 2},
                                                               {"abc", 1},
                                                               {"32766", 32767},
                                                               {"-32769", -32768},
                                                               {"32767", {}},
                                                               {"-32770", {}}})
    EXPECT_EQ(StoredDepthMapSize(typed), stored) << typed;
}

TEST_F(ChannelEdits, WhatAnActorOrChannelStillHasToWrite) {
  ActorRec a = Actor("a", {});
  SetActors({a});
  EXPECT_TRUE(ActorIsEmpty(0));
  gActors[0].EditProps().OnOff = 2;  // present but switched off
  EXPECT_TRUE(ActorIsEmpty(0));
  gActors[0].PropertyOn[1] = true;
  EXPECT_FALSE(ActorIsEmpty(0));
  gActors[0] = Actor("a", {});
  gActors[0].EditProps().ExtName = "Name";
  gActors[0].PropertyOn[0] = true;
  EXPECT_FALSE(ActorIsEmpty(0));
  gActors[0] = Actor("a", {});
  gActors[0].EditProps().Port = "1";  // written whatever the switches
  EXPECT_FALSE(ActorIsEmpty(0));

  gActors[0].Dials = {Dial("targetGeom", "x", 0, false)};
  EXPECT_TRUE(DialIsEmpty(0, 0));
  gActors[0].Dials[0].ExtName = "X";
  EXPECT_TRUE(DialIsEmpty(0, 0));
  gActors[0].Dials[0].ExtNameOn = true;
  EXPECT_FALSE(DialIsEmpty(0, 0));
  gActors[0].Dials[0] = Dial("targetGeom", "x", 0, false);
  gActors[0].Dials[0].HiddenOn = true;
  EXPECT_TRUE(DialIsEmpty(0, 0));
  gActors[0].Dials[0].Hidden = 1;
  EXPECT_FALSE(DialIsEmpty(0, 0));
}

TEST_F(ChannelEdits, DeletingChannelFamiliesFromTheSelectedActors) {
  ActorRec kept = Actor("head:1", {Dial("targetGeom", "Smile"), Dial("TargetGeom", "Odd")});
  ActorRec allMorphs = Actor("lHand:1", {Dial("targetGeom", "Fist"), Dial("handGrasp", "Grasp")});
  ActorRec named = allMorphs;
  named.Name = "rHand:1";
  named.EditProps().OnOff = 2;
  named.PropertyOn[1] = true;
  ActorRec moves = Actor("neck:1", {Dial("translateX", "x"), Dial("rotateY", "y"), Dial("translateY", "z")});
  ActorRec unselected = Actor("jaw:1", {Dial("targetGeom", "Open")});
  SetActors({kept, allMorphs, named, moves, unselected, Actor("ball", {})});
  std::array<bool, kChannelFamilyCount> ticked{};
  ticked[3] = true;              // Morph
  ticked[1] = ticked[5] = true;  // Translate, twice
  const ChannelDeletion deleted = DeleteChannelFamilies({true, true, true, true, false, true}, ticked);
  EXPECT_TRUE(deleted.anyMatched);
  EXPECT_EQ(deleted.channels, 1 + 2 + 2 + 2);
  EXPECT_EQ(deleted.actorsToGo, (std::vector<bool>{false, true, false, false, false, false}));
  EXPECT_EQ(deleted.actorCount, 1);
  EXPECT_TRUE(gState.Dirty);
  // Only exact types go; an actor with something to write keeps one blank channel.
  EXPECT_EQ(
      Names(),
      "head:1=head:1: TargetGeom/Odd;lHand:1=lHand:1: targetGeom/Fist handGrasp/Grasp;rHand:1=rHand:1: -;"
      "neck:1=neck:1: rotateY/y;jaw:1=jaw:1: targetGeom/Open;ball=ball: -;");

  // The caller removes the marked actors; the list follows.
  EXPECT_FALSE(RemoveActors(deleted.actorsToGo));
  EXPECT_EQ(gActors.size(), 5u);
  EXPECT_EQ(gActorList.size(), 5u);
  EXPECT_EQ(gActors[1].Name + gActorList[1].Text(), "rHand:1rHand:1");
  EXPECT_TRUE(RemoveActors(std::vector<bool>(5, true)));
  EXPECT_EQ(gActors.size(), 1u);
  EXPECT_TRUE(gActors[0].Name.empty());
  EXPECT_TRUE(gActorList.empty());

  // Nothing of the ticked families: nothing changes.
  SetActors({moves});
  gState.Dirty = false;
  std::array<bool, kChannelFamilyCount> camera{};
  camera[10] = true;
  EXPECT_FALSE(DeleteChannelFamilies({true}, camera).anyMatched);
  EXPECT_FALSE(gState.Dirty);
  EXPECT_EQ(gActors[0].Dials.size(), 3u);

  // Single channels keep the order of the others.
  SetActors({Actor("a", {Dial("t", "1"), Dial("t", "2"), Dial("t", "3"), Dial("t", "4"), Dial("t", "5")})});
  RemoveDials(0, {false, true, false, true, false});
  EXPECT_EQ(Names(), "a=a: t/1 t/3 t/5;");
}

TEST_F(ChannelEdits, NewMorphChannelsAndZeroing) {
  SetActors({Actor("BODY:1", {Dial("valueParm", "Fat", 0.5)}), Actor("body", {Dial("targetGeom", "x", 2)}),
             Actor("empty", {}), Actor("other", {Dial("rotateX", "r", 3)})});
  AddMorphChannel({true, true, true, false}, " Grin");
  EXPECT_EQ(Names(),
            "BODY:1=BODY:1: valueParm/Fat valueParm/ Grin;body=body: targetGeom/x targetGeom/ Grin;"
            "empty=empty: targetGeom/ Grin;other=other: rotateX/r;");
  const DialRec& added = gActors[0].Dials[1];
  EXPECT_FALSE(added.ValueOn || added.ExtNameOn || added.HiddenOn);
  EXPECT_EQ(added.Value, 0);
  // The same name twice is two channels; a blank placeholder actor gets none.
  gActors.push_back(ActorRec{});
  AddMorphChannel({false, false, false, true, true}, "r");
  EXPECT_EQ(gActors[3].Dials.size(), 2u);
  EXPECT_EQ(gActors[4].Dials.size(), 0u);

  ZeroAllDials();
  for (const ActorRec& a : gActors)
    for (const DialRec& d : a.Dials) EXPECT_EQ(d.Value, 0);
}

}  // namespace
}  // namespace vandrel
