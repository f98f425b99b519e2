// The pose writer's paths, failures, state changes and the table rules that
// the whole-file cases do not show.
#include "writer/pose_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "support/temp_dir.h"
#include "writer/writer_fixtures.h"

namespace vandrel::test {
namespace {

std::string Build(const PoseWriteOptions& o) {
  std::string bytes;
  EXPECT_EQ(BuildPoseFile(o, bytes), "");
  return bytes;
}

TEST(PoseWriterTest, BlankOutputPathTakesTheGivenPath) {
  TempDir dir;
  MakeMaterialDocument();
  PoseWriteOptions o = OptionsFor("   ");
  o.GivenPath = dir.file("beside.pz2");
  o.NoChannels = true;
  const PoseWriteResult r = WritePoseFile(o);
  EXPECT_EQ(r.Error, "");
  EXPECT_EQ(r.Path, dir.file("beside.pz2"));
  EXPECT_EQ(ReadFileBytes(r.Path), Build(o));

  // A named output path wins over the given one.
  o.OutputPath = dir.file("named.pz2");
  EXPECT_EQ(PoseOutputPath(o), dir.file("named.pz2"));
}

TEST(PoseWriterTest, NoPathAtAllIsAnErrorAndWritesNothing) {
  MakeMaterialDocument();
  gState.Dirty = true;
  PoseWriteOptions o = OptionsFor("  ");
  o.GivenPath = " ";
  const PoseWriteResult r = WritePoseFile(o);
  EXPECT_NE(r.Error, "");
  EXPECT_TRUE(gState.Dirty);
}

TEST(PoseWriterTest, SuccessReplacesTheFileAndMarksTheDocumentSavedAsAPose) {
  TempDir dir;
  MakeMaterialDocument();
  const std::string path = dir.write("out.pz2", std::string(5000, 'x'));
  gState.Dirty = true;
  gState.FileType = kCr2;
  PoseWriteOptions o = OptionsFor(path);
  o.NoChannels = true;
  ASSERT_EQ(WritePoseFile(o).Error, "");
  EXPECT_EQ(ReadFileBytes(path), Build(o));
  EXPECT_FALSE(gState.Dirty);
  EXPECT_EQ(gState.FileType, kPz2);
}

TEST(PoseWriterTest, FailedWriteLeavesFileTablesAndStateAlone) {
  TempDir dir;
  MakeActorDocument();
  const std::string path = dir.write("old.pz2", "old contents\r\n");
  gObjects[0].Materials.Edit()[0].BumpStrength = "strong";
  gObjects[0].Materials.Edit()[0].BumpStrengthOn = true;
  gState.Dirty = true;
  gState.FileType = kCr2;
  PoseWriteOptions o = OptionsFor(path);
  const PoseWriteResult r = WritePoseFile(o);
  EXPECT_NE(r.Error.find("\"strong\""), std::string::npos) << r.Error;
  EXPECT_NE(r.Error.find("Skin"), std::string::npos) << r.Error;
  EXPECT_EQ(ReadFileBytes(path), "old contents\r\n");
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(gState.FileType, kCr2);
  EXPECT_EQ(gObjects[3].Name, "prop FigureHAIR_long");
  EXPECT_EQ(gActors[3].Name, "FIGUREHAIR");

  // A file that cannot be created is reported the same way.
  gObjects[0].Materials.Edit()[0].BumpStrengthOn = false;
  EXPECT_NE(WritePoseFile(OptionsFor(dir.path())).Error, "");
  EXPECT_NE(WritePoseFile(OptionsFor(dir.file("missing/out.pz2"))).Error, "");
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(gState.FileType, kCr2);
}

// A pose of several megabytes goes to the file a piece at a time: written
// whole it matches the built text, and a failure after pieces went out (a
// material written last) keeps the old file and leaves no temporary one.
TEST(PoseWriterTest, ALargePoseIsStreamedAndAFailureLateInItKeepsTheOldFile) {
  TempDir dir;
  MakeActorDocument();
  DialRec d;
  d.ChannelType = "targetGeom";
  d.ExtName = "Morph x";
  d.ExtNameOn = d.HiddenOn = d.ValueOn = true;
  d.Hidden = 1;
  d.Value = 0.25;
  for (int i = 0; i < 40000; ++i) {
    d.Name = "Morph" + std::to_string(i);
    gActors[0].Dials.push_back(d);
  }
  const std::string path = dir.write("old.pz2", "old contents\r\n");
  const PoseWriteOptions o = OptionsFor(path);
  gObjects[0].Materials.Edit()[0].BumpStrength = "strong";
  gObjects[0].Materials.Edit()[0].BumpStrengthOn = true;
  EXPECT_NE(WritePoseFile(o).Error, "");
  EXPECT_EQ(ReadFileBytes(path), "old contents\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  gObjects[0].Materials.Edit()[0].BumpStrengthOn = false;
  const std::string expected = Build(o);
  ASSERT_GT(expected.size(), std::size_t{3} << 20);
  ASSERT_EQ(WritePoseFile(o).Error, "");
  EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(PoseWriterTest, EmptyTablesGiveOnlyTheFrame) {
  ResetModel();
  PoseWriteOptions o = OptionsFor("x");
  o.ThighLength = "no number";
  EXPECT_EQ(Build(o), "{\r\nversion\r\n\t{\r\n\tnumber \r\n\t}\r\nthighLength 0\r\n}\r\n");
}

TEST(PoseWriterTest, ThighLengthTakesTheLeadingNumber) {
  ResetModel();
  PoseWriteOptions o = OptionsFor("x");
  o.NoMaterials = true;
  o.ThighLength = " 1.5 cm";
  EXPECT_NE(Build(o).find("\r\nthighLength 1.5\r\n"), std::string::npos);
  o.ThighLength = "-0.25";
  EXPECT_NE(Build(o).find("\r\nthighLength -0.25\r\n"), std::string::npos);
}

TEST(PoseWriterTest, HairNamesInTheFigurePartAreWrittenButNotStored) {
  MakeMaterialDocument();
  gObjects[1].Name = "Prop FigureHair_2";
  PoseWriteOptions o = OptionsFor("x");
  o.NoChannels = true;
  const std::string text = Build(o);
  EXPECT_NE(text.find("\r\nprop figureHair\r\n\t{\r\n\tmaterial Rubber"), std::string::npos);
  EXPECT_NE(text.find("\r\nfigure\r\n"), std::string::npos);

  // In a hair file every figure and prop group is the hair prop.
  gIsHairFile = true;
  const std::string hair = Build(o);
  EXPECT_EQ(hair.find("\r\nfigure\r\n"), std::string::npos);
  EXPECT_NE(hair.find("\r\nprop figureHair\r\n\t{\r\n\tmaterial Skin"), std::string::npos);
  EXPECT_EQ(gObjects[0].Name, "figure");
  EXPECT_EQ(gObjects[1].Name, "Prop FigureHair_2");
}

TEST(PoseWriterTest, GroupOfARenamedHairActorStaysInsideItsBlock) {
  MakeActorDocument();
  gObjects.push_back(ObjectRec{"FIGUREHAIR", {BareMaterial("Strand")}});
  gObjectList.push_back("actor FIGUREHAIR");
  PoseWriteOptions o = OptionsFor("x");
  const std::string text = Build(o);
  EXPECT_NE(text.find("prop figureHair\r\n\t{\r\n\tchannels\r\n\t\t{\r\n\t\t}\r\n\tcustomMaterial "
                      "1\r\n\tmaterial Strand\r\n"),
            std::string::npos);
  EXPECT_EQ(text.find("actor FIGUREHAIR"), std::string::npos);
}

TEST(PoseWriterTest, ActorPartStartsAtTheFirstActorEntryWithinTheTable) {
  MakeMaterialDocument();
  // More "actor " entries in the list than groups in the table: all groups
  // stand before the first one and are figure and prop groups.
  gObjectList.push_back("actor BODY:1");
  PoseWriteOptions o = OptionsFor("x");
  o.NoChannels = true;
  const std::string text = Build(o);
  EXPECT_EQ(text.find("customMaterial"), std::string::npos);
  EXPECT_NE(text.find("\r\nprop ball\r\n\t{\r\n"), std::string::npos);
}

TEST(PoseWriterTest, LightAndCameraGroupsGoOnlyToABlockOfTheirKind) {
  MakeActorDocument();
  // A body part and a light share the name Lamp; the light's group belongs
  // to the light alone. The camera of the group "Gone" is not in the file.
  ActorRec part;
  part.Kind = "actor";
  part.Name = "Lamp";
  ActorRec light = part;
  light.Kind = "light";
  gActors.push_back(part);
  gActors.push_back(light);
  gObjects.push_back(ObjectRec{"Lamp", {BareMaterial("Bulb")}});
  gObjects.push_back(ObjectRec{"Gone", {BareMaterial("Lost")}});
  gObjectList.push_back("light Lamp");
  gObjectList.push_back("camera Gone");
  PoseWriteOptions o = OptionsFor("x");

  std::string text = Build(o);
  const std::size_t partAt = text.find("\r\nactor Lamp\r\n");
  const std::size_t lightAt = text.find("\r\nlight Lamp\r\n");
  ASSERT_NE(partAt, std::string::npos);
  ASSERT_NE(lightAt, std::string::npos);
  EXPECT_EQ(text.substr(partAt, lightAt - partAt).find("customMaterial"), std::string::npos);
  const std::string lightBlock = text.substr(lightAt, text.find("\r\n\t}\r\n", lightAt) - lightAt);
  EXPECT_NE(lightBlock.find("\tcustomMaterial 1\r\n\tmaterial Bulb\r\n"), std::string::npos);
  EXPECT_EQ(text.find("material Bulb", lightAt + lightBlock.size()), std::string::npos);
  // A group whose light or camera is missing keeps its kind in its own block.
  const std::size_t goneAt = text.find("\r\ncamera Gone\r\n\t{\r\n\tcustomMaterial 1\r\n\tmaterial Lost\r\n");
  ASSERT_NE(goneAt, std::string::npos);
  EXPECT_LT(goneAt, text.find("thighLength"));
  EXPECT_EQ(text.find("actor Gone"), std::string::npos);

  // Without morphs and poses every such group is a block of its own, headed
  // by its light or camera; an actor's group keeps its "actor " header.
  o.NoChannels = true;
  text = Build(o);
  EXPECT_NE(text.find("\r\nlight Lamp\r\n\t{\r\n\tcustomMaterial 1\r\n\tmaterial Bulb\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\ncamera Gone\r\n\t{\r\n\tcustomMaterial 1\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nactor hip:1\r\n\t{\r\n\tcustomMaterial 1\r\n"), std::string::npos);
  EXPECT_EQ(text.find("actor Lamp"), std::string::npos);
}

}  // namespace
}  // namespace vandrel::test
