// A pose file with actors read by the channel reader, written back by the
// pose writer in both formats and line ends, and read again: every switched-on
// channel value, external name and hidden flag and every actor property
// comes back.
#include <gtest/gtest.h>

#include <string>

#include "common/host.h"
#include "common/text.h"
#include "model/model.h"
#include "reader/channel_reader.h"
#include "support/temp_dir.h"
#include "writer/pose_writer.h"

namespace vandrel::test {
namespace {

std::string Tables() {
  std::string out;
  for (const ActorRec& a : gActors) {
    out += a.Kind + " " + a.Name + " [" + a.Props().ExtName + "] " + std::to_string(a.Props().OnOff) + " " +
           std::to_string(a.Props().Hidden) + " " + std::to_string(a.Props().Locked) + " " +
           a.Props().StorageOffset + "|" + std::to_string(a.Props().GeomResource) + " " +
           std::to_string(a.Props().DepthMapSize) + " " + a.Props().DepthCamera + "|" +
           std::to_string(a.Props().DoShadow) + " " + std::to_string(a.Props().LightOn) + " " +
           a.Props().Port + "|" + a.Props().CameraModel + "|" + std::to_string(a.Props().LightType) + " " +
           a.Props().ObjFileGeom + " ";
    for (bool on : a.PropertyOn) out += on ? '1' : '0';
    out += "\n";
    for (const DialRec& d : a.Dials) {
      // A channel with nothing switched on is written as an empty block,
      // which holds nothing to read back.
      if (!d.ValueOn && !d.ExtNameOn && !d.HiddenOn) continue;
      out += "  " + d.ChannelType + " " + d.Name;
      if (d.ValueOn) out += " v=" + std::to_string(d.Value);
      if (d.ExtNameOn) out += " n=" + d.ExtName;
      if (d.HiddenOn) out += " h=" + std::to_string(d.Hidden);
      out += "\n";
    }
  }
  for (const ObjectRec& g : gObjects) {
    out += "group " + g.Name + ":";
    for (const MaterialRec& m : g.Materials) out += " " + m.Name;
    out += "\n";
  }
  return out;
}

std::string ToLf(std::string text) {
  text = Replace(text, "\r\n", "\n");
  for (char& c : text)
    if (c == '\r') c = '\n';
  return text;
}

TEST(ChannelRoundTrip, ActorsComeBackInBothFormats) {
  const std::string source = ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/channels/figure_pose.pz2");
  QuietHost host;
  for (bool poser5 : {false, true}) {
    for (bool mac : {false, true}) {
      ResetModel();
      const ChannelReadResult read = LoadMorphsAndPoses(source, host);
      const std::string expected = Tables();
      PoseWriteOptions options;
      options.Poser5 = poser5;
      options.MacLineEnds = mac;
      options.NoMaterials = false;
      options.DisableThighLength = read.DisableThighLength;
      options.ThighLength = read.ThighLengthText;
      options.RequiredVersion = "4.01";
      std::string bytes;
      ASSERT_EQ(BuildPoseFile(options, bytes), "");
      ResetModel();
      const ChannelReadResult again = LoadMorphsAndPoses(ToLf(bytes), host);
      EXPECT_EQ(Tables(), expected) << bytes;
      EXPECT_EQ(again.ThighLengthText, "1.25");
    }
  }
}

}  // namespace
}  // namespace vandrel::test
