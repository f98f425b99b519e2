// Poser 5 shader trees of single materials: which inputs are written and how
// the root node's links and the image-map nodes are numbered.
#include <gtest/gtest.h>

#include <algorithm>

#include "writer/p5_image_maps.h"
#include "writer/p5_shader_tree.h"
#include "writer/writer_fixtures.h"

namespace vandrel::test {
namespace {

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

MaterialFormat Crlf() { return MaterialFormat{}; }

// The link line of a root-node input, or "" when the input is not written.
std::string LinkOf(const std::string& tree, const std::string& input) {
  const std::size_t at = tree.find("nodeInput \"" + input + "\"");
  if (at == std::string::npos) return {};
  const std::string key = "\t\t\t\t\tnode ";
  const std::size_t node = tree.find(key, at) + key.size();
  return tree.substr(node, tree.find('\r', node) - node);
}

TEST(P5ShaderTreeTest, BareMaterialHasFifteenFixedInputsAndNoNodes) {
  const MaterialRec m = BareMaterial("Bare");
  std::string tree;
  int counter = 7;
  ASSERT_EQ(WriteP5ShaderTree(counter, m, Crlf(), tree), "");
  EXPECT_EQ(counter, 1);
  EXPECT_EQ(Lines(tree), 4u + 15u * 9u + 1u);
  EXPECT_EQ(tree.find("node \"Image_Map"), std::string::npos);
  EXPECT_NE(tree.find("\"Gradient_Bump\"\r\n\t\t\t\t\t{\r\n\t\t\t\t\tvalue 1 -1 1\r\n"), std::string::npos);

  std::string nodes;
  ASSERT_EQ(WriteP5ImageMapNodes(counter, m, Crlf(), nodes), "");
  EXPECT_EQ(nodes, "");
  EXPECT_EQ(counter, 1);
}

TEST(P5ShaderTreeTest, HighlightLinksTheTextureOnlyWhenTheTextureIsNotIgnored) {
  MaterialRec m = BareMaterial("M");
  m.TextureMap = "skin.jpg";
  m.TextureMapOn = true;
  m.ReflectionMap = "refl.jpg";
  m.ReflectionMapOn = true;
  for (int variant = 0; variant < 3; ++variant) {
    m.KsIgnoreTextureOn = variant != 0;
    m.KsIgnoreTexture = variant == 2;
    std::string tree;
    int counter = 0;
    ASSERT_EQ(WriteP5ShaderTree(counter, m, Crlf(), tree), "");
    EXPECT_EQ(LinkOf(tree, "Diffuse_Color"), "\"Image_Map\"");
    EXPECT_EQ(LinkOf(tree, "Highlight_Color"), variant == 1 ? "\"Image_Map\"" : "NO_NODE") << variant;
    EXPECT_EQ(LinkOf(tree, "Reflection_Color"), "\"Image_Map_2\"");
    EXPECT_EQ(counter, 3);
  }
}

TEST(P5ShaderTreeTest, AbsentMapsTakeNoNumber) {
  MaterialRec m = BareMaterial("M");
  m.TextureMap = "no_Map";  // switched on, but no map
  m.TextureMapOn = true;
  m.TransparencyMap = "veil.jpg";  // a path, but not saved
  m.ReflectionMap = "";            // saved with an empty path: present
  m.ReflectionMapOn = true;
  m.BumpMap = "b.tif";
  m.BumpMapOn = true;
  m.BumpStrength = "100";  // its switch is off: no value line
  std::string tree;
  int counter = 0;
  ASSERT_EQ(WriteP5ShaderTree(counter, m, Crlf(), tree), "");
  EXPECT_EQ(LinkOf(tree, "Diffuse_Color"), "NO_NODE");
  EXPECT_EQ(LinkOf(tree, "Reflection_Color"), "\"Image_Map\"");
  EXPECT_EQ(LinkOf(tree, "Bump"), "\"Image_Map_2\"");
  EXPECT_NE(tree.find("\"Bump\"\r\n\t\t\t\t\t{\r\n\t\t\t\t\tparmR NO_PARM\r\n"), std::string::npos);
  EXPECT_EQ(counter, 3);

  std::string nodes;
  ASSERT_EQ(WriteP5ImageMapNodes(counter, m, Crlf(), nodes), "");
  EXPECT_EQ(counter, 3);
  EXPECT_NE(
      nodes.find(
          "node \"image_map\" \"Image_Map\"\r\n\t\t\t\t{\r\n\t\t\t\tnodeInput \"Image_Source\"\r\n"
          "\t\t\t\t\t{\r\n\t\t\t\t\tvalue 0 0 0\r\n\t\t\t\t\tparmR NO_PARM\r\n\t\t\t\t\tparmG NO_PARM\r\n"
          "\t\t\t\t\tparmB NO_PARM\r\n\t\t\t\t\tnode NO_NODE\r\n\t\t\t\t\tfile \"\"\r\n"),
      std::string::npos);
  EXPECT_NE(nodes.find("\"Image_Map_2\"\r\n\t\t\t\t{\r\n\t\t\t\tnodeInput \"Image_Source\"\r\n\t\t\t\t\t{\r\n"
                       "\t\t\t\t\tvalue 0 0 0\r\n\t\t\t\t\tparmR NO_PARM\r\n\t\t\t\t\tparmG NO_PARM\r\n"
                       "\t\t\t\t\tparmB NO_PARM\r\n\t\t\t\t\tnode NO_NODE\r\n\t\t\t\t\tfile \"b.tif\"\r\n"),
            std::string::npos);
}

TEST(P5ImageMapTest, FourNodesAndTheTextureStrengthInput) {
  MaterialRec m = BareMaterial("M");
  m.TextureMap = m.TransparencyMap = m.ReflectionMap = m.BumpMap = "x.jpg";
  m.TextureMapOn = m.TransparencyMapOn = m.ReflectionMapOn = m.BumpMapOn = true;
  m.TextureStrength = "100";
  m.TextureStrengthOn = true;
  std::string nodes;
  int counter = 0;
  ASSERT_EQ(WriteP5ImageMapNodes(counter, m, Crlf(), nodes), "");
  EXPECT_EQ(counter, 5);
  EXPECT_EQ(Lines(nodes), 444u);
  EXPECT_EQ(std::count(nodes.begin(), nodes.end(), '\r'), 444);
  EXPECT_NE(nodes.find("\"Image_Map_4\""), std::string::npos);

  m.TextureStrengthOn = false;
  nodes.clear();
  ASSERT_EQ(WriteP5ImageMapNodes(counter, m, Crlf(), nodes), "");
  EXPECT_EQ(Lines(nodes), 435u);
  // The texture node ends with Mirror_V.
  const std::size_t second = nodes.find("node \"image_map\" \"Image_Map_2\"");
  const std::size_t lastInput = nodes.rfind("nodeInput", second);
  EXPECT_EQ(nodes.compare(lastInput, 20, "nodeInput \"Mirror_V\""), 0);
}

TEST(P5ShaderTreeTest, LoneCrEndsEveryLine) {
  MaterialRec m = BareMaterial("M");
  m.TextureMap = "a.jpg";
  m.TextureMapOn = true;
  MaterialFormat cr;
  cr.Eol = kLoneCr;
  std::string text;
  int counter = 0;
  ASSERT_EQ(WriteP5ShaderTree(counter, m, cr, text), "");
  ASSERT_EQ(WriteP5ImageMapNodes(counter, m, cr, text), "");
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_EQ(text.substr(0, 12), "\t\tshaderTree");
  EXPECT_EQ(text.substr(12, 1), "\r");
}

TEST(P5ShaderTreeTest, StrengthThatIsNotANumberIsRefused) {
  MaterialRec m = BareMaterial("Odd");
  m.ReflectionStrength = "lots";
  m.ReflectionStrengthOn = true;
  std::string text;
  int counter = 0;
  const std::string error = WriteP5ShaderTree(counter, m, Crlf(), text);
  EXPECT_NE(error.find("reflection strength"), std::string::npos);
  EXPECT_NE(error.find("Odd"), std::string::npos);
}

}  // namespace
}  // namespace vandrel::test
