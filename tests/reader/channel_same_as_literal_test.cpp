// The channel reader against the literal transcription on crafted and
// random texts, with blocks prepared ahead, and the object-block finder.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "model/model.h"
#include "reader/channel_literal.h"
#include "reader/channel_reader.h"
#include "reader/channel_scan.h"
#include "reader/channel_test_util.h"
#include "reader/same_as_literal.h"

namespace vandrel::test {
namespace {

using ChannelReaderTest = ChannelTest;

TEST_F(ChannelReaderTest, SameAsLiteralOnCraftedTexts) {
  const std::string pose = Lf(ChannelFile("figure_pose.pz2"));
  ExpectSameAsLiteral(pose, false, false, "");
  ExpectSameAsLiteral(Lf(Replace(ChannelFile("figure_pose.pz2"), "\n", "\r\n")), false, false, "");
  ExpectSameAsLiteral(Lf(ChannelFile("doll.cr2")), false, false, "");
  ExpectSameAsLiteral(Lf(ChannelFile("light_own.lt2")), false, true, pose);
  ExpectSameAsLiteral("actor BODY:1\n{\nchannels\n{\nvalueParm a\n{\nkeys\n{\nk  0  1\n}\n}\n}\n}\n", true,
                      false, pose);
  // A channel name that begins another: the later line is found as the
  // earlier one's second reach.
  ExpectSameAsLiteral(
      "actor a\n{\nchannels\n{\ntargetGeom A\n{\nkeys\n{\nk  0  1\n}\n}\n"
      "targetGeom AB\n{\nkeys\n{\nk  0  2\n}\n}\n}\n}\n",
      false, false, "");
  // A channel without keys, and one line without a blank.
  ExpectSameAsLiteral(
      "actor a\n{\nchannels\n{\nvalueParm v\n{\nname v\nhidden 1\n}\nstrange\n"
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

TEST_F(ChannelReaderTest, SameAsLiteralOnRandomTexts) {
  const std::vector<std::string> pieces = {
      "actor A:1\n{\n", "actor B\n{\n", "prop p\n{\n}\n", "prop q\n{\n", "light L\n{\n", "camera C\n{\n",
      "name X\n", "on\n", "off\n", "hidden 1\n", "channels\n{\n", "targetGeom T1\n{\n", "valueParm V\n{\n",
      "valueParm V2\n{\n", "name nm\n", "hidden  0\n", "keys\n{\n", "keys \n{\n", "static 0\n", "k  0  0.5\n",
      "k  0  0\n", "k  0  0.000000\n", "}\n", "}\n}\n", "// c x\n", "# note\n", "\n", "\t", "  ",
      "customMaterial 1\n", "material M1\n{\nKdColor 1 0 0 1\n}\n", "locked 0\n", "doShadow 1\n",
      "depthMapSize 5\n", "lightOn 0\n", "lightType 2\n", "port 3\n", "thighLength 2.5\n", "figure\n", "{\n",
      "deltas\n{\nd 1 2 3\n}\n", "rotateX r\n{\n", "}", "actor BODY:1\n{\n", "storageOffset 1 2 3\n",
      "targetGeom T1x \r\n", "{\n}\n", "valueParm E\n{\n}\n", "targetGeom T\n", "name lift prop arm\n",
      "name move actor left\n", "x camera c\n", "valueParm keys\n{\n", "targetGeom hiddenBlink\n{\n",
      "name Smirk  2 wide\n", "valueParm A}\n{\n", "valueParm B{\n{\n", "# another\n{ }\n", "name Surname\n",
      "\tk  0  2\n", "textureMap :a material b.jpg\n", "\rlight R\r{\r", "x\r\t prop s\n{\n",
      " \tcamera T\n{\n", "\rfigure\n", "\tfigure\n", "\rthighLength 3\n", "name glow light\n", "actor\n",
      "valueParm camera x\n{\n",
      // Lines that end in blanks and TABs.
      "channels \t\n{\n", "keys\t\n{\n", "keys  \n{\n", "on \n", "off\t\n", "hidden 1 \t\n", "k  0  0\t\n",
      "k  0  2 \n", "channels\t", " \n",
      // Tail keys behind braces, blanks and TABs, or split by a brace.
      "} lightOn 1\r", "\t}\tlocked 1\r\n", "light}On 2\n", "cameraModel x}y\n", "depthCamera c\n"};
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

// Many blocks of a few kilobytes each, with random channels inside: the
// same model as the literal reader's, and a cancel part-way.
TEST_F(ChannelReaderTest, ManyLargeBlocksReadAsLiteral) {
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
  const std::vector<std::string> pieces = {"actor a\n",
                                           "prop b\n",
                                           "light c\n",
                                           "camera d\n",
                                           "{\n}\n",
                                           "{\n",
                                           "}\n",
                                           "x\n",
                                           "{ \t}\n",
                                           "prop e\n{}\n",
                                           "name prop f\n",
                                           " \t",
                                           "x actor g\n",
                                           "\r",
                                           "y\r\tlight h\n",
                                           "actor\n",
                                           "\r camera i\r{\r}\r",
                                           "\x01prop j\n",
                                           "\xe9light k\n",
                                           "\nfigure\n",
                                           "\nfig"};
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int count = 1 + static_cast<int>(rng() % 15);
    for (int i = 0; i < count; ++i) text += pieces[rng() % pieces.size()];
    for (bool check : {false, true})
      ASSERT_EQ(NextObjectBlock(text, check), literal::NextObjectBlock(text, check)) << text;
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
