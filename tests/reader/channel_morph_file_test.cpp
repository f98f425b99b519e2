#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "reader/channel_literal.h"
#include "reader/channel_test_util.h"
#include "reader/custom_materials.h"
#include "reader/delta_removal.h"
#include "reader/morph_pose_file.h"

namespace vandrel::test {
namespace {

using MorphFileTest = ChannelTest;

MorphPoseReadResult ReadFile(const std::string& name, Host& host, bool insertOne = false,
                             bool append = false) {
  MorphPoseReadOptions options;
  options.FileName = ChannelPath(name);
  options.InsertOne = insertOne;
  options.Append = append;
  return ReadMorphPoseData(options, host);
}

// Files whose every line ends in blanks and TABs (as some tools write them)
// give the same objects, channels and values.
TEST_F(MorphFileTest, LinesEndingInBlanksGiveTheSameChannels) {
  const auto summary = [] {
    std::string out;
    for (const ActorRec& a : gActors) {
      out += a.Kind + " " + a.Name + " '" + a.Props().ExtName + "':";
      for (const DialRec& d : a.Dials) {
        std::string name = d.Name.str();
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
        out += " " + d.ChannelType + " " + name + "=" + FormatDouble(d.Value) + (d.ValueOn ? "" : "(off)") +
               (d.HiddenOn ? "/h" + std::to_string(d.Hidden) : "");
      }
      out += "\n";
    }
    return out;
  };
  for (const char* name : {"doll.cr2", "wig.hr2", "figure_pose.pz2"}) {
    ChannelHost host;
    ResetModel();
    ASSERT_EQ(ReadFile(name, host).Outcome, MorphPoseOutcome::Read) << name;
    const std::string plain = summary();
    ResetModel();
    MorphPoseReadOptions options;
    options.FileName = ChannelPath(name);
    options.Text = Replace(ChannelFile(name), "\n", " \t\n");
    ASSERT_EQ(ReadMorphPoseData(options, host).Outcome, MorphPoseOutcome::Read) << name;
    EXPECT_EQ(summary(), plain) << name;
  }
}

TEST_F(MorphFileTest, CharacterFileReadsTheChannelSection) {
  gObjects[0].Name = "figure";
  gObjectList = {"figure", "actor stale"};  // an entry beyond the table goes
  ChannelHost host;
  const MorphPoseReadResult r = ReadFile("doll.cr2", host);
  ASSERT_EQ(r.Outcome, MorphPoseOutcome::Read);
  ASSERT_EQ(gActors.size(), 2u);
  EXPECT_EQ(gActors[0].Name, "BODY:1");
  EXPECT_EQ(gActors[0].Props().ExtName, "Body");
  EXPECT_DOUBLE_EQ(gActors[0].Dials[0].Value, 0.75);
  ASSERT_EQ(gActors[1].Dials.size(), 2u);
  EXPECT_EQ(gActors[1].Dials[1].Name, "xrot");
  EXPECT_DOUBLE_EQ(gActors[1].Dials[1].Value, 12.5);
  EXPECT_TRUE(gState.Dirty);
  // BODY's own material group follows the figure, listed at its index.
  ASSERT_EQ(gObjects.size(), 2u);
  EXPECT_EQ(gObjects[1].Name, "BODY:1");
  EXPECT_EQ(gObjectList, (ObjectList{"figure", "actor BODY:1", "actor hip:1"}));
  EXPECT_EQ(host.stages.front(), "Reading file...");
  EXPECT_EQ(host.ranges.front(), 6);
  EXPECT_NE(std::find(host.stages.begin(), host.stages.end(), "Reading data..."), host.stages.end());
  EXPECT_NE(std::find(host.stages.begin(), host.stages.end(), "Loading Morphs and Poses..."),
            host.stages.end());
}

TEST_F(MorphFileTest, EveryLineEndVariantGivesTheSameTables) {
  TempDir dir;
  ChannelHost host;
  ReadFile("doll.cr2", host);
  const std::string expected = DumpModel();
  for (const char* eol : {"\r\n", "\r"}) {
    ResetModel();
    MorphPoseReadOptions options;
    options.FileName = dir.write("doll.cr2", Replace(ChannelFile("doll.cr2"), "\n", eol));
    ASSERT_EQ(ReadMorphPoseData(options, host).Outcome, MorphPoseOutcome::Read);
    EXPECT_EQ(DumpModel(), expected) << (eol[1] ? "CRLF" : "CR");
  }
}

TEST_F(MorphFileTest, HairIsReadAsFigureHair) {
  ChannelHost host;
  ASSERT_EQ(ReadFile("wig.hr2", host).Outcome, MorphPoseOutcome::Read);
  ASSERT_EQ(gActors.size(), 1u);
  EXPECT_EQ(gActors[0].Name, "figureHair");
  EXPECT_EQ(gActors[0].Kind, "prop");
  EXPECT_EQ(gActors[0].Props().ExtName, "Wig");
  EXPECT_DOUBLE_EQ(gActors[0].Dials[0].Value, 0.3);
}

TEST_F(MorphFileTest, PropFileWithoutSecondPropLineFails) {
  ChannelHost host;
  MorphPoseReadOptions options;
  options.FileName = "x.pp2";
  options.Text = "{\nversion\n{\n}\nprop a\n{\nchannels\n{\n}\n}\n";
  gActors[0].Name = "kept";
  const MorphPoseReadResult r = ReadMorphPoseData(options, host);
  EXPECT_EQ(r.Outcome, MorphPoseOutcome::Failed);
  EXPECT_EQ(r.ErrorNumber, 5);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], kMorphDataNotFound);
  EXPECT_EQ(host.titles[0], "Invalid procedure call or argument");
  EXPECT_EQ(gActors[0].Name, "kept");
  EXPECT_FALSE(gState.Dirty);
}

TEST_F(MorphFileTest, MessagesForNoChannelsAndMissingFile) {
  ChannelHost host;
  MorphPoseReadOptions options;
  options.FileName = "a.pz2";
  options.Text = "{\nversion\n{\n}\nactor a\n{\n}\n";
  EXPECT_EQ(ReadMorphPoseData(options, host).Outcome, MorphPoseOutcome::NoChannels);
  options.Text.clear();
  options.FileName = "/nonexistent/b.cr2";
  EXPECT_EQ(ReadMorphPoseData(options, host).Outcome, MorphPoseOutcome::Failed);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0], kNoMorphData);
  EXPECT_EQ(host.titles[0], "");
  EXPECT_EQ(host.icons[0], MsgIcon::Exclamation);
  EXPECT_EQ(host.messages[1], kMorphDataNotFound);
  EXPECT_EQ(host.titles[1], "File not found");
}

TEST_F(MorphFileTest, PoseTextStartsAfterTheVersionBlockAndEndsAtFigure) {
  ChannelHost host;
  MorphPoseReadOptions options;
  options.FileName = "import.PZ2";
  options.Text =
      "{\nversion\n{\nnumber 4\n}\nactor a\n{\nchannels\n{\nvalueParm v\n{\nkeys\n{\nk  0  4\n}\n}\n}\n}\n"
      "ikchannels\nfigure\t \nactor late\n{\n}\n";
  ASSERT_EQ(ReadMorphPoseData(options, host).Outcome, MorphPoseOutcome::Read);
  ASSERT_EQ(gActors.size(), 1u);
  EXPECT_EQ(gActors[0].Name, "a");
  EXPECT_DOUBLE_EQ(gActors[0].Dials[0].Value, 4.0);
  // Without a version block the first actor is read too.
  options.Text =
      "{\nactor first\n{\nchannels\n{\nvalueParm v\n{\nkeys\n{\nk  0  1\n}\n}\n}\n}\nactor b\n{\n}\n}\n";
  ASSERT_EQ(ReadMorphPoseData(options, host).Outcome, MorphPoseOutcome::Read);
  ASSERT_EQ(gActors.size(), 2u);
  EXPECT_EQ(gActors[0].Name, "first");
  EXPECT_DOUBLE_EQ(gActors[0].Dials[0].Value, 1.0);
}

TEST_F(MorphFileTest, AppendKeepsTheActorsAndCancelRestoresThem) {
  ChannelHost host;
  auto prepare = [&] {
    ResetModel();
    ReadFile("doll.cr2", host);
    gObjectList.insert(gObjectList.begin(), "figure");
    gObjects.insert(gObjects.begin(), ObjectRec{"figure", {MaterialRec{}}});
    gState.Dirty = false;
  };
  prepare();
  const std::string before = DumpModel();
  int cancelled = 0;
  for (long long at = 1; at <= 8; ++at) {
    for (bool insertOne : {false, true}) {
      prepare();
      ChannelHost cancelling;
      cancelling.cancelAt = at;
      const MorphPoseReadResult r = ReadFile("doll.cr2", cancelling, insertOne, !insertOne);
      if (r.Outcome == MorphPoseOutcome::Read) continue;  // fewer polls than `at`
      ++cancelled;
      EXPECT_EQ(r.Outcome, MorphPoseOutcome::Cancelled);
      EXPECT_EQ(DumpModel(), before) << at << insertOne;
      EXPECT_FALSE(gState.Dirty);
    }
  }
  EXPECT_GE(cancelled, 8);
  prepare();
  ASSERT_EQ(ReadFile("wig.hr2", host, false, true).Outcome, MorphPoseOutcome::Read);
  ASSERT_EQ(gActors.size(), 3u);
  EXPECT_EQ(gActors[0].Name, "BODY:1");
  EXPECT_EQ(gActors[2].Name, "figureHair");
}

TEST_F(MorphFileTest, BodyOnlyReadMakesOneNamedListedGroup) {
  gObjects[0].Name = "figure";
  gObjectList = {"figure"};
  gActors[0].Name = "hip:1";
  gActors[0].Kind = "actor";
  gActorList = {{"hip:1", "actor"}};
  ChannelHost host;
  ASSERT_EQ(ReadFile("doll.cr2", host, true).Outcome, MorphPoseOutcome::Read);
  ASSERT_EQ(gActors.size(), 2u);
  EXPECT_EQ(gActors[0].Name, "BODY:1");
  EXPECT_EQ(gActors[0].Props().ExtName, "Body");
  EXPECT_EQ(gActorList[0].Text(), "BODY:1");
  // No unnamed group: the table and the object list stay in step.
  ASSERT_EQ(gObjects.size(), 2u);
  EXPECT_EQ(gObjects[1].Name, "BODY:1");
  ASSERT_EQ(gObjects[1].Materials.size(), 1u);
  EXPECT_EQ(gObjects[1].Materials[0].Name, "Glow");
  EXPECT_EQ(gObjectList, (ObjectList{"figure", "actor BODY:1", "actor hip:1"}));
  for (const ObjectRec& g : gObjects) EXPECT_FALSE(g.Name.empty());
}

TEST_F(MorphFileTest, BodyOnlyWindowSameAsGrowingReads) {
  std::mt19937 rng(99);
  const std::vector<std::string> pieces = {"actor BODY:1\n{\n",
                                           "actor hip:1\n{\n",
                                           "x",
                                           "}\n",
                                           std::string(300, 'z'),
                                           "actor ",
                                           "BODY",
                                           "\n",
                                           "name move actor left\n",
                                           "\tactor BODY:1\r{\r",
                                           "x actor BODY\n"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int count = 1 + static_cast<int>(rng() % 25);
    for (int i = 0; i < count; ++i) text += pieces[rng() % pieces.size()];
    std::string fast, slow;
    const bool ok = BodyOnlyBlock(text, fast);
    ASSERT_EQ(ok, literal::BodyOnlyBlock(text, slow)) << text;
    if (ok) {
      ASSERT_EQ(fast, slow) << text;
    }
  }
  std::string block;
  EXPECT_FALSE(BodyOnlyBlock("actor BODY:1\n{\n}\n", block));
  // "actor " inside a dial's name neither ends nor starts the block.
  const std::string body =
      "actor BODY:1\n{\nchannels\n{\nvalueParm mv\n{\nname move actor left\nkeys\n{\nk  0  1\n}\n}\n"
      "valueParm up\n{\nkeys\n{\nk  0  2\n}\n}\n}\n}\n";
  ASSERT_TRUE(BodyOnlyBlock("{\nversion\n{\n}\nactor BODY:1\n{\n}\n" + body + "actor hip:1\n{\n}\n", block));
  EXPECT_EQ(block, body);
}

TEST_F(MorphFileTest, FigureLineCleanup) {
  const auto clean = [](std::string text) {
    CleanFigureLines(text);
    return text;
  };
  EXPECT_EQ(clean("word\t\tfigure\nx figure \n"), "wordfigure\nxfigure\n");
  EXPECT_EQ(clean("figure x\n \tfigure"), "figure x\n \tfigure");
  std::mt19937 rng(3);
  const std::string chars = " \tfigure\nx";
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    for (int i = 0, n = static_cast<int>(rng() % 40); i < n; ++i) text += chars[rng() % chars.size()];
    if (rng() % 2) text += " \t figure\n";
    ASSERT_EQ(clean(text), literal::CleanFigureLines(text)) << text;
  }
}

TEST_F(MorphFileTest, StripsDeltasOnlyAboveFiveMillionCharacters) {
  TempDir dir;
  const std::string head =
      "{\nversion\n{\n}\nactor a\n{\nchannels\n{\ntargetGeom t\n{\nkeys\n{\nk  0  1\n}\n"
      "deltas\n{\nd 1 0 0 0\n}\n}\n}\n}\n";
  for (std::size_t size : {kStripDeltasAbove, kStripDeltasAbove + 1}) {
    std::string text = head;
    text.append(size - text.size() - 1, ' ');
    text += "\r";  // a single CR stays unless the text is stripped
    ASSERT_EQ(text.size(), size);
    MorphPoseReadOptions options;
    options.FileName = dir.write("big.pz2", text);
    ChannelHost host;
    ASSERT_EQ(ReadMorphPoseData(options, host).Outcome, MorphPoseOutcome::Read);
    // The strip sets its own range (pieces + 1) and gives the bar back.
    const bool stripped = std::find(host.ranges.begin(), host.ranges.end(), 3) != host.ranges.end();
    EXPECT_EQ(stripped, size > kStripDeltasAbove);
    EXPECT_DOUBLE_EQ(gActors[0].Dials[0].Value, 1.0);
  }
}

TEST_F(MorphFileTest, CancelDuringDeltaRemovalLeavesTheDocument) {
  TempDir dir;
  std::string text = "{\nversion\n{\n}\n";
  for (int i = 0; i < 100000; ++i)
    text += "actor a" + std::to_string(i) +
            "\n{\nchannels\n{\ntargetGeom t\n{\nkeys\n{\nk  0  1\n}\ndeltas\n{\nd 1 0 0 0\n}\n}\n}\n}\n";
  MorphPoseReadOptions options;
  options.FileName = dir.write("big.cr2", text);
  ChannelHost host;
  ReadFile("doll.cr2", host);
  const std::string before = DumpModel();
  ChannelHost cancelling;
  cancelling.cancelAt = 50;
  EXPECT_EQ(ReadMorphPoseData(options, cancelling).Outcome, MorphPoseOutcome::Cancelled);
  EXPECT_EQ(DumpModel(), before);
  EXPECT_TRUE(cancelling.messages.empty());
}

TEST_F(MorphFileTest, DeltaRemovalCases) {
  ChannelHost host;
  auto strip = [&](std::string text) {
    EXPECT_TRUE(StripDeltas(text, host, {6, 1}));
    return text;
  };
  EXPECT_EQ(strip("a\r\nb\r\n"), "a\n\nb\n\n");
  EXPECT_EQ(strip("a\rb"), "a\rb");
  EXPECT_EQ(strip("deltas\n{\nd 1\n}\nrest"), "\nrest");
  EXPECT_EQ(strip("x\n\tdeltas \n\t{\n\td 1\n\t}\nend"), "x\n\t\nend");
  EXPECT_EQ(strip("a deltas\n{1}b deltas\n{2}c"), "a b c");
  EXPECT_EQ(strip("Deltas\n{1}"), "Deltas\n{1}");
  // A block that never closes ends its piece instead of looping for ever.
  EXPECT_EQ(strip("keep\ndeltas\n{\nd 1 2 3\n"), "keep\n");
  EXPECT_EQ(host.ranges.back(), 6);
  EXPECT_EQ(host.values.back(), 5);

  ChannelHost quietCancel;
  quietCancel.cancelAt = 1;
  std::string text = "a\r\nb\r\ndeltas\n{}";
  EXPECT_FALSE(StripDeltas(text, quietCancel));
  EXPECT_EQ(text, "");

  std::mt19937 rng(11);
  const std::vector<std::string> pieces = {"deltas", " ", "\n",      "\r",        "{",
                                           "}",      "x", "d 1 2\n", "deltas \r", "deltas \n"};
  for (int round = 0; round < 3000; ++round) {
    std::string t;
    for (int i = 0, n = static_cast<int>(rng() % 30); i < n; ++i) t += pieces[rng() % pieces.size()];
    const std::string expected = literal::StripDeltas(t);
    ASSERT_EQ(strip(t), expected) << t;
  }

  // A text of over thirty megabytes has its pieces removed within its own
  // bytes: still as the documented passes remove them, its line ends kept
  // or all made LF first; the bar ends full.
  std::string large;
  while (large.size() < (33u << 20)) {
    for (int i = 0, n = static_cast<int>(rng() % 30); i < n; ++i) large += pieces[rng() % pieces.size()];
    large += std::string(3000, 'a');
  }
  const std::string lf = Replace(Replace(large, "\r\n", "\n"), "\r", "\n");
  for (const bool toLf : {false, true}) {
    std::string bytes = large;
    std::size_t size = bytes.size();
    host.ranges.clear();
    host.values.clear();
    ASSERT_TRUE(StripDeltas(bytes.data(), size, toLf, host));
    EXPECT_TRUE(bytes.substr(0, size) == literal::StripDeltas(toLf ? lf : large)) << toLf;
    ASSERT_FALSE(host.ranges.empty());
    EXPECT_NE(std::find(host.values.begin(), host.values.end(), host.ranges.front()), host.values.end());
  }
  // A text with few "deltas" is a few long pieces: they go out a few
  // megabytes at a time with a poll between, each CR LF kept whole across
  // the cut (here a CR stands right before the 4 MB mark).
  std::string few = "\r\r";
  for (int i = 0; i < 3000000; ++i) few += "x\r\n";
  few += "deltas \r{\nd 1\n}";
  for (int i = 0; i < 1500000; ++i) few += "y\r\n";
  few += "\r";
  const std::string fewLf = Replace(Replace(few, "\r\n", "\n"), "\r", "\n");
  for (const bool toLf : {false, true}) {
    const std::string expected = literal::StripDeltas(toLf ? fewLf : few);
    ChannelHost polled;
    std::string out;
    ASSERT_TRUE(StripDeltas(few, out, toLf, polled));
    EXPECT_TRUE(out == expected) << toLf;
    EXPECT_GE(polled.polls, 6) << toLf;
    std::string bytes = few;
    std::size_t size = bytes.size();
    ASSERT_TRUE(StripDeltas(bytes.data(), size, toLf, host));
    EXPECT_TRUE(bytes.substr(0, size) == expected) << toLf;
  }
  // Esc while they are removed: the text holds nothing.
  ChannelHost later;
  later.cancelAt = 20;
  EXPECT_FALSE(StripDeltas(large, later));
  EXPECT_EQ(large, "");
}

TEST_F(MorphFileTest, CustomMaterialsOfABlock) {
  const std::string block =
      "actor BODY:1\n{\ncustomMaterial\t2\nmaterial Skin\n{\nKdColor 1 0 0 1\n}\n"
      "material Eyes\n{\nKdColor 0 0 1 1\n}\n}\n";
  EXPECT_EQ(CustomMaterialCount(block, InStr(block, "customMaterial")), 2);
  gObjects[0].Name = "figure";
  ReadCustomMaterials(block);
  ASSERT_EQ(gObjects.size(), 2u);
  EXPECT_TRUE(gObjects[1].Name.empty());
  ASSERT_EQ(gObjects[1].Materials.size(), 2u);
  EXPECT_EQ(gObjects[1].Materials[0].Name, "Skin");
  EXPECT_EQ(gObjects[1].Materials[1].Name, "Eyes");
  EXPECT_EQ(gObjects[1].Materials[1].ObjectColor[2], 255);
  ReadCustomMaterials("customMaterial 0\nmaterial a\n{\n}\n");
  ReadCustomMaterials("no own materials");
  EXPECT_EQ(gObjects.size(), 2u);
  // Fewer blocks than the count: the group holds those found.
  ReadCustomMaterials("customMaterial 3\nmaterial a\n{\n}\n");
  ASSERT_EQ(gObjects.size(), 3u);
  EXPECT_EQ(gObjects[2].Materials.size(), 1u);
}

}  // namespace
}  // namespace vandrel::test
