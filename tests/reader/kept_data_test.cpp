#include "reader/kept_data.h"

#include <gtest/gtest.h>

#include "reader_test_util.h"

namespace vandrel::test {
namespace {

std::string Kinds(const KeptDataReport& report) {
  std::string text;
  for (const std::string& k : report.kinds) text += (text.empty() ? "" : ",") + k;
  return text;
}

// A pose file around `objects` (object blocks) and `material` (the lines of
// one material block), LF line ends, Poser's indentation left out.
std::string Pose(const std::string& objects, const std::string& material = "KdColor 1 1 1 1\n") {
  return "{\nversion\n{\nnumber 4.01\n}\n# made by hand\n" + objects + "figure\n{\nmaterial Skin\n{\n" +
         material + "}\n}\n}\n";
}

const std::string kChannel = "channels\n{\nrotateX xrot\n{\nkeys\n{\nstatic  0\nk  0  5\n}\n}\n}\n";

TEST(KeptData, NamesWhatTheTablesDoNotKeepInTheOrderOfTheFile) {
  struct Case {
    const char* what;
    std::string text;
    std::string kinds;
  } cases[] = {
      {"only kept lines", Pose("actor rHand:1\n{\n" + kChannel + "}\nthighLength 1.2\n"), ""},
      {"keys of other frames, their forms not counted again",
       Pose("actor rHand:1\n{\nchannels\n{\nrotateX xrot\n{\nkeys\n{\nstatic  0\nk  0  0\nsl  1\nspl\nk  15  "
            "-40\n"
            "sl  1\nk  30  0\n}\n}\n}\n}\n"),
       "animation keys"},
      {"a first key of another frame, or without the reader's two blanks",
       Pose("actor a\n{\nchannels\n{\nx x\n{\nkeys\n{\nk  3  1\n}\n}\ny y\n{\nkeys\n{\nk 0 1\n}\n}\n}\n}\n"),
       "animation keys"},
      {"light settings no table holds, limits, a depth map size of 0; properties with switches kept",
       Pose("light LIGHT_1\n{\nname Key\non\nparent UNIVERSE\nlightType 1\nchannels\n{\nkdRed RED\n{\nname "
            "Red\n"
            "hidden 0\nmin 0\nmax 1\nkeys\n{\nk  0  1\n}\n}\n}\nlightOn 1\ndoShadow 1\ndepthMapSize 0\nport "
            "1\n"
            "shadowBlurRadius 2\nhither 0.1\n}\n"),
       "parent,channel limits,depthMapSize,shadowBlurRadius,hither"},
      {"light-only keys in an actor, tail keys before the channels, a deltas block",
       Pose("actor BODY\n{\nlightType 1\nlocked 1\nchannels\n{\ntargetGeom Smile\n{\nnumbDeltas "
            "10\ndeltas\n{\n"
            "d 1 0 0 0\n}\nkeys\n{\nk  0  1\n}\n}\n}\nport 2\n}\n"),
       "lightType,morph deltas,port"},
      {"unknown blocks and lines at the top and in the figure block",
       Pose("figureResFile :Runtime:x.obj\ncontrolProp c\n{\nx 1\n}\n", "KdColor 1 1 1 1\n}\nweld a\n{\n"),
       "figureResFile,controlProp,weld"},
      {"objects after the object part give only their materials",
       "{\nfigure\n{\nmaterial Skin\n{\nKdColor 1 1 1 1\n}\n}\nactor BODY\n{\n" + kChannel + "}\n}\n",
       "channels"},
      {"comments, the version block and every line of a material are kept",
       Pose("// one\n' two\n",
            "KdColor 1 1 1 1\nshaderTree\n{\nnode diffuse\n{\nfoo 1\n}\n}\nunknownKey 3\n}\n"
            "MATERIAL Upper\n{\nKdColor 1 1 1 1\n"),
       ""},
  };
  for (const Case& c : cases) {
    const KeptDataReport report = CheckKeptData(c.text, {});
    EXPECT_EQ(Kinds(report), c.kinds) << c.what;
    EXPECT_TRUE(report.blocksClosed) << c.what;
  }
  // Without the channel reader every object block is dropped.
  EXPECT_EQ(Kinds(CheckKeptData(Pose("actor a\n{\n" + kChannel + "}\n"), {.objectsRead = false})),
            "channels");
  // Never more than a few kinds, each once.
  std::string many;
  for (int i = 0; i < 20; ++i) many += "key" + std::to_string(i % 10) + " 1\n";
  EXPECT_EQ(CheckKeptData(Pose("actor a\n{\n" + many + "}\n"), {}).kinds.size(), kKeptDataKinds);
  // A long text lets the windows repaint as it goes, and reports the same.
  std::string lines;
  for (std::size_t i = 0; i < 3 * kKeptDataLinesPerTick; ++i) lines += "KdColor 1 1 1 1\r\n";
  const std::string text = Pose("actor a\n{\n" + kChannel + "}\n", lines);
  int ticks = 0;
  const KeptDataReport ticked = CheckKeptData(text, {.objectsRead = false}, [&ticks] { ++ticks; });
  EXPECT_EQ(ticks, 6);  // a CR and an LF each end a line
  EXPECT_EQ(Kinds(ticked), "channels");
}

// A value the material reader turns into 0 is not kept; one at the edge of
// its range is (the -s test runs one of them through the program).
TEST(KeptData, MaterialValuesOutsideTheReadersRangeAreNotKept) {
  const struct {
    const char* line;
    bool kept;
  } cases[] = {
      {"NsExponent -899", true},
      {"NsExponent -900", false},
      {"NsExponent 4000000", false},
      {"bumpStrength 10", true},
      {"bumpStrength 12", false},
      {"reflectionStrength -15", false},
      {"tMin -10", true},
      {"tMax 20", false},
      {"tExpo 10.01", false},
      {"TextureColor 1 1 1 10.5", false},
      {"TextureColor 11 11 11 1", true},
      {"ksIgnoreTexture 1001", false},
      {"reflectThruKd 1", true},
  };
  for (const auto& c : cases) {
    const std::string key = std::string(c.line).substr(0, std::string(c.line).find(' '));
    const KeptDataReport report = CheckKeptData(Pose("", std::string(c.line) + "\n"), {});
    EXPECT_EQ(Kinds(report), c.kept ? "" : key) << c.line;
  }
  // Only a key's first line is read, in each material.
  EXPECT_EQ(Kinds(CheckKeptData(Pose("", "tMax 1\ntMax 20\n"), {})), "");
}

TEST(KeptData, ABlockLeftOpenIsACutOffFileWhateverItsLineEnds) {
  const std::string whole = Pose("prop ball\n{\nname Ball\n}\nactor rHand:1\n{\n" + kChannel + "}\n");
  // Cut inside the keys block, the channel, the channels, the actor, the prop, the material.
  for (const char* cut :
       {"k  0  5\n", "static  0\n", "rotateX xrot\n", "rHand:1\n{\n", "name Ball\n", "KdColor 1 1 1 1\n"}) {
    const std::string text = whole.substr(0, whole.find(cut) + std::string(cut).size());
    EXPECT_FALSE(CheckKeptData(text, {}).blocksClosed) << cut;
  }
  // The file's own block may lack its last "}".
  EXPECT_TRUE(CheckKeptData(whole.substr(0, whole.size() - 2), {}).blocksClosed);
  for (const char* eol : {"\r\n", "\r"}) {
    std::string text;
    for (char c : whole) text += c == '\n' ? std::string(eol) : std::string(1, c);
    EXPECT_TRUE(CheckKeptData(text, {}).blocksClosed);
    EXPECT_EQ(Kinds(CheckKeptData(text, {})), "");
  }
  // A brace inside a name is no block.
  EXPECT_TRUE(CheckKeptData(Pose("actor a}\n{\nchannels\n{\nx A{\n{\nkeys\n{\nk  0  1\n}\n}\n}\n}\n"), {})
                  .blocksClosed);
}

}  // namespace
}  // namespace vandrel::test
