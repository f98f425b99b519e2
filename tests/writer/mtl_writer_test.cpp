// The .mtl export beyond the whole-file case.
#include "writer/mtl_writer.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "writer/writer_fixtures.h"

namespace vandrel::test {
namespace {

TEST(MtlWriterTest, MapFileNameOfEveryPathForm) {
  EXPECT_EQ(MapFileName("C:\\Poser\\Runtime\\textures\\My Skin.jpg"), "My Skin.jpg");
  EXPECT_EQ(MapFileName(":Runtime:textures:skin.jpg"), "skin.jpg");
  EXPECT_EQ(MapFileName("C:skin.jpg"), "skin.jpg");
  EXPECT_EQ(MapFileName("/home/user/textures/skin.tif"), "skin.tif");
  EXPECT_EQ(MapFileName("skin.jpg"), "skin.jpg");
  EXPECT_EQ(MapFileName("textures\\"), "");
}

TEST(MtlWriterTest, OneGroupAtATimeAndAnEmptyTable) {
  MakeMtlDocument();
  std::string out;
  WriteMtl(1, out);
  EXPECT_EQ(out, "newmtl Skin\r\nKd 0.501961 0.066667 0\r\nmap_Bump ball.jpg\r\n");

  ResetModel();
  EXPECT_EQ(BuildMtlFile(), "");
}

TEST(MtlWriterTest, FailedExportReportsAndLeavesTheOldFile) {
  TempDir dir;
  MakeMtlDocument();
  EXPECT_NE(ExportMtl(dir.file("missing/out.mtl")), "");
  EXPECT_NE(ExportMtl(dir.path()), "");
  const std::string path = dir.write("old.mtl", "newmtl Old\r\n");
  ASSERT_EQ(ExportMtl(path), "");
  EXPECT_EQ(ReadFileBytes(path), BuildMtlFile());
}

}  // namespace
}  // namespace vandrel::test
