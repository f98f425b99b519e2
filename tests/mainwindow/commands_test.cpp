// The window's commands, driven through the scripted UI.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>
#include <functional>

#include "common/text.h"
#include "model/channel_edits.h"
#include "platform/files.h"
#include "platform/qt/controls.h"
#include "window_fixture.h"

namespace vandrel::test {
namespace {

// A window whose reading is recorded instead of done.
class RecordingWindow : public FrmMain {
 public:
  struct Open {
    int fileType;
    bool loadProps, fileGiven;
    std::string dialogFile;
  };
  std::vector<Open> opens;
  int channelReads = 0, fileInfos = 0, mapChecks = 0;
  bool cancelOpen = false;
  std::string fileToOpen = "/poses/Chosen.pz2";

  RecordingWindow() {
    CollectFileInfoHook = [this] { ++fileInfos; };
    CheckMapReferencesHook = [this] { ++mapChecks; };
  }
  void OpenFile(const std::string&) override {
    opens.push_back({gState.FileType, gState.LoadProps, gState.FileGiven, SharedDialog().FileName});
    gOpenCancelled = cancelOpen;
    if (!cancelOpen && !gState.FileGiven) SharedDialog().FileName = fileToOpen;
    gState.FileGiven = false;
  }
  void ReadMorphPoseFile(bool, bool useCurrentFile, const std::string&, bool) override {
    EXPECT_TRUE(useCurrentFile);
    ++channelReads;
  }
};

class Commands : public WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    window = std::make_unique<RecordingWindow>();
  }
  RecordingWindow& W() { return static_cast<RecordingWindow&>(*window); }

  // A small document as a read leaves it.
  void Document(const std::string& path, int fileType) {
    window->BeginLoad(path, fileType);
    gObjects.assign(1, ObjectRec{"figure", {MaterialRec{}}});
    gObjects[0].Materials.Edit()[0].Name = "skin";
    gObjects[0].Materials.Edit()[0].ObjectColorOn = true;
    gObjectList = {"figure"};
    gState.RequiredVersion = "4.01";
    window->EndLoad(fileType);
    gState.EventsOn = true;
  }
};

struct OpenRow {
  const char* menu;
  int fileType;
  bool loadProps;
  bool asksWithoutName;  // Character File asks even when no file name came back
};

TEST_F(Commands, OpenCommandsSetTheTypeAndAskForMorphsWhereTheyShould) {
  const OpenRow rows[] = {
      {"mnuOpenPZ2", kPz2, false, false},     {"mnuOpenCM2", kCm2, false, false},
      {"mnuOpenFC2", kFc2, false, false},     {"mnuOpenHD2", kHd2, false, false},
      {"mnuOpenLT2", kLt2, false, false},     {"mnuOpenCR2", kCr2, false, true},
      {"mnuOpenCR2Props", kCr2, true, false}, {"mnuOpenPP2", kPp2, false, false},
      {"mnuOpenHR2", kHr2, false, false},
  };
  for (const OpenRow& r : rows) {
    SetUp();
    const bool figureType = r.fileType == kCr2 || r.fileType == kPp2 || r.fileType == kHr2;
    // A file name came back: the figure types ask, and Yes reads the channels.
    ui->AnswerMessage(MsgResult::Yes);
    Trigger(r.menu);
    ASSERT_EQ(W().opens.size(), 1u) << r.menu;
    EXPECT_EQ(W().opens[0].fileType, r.fileType) << r.menu;
    if (figureType) {
      EXPECT_EQ(W().opens[0].loadProps, r.loadProps) << r.menu;
    }
    const auto asked = ui->requestsOf(UiRequest::Message);
    EXPECT_EQ(asked.size(), figureType ? 1u : 0u) << r.menu;
    if (!asked.empty()) {
      EXPECT_EQ(
          asked[0].text,
          "Do you want to load morph and pose data also?\r\nIt may take a long time with a large file.");
      EXPECT_EQ(asked[0].buttons, MsgButtons::YesNo);
    }
    EXPECT_EQ(W().channelReads, figureType ? 1 : 0) << r.menu;
    EXPECT_EQ(W().fileInfos, 1) << r.menu;
    EXPECT_EQ(W().mapChecks, 1) << r.menu;

    // No file name came back: only Character File asks, and nothing is read.
    SetUp();
    W().fileToOpen = "";
    Trigger(r.menu);
    EXPECT_EQ(ui->requestsOf(UiRequest::Message).size(), r.asksWithoutName ? 1u : 0u) << r.menu;
    EXPECT_EQ(W().channelReads, 0);

    // A cancelled dialog: no question, no statistics, no map check.
    SetUp();
    W().cancelOpen = true;
    Trigger(r.menu);
    EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty()) << r.menu;
    EXPECT_EQ(W().fileInfos + W().mapChecks, 0) << r.menu;
  }
}

TEST_F(Commands, ADroppedFileOpensByItsExtensionAndACharacterFileThroughTheFigureChooser) {
  W().SharedDialog().FileName = "/earlier/Old.pz2";
  window->Form_OLEDragDrop("/poses/Wave.PZ2");
  ASSERT_EQ(W().opens.size(), 1u);
  EXPECT_EQ(W().opens[0].fileType, kPz2);
  EXPECT_TRUE(W().opens[0].fileGiven);
  EXPECT_EQ(W().opens[0].dialogFile, "/poses/Wave.PZ2");
  EXPECT_TRUE(ui->requestsOf(UiRequest::Open).empty());

  window->Form_OLEDragDrop("/poses/Sun.lt2");
  window->Form_OLEDragDrop("/props/Ball.pp2");
  ASSERT_EQ(W().opens.size(), 3u);
  EXPECT_EQ(W().opens[1].fileType, kLt2);
  EXPECT_EQ(W().opens[2].fileType, kPp2);

  // Other extensions change nothing.
  W().SharedDialog().FileName = "/earlier/Old.pz2";
  for (const char* path : {"/notes/readme.txt", "/notes/README", "/x/pz2"}) {
    window->Form_OLEDragDrop(path);
    EXPECT_FALSE(gState.FileGiven) << path;
    EXPECT_EQ(W().SharedDialog().FileName, "/earlier/Old.pz2") << path;
  }
  EXPECT_EQ(W().opens.size(), 3u);

  // A character file goes through the figure chooser, with props.
  int chooser = 0;
  window->SetOtherWindow(OtherWindow::FigureChooser, [&] {
    ++chooser;
    EXPECT_FALSE(gState.FileGiven);
    EXPECT_TRUE(gState.LoadProps);
    EXPECT_EQ(window->SharedDialog().FileName, "/figures/Twins.cr2");
  });
  window->Form_OLEDragDrop("/figures/Twins.cr2");
  EXPECT_EQ(chooser, 1);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Open).empty());

  // From the menu the dialog is shown first: with the preview, the shared
  // dialog at its position.
  gState.LastCharacterFolder = "/figures";
  gSettings.CdlgThumb = true;
  ui->AnswerOpen("/figures/more/Trio.cr2");
  window->SetOtherWindow(OtherWindow::FigureChooser, [&] { ++chooser; });
  Trigger("mnuMultiFigure");
  const auto opens = ui->requestsOf(UiRequest::Open);
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].dialog.title, "Open Character file");
  EXPECT_EQ(opens[0].dialog.filter, "Characters|*.cr2|All files|*.*");
  EXPECT_EQ(opens[0].dialog.flags, 6148 | kOfnPreviewDialog);  // the preview dialog always adds its bits
  EXPECT_EQ(opens[0].dialog.initDir, "/figures");
  EXPECT_EQ(opens[0].dialog.left, 200);
  EXPECT_TRUE(opens[0].dialog.preview);
  EXPECT_EQ(gState.LastCharacterFolder, "/figures/more");
  EXPECT_EQ(chooser, 2);
  // The window's own dialog, cancelled: ends silently. It takes every setting
  // of the shared dialog but its position.
  gSettings.CdlgThumb = false;
  FileDialogRequest& own = window->CommonDialog1;
  own.fileName = own.title = own.defaultExt = own.filter = own.initDir = "stale";
  own.flags = 1;
  own.left = 5;
  Trigger("mnuMultiFigure");
  EXPECT_EQ(chooser, 2);
  ASSERT_EQ(ui->requestsOf(UiRequest::Open).size(), 2u);
  const FileDialogRequest c = ui->requestsOf(UiRequest::Open)[1].dialog;
  EXPECT_FALSE(c.preview);
  EXPECT_EQ(c.fileName, "");
  EXPECT_EQ(c.title, "Open Character file");
  EXPECT_EQ(c.defaultExt, window->SharedDialog().DefaultExt);
  EXPECT_NE(c.defaultExt, "stale");
  EXPECT_EQ(c.filter, "Characters|*.cr2|All files|*.*");
  EXPECT_EQ(c.initDir, "/figures/more");
  EXPECT_EQ(c.flags, 6148);
  EXPECT_EQ(c.left, 5);
}

TEST_F(Commands, SaveAsSaveAndExportWriteTheirFilesAndAFailedSaveAsChangesNothing) {
  // Cancelled, then failing: the document and its old file stay.
  Document("/poses/Old.cr2", kCr2);
  gSettings.Save = "none";
  Trigger("mnuSaveAs");  // cancelled
  EXPECT_EQ(ui->requestsOf(UiRequest::Save)[0].dialog.initDir, "");
  EXPECT_EQ(window->windowTitle(), "Vandrel - [Old.cr2]");
  EXPECT_EQ(window->CommonDialog1.fileName, "/poses/Old.cr2");
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());

  ui->AnswerSave(program.file("missing/folder/New.pz2"));
  Trigger("mnuSaveAs");
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);  // the failure is reported
  EXPECT_EQ(window->windowTitle(), "Vandrel - [Old.cr2]");
  EXPECT_EQ(gState.FileName, "/poses/Old.cr2");
  EXPECT_FALSE(window->mnuSave->isEnabled());

  // Saved: the file is written and becomes the document.
  ui->clear();
  gState.LastSaveFolder = "";
  gSettings.Save = program.path();
  gState.Dirty = true;
  const std::string target = program.file("New.pz2");
  ui->AnswerSave(target);
  Trigger("mnuSaveAs");
  const auto saves = ui->requestsOf(UiRequest::Save);
  ASSERT_EQ(saves.size(), 1u);
  const FileDialogRequest& d = saves[0].dialog;
  EXPECT_EQ(d.title, "Save Pose file as...");
  EXPECT_EQ(d.filter,
            "Pose files|*.pz2|Camera files|*.cm2|Hand files|*.hd2|Face files|*.fc2|Light files|*.lt2|All "
            "files|*.*");
  EXPECT_EQ(d.flags, 2054);
  EXPECT_EQ(d.defaultExt, "pz2");
  EXPECT_EQ(d.fileName, "");
  EXPECT_EQ(d.initDir, program.path());
  EXPECT_TRUE(FileExists(target));
  EXPECT_EQ(window->windowTitle(), "Vandrel - [New.pz2]");
  EXPECT_EQ(gState.FileName, target);
  EXPECT_EQ(gState.LastSaveFolder, program.path());
  EXPECT_TRUE(window->mnuSave->isEnabled());
  EXPECT_FALSE(gState.Dirty);
  EXPECT_EQ(gState.FileType, kPz2);

  // The next Save as starts in the last save folder.
  Trigger("mnuSaveAs");  // cancelled
  EXPECT_EQ(ui->requestsOf(UiRequest::Save)[1].dialog.initDir, program.path());
  EXPECT_EQ(window->CommonDialog1.fileName, target);

  // Save writes a pose file in place; the export asks for its own file and
  // leaves the document.
  ui->clear();
  const std::string pose = program.write("Pose.pz2", "old");
  Document(pose, kPz2);
  gState.Dirty = true;
  Trigger("mnuSave");
  EXPECT_NE(test::ReadFileBytes(pose), "old");
  EXPECT_FALSE(gState.Dirty);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Save).empty());

  const std::string mtl = program.file("Skin.mtl");
  ui->AnswerSave(mtl);
  Trigger("mnuExportMTL");
  const auto exports = ui->requestsOf(UiRequest::Save);
  ASSERT_EQ(exports.size(), 1u);
  EXPECT_EQ(exports[0].dialog.title, "Save material file as...");
  EXPECT_EQ(exports[0].dialog.filter, "Material files|*.mtl|All files|*.*");
  EXPECT_EQ(exports[0].dialog.defaultExt, "mtl");
  EXPECT_EQ(exports[0].dialog.flags, 2054);
  EXPECT_NE(test::ReadFileBytes(mtl).find("newmtl skin"), std::string::npos);
  EXPECT_EQ(window->CommonDialog1.fileName, pose);
  EXPECT_EQ(window->windowTitle(), "Vandrel - [Pose.pz2]");
}

TEST_F(Commands, BatchConverterAsksOnlyWhenSomethingWouldBeSaved) {
  int opened = 0;
  window->SetOtherWindow(OtherWindow::BatchConverter, [&] { ++opened; });
  Trigger("mnuBatchConvert");  // fresh start: both boxes ticked
  EXPECT_EQ(opened, 1);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());

  Document("/poses/A.pz2", kPz2);
  ui->AnswerMessage(MsgResult::No);
  Trigger("mnuBatchConvert");
  EXPECT_EQ(opened, 1);
  ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message)[0].text,
            "Are you sure you want to switch to the batch conversion form\r\nand lose any unsaved work?");
  ui->AnswerMessage(MsgResult::Yes);
  Trigger("mnuBatchConvert");
  EXPECT_EQ(opened, 2);
}

TEST_F(Commands, RunPoserAndTheHelpEntries) {
  gSettings.Poser = program.path() + "/Poser";
  window->mnuPoser->setEnabled(true);
  Trigger("mnuPoser");
  auto messages = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Poser executable could not be found in\r\n" + gSettings.Poser + ".");
  EXPECT_EQ(messages[0].icon, MsgIcon::Exclamation);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Start).empty());

  program.write("Poser/Poser.exe", "MZ");
  Trigger("mnuPoser");
  const auto starts = ui->requestsOf(UiRequest::Start);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].text, gSettings.Poser + "/Poser.exe");

  // The help files beside the program; none stands beside the test program.
  Trigger("mnuReadme");
  Trigger("mnuVHistory");
  Trigger("mnuWebSite");
  EXPECT_TRUE(ui->requestsOf(UiRequest::Shell).empty());
  messages = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[1].text, "File not found:\r\n" + ExecutableFolder() + "/VDLLicense.txt");
  EXPECT_EQ(messages[2].text, "File not found:\r\n" + ExecutableFolder() + "/VHistory.htm");
  EXPECT_EQ(messages[3].text, "File not found:\r\n" + ExecutableFolder() + "/VHelp.htm");
}

// Every "Menu > Entry" the help page names is an entry of that menu.
TEST_F(Commands, TheHelpPageNamesOnlyMenuEntriesThatExist) {
  const std::string page = ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/../../help/VHelp.htm");
  ASSERT_FALSE(page.empty());
  // The entries of a menu and of its submenus, without their "&".
  std::function<void(const QMenu*, QStringList&)> collect = [&collect](const QMenu* menu,
                                                                       QStringList& texts) {
    for (const QAction* a : menu->actions()) {
      texts << a->text().remove('&').trimmed();
      if (a->menu()) collect(a->menu(), texts);
    }
  };
  int named = 0;
  for (std::size_t at = page.find("<b>"); at != std::string::npos; at = page.find("<b>", at + 3)) {
    QString bold = QString::fromStdString(page.substr(at + 3, page.find("</b>", at) - at - 3)).simplified();
    if (!bold.contains(" &gt; ")) continue;
    const QString menuName = bold.section(" &gt; ", 0, 0), entry = bold.section(" &gt; ", 1);
    QStringList entries;
    for (const QAction* top : window->menuBar()->actions())
      if (top->menu() && top->text().remove('&') == menuName) collect(top->menu(), entries);
    EXPECT_TRUE(entries.contains(entry) || entries.contains(entry + " ...")) << bold.toStdString();
    ++named;
  }
  EXPECT_GE(named, 4);
}

TEST_F(Commands, ClosingAsksToSaveWhileSomethingWouldBeSavedAndNeverWhileBusy) {
  window->show();
  // Nothing changed: closes without a question, but not while busy, when
  // the window takes no input either.
  gState.Dirty = false;
  Document("/poses/A.pz2", kPz2);
  window->SetBusy(true);
  EXPECT_FALSE(window->centralWidget()->isEnabled());
  EXPECT_FALSE(window->menuBar()->isEnabled());
  EXPECT_FALSE(window->close());
  window->SetBusy(false);
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());

  // Cancel keeps the window; No closes it.
  SetUp();
  window->show();
  Document("/poses/A.pz2", kPz2);
  gState.Dirty = true;
  ui->AnswerMessage(MsgResult::Cancel);
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  const auto asked = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].text, "Do you want to save before exiting?");
  EXPECT_EQ(asked[0].buttons, MsgButtons::YesNoCancel);
  ui->AnswerMessage(MsgResult::No);
  Trigger("mnuExit");
  EXPECT_FALSE(window->isVisible());

  // Yes on a pose file whose name ends in capitals saves in place.
  SetUp();
  const std::string pose = program.write("WAVE.PZ2", "old");
  Document(pose, kPz2);
  gState.Dirty = true;
  ui->AnswerMessage(MsgResult::Yes);
  EXPECT_TRUE(window->Form_Unload());
  EXPECT_NE(test::ReadFileBytes(pose), "old");
  EXPECT_TRUE(ui->requestsOf(UiRequest::Save).empty());

  // Yes on a character file runs Save as; cancelling it keeps the window open.
  SetUp();
  Document("/figures/Fig.cr2", kCr2);
  gState.Dirty = true;
  ui->AnswerMessage(MsgResult::Yes);
  EXPECT_FALSE(window->Form_Unload());
  EXPECT_EQ(ui->requestsOf(UiRequest::Save).size(), 1u);
}

TEST_F(Commands, TabsShowTheirPaneAndRefreshIt) {
  QLineEdit* size = window->materials->TXT[1];
  window->tbsOptions->setCurrentIndex(1);  // fresh window: nothing to show
  EXPECT_EQ(window->paneStack->currentIndex(), 1);
  EXPECT_EQ(gCurrentActor, 0);
  controls::setText(size, "7");
  window->tbsOptions->setCurrentIndex(0);
  EXPECT_EQ(size->text(), "7");

  Document("/poses/A.pz2", kPz2);
  controls::setListIndex(window->materials->cmbFigures, 0);
  gObjects[0].Materials.Edit()[0].HighlightSize = 42;
  controls::setText(size, "7");
  gActors[0].Name = "BODY:1";
  DialRec smile;
  smile.Name = "Smile";
  smile.ChannelType = "targetGeom";
  smile.Value = 0.25;
  gActors[0].Dials.assign(1, smile);
  gActorList = {{"BODY:1", "actor"}};
  window->ShowChannelsRead();
  window->tbsOptions->setCurrentIndex(2);
  EXPECT_EQ(window->paneStack->currentIndex(), 2);
  window->tbsOptions->setCurrentIndex(1);  // the first actor is shown
  EXPECT_EQ(gCurrentActor, 1);
  EXPECT_EQ(window->channelsPane->lstDials->topLevelItemCount(), 1);
  EXPECT_EQ(window->channelsPane->txtDialProperties[0]->text(), "0.25");
  window->tbsOptions->setCurrentIndex(0);
  EXPECT_EQ(size->text(), "42");  // the current material shown again
}

TEST_F(Commands, AddFigureListItemKeepsGroupsBeforeActors) {
  window->materials->AddFigureListItem("figure", 0);
  window->materials->AddFigureListItem("actor head", 0);
  window->materials->AddFigureListItem("prop ball", 0);     // before the first actor entry
  window->materials->AddFigureListItem("actor hip", 0);     // at the end
  window->materials->AddFigureListItem("hair", 1);          // at index 0
  window->materials->AddFigureListItem("figure", 0);        // duplicates are kept
  window->materials->AddFigureListItem("actor chest", 99);  // past the end: appended
  const ObjectList expected = {"hair",       "figure",    "prop ball",  "figure",
                               "actor head", "actor hip", "actor chest"};
  EXPECT_EQ(gObjectList, expected);
  ASSERT_EQ(window->materials->cmbFigures->count(), 7);
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(window->materials->cmbFigures->itemText(i).toStdString(), expected[i]);
  EXPECT_EQ(window->materials->cmbFigures->currentIndex(), -1);
  // "Actor " is not "actor ": the rule is case-sensitive.
  window->materials->AddFigureListItem("Actor x", 0);
  EXPECT_EQ(gObjectList[4], "Actor x");
}

TEST_F(Commands, TextBoxesKeepTheirOwnCutAndSelectAll) {
  for (const char* keys : {"Ctrl+X", "Ctrl+A"}) {
    const QKeySequence seq(keys);
    QKeyEvent inBox(QEvent::ShortcutOverride, seq[0].key(), seq[0].keyboardModifiers());
    inBox.ignore();
    QApplication::sendEvent(window->materials->TXT[8], &inBox);
    EXPECT_TRUE(inBox.isAccepted()) << keys;  // the box takes the key before the menu
  }
  EXPECT_EQ(window->mnuExit->shortcut(), QKeySequence("Ctrl+X"));
}

}  // namespace
}  // namespace vandrel::test
