#include "app/start.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <optional>
#include <tuple>

#include "app/frm_please_wait.h"
#include "app/qt_app.h"
#include "app/settings_file.h"
#include "common/text.h"
#include "mainwindow/channels_pane.h"
#include "mainwindow/frm_main.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/cdlg_ex.h"
#include "platform/dialog_preview.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "platform/program_folder.h"
#include "platform/scoped_env.h"
#include "platform/scripted_ui.h"
#include "support/temp_dir.h"
#include "tools/command_line.h"

namespace vandrel {
namespace {

using test::App;
using test::ReadFileBytes;

std::string Data(const std::string& name) { return std::string(VANDREL_TEST_DATA) + "/" + name; }

// Every start gets its own program folder, an empty Wine prefix (no registry
// question), a scripted UI and a folder of library files.
class StartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    SetProgramFolder(program_.path());
    ResetModel();
    gDlg = CdlgEx{};
  }
  void TearDown() override {
    window_.reset();
    SetProgramFolder("");
  }
  // A copy of a test file in the library folder under `name`.
  std::string Library(const std::string& source, const std::string& name) {
    return library_.write(name, ReadFileBytes(Data(source)));
  }
  FrmMain& Start(const std::string& commandLine, bool silent = false, const std::string& lastArgument = {}) {
    window_ = Main(commandLine, silent, lastArgument);
    return *window_;
  }

  test::TempDir program_, wine_, library_;
  test::ScopedEnv winePrefix_{"WINEPREFIX", wine_.path()};
  ScopedScriptedUi ui_;
  std::unique_ptr<FrmMain> window_;
};

TEST_F(StartTest, ShowsTheWindowLoadsThePreferencesAndSetsTheSaveOptions) {
  gState.FileGiven = gState.LoadProps = true;
  gObjects.resize(3);
  FrmMain& w = Start("");
  EXPECT_EQ(w.windowTitle(), "Vandrel");
  EXPECT_TRUE(w.isVisible());
  // Its icon, and that of every other window, is the one the theme gets installed.
  const auto picture = [](const QIcon& icon, int size) {
    return icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  };
  QDialog other;
  for (int size : {16, 48, 256}) {
    const QString file =
        QString("%1/Icons/hicolor/%2x%2/apps/vandrel.png").arg(FolderOf(VANDREL_EXE).c_str()).arg(size);
    const QImage installed = QImage(file).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(installed.size(), QSize(size, size)) << file.toStdString();
    EXPECT_EQ(picture(w.windowIcon(), size), installed) << size;
    EXPECT_EQ(picture(other.windowIcon(), size), installed) << size;
  }
  EXPECT_FALSE(gState.FileGiven || gState.LoadProps);
  EXPECT_TRUE(FileExists(SettingsPath()));
  EXPECT_EQ(gObjects.size(), 1u);
  EXPECT_EQ(gActors.size(), 1u);
  EXPECT_EQ(gMapLists.TifFiles.size(), 1u);
  // Poser 4 and DOS by default; the option's handler put the version in the box.
  EXPECT_TRUE(w.optPoserFormat[0]->isChecked());
  EXPECT_TRUE(w.optFileSystem[0]->isChecked());
  EXPECT_EQ(w.materials->TXT[0]->text(), "4.01");
  EXPECT_FALSE(w.mnuPoser->isEnabled());
  // Nothing would be saved, so closing asks nothing.
  EXPECT_TRUE(w.Form_Unload());
  EXPECT_TRUE(ui_->requests().empty());
}

TEST_F(StartTest, PreferencesChooseTheOtherOptionsAndRunPoser) {
  const std::string poser = library_.mkdir("Poser");
  WriteIni("Folders", "Poser", poser, SettingsPath());
  WriteIni("General", "SaveAsType", "P5", SettingsPath());
  WriteIni("General", "FileSystem", "UNIX", SettingsPath());
  WriteIni("General", "P5VersionNumber", "5", SettingsPath());
  FrmMain& w = Start("");
  EXPECT_TRUE(w.optPoserFormat[1]->isChecked());
  EXPECT_TRUE(w.optFileSystem[1]->isChecked());
  EXPECT_EQ(w.materials->TXT[0]->text(), "5");
  EXPECT_TRUE(w.mnuPoser->isEnabled());

  // Run Poser finds the program in any letter case; its boxes carry the program's title.
  const std::string exe = library_.write("Poser/poser.EXE", "MZ");
  w.mnuPoser->trigger();
  ASSERT_EQ(ui_->requests().size(), 1u);
  EXPECT_EQ(ui_->requests()[0].kind, UiRequest::Start);
  EXPECT_EQ(ui_->requests()[0].text, exe);
  ui_->clear();
  ui_->FailStart();
  w.mnuPoser->trigger();
  ::unlink(exe.c_str());
  w.mnuPoser->trigger();
  const auto boxes = ui_->requestsOf(UiRequest::Message);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Poser could not be started: " + exe);
  EXPECT_EQ(boxes[1].text, "Poser executable could not be found in\r\n" + poser + ".");
  for (const UiRequest& box : boxes) EXPECT_EQ(box.title, "Vandrel");
}

TEST_F(StartTest, SilentSaveWritesBesideTheFileWithoutAWindowOrAQuestion) {
  struct Case {
    const char* source;
    const char* name;
    const char* written;
  };
  for (const Case& c : {Case{"reader/actors_figure.pz2", "my pose.CM2", "my pose.pz2"},
                        Case{"reader/figure_props.cr2", "Figure.CR2", "Figure.pz2"},
                        Case{"reader/ball.pp2", "ball.pp2", "ball.pz2"},
                        Case{"reader/hair.hr2", "long hair.hr2", "long hair.pz2"}}) {
    ResetModel();
    ui_->clear();
    const std::string path = Library(c.source, c.name);
    FrmMain& w = Start("-s \"" + path + "\"", true);
    EXPECT_TRUE(gSilentSaveWritten) << c.name;
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(gState.SilentSave);
    EXPECT_TRUE(FileExists(library_.file(c.written))) << c.written;
    EXPECT_TRUE(ui_->requests().empty()) << c.name;  // nothing asked, nothing reported
    EXPECT_NE(ReadFileBytes(library_.file(c.written)).find("material "), std::string::npos);
  }
}

TEST_F(StartTest, FailedSilentReadWritesNothingAndNeverSavesLater) {
  const std::string broken = library_.write("Broken.cr2", "{\r\nversion\r\n");
  Start("-s " + broken, true);
  EXPECT_FALSE(gSilentSaveWritten);
  EXPECT_FALSE(gState.SilentSave);
  EXPECT_TRUE(gState.ReadError);
  EXPECT_FALSE(FileExists(library_.file("Broken.pz2")));
  ASSERT_EQ(ui_->requestsOf(UiRequest::Message).size(), 1u);
  EXPECT_EQ(ui_->requestsOf(UiRequest::Message)[0].text.rfind("Error in the OpenFile function\r\n", 0), 0u);

  // A later open of a good file is an ordinary open: nothing is written.
  const std::string good = Library("reader/actors_figure.pz2", "Good.pz2");
  const std::string before = ReadFileBytes(good);
  ui_->AnswerOpen(good);
  window_->mnuOpenPZ2_Click();
  EXPECT_EQ(gState.FileName, good);
  EXPECT_FALSE(gSilentSaveWritten);
  EXPECT_EQ(ReadFileBytes(good), before);
}

// A file that is not Poser text is refused before the open document is
// touched: one error box, and the document, caption and lists stay.
TEST_F(StartTest, AFileThatIsNotPoserTextLeavesTheOpenDocument) {
  FrmMain& w = Start("");
  const std::string good = Library("reader/actors_figure.pz2", "Good.pz2");
  ui_->AnswerOpen(good);
  w.mnuOpenPZ2_Click();
  const std::string caption = w.windowTitle().toStdString();
  const int objects = w.materials->cmbFigures->count();
  ASSERT_GT(objects, 0);
  // Whatever the kind of file asked for, nothing follows the refusal (no
  // morph question for a character file).
  struct Refused {
    const char* name;
    std::string bytes;
    const char* why;
  };
  for (const Refused& r :
       {Refused{"noise.pz2", std::string("\x01\x02\0abc", 6), "This is not a Poser text file"},
        Refused{"packed.cr2", std::string("\x1f\x8b\x08", 3),
                "This is a compressed Poser file; uncompress it first"}}) {
    const std::string name = r.name, why = r.why;
    ui_->clear();
    ui_->AnswerOpen(library_.write(name, r.bytes));
    EndsWith(name, ".cr2") ? w.mnuOpenCR2_Click() : w.mnuOpenPZ2_Click();
    const auto messages = ui_->requestsOf(UiRequest::Message);
    ASSERT_EQ(messages.size(), 1u) << name << ": " << messages.back().text;
    EXPECT_EQ(
        messages[0].text.rfind(std::string("Error in the OpenFile function\r\n") + why + ", error number", 0),
        0u)
        << messages[0].text;
    EXPECT_EQ(gState.FileName, good);
    EXPECT_EQ(w.windowTitle().toStdString(), caption);
    EXPECT_EQ(w.materials->cmbFigures->count(), objects);
  }
}

TEST_F(StartTest, CommandLineFileOpensByItsTypeAndOnlyOnce) {
  const std::string pose = Library("reader/actors_figure.pz2", "A Pose.pz2");
  FrmMain& w = Start("\"" + pose + "\"");
  EXPECT_EQ(gState.FileName, pose);
  EXPECT_EQ(w.windowTitle(), "Vandrel - [A Pose.pz2]");
  EXPECT_FALSE(gState.FileGiven);
  EXPECT_TRUE(ui_->requestsOf(UiRequest::Open).empty());
  EXPECT_FALSE(gObjectList.empty());

  // The next File > Open shows its dialog, and a dropped file opens itself.
  const std::string other = Library("reader/materials.pz2", "Other.pz2");
  ui_->AnswerOpen(other);
  w.mnuOpenPZ2_Click();
  EXPECT_EQ(ui_->requestsOf(UiRequest::Open).size(), 1u);
  EXPECT_EQ(gState.FileName, other);
  const std::string dropped = Library("reader/light.lt2", "Dropped.lt2");
  w.Form_OLEDragDrop(dropped);
  EXPECT_EQ(gState.FileName, dropped);
  EXPECT_EQ(ui_->requestsOf(UiRequest::Open).size(), 1u);

  // A cancelled dialog leaves the document as it is.
  const ObjectList objects = gObjectList;
  const std::string caption = w.windowTitle().toStdString();
  w.mnuOpenPZ2_Click();  // nothing scripted: cancelled
  EXPECT_TRUE(gOpenCancelled);
  EXPECT_FALSE(gState.LoadProps);
  EXPECT_EQ(gState.FileName, dropped);
  EXPECT_EQ(gObjectList, objects);
  EXPECT_EQ(w.windowTitle().toStdString(), caption);
  EXPECT_TRUE(w.mnuSaveAs->isEnabled());
}

// Linux names that the one-string rules cannot name (a double quote, a
// leading blank) are the last argument: opened in the window, and written
// beside themselves with "-s".
TEST_F(StartTest, LastArgumentNamesWhatTheRulesCannot) {
  struct Case {
    const char* source;
    const char* name;
    const char* written;
  };
  for (const Case& c : {Case{"reader/actors_figure.pz2", "Vicky \"Sunset\".pz2", "Vicky \"Sunset\".pz2"},
                        Case{"tools/figure_props.cr2", " Doll \"2\".cr2", " Doll \"2\".pz2"}}) {
    ResetModel();
    ui_->clear();
    ui_->AnswerMessage(MsgResult::No);  // a character file: no morph and pose data
    const std::string path = Library(c.source, c.name);
    FrmMain& w = Start(path, false, path);
    EXPECT_EQ(gState.FileName, path);
    EXPECT_EQ(w.windowTitle().toStdString(), std::string("Vandrel - [") + c.name + "]");
    EXPECT_TRUE(ui_->requestsOf(UiRequest::Open).empty());

    ResetModel();
    ui_->clear();
    const std::string source = ReadFileBytes(path);
    Start("-s " + path, true, path);
    EXPECT_TRUE(gSilentSaveWritten) << c.name;
    EXPECT_NE(ReadFileBytes(library_.file(c.written)).find("material "), std::string::npos) << c.written;
    if (std::string(c.name) != c.written) {
      EXPECT_EQ(ReadFileBytes(path), source);  // only the pose is written
    }
  }
}

TEST_F(StartTest, UnknownTypesAndMissingCharacterFilesAreIgnored) {
  for (const std::string& line : {library_.write("notes.txt", "x"), library_.file("missing.cr2")}) {
    ResetModel();
    ui_->clear();
    FrmMain& w = Start(line);
    EXPECT_FALSE(gState.FileGiven) << line;
    EXPECT_TRUE(gState.FileName.empty());
    EXPECT_TRUE(ui_->requests().empty());
    // The next open shows its dialog.
    w.mnuOpenPZ2_Click();
    EXPECT_EQ(ui_->requestsOf(UiRequest::Open).size(), 1u);
    EXPECT_TRUE(gOpenCancelled);
  }
}

TEST_F(StartTest, CharacterFileInUpperCaseIsReadWithItsProps) {
  const std::string figure = Library("tools/figure_props.cr2", "FIGURE.CR2");
  ui_->AnswerMessage(MsgResult::No);  // no morph and pose data
  Start(figure);
  EXPECT_EQ(gState.FileName, figure);
  EXPECT_GT(gObjectList.size(), 1u);  // the figure and its props
  EXPECT_EQ(gObjectList[0], "figure");
  const auto asked = ui_->requestsOf(UiRequest::Message);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked[0].text,
            "Do you want to load morph and pose data also?\r\nIt may take a long time with a large file.");
  // The map check after the load: without a Poser folder no missing map can be looked for.
  for (std::size_t i = 1; i < asked.size(); ++i)
    EXPECT_EQ(asked[i].text, "The Default Poser\r\nfolder preference hasn't been set up correctly.");
}

TEST_F(StartTest, CharacterFileWithTwoFiguresOpensTheChosenOne) {
  const std::string figures = Library("tools/two_figures.cr2", "Two Figures.cr2");
  ui_->AnswerMessage(MsgResult::No);
  // The chooser shows once the file was read (the progress window runs the
  // event loop before that).
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, ticks = 0]() mutable {
    QWidget* chooser = QApplication::activeModalWidget();
    if (chooser == nullptr || chooser->objectName() != "frmFigure") {
      if (++ticks < 500) return;
      ADD_FAILURE() << "the chooser was not shown";
      if (chooser != nullptr) chooser->close();
    }
    poll->deleteLater();
    if (chooser == nullptr || chooser->objectName() != "frmFigure") return;
    auto* list = chooser->findChild<QComboBox*>("cmbFigure");
    ASSERT_EQ(list->count(), 2);
    list->setCurrentIndex(1);
    chooser->findChild<QPushButton*>("cmdOK")->click();
  });
  poll->start();
  Start("\"" + figures + "\"");
  EXPECT_EQ(gState.FileName, figures);
  ASSERT_EQ(gObjects.size(), 1u);
  EXPECT_EQ(gObjects[0].Materials.at(0).Name, "Metal");
  EXPECT_FALSE(gState.FileGiven || gState.LoadProps);
}

TEST_F(StartTest, MissingPoseFileGoesToTheReaderAndIsReported) {
  Start(library_.file("missing.pz2"));
  EXPECT_TRUE(gState.ReadError);
  EXPECT_FALSE(gState.FileGiven);
  EXPECT_EQ(ui_->requestsOf(UiRequest::Message).size(), 1u);
}

// Opening a pose file from the menu and saving it under a new name gives the
// same bytes as the silent save of the command line, with the same options.
TEST_F(StartTest, SaveAsFromTheWindowEqualsTheSilentSave) {
  for (const char* source : {"reader/actors_figure.pz2", "reader/camera.cm2", "reader/props_first.pz2"}) {
    ResetModel();
    ui_->clear();
    const std::string silentIn = Library(source, "silent.fc2");
    Start("-s " + silentIn, true);
    ASSERT_TRUE(gSilentSaveWritten) << source;
    const std::string expected = ReadFileBytes(library_.file("silent.pz2"));

    ResetModel();
    ui_->clear();
    const std::string input = Library(source, "Window.pz2");
    FrmMain& w = Start("");
    gSettings.CdlgThumb = true;
    ui_->AnswerOpen(input);
    w.mnuOpenPZ2_Click();
    ASSERT_FALSE(gState.ReadError) << source;
    const std::string output = library_.file("Saved As.pz2");
    ui_->AnswerSave(output);
    ASSERT_TRUE(w.mnuSaveAs_Click());
    EXPECT_EQ(ReadFileBytes(output), expected) << source;
    EXPECT_EQ(w.windowTitle(), "Vandrel - [Saved As.pz2]");
  }
}

TEST_F(StartTest, MapsThatExistGetThumbnailsWhileAFileIsRead) {
  const std::string poser = library_.mkdir("Poser");
  library_.mkdir("Poser/Runtime/Textures/Vandrel");
  QImage picture(40, 20, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(QString::fromStdString(poser + "/Runtime/Textures/Vandrel/Skin.jpg"), "JPEG"));
  WriteIni("Folders", "Poser", poser, SettingsPath());
  const std::string pose = library_.write(
      "Maps.pz2",
      "{\r\nversion\r\n\t{\r\n\tnumber 4.01\r\n\t}\r\nfigure\r\n\t{\r\n\tmaterial Skin\r\n\t\t{\r\n"
      "\t\ttextureMap \":Runtime:Textures:Vandrel:skin.jpg\"\r\n\t\tbumpMap "
      ":Runtime:Textures:Vandrel:gone.bum\r\n"
      "\t\t}\r\n\t}\r\n}\r\n");
  FrmMain& w = Start("");
  ASSERT_TRUE(gSettings.MainThumb);
  ui_->AnswerOpen(pose);
  w.mnuOpenPZ2_Click();
  ASSERT_FALSE(gState.ReadError);
  EXPECT_EQ(ImageList1(0).Count(), kStockPictureCount + 1u);
  EXPECT_TRUE(ImageList1(0).Contains(poser + "/Runtime/Textures/Vandrel/Skin.jpg"));  // as the file is named
  w.ResetMainWindow();
  EXPECT_EQ(ImageList1(0).Count(), std::size_t(kStockPictureCount));

  gSettings.MainThumb = false;
  ui_->AnswerOpen(pose);
  w.mnuOpenPZ2_Click();
  EXPECT_EQ(ImageList1(0).Count(), std::size_t(kStockPictureCount));
}

TEST_F(StartTest, PreferencesMenuOpensThePreferencesWindow) {
  FrmMain& w = Start("");
  ASSERT_TRUE(w.mnuPreferences->isEnabled());
  std::string shown;
  QTimer::singleShot(0, [&shown] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      shown = modal->objectName().toStdString();
      modal->close();  // as Cancel: nothing changes
    }
  });
  const std::string before = ReadFileBytes(SettingsPath());
  w.mnuPreferences->trigger();
  EXPECT_EQ(shown, "frmSettings");
  EXPECT_EQ(ReadFileBytes(SettingsPath()), before);
}

// Presses Esc in the progress window at the first poll of the read.
class EscPressingHost : public PleaseWaitHost {
 public:
  explicit EscPressingHost(QWidget* owner, int* polls) : PleaseWaitHost(owner), polls_(polls) {
    StartOperation();
  }
  ~EscPressingHost() override { Unload(); }
  bool CancelRequested() override {
    if ((*polls_)++ == 0) {
      QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(&Window(), &esc);
    }
    return PleaseWaitHost::CancelRequested();
  }

 private:
  int* polls_;
};

TEST_F(StartTest, EscInTheProgressWindowCancelsAnAppendingChannelReadAndKeepsTheDocument) {
  FrmMain& w = Start("");
  ui_->AnswerOpen(Library("channels/figure_pose.pz2", "Pose.pz2"));
  w.mnuOpenPZ2_Click();
  ASSERT_FALSE(gState.ReadError);
  ASSERT_GT(gActorList.size(), 1u);
  const std::vector<ActorListItem> actors = gActorList;
  const ObjectList objects = gObjectList;
  const std::size_t actorCount = gActors.size();
  const int listed = w.channelsPane->lstActors->topLevelItemCount();

  int polls = 0;
  w.MakeProgressHost = [&w, &polls]() -> std::unique_ptr<Host> {
    return std::make_unique<EscPressingHost>(&w, &polls);
  };
  ui_->AnswerOpen(Library("channels/doll.cr2", "Doll.cr2"));
  gState.FileType = kCr2;
  w.ReadMorphPoseFile(false, false, "", /*append=*/true);
  EXPECT_GT(polls, 0);
  ASSERT_EQ(gActorList.size(), actors.size());
  for (std::size_t i = 0; i < actors.size(); ++i) EXPECT_EQ(gActorList[i].Text(), actors[i].Text());
  EXPECT_EQ(gActors.size(), actorCount);
  EXPECT_EQ(gObjectList, objects);
  EXPECT_EQ(w.channelsPane->lstActors->topLevelItemCount(), listed);
  EXPECT_EQ(LoadedPleaseWait(), nullptr);  // the window is gone, the main window takes input again
  EXPECT_FALSE(w.IsBusy());
}

}  // namespace
}  // namespace vandrel
