#include "platform/cdlg_ex.h"

#include <gtest/gtest.h>

#include "platform/dialog_preview.h"
#include "platform/program_folder.h"
#include "platform/scripted_ui.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

// A scripted UI that also notes the working thumbnail list while the open
// dialog is up, and adds a thumbnail as browsing would.
class BrowsingUi : public ScriptedUi {
 public:
  FileDialogResult ShowOpen(const FileDialogRequest& request) override {
    seenCount = gWorkingThumbnails.Count();
    seenNa = gWorkingThumbnails.Contains("NA");
    gWorkingThumbnails.Add("/lib/browsed.png", ThumbPicture{1, 1, {7u}});
    return ScriptedUi::ShowOpen(request);
  }
  std::size_t seenCount = 0;
  bool seenNa = false;
};

class CdlgExTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gDlg = CdlgEx();
    gWorkingThumbnails.Clear();
    previous_ = SetUi(&ui);
    SetProgramFolder(program.path());
  }
  void TearDown() override {
    SetUi(previous_);
    SetProgramFolder("");
    gDlg = CdlgEx();
  }
  // What the readers set before their open dialog.
  void PrepareAsReader() {
    gDlg.FileName = "";
    gDlg.DialogTitle = "Open Character file";
    gDlg.DefaultExt = "cr2";
    gDlg.Filter = "Characters|*.cr2|All files|*.*";
    gDlg.InitDir = "/runtime/libraries/character";
    gDlg.flags = kOfnOpenDefault;
    gDlg.CancelError = true;
    gDlg.Left = 200;
    gDlg.Top = 200;
    gDlg.PreviewOn = true;
  }
  const FileDialogRequest& lastRequest() const { return ui.requests().back().dialog; }

  test::TempDir program;
  BrowsingUi ui;
  UiServices* previous_ = nullptr;
};

TEST_F(CdlgExTest, OpenShowsTheReadersDialogAndTakesTheChoice) {
  PrepareAsReader();
  ui.AnswerOpen("/runtime/libraries/character/Vicky.cr2");
  EXPECT_FALSE(gDlg.ShowOpen());
  EXPECT_EQ(gDlg.FileName, "/runtime/libraries/character/Vicky.cr2");
  EXPECT_EQ(gDlg.FileTitle, "Vicky.cr2");
  EXPECT_EQ(gDlg.LastResult(), 1);

  ASSERT_EQ(ui.requestsOf(UiRequest::Open).size(), 1u);
  const FileDialogRequest& r = lastRequest();
  EXPECT_EQ(r.title, "Open Character file");
  EXPECT_EQ(r.filter, "Characters|*.cr2|All files|*.*");
  EXPECT_EQ(r.filterIndex, 1);
  EXPECT_EQ(r.initDir, "/runtime/libraries/character");
  EXPECT_EQ(r.fileName, "");
  EXPECT_EQ(r.defaultExt, "cr2");
  // The caller's bits, with the explorer-style dialog and its preview added.
  EXPECT_EQ(r.flags, 0x1804 | 0x80020);
  EXPECT_EQ(gDlg.flags, 0x1804);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 200);
  EXPECT_EQ(r.extraHeight, 100);
  EXPECT_TRUE(r.previewPane);
  EXPECT_TRUE(r.preview);
  EXPECT_EQ(r.okText + r.cancelText + r.helpText, "");
}

TEST_F(CdlgExTest, CancelKeepsTheNamesAndReportsOnlyWithCancelError) {
  PrepareAsReader();
  gDlg.FileName = "/old/Figure.cr2";
  gDlg.FileTitle = "Figure.cr2";
  ui.CancelFileDialog();
  EXPECT_TRUE(gDlg.ShowOpen());
  EXPECT_EQ(gDlg.FileName, "/old/Figure.cr2");
  EXPECT_EQ(gDlg.FileTitle, "Figure.cr2");
  EXPECT_EQ(gDlg.LastResult(), 0);

  gDlg.CancelError = false;
  gDlg.FileName = "";
  ui.CancelFileDialog();
  EXPECT_FALSE(gDlg.ShowOpen());
  EXPECT_EQ(gDlg.FileName, "");
  EXPECT_EQ(gDlg.FileTitle, "Figure.cr2");
}

TEST_F(CdlgExTest, SettingsCarryOverToTheNextDialog) {
  PrepareAsReader();
  gDlg.InitDir = "";
  gDlg.Left = gDlg.Top = 0;
  gDlg.FilterIndex = 2;
  gDlg.PreviewOn = false;
  gDlg.OKText = "Load";
  gDlg.CancelText = "Leave";
  gDlg.HelpText = "Hints";
  gDlg.ShowOpen();
  const FileDialogRequest first = lastRequest();
  // No folder given: the user's home folder.
  EXPECT_EQ(first.initDir, HomeFolder());
  // Both 0: where the system puts it, at its normal size.
  EXPECT_EQ(first.left, -1);
  EXPECT_EQ(first.top, -1);
  EXPECT_EQ(first.extraHeight, 0);
  EXPECT_EQ(first.filterIndex, 2);
  EXPECT_TRUE(first.previewPane);
  EXPECT_FALSE(first.preview);
  EXPECT_EQ(first.okText, "Load");
  EXPECT_EQ(first.cancelText, "Leave");
  EXPECT_EQ(first.helpText, "Hints");

  // Only the title changes; the default extension and the rest stay.
  gDlg.DialogTitle = "Import";
  gDlg.Left = 0;
  gDlg.Top = 40;
  gDlg.ShowOpen();
  EXPECT_EQ(lastRequest().title, "Import");
  EXPECT_EQ(lastRequest().defaultExt, "cr2");
  EXPECT_EQ(lastRequest().okText, "Load");
  EXPECT_EQ(lastRequest().left, 0);
  EXPECT_EQ(lastRequest().top, 40);
}

TEST_F(CdlgExTest, OpenSeedsTheThumbnailListAndEmptiesItAfterwards) {
  PrepareAsReader();
  gWorkingThumbnails.Add("/left/over.png", ThumbPicture{1, 1, {1u}});
  ui.AnswerOpen("/lib/a.cr2");
  gDlg.ShowOpen();
  EXPECT_EQ(ui.seenCount, 1u);
  EXPECT_TRUE(ui.seenNa);
  EXPECT_EQ(gWorkingThumbnails.Count(), 0u);

  ui.CancelFileDialog();
  gDlg.ShowOpen();
  EXPECT_TRUE(ui.seenNa);
  EXPECT_EQ(gWorkingThumbnails.Count(), 0u);
}

TEST_F(CdlgExTest, SaveUsesTheSaveDialogAndLeavesThumbnailsAlone) {
  gDlg.DialogTitle = "Save Pose file as...";
  gDlg.Filter = "Pose files|*.pz2";
  gDlg.DefaultExt = "pz2";
  gDlg.flags = 2054;
  gDlg.PreviewOn = true;
  gWorkingThumbnails.Add("/lib/kept.png", ThumbPicture{1, 1, {1u}});
  ui.AnswerSave("/poses/new.pz2");
  EXPECT_FALSE(gDlg.ShowSave());
  EXPECT_EQ(gDlg.FileName, "/poses/new.pz2");
  EXPECT_EQ(gDlg.FileTitle, "new.pz2");
  ASSERT_EQ(ui.requestsOf(UiRequest::Save).size(), 1u);
  EXPECT_TRUE(ui.requestsOf(UiRequest::Open).empty());
  EXPECT_EQ(lastRequest().flags, 2054 | 0x80020);
  EXPECT_FALSE(lastRequest().previewPane);
  EXPECT_FALSE(lastRequest().preview);
  EXPECT_TRUE(gWorkingThumbnails.Contains("/lib/kept.png"));

  gDlg.CancelError = true;
  EXPECT_TRUE(gDlg.ShowSave());
  EXPECT_EQ(gDlg.FileName, "/poses/new.pz2");
  gWorkingThumbnails.Clear();
}

}  // namespace
}  // namespace vandrel
