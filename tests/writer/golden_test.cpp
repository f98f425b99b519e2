// Whole files written from small documents, compared byte for byte with
// expected files written by hand.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "writer/mtl_writer.h"
#include "writer/pose_writer.h"
#include "writer/writer_fixtures.h"

namespace vandrel::test {
namespace {

void ExpectWrittenAs(const PoseWriteOptions& options, const std::string& golden) {
  const PoseWriteResult result = WritePoseFile(options);
  ASSERT_EQ(result.Error, "");
  const std::string expected = ReadFileBytes(WriterData(golden));
  ASSERT_FALSE(expected.empty()) << golden;
  EXPECT_EQ(FirstDifference(expected, ReadFileBytes(result.Path)), "") << golden;
}

TEST(PoseGoldenTest, Poser4MaterialsWithCrLf) {
  TempDir dir;
  MakeMaterialDocument();
  PoseWriteOptions o = OptionsFor(dir.file("out.pz2"));
  o.NoChannels = true;
  ExpectWrittenAs(o, "p4_crlf/expected.pz2");
}

TEST(PoseGoldenTest, ActorsChannelsAndOwnMaterialsWithLoneCr) {
  TempDir dir;
  MakeActorDocument();
  PoseWriteOptions o = OptionsFor(dir.file("out.pz2"));
  o.MacLineEnds = true;
  o.ThighLength = "0.3728";
  ExpectWrittenAs(o, "actors_cr/expected.pz2");
  // The hair names the file was written with stay in the tables.
  EXPECT_EQ(gObjects[3].Name, "prop figureHair");
  EXPECT_EQ(gActors[3].Name, "figureHair");
  EXPECT_EQ(gObjects[1].Name, "hip:1");
}

TEST(PoseGoldenTest, DontSaveMorphsOrPosesDetachesEveryActorGroup) {
  TempDir dir;
  MakeActorDocument();
  PoseWriteOptions o = OptionsFor(dir.file("out.pz2"));
  o.NoChannels = true;
  o.ThighLength = "0.3728";
  ExpectWrittenAs(o, "actors_no_channels/expected.pz2");
  // Actors are not written, so they keep their names.
  EXPECT_EQ(gActors[3].Name, "FIGUREHAIR");
  EXPECT_EQ(gObjects[3].Name, "prop figureHair");
}

TEST(PoseGoldenTest, DontSaveMaterialsKeepsActorGroupsAndDisableThighLengthDropsIt) {
  TempDir dir;
  MakeActorDocument();
  PoseWriteOptions o = OptionsFor(dir.file("out.pz2"));
  o.NoMaterials = true;
  o.DisableThighLength = true;
  o.ThighLength = "0.3728";
  ExpectWrittenAs(o, "actors_no_materials/expected.pz2");
}

TEST(PoseGoldenTest, Poser5AllFourMaps) {
  TempDir dir;
  MakeAllMapsDocument();
  PoseWriteOptions o = OptionsFor(dir.file("out.pz2"));
  o.Poser5 = true;
  o.NoChannels = true;
  ExpectWrittenAs(o, "p5_all_maps/expected.pz2");
}

TEST(PoseGoldenTest, Poser5BumpKindsNodeNumberingAndBatchRuleWithLoneCr) {
  TempDir dir;
  MakeBumpDocument();
  PoseWriteOptions o = OptionsFor(dir.file("out.pz2"));
  o.Poser5 = true;
  o.NoChannels = true;
  o.MacLineEnds = true;
  o.BatchMode = true;
  ExpectWrittenAs(o, "p5_bumps_batch/expected.pz2");
}

TEST(MtlGoldenTest, ExportIsCrLfWithBareMapNames) {
  TempDir dir;
  MakeMtlDocument();
  const std::string path = dir.file("out.mtl");
  ASSERT_EQ(ExportMtl(path), "");
  EXPECT_EQ(FirstDifference(ReadFileBytes(WriterData("mtl/expected.mtl")), ReadFileBytes(path)), "");
}

}  // namespace
}  // namespace vandrel::test
