#include <gtest/gtest.h>

#include <string>

#include "model/model.h"
#include "reader/actor_switches.h"
#include "reader/channel_reader.h"
#include "reader/channel_test_util.h"
#include "reader/poser_file_reader.h"

namespace vandrel::test {
namespace {

using ActorGroupTest = ChannelTest;

TEST_F(ActorGroupTest, OwnMaterialsOfActorsLightsAndCameras) {
  ChannelHost host;
  LoadMorphsAndPoses(
      "actor BODY:1\n{\ncustomMaterial 2\nmaterial Skin\n{\nKdColor 1 0 0 1\n}\nmaterial Eyes\n{\n}\n}\n"
      "actor hip:1\n{\n}\n"
      "prop ball\n{\ncustomMaterial 1\nmaterial Rubber\n{\n}\n}\n"
      "light Spot\n{\n}\n"
      "camera Cam\n{\ncustomMaterial 1\nmaterial Lens\n{\n}\n}\n",
      host);
  ASSERT_EQ(gActors.size(), 5u);
  ASSERT_EQ(gObjects.size(), 2u);
  EXPECT_EQ(gObjects[0].Name, "BODY:1");
  ASSERT_EQ(gObjects[0].Materials.size(), 2u);
  EXPECT_EQ(gObjects[0].Materials[0].Name, "Skin");
  EXPECT_EQ(gObjects[1].Name, "Cam");
  EXPECT_EQ(gObjects[1].Materials[0].Name, "Lens");
  EXPECT_TRUE(gActorMaterialsFound);
  // Groups at their own index, then the actor without a group; the prop's
  // materials make no group, the light without materials no entry, and
  // neither takes the materials of the block after it.
  EXPECT_EQ(gObjectList, (ObjectList{"actor BODY:1", "camera Cam", "actor hip:1"}));
}

TEST_F(ActorGroupTest, NoOwnMaterialsBeforeTheNextBlockOfTheKind) {
  ChannelHost host;
  LoadMorphsAndPoses("actor a\n{\n}\nactor b\n{\ncustomMaterial 1\nmaterial m\n{\n}\n}\n", host);
  ASSERT_EQ(gObjects.size(), 1u);
  EXPECT_EQ(gObjects[0].Name, "b");
  EXPECT_EQ(gObjectList, (ObjectList{"actor b", "actor a"}));
}

// Where the own group of a light lands when a light file with a figure group
// is opened: the reader moves the channel reader's groups behind the figure's.
TEST_F(ActorGroupTest, LightGroupOfALightFileLandsAfterTheFigure) {
  ChannelHost host;
  OpenFileOptions options;
  options.fileType = 7;
  options.path = ChannelPath("light_own.lt2");
  options.objectPartReader = [&](std::string_view text, Host& h) { ReadObjectPart(text, h); };
  const OpenFileResult r = ReadPoserFile(options, host);
  ASSERT_TRUE(r.ok) << r.errorReport;
  ASSERT_EQ(gActors.size(), 1u);
  EXPECT_EQ(gActors[0].Kind, "light");
  ASSERT_EQ(gObjects.size(), 2u);
  EXPECT_EQ(gObjects[0].Name, "figure");
  EXPECT_EQ(gObjects[1].Name, "Light1");
  EXPECT_EQ(gObjects[1].Materials[0].Name, "Lens");
}

// The object list names the light's group at the same index and counts it
// among the actors' groups, so that the writer puts it inside the light's
// block.
TEST_F(ActorGroupTest, LightGroupOfALightFileStaysInStepWithTheList) {
  ChannelHost host;
  OpenFileOptions options;
  options.fileType = 7;
  options.path = ChannelPath("light_own.lt2");
  options.objectPartReader = [&](std::string_view text, Host& h) { ReadObjectPart(text, h); };
  ASSERT_TRUE(ReadPoserFile(options, host).ok);
  EXPECT_EQ(gObjectList, (ObjectList{"figure", "light Light1"}));
  EXPECT_EQ(FirstActorListIndex(), 1u);
}

// A camera's own group ahead of an actor's in a pose file with a figure and a
// prop: the figure and prop groups come first in the table and in the list,
// and the camera's entry opens the second part.
TEST_F(ActorGroupTest, CameraGroupBeforeAnActorGroupStaysInStepWithTheList) {
  const std::string channel =
      "\tchannels\n\t\t{\n\t\txrot xRotate\n\t\t\t{\n\t\t\tkeys\n\t\t\t\t{\n"
      "\t\t\t\tk  0  5\n\t\t\t\t}\n\t\t\t}\n\t\t}\n";
  const std::string text =
      "{\nversion\n\t{\n\tnumber 4.01\n\t}\n"
      "camera Cam\n\t{\n" +
      channel +
      "\tcustomMaterial 1\n\tmaterial Lens\n\t\t{\n\t\tKdColor 0 0 1 1\n\t\t}\n\t}\n"
      "actor BODY:1\n\t{\n" +
      channel +
      "\tcustomMaterial 1\n\tmaterial Skin\n\t\t{\n\t\tKdColor 1 0 0 1\n\t\t}\n\t}\n"
      "actor hip:1\n\t{\n" +
      channel +
      "\t}\n"
      "figure\n\t{\n\tmaterial Body\n\t\t{\n\t\tKdColor 1 1 1 1\n\t\t}\n\t}\n"
      "prop ball\n\t{\n\tmaterial Rubber\n\t\t{\n\t\tKdColor 0 1 0 1\n\t\t}\n\t}\n"
      "}\n";
  TempDir dir;
  ChannelHost host;
  OpenFileOptions options;
  options.fileType = kPz2;
  options.path = dir.write("camera_first.pz2", text);
  options.objectPartReader = [&](std::string_view t, Host& h) { ReadObjectPart(t, h); };
  const OpenFileResult r = ReadPoserFile(options, host);
  ASSERT_TRUE(r.ok) << r.errorReport;
  EXPECT_EQ(gObjectList, (ObjectList{"figure", "prop ball", "camera Cam", "actor BODY:1", "actor hip:1"}));
  EXPECT_EQ(FirstActorListIndex(), 2u);
  ASSERT_EQ(gObjects.size(), 4u);
  const char* const names[] = {"figure", "prop ball", "Cam", "BODY:1"};
  const char* const materials[] = {"Body", "Rubber", "Lens", "Skin"};
  for (std::size_t g = 0; g < 4; ++g) {
    EXPECT_EQ(gObjects[g].Name, names[g]);
    ASSERT_EQ(gObjects[g].Materials.size(), 1u) << names[g];
    EXPECT_EQ(gObjects[g].Materials[0].Name, materials[g]);
  }
}

}  // namespace
}  // namespace vandrel::test
