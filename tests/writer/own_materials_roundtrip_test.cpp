// Light and camera files whose light or camera carries its own materials,
// read with their channels, written back in both formats and read again: the
// customMaterial group stays inside the block of its light or camera, and the
// material table and the object list stay in step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/host.h"
#include "common/text.h"
#include "model/model.h"
#include "reader/channel_reader.h"
#include "reader/poser_file_reader.h"
#include "support/temp_dir.h"
#include "writer/pose_writer.h"
#include "writer/writer_fixtures.h"

namespace vandrel::test {
namespace {

struct Case {
  const char* file;  // under tests/data/channels/
  int fileType;
  const char* entry;  // the object-list entry of the own group
  const char* name;   // the group's name
  std::vector<std::string> materials;
};

const Case kCases[] = {
    {"light_own.lt2", kLt2, "light Light1", "Light1", {"Lens"}},
    {"camera_own.cm2", kCm2, "camera MAIN_CAMERA", "MAIN_CAMERA", {"Lens", "Housing"}},
};

bool Read(const std::string& path, int fileType) {
  ResetModel();
  QuietHost host;
  OpenFileOptions options;
  options.fileType = fileType;
  options.path = path;
  options.objectPartReader = [](std::string_view text, Host& h) { ReadObjectPart(text, h); };
  const OpenFileResult r = ReadPoserFile(options, host);
  EXPECT_TRUE(r.ok) << path << ": " << r.errorReport;
  return r.ok;
}

// Table and list in step: the figure group first, then the own group under
// its light or camera entry.
void ExpectInStep(const Case& c, const std::string& what) {
  ASSERT_EQ(gObjects.size(), 2u) << what;
  EXPECT_EQ(gObjectList, (ObjectList{"figure", c.entry})) << what;
  EXPECT_EQ(FirstActorListIndex(), 1u) << what;
  EXPECT_EQ(gObjects[0].Name, "figure") << what;
  ASSERT_EQ(gObjects[0].Materials.size(), 1u) << what;
  EXPECT_EQ(gObjects[0].Materials[0].Name, "Skin") << what;
  EXPECT_EQ(gObjects[1].Name, c.name) << what;
  std::vector<std::string> names;
  for (const MaterialRec& m : gObjects[1].Materials) names.push_back(m.Name.str());
  EXPECT_EQ(names, c.materials) << what;
}

// The lines of `text` (either line end) from the top-level line `header` up
// to the next top-level line, which ends the block; "" when there is none.
std::string TopLevelBlock(const std::string& text, const std::string& header) {
  std::string lf = Replace(text, "\r\n", "\n");
  for (char& ch : lf)
    if (ch == '\r') ch = '\n';
  const std::size_t at = lf.find("\n" + header + "\n");
  if (at == std::string::npos) return {};
  std::size_t end = at + header.size() + 2;
  while (end < lf.size() && lf[end] == '\t') end = lf.find('\n', end) + 1;
  return lf.substr(at + 1, end - at - 1);
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

TEST(OwnMaterialsRoundTrip, LightAndCameraGroupsStayInsideTheirBlocks) {
  TempDir dir;
  for (const Case& c : kCases) {
    for (const bool poser5 : {false, true}) {
      for (const bool noChannels : {false, true}) {
        const std::string what = std::string(c.file) + (poser5 ? " Poser 5" : " Poser 4") +
                                 (noChannels ? " without channels" : " with channels");
        if (!Read(std::string(VANDREL_TEST_DATA) + "/channels/" + c.file, c.fileType)) continue;
        ExpectInStep(c, what + " (read)");

        PoseWriteOptions o = OptionsFor(dir.file("out.pz2"));
        o.Poser5 = poser5;
        o.NoChannels = noChannels;
        o.DisableThighLength = true;
        const PoseWriteResult written = WritePoseFile(o);
        ASSERT_EQ(written.Error, "") << what;
        const std::string bytes = ReadFileBytes(written.Path);

        // The one customMaterial line stands in the block headed by the
        // light or camera (its full block, or a block of its own when no
        // channels are saved), never in a figure or prop block.
        const std::string block = TopLevelBlock(bytes, c.entry);
        const std::string count = "\tcustomMaterial " + std::to_string(c.materials.size()) + "\n";
        EXPECT_EQ(Count(bytes, "customMaterial"), 1u) << what << "\n" << bytes;
        EXPECT_NE(block.find(count), std::string::npos) << what << "\n" << bytes;
        for (const std::string& m : c.materials)
          EXPECT_NE(block.find("\tmaterial " + m + "\n"), std::string::npos) << what << " " << m;
        EXPECT_EQ(TopLevelBlock(bytes, c.name), "") << what;
        EXPECT_EQ(TopLevelBlock(bytes, std::string("actor ") + c.name), "") << what;
        EXPECT_EQ(TopLevelBlock(bytes, "figure").find("customMaterial"), std::string::npos) << what;
        if (!noChannels) {
          EXPECT_NE(block.find("\tchannels\n"), std::string::npos) << what;
        }

        if (!Read(written.Path, kPz2)) continue;
        ExpectInStep(c, what + " (read back)");
      }
    }
  }
}

}  // namespace
}  // namespace vandrel::test
