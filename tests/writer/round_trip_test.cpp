// A pose file read, written in each format and line end, and read again
// gives the same material table.
#include <gtest/gtest.h>

#include "common/host.h"
#include "reader/poser_file_reader.h"
#include "support/temp_dir.h"
#include "writer/pose_writer.h"
#include "writer/writer_fixtures.h"

namespace vandrel::test {
namespace {

std::vector<ObjectRec> ReadPose(const std::string& path) {
  ResetModel();
  QuietHost host;
  OpenFileOptions options;
  options.fileType = kPz2;
  options.path = path;
  const OpenFileResult result = ReadPoserFile(options, host);
  EXPECT_TRUE(result.ok) << path << ": " << result.errorReport;
  return gObjects;
}

void ExpectSameMaterials(const std::vector<ObjectRec>& a, const std::vector<ObjectRec>& b,
                         const std::string& what) {
  ASSERT_EQ(a.size(), b.size()) << what;
  for (std::size_t g = 0; g < a.size(); ++g) {
    EXPECT_EQ(a[g].Name, b[g].Name) << what;
    ASSERT_EQ(a[g].Materials.size(), b[g].Materials.size()) << what << " " << a[g].Name;
    for (std::size_t i = 0; i < a[g].Materials.size(); ++i) {
      const MaterialRec& x = a[g].Materials[i];
      const MaterialRec& y = b[g].Materials[i];
      const std::string at = what + " " + a[g].Name + "/" + x.Name;
      EXPECT_EQ(x.Name, y.Name) << at;
      EXPECT_EQ(x.ObjectColor, y.ObjectColor) << at;
      EXPECT_EQ(x.HighlightColor, y.HighlightColor) << at;
      EXPECT_EQ(x.AmbientColor, y.AmbientColor) << at;
      EXPECT_EQ(x.ReflectiveColor, y.ReflectiveColor) << at;
      EXPECT_EQ(x.HighlightSize, y.HighlightSize) << at;
      EXPECT_EQ(x.TransparencyMin, y.TransparencyMin) << at;
      EXPECT_EQ(x.TransparencyMax, y.TransparencyMax) << at;
      EXPECT_EQ(x.TransparencyFalloff, y.TransparencyFalloff) << at;
      EXPECT_EQ(x.TextureMap, y.TextureMap) << at;
      EXPECT_EQ(x.BumpMap, y.BumpMap) << at;
      EXPECT_EQ(x.ReflectionMap, y.ReflectionMap) << at;
      EXPECT_EQ(x.TransparencyMap, y.TransparencyMap) << at;
      EXPECT_EQ(x.TextureStrength, y.TextureStrength) << at;
      EXPECT_EQ(x.BumpStrength, y.BumpStrength) << at;
      EXPECT_EQ(x.ReflectionStrength, y.ReflectionStrength) << at;
      EXPECT_EQ(x.KsIgnoreTexture, y.KsIgnoreTexture) << at;
      EXPECT_EQ(x.MultiplyThroughLights, y.MultiplyThroughLights) << at;
      EXPECT_EQ(x.MultiplyThroughKdColor, y.MultiplyThroughKdColor) << at;
      for (int s = 0; s < MaterialRec::kSwitchCount; ++s)
        EXPECT_EQ(x.SwitchOn(s), y.SwitchOn(s)) << at << " switch " << s;
    }
  }
}

TEST(RoundTripTest, MaterialsSurviveBothFormatsAndLineEnds) {
  TempDir dir;
  const std::vector<ObjectRec> first = ReadPose(WriterData("round_trip/input.pz2"));
  ASSERT_EQ(first.size(), 2u);
  ASSERT_EQ(first[0].Materials.size(), 3u);
  EXPECT_EQ(first[0].Materials[0].TextureMap, ":Runtime:textures:My Skin.jpg");
  EXPECT_TRUE(first[0].Materials[0].ReflectionMapOn);
  EXPECT_EQ(first[0].Materials[2].TransparencyFalloff, 2.5f);
  EXPECT_EQ(first[1].Name, "prop ball");

  for (const bool poser5 : {false, true}) {
    for (const bool mac : {false, true}) {
      const std::string what = std::string(poser5 ? "Poser 5" : "Poser 4") + (mac ? " CR" : " CR LF");
      ReadPose(WriterData("round_trip/input.pz2"));
      PoseWriteOptions o = OptionsFor(dir.file("out.pz2"));
      o.Poser5 = poser5;
      o.MacLineEnds = mac;
      o.NoChannels = true;
      const PoseWriteResult written = WritePoseFile(o);
      ASSERT_EQ(written.Error, "") << what;
      ExpectSameMaterials(first, ReadPose(written.Path), what);
    }
  }
}

}  // namespace
}  // namespace vandrel::test
