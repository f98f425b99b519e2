#include "app/frm_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include "app/qt_app.h"
#include "app/settings_file.h"
#include "maps/map_cache.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/folder_browser.h"
#include "platform/ini.h"
#include "platform/program_folder.h"
#include "platform/qt/controls.h"
#include "platform/scoped_env.h"
#include "platform/scripted_ui.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::ReadFileBytes;

class FrmSettingsTest : public ::testing::Test {
 protected:
  FrmSettingsTest() {
    test::App();
    SetProgramFolder(program.mkdir("program"));
    ResetModel();
    SettingsRec& s = gSettings;
    s.CR2 = folder("lib/Character");
    s.PZ2 = kNone;
    s.PP2 = folder("lib/Props");
    s.HR2 = folder("lib/Hair");
    s.CM2 = folder("lib/Camera");
    s.LT2 = folder("lib/Light");
    s.FC2 = folder("lib/Face");
    s.HD2 = folder("lib/Hand");
    s.Save = folder("save");
    s.Map = folder("maps");
    s.Poser = kNone;
    s.CdlgThumb = true, s.MapThumb = false, s.MainThumb = true, s.AutoCorrect = false, s.SetNoMap = true;
    s.SetPoserVersion = true, s.SetP5Version = false;
    s.PVersionNumber = "4.01", s.P5VersionNumber = "5.0";
    s.SaveAsType = false, s.FileSystem = true, s.ReportTime = true, s.DisableProperties = false;
  }
  ~FrmSettingsTest() override { SetProgramFolder(""); }

  std::string folder(const std::string& name) const { return program.mkdir(name); }

  template <class W>
  W* child(const FrmSettings& window, const QString& name) const {
    W* w = window.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  QLineEdit* box(const FrmSettings& window, int i) const {
    return child<QLineEdit>(window, QString("TXT(%1)").arg(i));
  }
  std::string text(const FrmSettings& window, int i) const { return box(window, i)->text().toStdString(); }
  QCheckBox* check(const FrmSettings& window, const QString& name) const {
    return child<QCheckBox>(window, name);
  }
  void press(const FrmSettings& window, const QString& name) const {
    child<QPushButton>(window, name)->click();
  }

  test::TempDir program;
  test::ScopedEnv dataEnv{"XDG_DATA_HOME", program.file("data")};
  test::ScopedEnv configEnv{"XDG_CONFIG_HOME", program.file("config")};
  test::ScopedEnv pathEnv{"PATH", program.mkdir("bin")};
  ScopedScriptedUi ui;
};

TEST_F(FrmSettingsTest, OpensOnThePreferences) {
  program.write("program/Templates/Skin.cfg", "");
  program.write("program/Templates/arms.CFG", "");
  program.write("program/Templates/notes.txt", "");
  gSettings.DefaultTemplate = "Skin";

  FrmSettings window;
  EXPECT_EQ(window.objectName(), "frmSettings");
  EXPECT_EQ(window.windowTitle(), "Vandrel preferences");
  EXPECT_TRUE(window.isModal());
  auto* tabs = child<QTabWidget>(window, "TabStrip1");
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(0), "Default Folders");
  EXPECT_EQ(tabs->tabText(1), "File Associations");
  EXPECT_EQ(tabs->tabText(2), "General");
  EXPECT_EQ(tabs->widget(1)->objectName(), "picOption(1)");

  const std::string expected[kFolderBoxCount] = {gSettings.CR2,  gSettings.PZ2, gSettings.PP2, gSettings.HR2,
                                                 gSettings.Save, gSettings.Map, "none",        gSettings.CM2,
                                                 gSettings.LT2,  gSettings.HD2, gSettings.FC2};
  for (int i = 0; i < kFolderBoxCount; ++i) EXPECT_EQ(text(window, i), expected[i]) << i;
  EXPECT_EQ(box(window, 6)->toolTip(), "Path of the Poser folder");
  EXPECT_EQ(child<QPushButton>(window, "Browse(5)")->toolTip(), "Browse the default Maps folder");
  for (int i = 0; i < kAssociationCount; ++i)
    EXPECT_FALSE(check(window, QString("chkAs(%1)").arg(i))->isChecked());
  EXPECT_EQ(check(window, "chkAs(5)")->toolTip(), "Check if you want to associate Face files with Vandrel");

  EXPECT_TRUE(check(window, "chkThumbDialog")->isChecked());
  EXPECT_FALSE(check(window, "chkThumbMap")->isChecked());
  EXPECT_TRUE(check(window, "chkThumbMain")->isChecked());
  EXPECT_FALSE(check(window, "chkAutoCorrect")->isChecked());
  EXPECT_TRUE(check(window, "chkNOMAP")->isChecked());
  EXPECT_FALSE(check(window, "chkNOMAP")->isEnabledTo(&window));
  EXPECT_TRUE(child<QLineEdit>(window, "txtVersion")->isEnabledTo(&window));
  EXPECT_FALSE(child<QLineEdit>(window, "txtP5Version")->isEnabledTo(&window));
  EXPECT_EQ(child<QLineEdit>(window, "txtP5Version")->text(), "5.0");
  EXPECT_TRUE(child<QRadioButton>(window, "optPoser5")->isChecked());
  EXPECT_TRUE(child<QRadioButton>(window, "optDOS")->isChecked());
  EXPECT_TRUE(check(window, "chkReportTime")->isChecked());
  EXPECT_FALSE(check(window, "chkDisableProperties")->isChecked());
  for (const char* name : {"chkCachePoser", "chkCacheMap", "txtCacheFiles", "vscCacheFiles", "txtCacheMax",
                           "vscCacheMax", "fraCacheOptions", "cmdOK", "cmdCancel"})
    EXPECT_NE(window.findChild<QWidget*>(name), nullptr) << name;

  auto* templates = child<QComboBox>(window, "cmbTemplate");
  ASSERT_EQ(templates->count(), 2);
  EXPECT_EQ(templates->itemText(0), "arms");  // sorted without regard to case
  EXPECT_EQ(templates->itemText(1), "Skin");
  EXPECT_EQ(templates->currentText(), "Skin");
  EXPECT_TRUE(templates->isEnabledTo(&window));
  EXPECT_TRUE(FolderExists(CacheFolder()));
}

TEST_F(FrmSettingsTest, OkCopiesTheWindowAndWritesThePreferences) {
  gSettings.DefaultTemplate = "gone";  // its file was deleted: nothing selected, the name kept
  std::optional<bool> runPoser;
  FrmSettings window(nullptr, [&runPoser](bool on) { runPoser = on; });
  box(window, 0)->setText("");                    // emptied: the old folder stays
  box(window, 2)->setText("none");                // "none": the old folder stays
  box(window, 3)->setText("/not/checked/by/ok");  // taken as typed
  box(window, 6)->setText(QString::fromStdString(folder("Poser 5")));
  check(window, "chkThumbMap")->click();
  check(window, "chkAutoCorrect")->click();
  child<QLineEdit>(window, "txtVersion")->setText("4.2");
  child<QRadioButton>(window, "optPoser4")->click();
  child<QRadioButton>(window, "optUNIX")->click();
  const SettingsRec before = gSettings;

  press(window, "cmdOK");
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(runPoser, std::optional<bool>(true));
  EXPECT_EQ(window.runPoserEnabled(), std::optional<bool>(true));
  EXPECT_EQ(gSettings.CR2, before.CR2);
  EXPECT_EQ(gSettings.PP2, before.PP2);
  EXPECT_EQ(gSettings.HR2, "/not/checked/by/ok");
  EXPECT_EQ(gSettings.Poser, program.file("Poser 5"));
  EXPECT_EQ(gSettings.PZ2, "none");
  EXPECT_TRUE(gSettings.MapThumb);
  EXPECT_TRUE(gSettings.AutoCorrect);
  EXPECT_EQ(gSettings.PVersionNumber, "4.2");
  EXPECT_TRUE(gSettings.SaveAsType);
  EXPECT_FALSE(gSettings.FileSystem);
  EXPECT_EQ(gSettings.DefaultTemplate, "gone");
  EXPECT_TRUE(ui->requests().empty());

  // Every key, in the file's documented order.
  const std::string ini = ReadFileBytes(SettingsPath());
  std::string keys;
  for (std::size_t pos = 0; pos < ini.size();) {
    const std::size_t end = ini.find("\r\n", pos);
    const std::string line = ini.substr(pos, end - pos);
    if (!line.empty()) keys += line.substr(0, line.find('=')) + " ";
    pos = end == std::string::npos ? ini.size() : end + 2;
  }
  EXPECT_EQ(keys,
            "[Folders] CR2 PZ2 PP2 HR2 CM2 FC2 HD2 LT2 Poser Map Save [General] CdlgThumb MapThumb MainThumb "
            "AutoCorrect SetNoMap SetPoserVersion SetP5Version PVersionNumber P5VersionNumber ReportTime "
            "DefaultTemplate DisableProperties SaveAsType FileSystem ");
  EXPECT_NE(ini.find("\r\nHR2=/not/checked/by/ok\r\n"), std::string::npos);
  EXPECT_NE(ini.find("\r\nSaveAsType=P4\r\nFileSystem=UNIX\r\n"), std::string::npos);
}

TEST_F(FrmSettingsTest, OkKeepsEveryValueExactlyOrRefusesIt) {
  FrmSettings window(nullptr, nullptr);
  box(window, 6)->setText("/mnt/Poser\nfolder");
  press(window, "cmdOK");
  ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message)[0].text,
            "The Poser Folder cannot be saved in Settings.ini because it holds a line break.");
  EXPECT_NE(window.result(), QDialog::Accepted);
  EXPECT_FALSE(FileExists(SettingsPath()));
  EXPECT_EQ(gSettings.Poser, kNone);

  // Blanks and quotes around a value read back as typed.
  const std::string poser = folder("Poser ");
  box(window, 6)->setText(QString::fromStdString(poser));
  box(window, 3)->setText("\"/quoted/hair\"");
  child<QLineEdit>(window, "txtVersion")->setText(" 4.2 ");
  press(window, "cmdOK");
  EXPECT_EQ(window.result(), QDialog::Accepted);
  gSettings = SettingsRec{};
  LoadSettings(/*quiet=*/true);
  EXPECT_EQ(gSettings.Poser, poser);
  EXPECT_EQ(ReadIni("Folders", "HR2", SettingsPath()), "\"/quoted/hair\"");
  EXPECT_EQ(gSettings.PVersionNumber, " 4.2 ");
}

TEST_F(FrmSettingsTest, RunPoserFollowsThePoserBoxAndCancelChangesNothing) {
  gSettings.Poser = folder("Poser");
  {
    std::optional<bool> runPoser;
    FrmSettings window(nullptr, [&runPoser](bool on) { runPoser = on; });
    box(window, 6)->setText("none");
    press(window, "cmdOK");
    EXPECT_EQ(runPoser, std::optional<bool>(false));
    EXPECT_EQ(gSettings.Poser, program.file("Poser"));  // the stored folder stays
  }
  ::unlink(SettingsPath().c_str());
  const SettingsRec before = gSettings;
  bool called = false;
  FrmSettings window(nullptr, [&called](bool) { called = true; });
  box(window, 1)->setText(QString::fromStdString(folder("elsewhere")));
  check(window, "chkReportTime")->click();
  check(window, "chkAs(1)")->click();
  press(window, "cmdCancel");
  EXPECT_EQ(window.result(), QDialog::Rejected);
  EXPECT_FALSE(called);
  EXPECT_EQ(window.runPoserEnabled(), std::nullopt);
  EXPECT_EQ(gSettings.PZ2, before.PZ2);
  EXPECT_EQ(gSettings.ReportTime, before.ReportTime);
  EXPECT_FALSE(FileExists(SettingsPath()));
  EXPECT_FALSE(IsAssociated(".cr2"));
}

TEST_F(FrmSettingsTest, BrowseOpensOnTheBoxesFolderAndKeepsTheBoxOnCancel) {
  gSettings.Poser = folder("Poser") + "/";
  FrmSettings window;
  const std::string chosen = folder("chosen pose");

  ui->AnswerFolder(std::nullopt);                    // cancelled
  ui->AnswerFolder(program.file("no such folder"));  // not a folder
  ui->AnswerFolder(chosen);
  for (int i = 0; i < 3; ++i) press(window, "Browse(1)");  // the box holds "none": the Poser folder
  box(window, 3)->setText(QString::fromStdString(gSettings.HR2 + "/"));
  press(window, "Browse(3)");
  // Neither box nor Poser folder: the user's home, not the working folder.
  gSettings.Poser = kNone;
  box(window, 10)->setText("");
  const test::ScopedEnv home("HOME", folder("home"));
  press(window, "Browse(10)");

  const auto requests = ui->requestsOf(UiRequest::Folder);
  ASSERT_EQ(requests.size(), 5u);
  EXPECT_EQ(requests[0].title, "Select your Default Pose folder");
  EXPECT_EQ(requests[0].startFolder, program.file("Poser"));
  EXPECT_EQ(requests[3].title, "Select your Default Hair folder");
  EXPECT_EQ(requests[3].startFolder, gSettings.HR2);
  EXPECT_EQ(requests[4].title, "Select your Default Face folder");
  EXPECT_EQ(requests[4].startFolder, program.file("home"));
  EXPECT_EQ(gState.BrowseFolderIndex, 10);
  EXPECT_EQ(text(window, 1), chosen);
  EXPECT_EQ(text(window, 3), gSettings.HR2 + "/");  // cancelled: unchanged
  EXPECT_EQ(text(window, 10), "");
}

TEST_F(FrmSettingsTest, ChoosingThePoserFolderFillsTheBoxesWithoutAFolder) {
  const std::string poser = folder("Poser Pro");
  // Stored in another case than Poser's own layout: found all the same.
  folder("Poser Pro/runtime/libraries/character");
  folder("Poser Pro/runtime/libraries/Pose");
  folder("Poser Pro/runtime/Textures");
  folder("Poser Pro/runtime/libraries/camera");
  FrmSettings window;
  box(window, 4)->setText("");               // Save: empty
  box(window, 5)->setText("/no/such/maps");  // Map: no longer there
  box(window, 7)->setText("none");           // Camera
  ui->AnswerFolder(poser);
  press(window, "Browse(6)");

  EXPECT_EQ(ui->requestsOf(UiRequest::Folder).at(0).title, "Select your Poser application folder");
  EXPECT_EQ(text(window, 6), poser);
  EXPECT_EQ(text(window, 0), gSettings.CR2);  // held a folder: kept
  EXPECT_EQ(text(window, 1), poser + "/runtime/libraries/Pose");
  EXPECT_EQ(text(window, 4), poser + "/runtime/libraries/Pose");
  EXPECT_EQ(text(window, 5), poser + "/runtime/Textures");
  EXPECT_EQ(text(window, 7), poser + "/runtime/libraries/camera");
  EXPECT_EQ(text(window, 3), gSettings.HR2);

  // With the Character box emptied, it is filled too.
  box(window, 0)->setText("");
  ui->AnswerFolder(poser);
  press(window, "Browse(6)");
  EXPECT_EQ(text(window, 0), poser + "/runtime/libraries/character");
}

TEST_F(FrmSettingsTest, OkRegistersOnlyTheChangedTypes) {
  const std::string icons = program.mkdir("exe/Icons");
  QImage icon(16, 16, QImage::Format_ARGB32);
  icon.fill(Qt::darkCyan);
  ASSERT_TRUE(icon.save(QString::fromStdString(icons + "/CR2.png")));
  const AssociationProgram vandrel{program.file("exe/vandrel"), icons};
  ASSERT_EQ(Associate(".lt2", "Poser Light file", vandrel, false), "");
  const std::string log = program.file("tools.log");
  for (const char* tool : {"update-mime-database", "update-desktop-database"}) {
    const std::string path = program.write(std::string("bin/") + tool,
                                           "#!/bin/sh\necho " + std::string(tool) + " >> \"" + log + "\"\n");
    ::chmod(path.c_str(), 0755);
  }

  {
    FrmSettings window;
    window.setAssociationProgram(vandrel);
    EXPECT_TRUE(check(window, "chkAs(7)")->isChecked());
    press(window, "cmdOK");  // nothing changed: nothing registered, nothing refreshed
    EXPECT_FALSE(FileExists(log));
  }
  FrmSettings window;
  window.setAssociationProgram(vandrel);
  check(window, "chkAs(7)")->click();
  check(window, "chkAs(1)")->click();
  press(window, "cmdOK");
  EXPECT_TRUE(IsAssociated(".cr2"));
  EXPECT_FALSE(IsAssociated(".lt2"));
  EXPECT_FALSE(IsAssociated(".pz2"));
  EXPECT_EQ(ReadFileBytes(log), "update-mime-database\nupdate-desktop-database\n");
  QImage installed(
      QString::fromStdString(program.file("data/icons/hicolor/48x48/mimetypes/application-x-poser-cr2.png")));
  EXPECT_EQ(installed.size(), QSize(16, 16));
  const std::string entry = ReadFileBytes(program.file("data/applications/vandrel-cr2-pose.desktop"));
  EXPECT_NE(entry.find("Exec=\"" + vandrel.executable + "\" -s %f\n"), std::string::npos) << entry;
  EXPECT_TRUE(ui->requests().empty());

  // An earlier version's registration (no material-pose entry of its own)
  // shows unticked, and OK takes every file of it away.
  ::unlink(program.file("data/applications/vandrel-cr2-pose.desktop").c_str());
  FrmSettings again;
  again.setAssociationProgram(vandrel);
  EXPECT_FALSE(check(again, "chkAs(1)")->isChecked());
  press(again, "cmdOK");
  EXPECT_FALSE(HasAssociationFiles(".cr2"));
  EXPECT_FALSE(FileExists(program.file("data/mime/packages/vandrel-cr2.xml")));
  EXPECT_EQ(ReadFileBytes(program.file("config/mimeapps.list")).find("vandrel-cr2"), std::string::npos);
}

TEST_F(FrmSettingsTest, AFailedRegistrationIsShownAndTheRestIsSaved) {
  program.write("data/applications", "a file where the folder should be");
  FrmSettings window;
  window.setAssociationProgram({program.file("exe/vandrel"), ""});
  check(window, "chkAs(2)")->click();
  check(window, "chkDisableProperties")->click();
  press(window, "cmdOK");
  const auto messages = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find("Vandrel could not be registered for .pp2 files:"), std::string::npos)
      << messages[0].text;
  EXPECT_EQ(messages[0].icon, MsgIcon::Exclamation);
  EXPECT_FALSE(IsAssociated(".pp2"));
  EXPECT_TRUE(gSettings.DisableProperties);
  EXPECT_TRUE(FileExists(SettingsPath()));
}

TEST_F(FrmSettingsTest, SwitchesKeepTheirControlsInStepAndWarnAboutThumbnails) {
  FrmSettings window;
  check(window, "chkThumbMain")->click();  // off while MainThumb is on: restart needed
  check(window, "chkThumbMain")->click();  // back as stored: no message
  auto messages = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Changes will take effect the next\r\ntime you start Vandrel.");
  EXPECT_EQ(messages[0].buttons, MsgButtons::OK);
  EXPECT_EQ(messages[0].icon, MsgIcon::None);

  check(window, "chkAutoCorrect")->click();
  EXPECT_TRUE(check(window, "chkNOMAP")->isEnabledTo(&window));
  check(window, "chkVersion")->click();
  EXPECT_FALSE(child<QLineEdit>(window, "txtVersion")->isEnabledTo(&window));
  check(window, "chkP5Version")->click();
  EXPECT_TRUE(child<QLineEdit>(window, "txtP5Version")->isEnabledTo(&window));
  EXPECT_FALSE(child<QLineEdit>(window, "txtCacheFiles")->isEnabledTo(&window));
  check(window, "chkCachePoser")->click();
  EXPECT_TRUE(child<QLineEdit>(window, "txtCacheFiles")->isEnabledTo(&window));
  EXPECT_TRUE(child<QScrollBar>(window, "vscCacheFiles")->isEnabledTo(&window));
}

TEST_F(FrmSettingsTest, CacheBoxesKeepValidNumbers) {
  FrmSettings window;
  auto* files = child<QLineEdit>(window, "txtCacheFiles");
  auto* filesSpin = child<QScrollBar>(window, "vscCacheFiles");
  auto* max = child<QLineEdit>(window, "txtCacheMax");
  // Typed by the user or set from code, the change handler runs.
  files->setText("ab");
  files->insert("c");  // typed
  EXPECT_EQ(files->text(), "0");
  controls::setText(files, "1000");
  EXPECT_EQ(files->text(), "0");
  controls::setText(files, "");
  EXPECT_EQ(files->text(), "");
  controls::setText(files, "250");
  EXPECT_EQ(filesSpin->value(), 250);
  filesSpin->setValue(7);  // stepped by the user
  EXPECT_EQ(files->text(), "7");
  controls::setText(max, "0");
  EXPECT_EQ(max->text(), "1");
  controls::setText(max, "998");
  EXPECT_EQ(child<QScrollBar>(window, "vscCacheMax")->value(), 998);
  EXPECT_EQ(CheckedCacheText(" 12 ", 0, 999, "0"), " 12 ");
  EXPECT_EQ(CheckedCacheText("-1", 0, 999, "0"), "0");
  EXPECT_EQ(CheckedCacheText("1e2", 0, 999, "0"), "1e2");
}

TEST(FolderBrowser, TitlesAndTrailingSlashes) {
  EXPECT_EQ(BrowseFolderTitle(0), "Select your Default Character folder");
  EXPECT_EQ(BrowseFolderTitle(7), "Select your Default Camera folder");
  EXPECT_EQ(BrowseFolderTitle(11), "Select your ");
  EXPECT_EQ(BrowseFolderTitle(-1), "Select your ");
  EXPECT_EQ(RemoveTrailingBackslash("/home/me/"), "/home/me");
  EXPECT_EQ(RemoveTrailingBackslash("/home/me//"), "/home/me/");
  EXPECT_EQ(RemoveTrailingBackslash("/"), "/");
  EXPECT_EQ(RemoveTrailingBackslash(""), "");
}

}  // namespace
}  // namespace vandrel
