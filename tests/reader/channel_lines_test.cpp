// How the channel reader finds its lines: header lines alone, every channel
// line once, and each key only as its own line's key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/numbers.h"
#include "model/model.h"
#include "reader/channel_reader.h"
#include "reader/channel_test_util.h"
#include "reader/same_as_literal.h"

namespace vandrel::test {
namespace {

using ChannelReaderTest = ChannelTest;

// A block with neither "channels" nor "}" of its own (a header line alone)
// takes none of the next object's lines; such blocks are polled for cancel
// although they reach no channel.
TEST_F(ChannelReaderTest, HeaderLinesAloneTakeNothingOfTheNextObject) {
  const std::string text = "actor a\nactor b\nactor c\nname Cee\nhidden 1\noff\nchannels\n{\n}\n}\n";
  ChannelHost host;
  LoadMorphsAndPoses(text, host);
  std::string actors;  // display name, hidden and off per actor
  for (const ActorRec& a : gActors)
    actors += a.Props().ExtName + "|" + std::to_string(a.Props().Hidden) + "|" +
              std::to_string(a.Props().OnOff) + "\n";
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
       keyed("targetGeom Blink \t\r", "1") + keyed("targetGeom Wink", "2") +
           keyed("targetGeom BlinkLeft", "3"),
       {"Blink \t\r", "Wink", "BlinkLeft"}},
      {"an empty channel first",
       "valueParm E\n{\n}\n" + keyed("valueParm B", "2") + keyed("valueParm C", "3"),
       {"E", "B", "C"}},
      {"an empty channel between",
       keyed("valueParm A", "1") + "valueParm E\n\t{\n\t}\n" + keyed("valueParm B", "2"),
       {"A", "E", "B"}},
      {"two empty channels last",
       keyed("valueParm A", "1") + "valueParm E\n{\n}\nvalueParm F\n{ }\n",
       {"A", "E", "F"}},
      {"an empty channel after one without keys", "valueParm N\n{\nname x\n}\nrotateX E\n{\n}\n", {"N", "E"}},
      {"empty channels between ones without keys",
       "valueParm N\n{\nname x\n}\nrotateX E\n{\n}\nscale F\n{\n}\n" + keyed("valueParm B", "2"),
       {"N", "E", "F", "B"}},
      {"\"prop \" in a dial's name",
       keyed("valueParm L", "1") + "valueParm lift\n{\nname lift prop arm\nkeys\n{\nk  0  1\n}\n}\n" +
           keyed("valueParm B", "2"),
       {"L", "lift", "B"}},
      {"\"actor \" and \"light \" in dials' names",
       std::string("valueParm move\n\t{\n\tname move actor left\n\tkeys\n\t{\n\tk  0  1\n\t}\n\t}\n") +
           "valueParm glow\n{\nname glow light on\n}\n" + keyed("valueParm B", "2"),
       {"move", "glow", "B"}},
      {"the next actor's header in a dial's name",
       "valueParm mv\n{\nname move actor b\nkeys\n{\nk  0  1\n}\n}\n" + keyed("valueParm B", "2"),
       {"mv", "B"}},
  };
  for (const Case& c : cases) {
    ResetModel();
    ChannelHost host;
    const std::string text = "actor a\n{\nchannels\n{\n" + c.channels +
                             "}\n}\nactor b\n{\ncustomMaterial 1\nmaterial m\n{\n}\n}\n";
    LoadMorphsAndPoses(text, host);
    ASSERT_EQ(gActorList.size(), 2u) << c.what;
    EXPECT_EQ(gActorList[1].Text(), "b") << c.what;
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
      {"\"name\" and \"hidden\" inside channel names",
       channel("valueParm Surname", "", "1") + channel("targetGeom hiddenBlink", "", "0.5") + after,
       "Surname||0,0|1,1\nhiddenBlink||0,0|1,0.5\n" + afterDump},
      {"\"k  \" inside a display name",
       channel("valueParm Smirk", "\tname Smirk  2 wide\n\thidden 1\n", "0.5") + after,
       "Smirk|Smirk  2 wide|1,2|1,0.5\n" + afterDump},
      {"a channel named \"keys\"", channel("valueParm keys", "\tname keys\n", "1") + after,
       "keys|keys|0,0|1,1\n" + afterDump},
      {"channels named \"hidden\" and \"name\"",
       channel("valueParm hidden", "\tname hidden\n", "1") +
           channel("valueParm name", "\tname name\n\thidden 0\n", "3") + after,
       "hidden|hidden|0,0|1,1\nname|name|1,1|1,3\n" + afterDump},
      {"braces inside channel names",
       channel("valueParm A}", "", "1") + channel("valueParm B{", "\tname B {x}\n", "0") + after,
       "A}||0,0|1,1\nB{|B {x}|0,0|1,0\n" + afterDump},
      {"a comment line and an empty block",
       channel("valueParm Before", "", "1") + "\t# another\n\t{ }\n" + after,
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

}  // namespace
}  // namespace vandrel::test
