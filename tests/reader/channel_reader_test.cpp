#include "reader/channel_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "reader/actor_switches.h"
#include "reader/channel_scan.h"
#include "reader/channel_test_util.h"
#include "reader/read_fault.h"

namespace vandrel::test {
namespace {

using ChannelReaderTest = ChannelTest;

// The pose file read whole, each line-end variant turned into LF by the caller
// as the reader's callers do (CR LF thus gives empty lines between).
class ChannelPoseFile : public ChannelReaderTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ChannelPoseFile, FillsEveryFieldOfActorsAndDials) {
  std::string file = ChannelFile("figure_pose.pz2");
  const std::string variant = GetParam();
  if (variant == "CRLF") file = Replace(file, "\n", "\r\n");
  if (variant == "CR") file = Replace(file, "\n", "\r");
  ChannelHost host;
  const ChannelReadResult r = LoadMorphsAndPoses(Lf(file), host);

  EXPECT_FALSE(r.Cancelled);
  EXPECT_FALSE(r.DisableThighLength);
  EXPECT_EQ(r.ThighLengthText, "1.25");
  EXPECT_FLOAT_EQ(gThighLength, 1.25f);
  EXPECT_TRUE(r.ActorsListed);
  ASSERT_EQ(gActors.size(), 5u);
  ASSERT_EQ(gActorList.size(), 5u);
  const char* names[] = {"BODY:1", "lHand:1", "ball_1", "Light1", "MAIN_CAMERA"};
  const char* kinds[] = {"actor", "actor", "prop", "light", "camera"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(gActors[i].Name, names[i]);
    EXPECT_EQ(gActors[i].Kind, kinds[i]);
    EXPECT_EQ(gActorList[i].Text(), names[i]);
    EXPECT_EQ(gActorList[i].Kind(), kinds[i]);
  }

  const ActorRec& body = gActors[0];
  EXPECT_EQ(body.Props().ExtName, "BODY");
  EXPECT_EQ(body.Props().OnOff, 2);
  EXPECT_EQ(body.Props().Hidden, 1);
  EXPECT_EQ(body.Props().Locked, 2);
  EXPECT_EQ(body.PropertyOn, (std::array<bool, 7>{true, true, true, true, false, false, false}));
  ASSERT_EQ(body.Dials.size(), 3u);  // the comment line hides no channel
  EXPECT_EQ(body.Dials[0].Name, "PBMStomach");
  EXPECT_EQ(body.Dials[0].ChannelType, "valueParm");
  EXPECT_EQ(body.Dials[0].ExtName, "Stomach");
  EXPECT_TRUE(body.Dials[0].ExtNameOn);
  EXPECT_EQ(body.Dials[0].Hidden, 1);
  EXPECT_TRUE(body.Dials[0].HiddenOn);
  EXPECT_DOUBLE_EQ(body.Dials[0].Value, 0.5);
  EXPECT_TRUE(body.Dials[0].ValueOn);
  EXPECT_EQ(body.Dials[1].Name, "PBMChest");
  EXPECT_EQ(body.Dials[1].ExtName, "Chest");
  EXPECT_FALSE(body.Dials[1].HiddenOn);
  EXPECT_DOUBLE_EQ(body.Dials[1].Value, 0.0);
  EXPECT_TRUE(body.Dials[1].ValueOn);  // "0" stays switched on
  EXPECT_EQ(body.Dials[2].Name, "xTran");
  EXPECT_EQ(body.Dials[2].ChannelType, "translateX");
  EXPECT_FALSE(body.Dials[2].ExtNameOn);
  EXPECT_FALSE(body.Dials[2].ValueOn);  // "0.000000" does not

  const ActorRec& hand = gActors[1];
  EXPECT_EQ(hand.Props().ExtName, "Left Hand");
  EXPECT_EQ(hand.Props().OnOff, 1);
  EXPECT_EQ(hand.Props().DoShadow, 2);
  EXPECT_EQ(hand.Props().DepthMapSize, 257);
  EXPECT_EQ(hand.Props().LightOn, 2);
  EXPECT_EQ(hand.Props().Locked, 0);
  EXPECT_EQ(hand.PropertyOn, (std::array<bool, 7>{true, true, false, false, true, true, true}));
  ASSERT_EQ(hand.Dials.size(), 1u);
  EXPECT_EQ(hand.Dials[0].Hidden, 2);
  EXPECT_DOUBLE_EQ(hand.Dials[0].Value, -0.25);

  EXPECT_EQ(gActors[2].Dials.size(), 1u);
  EXPECT_TRUE(gActors[2].Dials[0].Name.empty());

  const ActorRec& light = gActors[3];
  EXPECT_EQ(light.Props().StorageOffset, "0 0 0");
  EXPECT_EQ(light.Props().ObjFileGeom, "0 0 :Runtime:Geometries:lights:light.obj");
  EXPECT_EQ(light.Props().GeomResource, 1);
  EXPECT_EQ(light.Props().LightType, 2);
  EXPECT_EQ(light.Props().ExtName, "Spot");
  EXPECT_EQ(light.Props().DepthCamera, "SPOTCAM_1");
  EXPECT_EQ(light.Props().DepthMapSize, 0);
  EXPECT_FALSE(light.PropertyOn[5]);
  EXPECT_EQ(light.Props().Port, "1");
  EXPECT_EQ(light.Props().CameraModel, "2");
  ASSERT_EQ(light.Dials.size(), 1u);
  EXPECT_EQ(light.Dials[0].ChannelType, "kdRed");
  EXPECT_DOUBLE_EQ(light.Dials[0].Value, 1.0);
  EXPECT_DOUBLE_EQ(gActors[4].Dials[0].Value, 38.0);

  // The hand's own materials become a group; the BODY gets its entry.
  ASSERT_EQ(gObjects.size(), 1u);
  EXPECT_EQ(gObjects[0].Name, "lHand:1");
  ASSERT_EQ(gObjects[0].Materials.size(), 2u);
  EXPECT_EQ(gObjects[0].Materials[0].Name, "Skin");
  EXPECT_EQ(gObjects[0].Materials[1].Name, "Eyes");
  EXPECT_EQ(gObjects[0].Materials[0].ObjectColor[0], 255);
  EXPECT_TRUE(gActorMaterialsFound);
  EXPECT_EQ(gObjectList, (ObjectList{"actor lHand:1", "actor BODY:1"}));
}

INSTANTIATE_TEST_SUITE_P(LineEnds, ChannelPoseFile, ::testing::Values("LF", "CRLF", "CR"));

TEST_F(ChannelReaderTest, ThighLengthForms) {
  ChannelHost host;
  ChannelReadResult r = LoadMorphsAndPoses("thighLength .5\nactor a\n{\n}\n", host);
  EXPECT_EQ(r.ThighLengthText, "0.5");
  EXPECT_FALSE(r.DisableThighLength);
  gThighLength = 7;
  r = LoadMorphsAndPoses("actor a\n{\n}\n", host);
  EXPECT_TRUE(r.DisableThighLength);
  EXPECT_FLOAT_EQ(gThighLength, 7.0f);
  // A line after a line end wins over the first line.
  r = LoadMorphsAndPoses("thighLength 1\nx\nthighLength 2 cm\n", host);
  EXPECT_EQ(r.ThighLengthText, "2");
}

TEST_F(ChannelReaderTest, EmptyPropBeforeAnActorIsSkipped) {
  ChannelHost host;
  LoadMorphsAndPoses("prop a\n{\n}\nactor hip:1\n{\n}\n", host);
  ASSERT_EQ(gActors.size(), 1u);
  EXPECT_EQ(gActors[0].Name, "hip:1");
  EXPECT_EQ(NextObjectBlock("prop a\n{\n}\nactor b\n{\n}\n", true), "actor \n6");
  EXPECT_EQ(NextObjectBlock("prop a\n{\n}\nactor b\n", false), "prop \n0");
  EXPECT_EQ(NextObjectBlock("no blocks here", true), "none");
}

TEST_F(ChannelReaderTest, LightTypeOnlyForLightsAndCameras) {
  ChannelHost host;
  LoadMorphsAndPoses("actor a\n{\nlightType 1\n}\nlight b\n{\nlightType 1\n}\n", host);
  ASSERT_EQ(gActors.size(), 2u);
  EXPECT_EQ(gActors[0].Props().LightType, 0);
  EXPECT_EQ(gActors[1].Props().LightType, 2);
  // No object list entry for a light without materials.
  EXPECT_EQ(gObjectList, (ObjectList{"actor a"}));
}

TEST_F(ChannelReaderTest, InsertOneAndAppend) {
  ChannelHost host;
  LoadMorphsAndPoses("actor hip:1\n{\n}\nactor chest:1\n{\n}\n", host);
  LoadMorphsAndPoses(
      "actor BODY:1\n{\nchannels\n{\nvalueParm v\n{\nkeys\n{\nk  0  2\n}\n}\n}\n}\nactor x\n{\n}\n", host,
      {.InsertOne = true});
  ASSERT_EQ(gActors.size(), 3u);
  EXPECT_EQ(gActors[0].Name, "BODY:1");
  EXPECT_DOUBLE_EQ(gActors[0].Dials[0].Value, 2.0);
  EXPECT_EQ(gActors[1].Name, "hip:1");
  EXPECT_EQ(gActorList.front().Text(), "BODY:1");
  LoadMorphsAndPoses("actor neck:1\n{\n}\n", host, {.Append = true});
  ASSERT_EQ(gActors.size(), 4u);
  EXPECT_EQ(gActors[3].Name, "neck:1");
  EXPECT_EQ(gActorList.back().Text(), "neck:1");
}

TEST_F(ChannelReaderTest, CancelLeavesEverythingAsBefore) {
  ChannelHost host;
  LoadMorphsAndPoses(Lf(ChannelFile("figure_pose.pz2")), host);
  gObjectList.insert(gObjectList.begin(), "figure");
  const std::string before = DumpModel();
  for (bool append : {false, true}) {
    for (long long at : {1, 2, 4}) {
      ChannelHost cancelling;
      cancelling.cancelAt = at;
      const ChannelReadResult r =
          LoadMorphsAndPoses(Lf(ChannelFile("figure_pose.pz2")), cancelling, {.Append = append});
      EXPECT_TRUE(r.Cancelled);
      EXPECT_EQ(cancelling.polls, at);
      EXPECT_EQ(DumpModel(), before);
    }
  }
  ChannelHost cancelling;
  cancelling.cancelAt = 1;
  EXPECT_TRUE(LoadMorphsAndPoses("actor BODY:1\n{\nchannels\n{\nvalueParm v\n{\nkeys\n{\nk  0  2\n}\n}\n}\n"
                                 "customMaterial 1\nmaterial m\n{\n}\n}\n",
                                 cancelling, {.InsertOne = true})
                  .Cancelled);
  EXPECT_EQ(DumpModel(), before);
}

TEST_F(ChannelReaderTest, ProgressTextsAndTimingMessage) {
  static long long now = 0;
  SetTickSource([] { return now; });
  gSettings.ReportTime = true;
  ChannelHost host;
  now = 125400;  // 125.4 s
  LoadMorphsAndPoses(Lf(ChannelFile("figure_pose.pz2")), host, {.StartMs = 2000});
  ASSERT_FALSE(host.stages.empty());
  EXPECT_EQ(host.stages[0], "Loading Morphs and Poses...");
  EXPECT_EQ(host.items.front(), "actor BODY:1...");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "Loading of Morphs and Poses took\r\n2 minutes and 3 seconds.");
  EXPECT_EQ(host.titles[0], "Loading finished");
  for (long long v : host.values) EXPECT_LE(v, host.ranges.back());

  // The message comes after one second of the clock or more, whatever the
  // start time rounds to in whole seconds.
  struct Case {
    long long startMs, endMs;
    bool shown;
  } cases[] = {{10400, 11000, false}, {10500, 11400, false}, {10600, 11599, false},
               {10499, 11499, true},  {10600, 11600, true},  {10000, 70000, true}};
  for (const Case& c : cases) {
    ChannelHost timed;
    now = c.endMs;
    LoadMorphsAndPoses(Lf(ChannelFile("figure_pose.pz2")), timed, {.StartMs = c.startMs});
    EXPECT_EQ(timed.messages.size(), c.shown ? 1u : 0u) << c.startMs << " to " << c.endMs;
  }
  SetTickSource(nullptr);
}

// The bar follows the read through the text: after each of many equal actor
// blocks it stands near that block's share of the text, never going back,
// and it ends full.
TEST_F(ChannelReaderTest, ProgressBarMovesWithTheRead) {
  const std::string block =
      "\tname N\n\tchannels\n\t\t{\n\t\tvalueParm PBMa\n\t\t\t{\n\t\t\tkeys\n\t\t\t\t{\n"
      "\t\t\t\tk  0  1\n\t\t\t\t}\n\t\t\t}\n\t\t}\n\t}\n";
  std::string text = "{\nversion\n\t{\n\tnumber 4.01\n\t}\n";
  const int actors = 400;
  for (int i = 0; i < actors; ++i) text += "actor a" + std::to_string(1000 + i) + "\n\t{\n" + block;
  text += "figure\n\t{\n\t}\n";
  ChannelHost host;
  LoadMorphsAndPoses(text, host);
  ASSERT_EQ(gActors.size(), static_cast<std::size_t>(actors));
  ASSERT_EQ(host.ranges.size(), 1u);
  ASSERT_EQ(host.values.size(), 1u + actors);  // the zero, then one per block
  const double max = static_cast<double>(host.ranges[0]);
  for (int i = 1; i <= actors; ++i) {
    EXPECT_LE(host.values[i - 1], host.values[i]);
    EXPECT_NEAR(host.values[i] / max, static_cast<double>(i) / actors, 0.02) << "after block " << i;
  }
  EXPECT_NEAR(host.values[actors / 2] / max, 0.5, 0.02);
}

TEST_F(ChannelReaderTest, ValueTooLargeForAnIntegerFailsAndChangesNothing) {
  ChannelHost host;
  LoadMorphsAndPoses("actor a\n{\n}\n", host);
  const std::string before = DumpModel();
  EXPECT_THROW(LoadMorphsAndPoses("actor b\n{\ndoShadow 40000\n}\n", host), ReadFault);
  EXPECT_EQ(DumpModel(), before);
}

TEST_F(ChannelReaderTest, DisablePropertiesKeepsOnlyTheValues) {
  ChannelHost host;
  gSettings.DisableProperties = false;
  ReadObjectPart(Lf(ChannelFile("figure_pose.pz2")), host);
  EXPECT_TRUE(gActors[0].PropertyOn[0]);
  gSettings.DisableProperties = true;
  ReadObjectPart(Lf(ChannelFile("figure_pose.pz2")), host);
  for (const ActorRec& a : gActors) {
    for (bool on : a.PropertyOn) EXPECT_FALSE(on);
    for (const DialRec& d : a.Dials) EXPECT_FALSE(d.ExtNameOn || d.HiddenOn);
  }
  EXPECT_TRUE(gActors[0].Dials[0].ValueOn);
  EXPECT_EQ(gActors[0].Dials[0].Hidden, 1);
  EXPECT_EQ(gActors[0].Props().ExtName, "BODY");
}

}  // namespace
}  // namespace vandrel::test
