#include <gtest/gtest.h>

#include "platform/dialog_filter.h"
#include "platform/scripted_ui.h"

namespace vandrel {
namespace {

TEST(ScriptedUi, AnswersInOrderRecordsEveryRequestAndDefaultsTheRest) {
  ScopedScriptedUi ui;
  ui->AnswerMessage(MsgResult::No);
  ui->AnswerOpen("/lib/a.pz2");
  ui->CancelFileDialog();
  ui->AnswerInput("name");

  EXPECT_EQ(Ui().MessageBox("Save?", "Vandrel", MsgButtons::YesNoCancel, MsgIcon::Question), MsgResult::No);
  // Unscripted questions take their first button.
  EXPECT_EQ(Ui().MessageBox("Again?", "Vandrel", MsgButtons::YesNo, MsgIcon::Question), MsgResult::Yes);
  EXPECT_EQ(Ui().MessageBox("Done", "Vandrel", MsgButtons::OK, MsgIcon::Information), MsgResult::OK);
  EXPECT_EQ(ui->unscripted(), 2);

  FileDialogRequest open;
  open.title = "Open Pose file";
  open.filter = "Pose files|*.pz2|All files|*.*";
  open.initDir = "/lib";
  FileDialogResult r = Ui().ShowOpen(open);
  EXPECT_FALSE(r.cancelled);
  EXPECT_EQ(r.path, "/lib/a.pz2");
  EXPECT_TRUE(Ui().ShowSave(open).cancelled);
  EXPECT_TRUE(Ui().ShowOpen(open).cancelled);  // nothing scripted: cancelled

  EXPECT_EQ(Ui().InputBox("Name?", "New", "x"), std::optional<std::string>("name"));
  EXPECT_EQ(Ui().InputBox("Name?", "New", "x"), std::nullopt);
  EXPECT_EQ(Ui().ChooseColor({1, 2, 3}), std::nullopt);
  EXPECT_EQ(Ui().ShellOpen("/doc.htm"), ShellResult::Opened);
  ui->FailStart();
  EXPECT_FALSE(Ui().StartProgram("/poser/Poser.exe", {}, "/poser"));

  const auto& all = ui->requests();
  ASSERT_EQ(all.size(), 11u);
  EXPECT_EQ(all[0].text, "Save?");
  EXPECT_EQ(all[0].buttons, MsgButtons::YesNoCancel);
  EXPECT_EQ(all[3].dialog.filter, "Pose files|*.pz2|All files|*.*");
  EXPECT_EQ(all[3].dialog.initDir, "/lib");
  EXPECT_EQ(all[4].kind, UiRequest::Save);
  EXPECT_EQ(all[6].defaultText, "x");
  EXPECT_EQ((all[8].color), (Rgb{1, 2, 3}));
  EXPECT_EQ(all[10].workingFolder, "/poser");
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).size(), 3u);
}

TEST(ScriptedUi, TheDefaultInstanceNeverBlocks) {
  EXPECT_EQ(Ui().MessageBox("?", "t", MsgButtons::YesNo, MsgIcon::None), MsgResult::Yes);
  EXPECT_TRUE(Ui().ShowOpen({}).cancelled);
}

TEST(DialogFilter, ConvertsToQtFormAndAddsUpperCase) {
  EXPECT_EQ(QtFilterOf("Pose files|*.pz2|All files|*.*"), "Pose files (*.pz2 *.PZ2);;All files (*)");
  EXPECT_EQ(QtFilterOf("Pictures|*.jpg;*.bmp"), "Pictures (*.jpg *.JPG *.bmp *.BMP)");
  EXPECT_EQ(QtFilterOf(""), "");
  EXPECT_EQ(QtFilterEntry("Pose files|*.pz2|All files|*.*", 2), "All files (*)");
  EXPECT_EQ(QtFilterEntry("Pose files|*.pz2", 3), "");
}

}  // namespace
}  // namespace vandrel
