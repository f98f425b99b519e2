#include "reader/material_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "model/model.h"
#include "reader/read_fault.h"
#include "reader_test_util.h"

namespace vandrel::test {
namespace {

class MaterialParserTest : public ReaderTest {
 protected:
  MaterialRec Parse(const std::string& block) {
    gObjects.assign(1, ObjectRec{});
    gObjects[0].Materials.Edit().assign(1, MaterialRec{});
    ParseMaterialBlock(block, 0, 0);
    return gObjects[0].Materials[0];
  }
};

TEST_F(MaterialParserTest, ColoursAreSinglePrecisionProductsRoundedHalfToEven) {
  const MaterialRec m = Parse(
      "KdColor 1 0.5 0 1\nKaColor 0.3 0.3 0.3 1\nKsColor 0.9 0.9 0.9 1\n"
      "ReflectionColor 0.527451 0.672549 0.845098 1\n}");
  EXPECT_EQ(m.ObjectColor, (ColorRec{255, 128, 0}));
  EXPECT_EQ(m.AmbientColor, (ColorRec{76, 76, 76}));
  EXPECT_EQ(m.HighlightColor, (ColorRec{230, 230, 230}));
  EXPECT_EQ(m.ReflectiveColor, (ColorRec{134, 172, 216}));
  EXPECT_TRUE(m.ObjectColorOn && m.AmbientColorOn && m.HighlightColorOn && m.ReflectiveColorOn);
}

// Colours beyond one are kept; a colour too large for the record overflows,
// and a value without its end fails as an invalid call.
TEST_F(MaterialParserTest, ColoursBeyondOneAreKeptAndBadValuesFail) {
  EXPECT_EQ(Parse("KdColor 2 -1 128 1\n}").ObjectColor, (ColorRec{510, -255, 32640}));
  const auto fault = [this](const char* block) {
    try {
      Parse(block);
      return std::string("none");
    } catch (const ReadFault& f) {
      return std::to_string(f.number) + " " + f.description;
    }
  };
  EXPECT_EQ(fault("KdColor 1 129 0 1\n}"), "6 Overflow");
  EXPECT_EQ(fault("KdColor 1e40 0 0 1\n}"), "6 Overflow");
  const std::string invalid = "5 Invalid procedure call or argument";
  EXPECT_EQ(fault("KdColor 1 1"), invalid);       // no blank after the third number
  EXPECT_EQ(fault("tMin 0.5"), invalid);          // no LF after a number
  EXPECT_EQ(fault("textureMap a.jpg"), invalid);  // nor after a path
}

TEST_F(MaterialParserTest, NumbersScaleRoundAndStayInRange) {
  MaterialRec m = Parse(
      "TextureColor 1 1 1 0.75\nbumpStrength 0.135\nreflectionStrength -10\ntMin 0.125\ntMax 10\n"
      "tExpo 0.125\nNsExponent 30\n}");
  EXPECT_EQ(m.TextureStrength, "75");
  EXPECT_EQ(m.BumpStrength, "14");
  EXPECT_EQ(m.ReflectionStrength, "-1000");
  EXPECT_EQ(m.TransparencyMin, 12);
  EXPECT_EQ(m.TransparencyMax, 1000);
  EXPECT_FLOAT_EQ(m.TransparencyFalloff, 0.12f);
  EXPECT_EQ(m.HighlightSize, 71);
  EXPECT_TRUE(m.HighlightSizeOn && m.TextureStrengthOn && m.TransparencyFalloffOn);

  m = Parse("bumpStrength 15\ntMax 10.01\nNsExponent 101\n}");
  EXPECT_EQ(m.BumpStrength, "0");
  EXPECT_TRUE(m.BumpStrengthOn);
  EXPECT_EQ(m.TransparencyMax, 0);
  EXPECT_EQ(m.HighlightSize, 1);
  EXPECT_FALSE(m.HighlightSizeOn);

  m = Parse("NsExponent 0\ntExpo 0.6\n}");
  EXPECT_EQ(m.HighlightSize, 101);
  EXPECT_TRUE(m.HighlightSizeOn);
  EXPECT_FLOAT_EQ(m.TransparencyFalloff, 0.6f);

  // Values are read the original's way: blanks inside a number are passed over.
  EXPECT_EQ(Parse("bumpStrength 0. 5\n}").BumpStrength, "50");
  EXPECT_EQ(Parse("NsExponent x\n}").HighlightSize, 101);
  // The first occurrence of a key's text wins, even inside a longer key.
  EXPECT_EQ(Parse("mytMax 0.4\ntMax 0.9\n}").TransparencyMax, 40);
}

TEST_F(MaterialParserTest, SwitchesAreTrueOnlyForValuesRoundingToOne) {
  MaterialRec m = Parse("ksIgnoreTexture 1\nreflectThruLights 0\nreflectThruKd 1.5\n}");
  EXPECT_TRUE(m.KsIgnoreTexture);
  EXPECT_FALSE(m.MultiplyThroughLights);
  EXPECT_FALSE(m.MultiplyThroughKdColor);
  EXPECT_TRUE(m.KsIgnoreTextureOn && m.MultiplyThroughLightsOn && m.MultiplyThroughKdColorOn);
  m = Parse("ksIgnoreTexture 0.5\nreflectThruKd 0.51\n}");
  EXPECT_FALSE(m.KsIgnoreTexture);
  EXPECT_TRUE(m.MultiplyThroughKdColor);
}

TEST_F(MaterialParserTest, MapsKeepTheirTextWithoutQuotes) {
  const MaterialRec m = Parse(
      "textureMap \"C:\\Poser 4\\Runtime\\Textures\\My Skin.jpg\"\n0 0\nbumpMap NO_MAP\n"
      "reflectionMap :Runtime:Textures:r.jpg\t\n}");
  EXPECT_EQ(m.TextureMap, "C:\\Poser 4\\Runtime\\Textures\\My Skin.jpg");
  EXPECT_EQ(m.BumpMap, "NO_MAP");
  EXPECT_EQ(m.ReflectionMap, ":Runtime:Textures:r.jpg");
  EXPECT_EQ(m.TransparencyMap, "NO_MAP");
  EXPECT_TRUE(m.TextureMapOn && m.BumpMapOn && m.ReflectionMapOn);
  EXPECT_FALSE(m.TransparencyMapOn);
}

// Keys are case-sensitive: a block of none, or of one in the wrong case, keeps the defaults.
TEST_F(MaterialParserTest, ABlockWithoutKeysKeepsTheDefaults) {
  EXPECT_FALSE(Parse("kdcolor 1 1 1 1\n}").ObjectColorOn);
  const MaterialRec m = Parse("{\n}");
  for (int i = 0; i < MaterialRec::kSwitchCount; ++i) EXPECT_FALSE(m.SwitchOn(i)) << i;
  EXPECT_EQ(m.ObjectColor, (ColorRec{0, 0, 0}));
  EXPECT_EQ(m.HighlightSize, 1);
  EXPECT_EQ(m.TextureStrength, "0");
  EXPECT_EQ(m.BumpStrength, "0");
  EXPECT_EQ(m.ReflectionStrength, "0");
  EXPECT_TRUE(IsNoMap(m.TextureMap) && IsNoMap(m.BumpMap) && IsNoMap(m.ReflectionMap) &&
              IsNoMap(m.TransparencyMap));
}

TEST_F(MaterialParserTest, KeyReadersReportAbsenceAndTheMapHookSeesPresentMaps) {
  gObjects.assign(1, ObjectRec{});
  gObjects[0].Materials.Edit().assign(1, MaterialRec{});
  EXPECT_EQ(ParseMaterialNumber("tMin 0.5\n", "tMax "), 0);
  EXPECT_TRUE(gState.KeyMissing);
  EXPECT_EQ(ParseMaterialNumber("tMin 0.5\n", "tMin "), 50);
  EXPECT_FALSE(gState.KeyMissing);
  EXPECT_EQ(ParseMaterialPath("bumpMap \"a b.jpg\"\n", "textureMap "), "");
  EXPECT_TRUE(gState.KeyMissing);

  std::vector<std::string> seen;
  SetMaterialMapHook([&](const std::string& path) { seen.push_back(path); });
  Parse("textureMap a.jpg\nbumpMap NO_MAP\n}");
  EXPECT_TRUE(seen.empty());  // MainThumb is off
  gSettings.MainThumb = true;
  Parse("textureMap a.jpg\nbumpMap NO_MAP\n}");
  SetMaterialMapHook(nullptr);
  EXPECT_EQ(seen, (std::vector<std::string>{"a.jpg", "NO_MAP"}));
}

// What a record holds, for comparing two reads of one block.
std::string Fields(const MaterialRec& m) {
  std::string out;
  for (const ColorRec& c : {m.ObjectColor, m.HighlightColor, m.AmbientColor, m.ReflectiveColor})
    out += std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]) + ";";
  out += std::to_string(m.HighlightSize) + ";" + std::to_string(m.TransparencyMin) + ";" +
         std::to_string(m.TransparencyMax) + ";" + std::to_string(m.TransparencyFalloff) + ";";
  out += m.TextureMap + ";" + m.BumpMap + ";" + m.ReflectionMap + ";" + m.TransparencyMap + ";";
  out += m.TextureStrength + ";" + m.BumpStrength + ";" + m.ReflectionStrength + ";";
  for (bool b : {m.KsIgnoreTexture,   m.MultiplyThroughLights,   m.MultiplyThroughKdColor,
                 m.ObjectColorOn,     m.HighlightColorOn,        m.AmbientColorOn,
                 m.ReflectiveColorOn, m.HighlightSizeOn,         m.TransparencyMinOn,
                 m.TransparencyMaxOn, m.TransparencyFalloffOn,   m.TextureMapOn,
                 m.BumpMapOn,         m.ReflectionMapOn,         m.TransparencyMapOn,
                 m.TextureStrengthOn, m.BumpStrengthOn,          m.ReflectionStrengthOn,
                 m.KsIgnoreTextureOn, m.MultiplyThroughLightsOn, m.MultiplyThroughKdColorOn})
    out += b ? "1" : "0";
  return out;
}

// The blocks of one text read through the index of its keys, in order, with
// some read again and some far apart, give what each block gives alone; a
// block of many megabytes (its key lines far apart) yields while its keys
// are looked for.
TEST_F(MaterialParserTest, BlocksReadThroughTheKeyIndexReadAsAlone) {
  const std::vector<std::string> lines = {"KdColor 0.5 0.25 1 1",
                                          "KaColor 0.1 0.2 0.3 1",
                                          "KsColor 1 1 1 1",
                                          "ReflectionColor 0 1 0 1",
                                          "TextureColor 1 1 1 0.4",
                                          "NsExponent 40",
                                          "tMin 0.2",
                                          "tMax 0.8",
                                          "tExpo 0.6",
                                          "bumpStrength 0.5",
                                          "reflectionStrength 0.7",
                                          "ksIgnoreTexture 1",
                                          "reflectThruLights 1",
                                          "reflectThruKd 1",
                                          "textureMap \":T:a.jpg\"",
                                          "bumpMap \":T:b.jpg\"",
                                          "reflectionMap \":T:r.jpg\"",
                                          "transparencyMap \":T:t.jpg\""};
  std::mt19937 random(11);
  std::string text;
  std::vector<std::pair<std::size_t, std::size_t>> blocks;  // offset, size
  for (int b = 0; b < 400; ++b) {
    const std::size_t at = text.size();
    text += "material M" + std::to_string(b) + "\n";
    for (const std::string& line : lines)
      if (random() % 4 == 0) text += line + "\n";
    if (b == 150) text += std::string(9 << 20, 'x') + "\n" + lines[14] + "\n";  // one block of 9 MB
    if (b % 50 == 49) text += std::string(200000, 'y') + "\n";                  // blocks far apart
    text += "}\n";
    blocks.emplace_back(at, text.size() - at);
  }
  std::vector<std::size_t> order;
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    order.push_back(b);
    if (random() % 10 == 0) order.push_back(b - random() % (b + 1));  // one read before
  }
  int yields = 0;
  MaterialKeys keys(text, [&yields] { ++yields; });
  gObjects.assign(1, ObjectRec{});
  gObjects[0].Materials.Edit().assign(2, MaterialRec{});
  for (std::size_t b : order) {
    const std::string_view block = std::string_view(text).substr(blocks[b].first, blocks[b].second);
    gObjects[0].Materials.Edit()[0] = MaterialRec{};
    gObjects[0].Materials.Edit()[1] = MaterialRec{};
    ParseMaterialBlock(block, 0, 0, keys);
    ParseMaterialBlock(std::string(block), 0, 1);
    ASSERT_EQ(Fields(gObjects[0].Materials[0]), Fields(gObjects[0].Materials[1])) << "block " << b;
  }
  EXPECT_GE(yields, 2);
}

// The windowed lower-case search finds what a search of the whole text
// lower-cased finds, from any start, for keys in any case that stand across
// the windows' edges, and yields between windows.
TEST(LowerCaseFinderTest, FindsWhatTheLowerCasedTextHolds) {
  std::mt19937 random(5);
  std::string text;
  const char* spellings[] = {"material ", "MATERIAL ", "Material ", "mAtErIaL ", "materia l", "material"};
  while (text.size() < (std::size_t{5} << 19)) {
    text += spellings[random() % 6];
    text += std::string(random() % 3 == 0 ? random() % 300000 : random() % 40, 'q');
  }
  for (std::size_t edge = std::size_t{1} << 20; edge < text.size(); edge += std::size_t{1} << 20)
    text.replace(edge - 4, 9, "MaTeRiAl ");  // across a window's edge
  const std::string lower = LCase(text);
  int yields = 0;
  LowerCaseFinder finder(text, "material ", [&yields] { ++yields; });
  std::vector<std::size_t> starts = {0, 1, text.size(), text.size() + 1};
  for (std::size_t p = 1; p != 0; p = InStr(p + 1, lower, "material ")) starts.push_back(p);
  for (int i = 0; i < 300; ++i) starts.push_back(random() % (text.size() + 2));
  std::sort(starts.begin(), starts.end());
  for (int pass = 0; pass < 2; ++pass) {  // growing places, then every place again out of order
    for (const std::size_t start : starts)
      ASSERT_EQ(finder.Find(start), InStr(start, lower, "material ")) << "from " << start;
    std::shuffle(starts.begin(), starts.end(), random);
  }
  EXPECT_GE(yields, 2);
  EXPECT_EQ(LowerCaseFinder("", "material ").Find(1), 0u);
}

}  // namespace
}  // namespace vandrel::test
