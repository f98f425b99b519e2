// Reads asked for in other ways than a plain open: an import, and the open
// dialog of each file type.
#include <gtest/gtest.h>

#include "common/text.h"
#include "model/model.h"
#include "open_file_fixture.h"
#include "reader/poser_file_reader.h"

namespace vandrel::test {
namespace {

TEST_F(OpenFileTest, AnImportReadsMaterialsOnlyAndKeepsTheDocument) {
  Open("figure_props.cr2", kCr2, LineEnds::CrLf);
  const std::string name = gState.FileName;
  const std::string notes = gState.FileNotes;
  gActors[0].Name = "BODY:1";
  gImportMode = true;
  OpenFileResult r = Open("materials.pz2", kPz2, LineEnds::Lf);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(gState.FileName, name);
  EXPECT_EQ(gState.FileNotes, notes);
  EXPECT_FALSE(r.setCaption || r.setRequiredVersion || r.enableSave || r.enableSaveAs);
  EXPECT_EQ(gActors[0].Name, "BODY:1");
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(gObjects[0].Materials.size(), 6u);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(r.channelsOff);

  r = Open("hand.hd2", kHd2, LineEnds::Lf);
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.noMaterialData);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "There is no material data in the opened file");
  EXPECT_FALSE(r.selectDefaultTemplate);
}

TEST_F(OpenFileTest, TheOpenDialogOfEachType) {
  FileDialogRequest d = OpenDialogRequest(kHd2);
  EXPECT_EQ(d.title, "Open Hand file");
  EXPECT_EQ(d.defaultExt, "hd2");
  EXPECT_EQ(d.filter,
            "Hand files|*.hd2|Pose files|*.pz2|Camera files|*.cm2|Face files|*.fc2|Light files|*.lt2|All "
            "files|*.*");
  EXPECT_EQ(d.flags, 0x1804);
  EXPECT_EQ(d.left, 200);
  EXPECT_EQ(d.initDir, "");
  EXPECT_EQ(OpenDialogRequest(kCr2).filter, "Characters|*.cr2|All files|*.*");
  EXPECT_EQ(OpenDialogRequest(kHr2).title, "Open Hair file");

  gSettings.HD2 = "none";
  EXPECT_EQ(OpenDialogRequest(kHd2).initDir, "");
  gSettings.HD2 = "/poser/hand";
  EXPECT_EQ(OpenDialogRequest(kHd2).initDir, "/poser/hand");
  RememberOpenFolder(kHd2, "/mine/poses/a.hd2");
  EXPECT_EQ(gState.LastHandFolder, "/mine/poses");
  EXPECT_EQ(OpenDialogRequest(kHd2).initDir, "/mine/poses");
}

}  // namespace
}  // namespace vandrel::test
