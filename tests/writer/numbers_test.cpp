// Numbers in pose and .mtl files: six decimals with ties to even, the forms
// strengths may be typed in, and a decimal point under a decimal-comma locale.
#include <gtest/gtest.h>

#include <clocale>

#include "support/temp_dir.h"
#include "writer/mtl_writer.h"
#include "writer/p4_materials.h"
#include "writer/pose_writer.h"
#include "writer/write_format.h"
#include "writer/writer_fixtures.h"

namespace vandrel::test {
namespace {

// The TextureColor line of a material whose texture strength is `text`.
std::string TextureColorLine(const std::string& text) {
  MaterialRec m = BareMaterial("M");
  m.TextureStrength = text;
  m.TextureStrengthOn = true;
  std::string out;
  const std::string error = WriteP4Material(m, MaterialFormat{}, out);
  if (!error.empty()) return "error: " + error;
  const std::size_t at = out.find("TextureColor");
  return out.substr(at, out.find('\r', at) - at);
}

TEST(WriterNumbersTest, SixDecimalsWithTiesToEven) {
  EXPECT_EQ(TextureColorLine("12.34565"), "TextureColor 1 1 1 0.123456");
  EXPECT_EQ(TextureColorLine("25.00005"), "TextureColor 1 1 1 0.25");
  EXPECT_EQ(TextureColorLine("50.00015"), "TextureColor 1 1 1 0.500002");
  EXPECT_EQ(TextureColorLine("33.3333333"), "TextureColor 1 1 1 0.333333");
  EXPECT_EQ(ColorFraction(128), "0.501961");
  EXPECT_EQ(ColorFraction(1), "0.003922");
  EXPECT_EQ(ColorFraction(300), "1.176471");  // values above 255 are written as held
  EXPECT_EQ(ColorFraction(-51), "-0.2");
}

TEST(WriterNumbersTest, StrengthTextForms) {
  EXPECT_EQ(TextureColorLine(" 80 "), "TextureColor 1 1 1 0.8");
  EXPECT_EQ(TextureColorLine("7,5"), "TextureColor 1 1 1 0.075");
  EXPECT_EQ(TextureColorLine("+150"), "TextureColor 1 1 1 1.5");
  EXPECT_EQ(TextureColorLine("-1000"), "TextureColor 1 1 1 -10");
  EXPECT_EQ(TextureColorLine("0"), "TextureColor 1 1 1 0");
  for (const char* bad : {"", "abc", "12abc", "1 2", "++1", "+-1", "nan", "inf"})
    EXPECT_EQ(TextureColorLine(bad).substr(0, 7), "error: ") << bad;
}

TEST(WriterNumbersTest, FalloffAndChannelValuesKeepTheirPrecision) {
  MaterialRec m = BareMaterial("M");
  m.TransparencyFalloff = 0.35f;
  m.TransparencyFalloffOn = true;
  std::string out;
  ASSERT_EQ(WriteP4Material(m, MaterialFormat{}, out), "");
  EXPECT_NE(out.find("\t\ttExpo 0.35\r\n"), std::string::npos);

  ResetModel();
  ActorRec a;
  a.Kind = "actor";
  a.Name = "BODY:1";
  a.Dials = {Dial("d", "", "valueParm", 0.123456789012345678, 0, false, false, true)};
  gActors = {a};
  std::string bytes;
  PoseWriteOptions o;
  o.NoMaterials = true;
  o.DisableThighLength = true;
  ASSERT_EQ(BuildPoseFile(o, bytes), "");
  EXPECT_NE(bytes.find("k  0  0.123456789012346\r\n"), std::string::npos);
}

class DecimalCommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
      GTEST_SKIP() << "no de_DE locale on this machine";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(DecimalCommaLocale, WholeFilesStillCarryDecimalPoints) {
  TempDir dir;
  MakeMaterialDocument();
  PoseWriteOptions o = OptionsFor(dir.file("p4.pz2"));
  o.NoChannels = true;
  ASSERT_EQ(WritePoseFile(o).Error, "");
  EXPECT_EQ(FirstDifference(ReadFileBytes(WriterData("p4_crlf/expected.pz2")), ReadFileBytes(o.OutputPath)),
            "");

  MakeActorDocument();
  o = OptionsFor(dir.file("actors.pz2"));
  o.MacLineEnds = true;
  o.ThighLength = "0.3728";
  ASSERT_EQ(WritePoseFile(o).Error, "");
  EXPECT_EQ(FirstDifference(ReadFileBytes(WriterData("actors_cr/expected.pz2")), ReadFileBytes(o.OutputPath)),
            "");

  MakeAllMapsDocument();
  o = OptionsFor(dir.file("p5.pz2"));
  o.Poser5 = true;
  o.NoChannels = true;
  ASSERT_EQ(WritePoseFile(o).Error, "");
  EXPECT_EQ(
      FirstDifference(ReadFileBytes(WriterData("p5_all_maps/expected.pz2")), ReadFileBytes(o.OutputPath)),
      "");

  MakeMtlDocument();
  EXPECT_EQ(FirstDifference(ReadFileBytes(WriterData("mtl/expected.mtl")), BuildMtlFile()), "");

  EXPECT_EQ(TextureColorLine("7,5"), "TextureColor 1 1 1 0.075");
}

}  // namespace
}  // namespace vandrel::test
