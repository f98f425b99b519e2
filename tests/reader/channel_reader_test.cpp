#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "reader/actor_switches.h"
#include "reader/channel_literal.h"
#include "reader/channel_reader.h"
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
    EXPECT_EQ(gActorList[i].Text, names[i]);
    EXPECT_EQ(gActorList[i].Kind, kinds[i]);
  }

  const ActorRec& body = gActors[0];
  EXPECT_EQ(body.ExtName, "BODY");
  EXPECT_EQ(body.OnOff, 2);
  EXPECT_EQ(body.Hidden, 1);
  EXPECT_EQ(body.Locked, 2);
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
  EXPECT_EQ(hand.ExtName, "Left Hand");
  EXPECT_EQ(hand.OnOff, 1);
  EXPECT_EQ(hand.DoShadow, 2);
  EXPECT_EQ(hand.DepthMapSize, 257);
  EXPECT_EQ(hand.LightOn, 2);
  EXPECT_EQ(hand.Locked, 0);
  EXPECT_EQ(hand.PropertyOn, (std::array<bool, 7>{true, true, false, false, true, true, true}));
  ASSERT_EQ(hand.Dials.size(), 1u);
  EXPECT_EQ(hand.Dials[0].Hidden, 2);
  EXPECT_DOUBLE_EQ(hand.Dials[0].Value, -0.25);

  EXPECT_EQ(gActors[2].Dials.size(), 1u);
  EXPECT_TRUE(gActors[2].Dials[0].Name.empty());

  const ActorRec& light = gActors[3];
  EXPECT_EQ(light.StorageOffset, "0 0 0");
  EXPECT_EQ(light.ObjFileGeom, "0 0 :Runtime:Geometries:lights:light.obj");
  EXPECT_EQ(light.GeomResource, 1);
  EXPECT_EQ(light.LightType, 2);
  EXPECT_EQ(light.ExtName, "Spot");
  EXPECT_EQ(light.DepthCamera, "SPOTCAM_1");
  EXPECT_EQ(light.DepthMapSize, 0);
  EXPECT_FALSE(light.PropertyOn[5]);
  EXPECT_EQ(light.Port, "1");
  EXPECT_EQ(light.CameraModel, "2");
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
  EXPECT_EQ(gObjectList, (std::vector<std::string>{"actor lHand:1", "actor BODY:1"}));
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
  EXPECT_EQ(gActors[0].LightType, 0);
  EXPECT_EQ(gActors[1].LightType, 2);
  // No object list entry for a light without materials.
  EXPECT_EQ(gObjectList, (std::vector<std::string>{"actor a"}));
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
  EXPECT_EQ(gActorList.front().Text, "BODY:1");
  LoadMorphsAndPoses("actor neck:1\n{\n}\n", host, {.Append = true});
  ASSERT_EQ(gActors.size(), 4u);
  EXPECT_EQ(gActors[3].Name, "neck:1");
  EXPECT_EQ(gActorList.back().Text, "neck:1");
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
  EXPECT_EQ(gActors[0].ExtName, "BODY");
}

// The fast reader against the literal transcription.
void ExpectSameAsLiteral(const std::string& text, bool insertOne, bool append, const std::string& prior) {
  auto prepare = [&] {
    ResetModel();
    if (!prior.empty()) {
      ChannelHost h;
      LoadMorphsAndPoses(prior, h);
    }
  };
  prepare();
  ChannelHost host;
  bool fastThrew = false;
  ChannelReadResult fast;
  try {
    fast = LoadMorphsAndPoses(text, host, {.InsertOne = insertOne, .Append = append});
  } catch (const ReadFault&) {
    fastThrew = true;
  }
  const std::string fastDump = DumpModel();
  prepare();
  bool slowThrew = false;
  ChannelReadResult slow;
  try {
    slow = literal::LoadMorphsAndPoses(text, insertOne, append);
  } catch (const ReadFault&) {
    slowThrew = true;
  }
  ASSERT_EQ(fastThrew, slowThrew) << text;
  if (fastThrew) return;
  EXPECT_EQ(fastDump, DumpModel()) << text;
  EXPECT_EQ(fast.ThighLengthText, slow.ThighLengthText);
  EXPECT_EQ(fast.ActorsListed, slow.ActorsListed);
}

TEST_F(ChannelReaderTest, SameAsLiteralOnCraftedTexts) {
  const std::string pose = Lf(ChannelFile("figure_pose.pz2"));
  ExpectSameAsLiteral(pose, false, false, "");
  ExpectSameAsLiteral(Lf(Replace(ChannelFile("figure_pose.pz2"), "\n", "\r\n")), false, false, "");
  ExpectSameAsLiteral(Lf(ChannelFile("doll.cr2")), false, false, "");
  ExpectSameAsLiteral(Lf(ChannelFile("light_own.lt2")), false, true, pose);
  ExpectSameAsLiteral("actor BODY:1\n{\nchannels\n{\nvalueParm a\n{\nkeys\n{\nk  0  1\n}\n}\n}\n}\n", true, false, pose);
  // A channel name that begins another: the later line is found as the
  // earlier one's second reach.
  ExpectSameAsLiteral("actor a\n{\nchannels\n{\ntargetGeom A\n{\nkeys\n{\nk  0  1\n}\n}\n"
                      "targetGeom AB\n{\nkeys\n{\nk  0  2\n}\n}\n}\n}\n",
                      false, false, "");
  // A channel without keys, and one line without a blank.
  ExpectSameAsLiteral("actor a\n{\nchannels\n{\nvalueParm v\n{\nname v\nhidden 1\n}\nstrange\n"
                      "valueParm w\n{\nkeys\n{\nk  0  3\n}\n}\n}\n}\nactor b\n{\n}\n",
                      false, false, "");
  // A channel's line standing earlier inside another channel, indented, with
  // blanks after it and as a longer name.
  ExpectSameAsLiteral(
      "actor a\n{\nchannels\n{\ntargetGeom A\n{\n\t targetGeom B  \r\ntargetGeom BC\nkeys\n{\nk  0  1\n}\n}\n"
      "\ttargetGeom B\n{\nkeys\n{\nk  0  2\n}\n}\ntargetGeom BC\n{\nkeys\n{\nk  0  3\n}\n}\n}\n}\n",
      false, false, "");
  // Keys that only begin like "name" and "hidden", keys after a lone CR, and
  // "{ }" channels between others.
  ExpectSameAsLiteral(
      "actor a\n{\nchannels\n{\nvalueParm v\n{\nhiddenX 1\nnameless x\nhidden\t1\nname\tV\n"
      "keys\n{\nk  0  4\n}\n}\nvalueParm e\n{ }\nvalueParm w\n{\rname W\rhidden 0\rkeys \n{\r"
      "k  0  5\r}\r}\n}\nlocked 1\n}\n",
      false, false, "");
}

// A block with neither "channels" nor "}" of its own (a header line alone)
// takes none of the next object's lines; such blocks are polled for cancel
// although they reach no channel.
TEST_F(ChannelReaderTest, HeaderLinesAloneTakeNothingOfTheNextObject) {
  const std::string text = "actor a\nactor b\nactor c\nname Cee\nhidden 1\noff\nchannels\n{\n}\n}\n";
  ChannelHost host;
  LoadMorphsAndPoses(text, host);
  std::string actors;  // display name, hidden and off per actor
  for (const ActorRec& a : gActors)
    actors += a.ExtName + "|" + std::to_string(a.Hidden) + "|" + std::to_string(a.OnOff) + "\n";
  EXPECT_EQ(actors, "|0|0\n|0|0\nCee|2|1\n");
  ExpectSameAsLiteral(text, false, false, "");
  ChannelHost cancelling;
  cancelling.cancelAt = 2;
  EXPECT_TRUE(LoadMorphsAndPoses("actor a\nactor b\nactor c\n", cancelling).Cancelled);
  EXPECT_EQ(cancelling.polls, 2);
}

// Channel lines are found as whole lines, and a channel that holds nothing
// is a channel of its own: every channel of these blocks is read, in order.
// An object keyword inside a dial's name line starts no object.
TEST_F(ChannelReaderTest, EveryChannelLineIsReadOnce) {
  struct Case {
    const char* what;
    std::string channels;
    std::vector<std::string> names;
  };
  const auto keyed = [](const std::string& line, const std::string& value) {
    return line + "\n{\nname x\nhidden  0\nkeys\n{\nk  0  " + value + "\n}\n}\n";
  };
  const std::vector<Case> cases = {
      {"a name that begins a later one",
       keyed("targetGeom Smile", "1") + keyed("targetGeom Frown", "2") + keyed("targetGeom SmileOpen", "3"),
       {"Smile", "Frown", "SmileOpen"}},
      {"blanks, TABs and a CR after the name",
       keyed("targetGeom Blink \t\r", "1") + keyed("targetGeom Wink", "2") + keyed("targetGeom BlinkLeft", "3"),
       {"Blink \t\r", "Wink", "BlinkLeft"}},
      {"an empty channel first", "valueParm E\n{\n}\n" + keyed("valueParm B", "2") + keyed("valueParm C", "3"),
       {"E", "B", "C"}},
      {"an empty channel between",
       keyed("valueParm A", "1") + "valueParm E\n\t{\n\t}\n" + keyed("valueParm B", "2"), {"A", "E", "B"}},
      {"two empty channels last", keyed("valueParm A", "1") + "valueParm E\n{\n}\nvalueParm F\n{ }\n",
       {"A", "E", "F"}},
      {"an empty channel after one without keys", "valueParm N\n{\nname x\n}\nrotateX E\n{\n}\n", {"N", "E"}},
      {"empty channels between ones without keys",
       "valueParm N\n{\nname x\n}\nrotateX E\n{\n}\nscale F\n{\n}\n" + keyed("valueParm B", "2"),
       {"N", "E", "F", "B"}},
      {"\"prop \" in a dial's name", keyed("valueParm L", "1") + "valueParm lift\n{\nname lift prop arm\nkeys\n{\nk  0  1\n}\n}\n" +
       keyed("valueParm B", "2"), {"L", "lift", "B"}},
      {"\"actor \" and \"light \" in dials' names", std::string("valueParm move\n\t{\n\tname move actor left\n\tkeys\n\t{\n\tk  0  1\n\t}\n\t}\n") +
       "valueParm glow\n{\nname glow light on\n}\n" + keyed("valueParm B", "2"), {"move", "glow", "B"}},
      {"the next actor's header in a dial's name", "valueParm mv\n{\nname move actor b\nkeys\n{\nk  0  1\n}\n}\n" +
       keyed("valueParm B", "2"), {"mv", "B"}},
  };
  for (const Case& c : cases) {
    ResetModel();
    ChannelHost host;
    const std::string text =
        "actor a\n{\nchannels\n{\n" + c.channels + "}\n}\nactor b\n{\ncustomMaterial 1\nmaterial m\n{\n}\n}\n";
    LoadMorphsAndPoses(text, host);
    ASSERT_EQ(gActorList.size(), 2u) << c.what;
    EXPECT_EQ(gActorList[1].Text, "b") << c.what;
    // The own materials of b are found from its header, not from a dial's name.
    ASSERT_EQ(gObjects.size(), 1u) << c.what;
    EXPECT_EQ(gObjects[0].Name, "b") << c.what;
    ASSERT_EQ(gObjects[0].Materials.size(), 1u) << c.what;
    EXPECT_EQ(gObjects[0].Materials[0].Name, "m") << c.what;
    std::vector<std::string> names;
    for (const DialRec& d : gActors[0].Dials) names.push_back(d.Name.str());
    EXPECT_EQ(names, c.names) << c.what;
    for (const DialRec& d : gActors[0].Dials) {
      const bool empty = d.Name == "E" || d.Name == "F";
      EXPECT_EQ(d.ValueOn, !empty && d.Name != "N" && d.Name != "glow") << c.what << " " << d.Name;
      EXPECT_EQ(d.ExtNameOn, !empty) << c.what << " " << d.Name;
    }
    ExpectSameAsLiteral(text, false, false, "");
  }
}

// Every key inside a channel counts only as its line's own key: names that
// hold a key, a brace or "k  " keep every value, and a comment line, with or
// without an empty block after it, makes no channel and ends nothing.
TEST_F(ChannelReaderTest, KeysCountOnlyAsTheirLinesOwnKey) {
  struct Case {
    const char* what;
    std::string channels;
    std::string dials;  // name|display name|hidden on, hidden|value on, value per channel
  };
  const auto channel = [](const std::string& line, const std::string& inside, const std::string& value) {
    return line + "\n\t{\n" + inside + "\tkeys\n\t\t{\n\t\tstatic  0\n\t\tk  0  " + value + "\n\t\t}\n\t}\n";
  };
  const std::string after = channel("valueParm After", "\tname After\n", "2");
  const std::string afterDump = "After|After|0,0|1,2\n";
  const std::vector<Case> cases = {
      {"\"name\" and \"hidden\" inside channel names", channel("valueParm Surname", "", "1") +
       channel("targetGeom hiddenBlink", "", "0.5") + after,
       "Surname||0,0|1,1\nhiddenBlink||0,0|1,0.5\n" + afterDump},
      {"\"k  \" inside a display name", channel("valueParm Smirk", "\tname Smirk  2 wide\n\thidden 1\n", "0.5") + after,
       "Smirk|Smirk  2 wide|1,2|1,0.5\n" + afterDump},
      {"a channel named \"keys\"", channel("valueParm keys", "\tname keys\n", "1") + after,
       "keys|keys|0,0|1,1\n" + afterDump},
      {"channels named \"hidden\" and \"name\"", channel("valueParm hidden", "\tname hidden\n", "1") +
       channel("valueParm name", "\tname name\n\thidden 0\n", "3") + after,
       "hidden|hidden|0,0|1,1\nname|name|1,1|1,3\n" + afterDump},
      {"braces inside channel names", channel("valueParm A}", "", "1") + channel("valueParm B{", "\tname B {x}\n", "0") + after,
       "A}||0,0|1,1\nB{|B {x}|0,0|1,0\n" + afterDump},
      {"a comment line and an empty block", channel("valueParm Before", "", "1") + "\t# another\n\t{ }\n" + after,
       "Before||0,0|1,1\n" + afterDump},
      {"a comment line alone", channel("valueParm Before", "", "1") + "\t# another\n" + after,
       "Before||0,0|1,1\n" + afterDump},
      {"a comment line first and an empty block", "\t// first\n\t{\n\t}\n" + after, afterDump},
  };
  for (const Case& c : cases) {
    ResetModel();
    ChannelHost host;
    const std::string text = "actor BODY\n{\nchannels\n{\n" + c.channels + "}\n}\nactor b\n{\n}\n";
    LoadMorphsAndPoses(text, host);
    std::string dials;
    for (const DialRec& d : gActors[0].Dials)
      dials += d.Name + "|" + d.ExtName + "|" + (d.HiddenOn ? "1," : "0,") + std::to_string(d.Hidden) + "|" +
               (d.ValueOn ? "1," : "0,") + FormatDouble(d.Value) + "\n";
    EXPECT_EQ(dials, c.dials) << c.what;
    ASSERT_EQ(gActorList.size(), 2u) << c.what;
    ExpectSameAsLiteral(text, false, false, "");
  }
}

TEST_F(ChannelReaderTest, SameAsLiteralOnRandomTexts) {
  const std::vector<std::string> pieces = {
      "actor A:1\n{\n", "actor B\n{\n", "prop p\n{\n}\n", "prop q\n{\n", "light L\n{\n", "camera C\n{\n",
      "name X\n", "on\n", "off\n", "hidden 1\n", "channels\n{\n", "targetGeom T1\n{\n", "valueParm V\n{\n",
      "valueParm V2\n{\n", "name nm\n", "hidden  0\n", "keys\n{\n", "keys \n{\n", "static 0\n", "k  0  0.5\n",
      "k  0  0\n", "k  0  0.000000\n", "}\n", "}\n}\n", "// c x\n", "# note\n", "\n", "\t", "  ",
      "customMaterial 1\n", "material M1\n{\nKdColor 1 0 0 1\n}\n", "locked 0\n", "doShadow 1\n",
      "depthMapSize 5\n", "lightOn 0\n", "lightType 2\n", "port 3\n", "thighLength 2.5\n", "figure\n", "{\n",
      "deltas\n{\nd 1 2 3\n}\n", "rotateX r\n{\n", "}", "actor BODY:1\n{\n", "storageOffset 1 2 3\n",
      "targetGeom T1x \r\n", "{\n}\n", "valueParm E\n{\n}\n", "targetGeom T\n",
      "name lift prop arm\n", "name move actor left\n", "x camera c\n", "valueParm keys\n{\n",
      "targetGeom hiddenBlink\n{\n", "name Smirk  2 wide\n", "valueParm A}\n{\n", "valueParm B{\n{\n",
      "# another\n{ }\n", "name Surname\n", "\tk  0  2\n", "textureMap :a material b.jpg\n",
      "\rlight R\r{\r", "x\r\t prop s\n{\n", " \tcamera T\n{\n", "\rfigure\n", "\tfigure\n",
      "\rthighLength 3\n", "name glow light\n", "actor\n", "valueParm camera x\n{\n",
      // Lines that end in blanks and TABs.
      "channels \t\n{\n", "keys\t\n{\n", "keys  \n{\n", "on \n", "off\t\n", "hidden 1 \t\n",
      "k  0  0\t\n", "k  0  2 \n", "channels\t", " \n"};
  // A channel line that stands twice in a block is read again after its
  // first channel was made (a channel with a display name): that look makes
  // no channel, and the later line is read in its turn.
  const auto channel = [](const std::string& line, const std::string& inside) {
    return line + "\n{\n" + inside + "keys\n{\nk  0  1\n}\n}\n";
  };
  ExpectSameAsLiteral("actor A\n{\nchannels\n{\n" + channel("valueParm T", "name One\n") +
                          channel("valueParm O", "") + channel("valueParm T", "name Two\n") +
                          channel("valueParm T ", "") + "}\n}\n",
                      false, false, "");
  std::mt19937 rng(20240611);
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const int count = 10 + static_cast<int>(rng() % 70);
    for (int i = 0; i < count; ++i) text += pieces[rng() % pieces.size()];
    const int mode = static_cast<int>(rng() % 4);
    ExpectSameAsLiteral(text, mode == 1, mode == 2, mode >= 1 ? "actor P\n{\n}\nactor Q\n{\n}\n" : "");
    if (HasFatalFailure()) return;
  }
}

// Blocks of a few kilobytes are prepared ahead on another thread while the
// ones before them are read: the same model as the literal reader's, with
// random channels inside, and a cancel part-way.
TEST_F(ChannelReaderTest, BlocksPreparedAheadReadAsLiteral) {
  const std::vector<std::string> channels = {"valueParm V\n{\nkeys\n{\nk  0  1\n}\n}\n",
                                             "targetGeom T\n{\nname N\nhidden 1\nkeys\n{\nk  0  2\n}\n}\n",
                                             "valueParm E\n{\n}\n",
                                             "# note\n",
                                             "valueParm K\n{\nkeys \n{\nk  0  0.5\n}\n}\n",
                                             "rotateX r\n{\nname x y\n}\n",
                                             "\tvalueParm V\n{\nkeys\n{\nk  0  3\n}\n}\n",
                                             "valueParm B \n{ \nkeys\t\n{\nk  0  0 \n} \n}\t\n"};
  std::mt19937 rng(5);
  for (int round = 0; round < 4; ++round) {
    std::string text;
    for (int block = 0; block < 24; ++block) {
      text += "actor a" + std::to_string(block) + "\n{\nname A\nchannels\n{\n";
      const int count = 80 + static_cast<int>(rng() % 30);
      for (int c = 0; c < count; ++c) text += channels[rng() % channels.size()];
      text += "}\n}\n";
    }
    ExpectSameAsLiteral(text, false, round % 2 == 1, round % 2 == 1 ? "actor P\n{\n}\n" : "");
    if (HasFatalFailure()) return;
  }
  ResetModel();
  const std::string before = DumpModel();
  std::string text;
  for (int block = 0; block < 40; ++block)
    text += "actor a" + std::to_string(block) + "\n{\nchannels\n{\n" + std::string(3000, '\n') + "}\n}\n";
  ChannelHost cancelling;
  cancelling.cancelAt = 3;
  EXPECT_TRUE(LoadMorphsAndPoses(text, cancelling).Cancelled);
  EXPECT_EQ(DumpModel(), before);
}

TEST_F(ChannelReaderTest, NextObjectBlockSameAsLiteral) {
  const std::vector<std::string> pieces = {"actor a\n", "prop b\n", "light c\n", "camera d\n", "{\n}\n", "{\n",
                                           "}\n",       "x\n",      "{ \t}\n",   "prop e\n{}\n",
                                           "name prop f\n", " \t", "x actor g\n", "\r", "y\r\tlight h\n",
                                           "actor\n", "\r camera i\r{\r}\r", "\x01prop j\n",
                                           "\xe9light k\n", "\nfigure\n", "\nfig"};
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int count = 1 + static_cast<int>(rng() % 15);
    for (int i = 0; i < count; ++i) text += pieces[rng() % pieces.size()];
    for (bool check : {false, true}) ASSERT_EQ(NextObjectBlock(text, check), literal::NextObjectBlock(text, check)) << text;
    // The keyword positions gathered in one pass are those the line-start
    // searches find, asked for from every position and in any order.
    ObjectKeywords keywords(text, {"figure", "fig"});
    std::array<ForwardFinder, 4> finders = {
        ForwardFinder(text, "actor ", Match::LineStart), ForwardFinder(text, "prop ", Match::LineStart),
        ForwardFinder(text, "light ", Match::LineStart), ForwardFinder(text, "camera ", Match::LineStart)};
    for (std::size_t from = text.size() + 2; from-- > 0;) {
      std::size_t within = 0;
      for (std::size_t k = 0; k < 4; ++k) {
        const std::size_t at = finders[k].Next(from);
        ASSERT_EQ(keywords.Next(k, from), at) << text << " " << k << " from " << from;
        for (std::size_t p = FindAtLineStart(text, ObjectKeywords::kWords[k], 1, 1, true); p != 0;
             p = FindAtLineStart(text, ObjectKeywords::kWords[k], p + 1, 1, true))
          if (p + ObjectKeywords::kWords[k].size() - 1 <= from) ++within;
      }
      ASSERT_EQ(keywords.CountWithin(from), within) << text << " within " << from;
    }
    EXPECT_EQ(keywords.FirstAfterLf(0), InStr(text, "\nfigure")) << text;
    EXPECT_EQ(keywords.FirstAfterLf(1), InStr(text, "\nfig")) << text;
  }
}

}  // namespace
}  // namespace vandrel::test
