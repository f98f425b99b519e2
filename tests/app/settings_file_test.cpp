#include "app/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>

#include "model/model.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "platform/program_folder.h"
#include "platform/registry.h"
#include "platform/scoped_env.h"
#include "platform/scripted_ui.h"
#include "support/fake_pe.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::ReadFileBytes;
using test::TempDir;

// Each test runs with its own program folder, an empty Wine prefix and a
// scripted UI.
class LoadSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModel();
    SetProgramFolder(program_.path());
  }
  void TearDown() override { SetProgramFolder(""); }

  // A Poser folder with every library folder and the textures folder.
  std::string MakePoser(const std::string& name) {
    for (const char* sub : {"Character", "Pose", "Props", "Hair", "Camera", "Face", "Hand", "Light"})
      poser_.mkdir(name + "/Runtime/Libraries/" + sub);
    poser_.mkdir(name + "/Runtime/Textures");
    return poser_.file(name);
  }
  void RegisterPoser(const std::string& folder) {
    ASSERT_TRUE(
        RegWrite("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Poser.exe\\Path", folder));
  }
  std::string Ini() const { return SettingsPath(); }

  TempDir program_, wine_, poser_;
  test::ScopedEnv winePrefix_{"WINEPREFIX", wine_.path()};
  ScopedScriptedUi ui_;
};

TEST_F(LoadSettingsTest, FirstRunWithoutRegistryWritesEveryDefault) {
  LoadSettings();
  EXPECT_TRUE(ui_->requests().empty());
  EXPECT_EQ(ReadFileBytes(Ini()),
            "[Folders]\r\nPoser=none\r\nCR2=none\r\nPZ2=none\r\nPP2=none\r\nHR2=none\r\nCM2=none\r\n"
            "FC2=none\r\nHD2=none\r\nLT2=none\r\nMap=none\r\nSave=none\r\n"
            "[General]\r\nCdlgThumb=True\r\nMapThumb=True\r\nMainThumb=True\r\nAutoCorrect=True\r\n"
            "SetNoMap=False\r\nSetPoserVersion=True\r\nSetP5Version=True\r\nPVersionNumber=4.01\r\n"
            "P5VersionNumber=4.01\r\nSaveAsType=P4\r\nFileSystem=DOS\r\nReportTime=True\r\n"
            "DisableProperties=True\r\n");
  EXPECT_EQ(gSettings.Poser, "none");
  EXPECT_EQ(gSettings.CR2, "none");
  EXPECT_EQ(gSettings.Map, "none");
  EXPECT_TRUE(gSettings.CdlgThumb && gSettings.MapThumb && gSettings.MainThumb && gSettings.AutoCorrect);
  EXPECT_FALSE(gSettings.SetNoMap);
  EXPECT_TRUE(gSettings.SaveAsType);
  EXPECT_TRUE(gSettings.FileSystem);
  EXPECT_EQ(gSettings.PVersionNumber, "4.01");
  EXPECT_EQ(gSettings.P5VersionNumber, "4.01");
  EXPECT_TRUE(gSettings.DefaultTemplate.empty());

  // A second start reads what the first wrote and does not write the file
  // at all (the atomic writer would give it a new inode).
  const std::string first = ReadFileBytes(Ini());
  const auto inode = [this] {
    struct stat st {};
    return ::stat(Ini().c_str(), &st) == 0 ? st.st_ino : 0;
  };
  const auto before = inode();
  LoadSettings();
  EXPECT_EQ(ReadFileBytes(Ini()), first);
  EXPECT_EQ(inode(), before);
  SaveSettings();  // adds the one key a start does not write
  const auto saved = inode();
  SaveSettings();  // the preferences window with nothing changed
  EXPECT_EQ(inode(), saved);

  // A missing key and an emptied value are written back in one write that
  // keeps every other line.
  std::string edited = ReadFileBytes(Ini());
  edited.erase(edited.find("MapThumb=True\r\n"), 15);
  edited.replace(edited.find("FileSystem=DOS"), 14, "FileSystem=");
  ASSERT_TRUE(WriteFileAtomic(Ini(), edited).empty());
  LoadSettings();
  edited.replace(edited.find("FileSystem="), 11, "FileSystem=DOS");
  EXPECT_EQ(ReadFileBytes(Ini()), edited + "MapThumb=True\r\n");
}

TEST_F(LoadSettingsTest, RegistryFolderAcceptedFillsTheDefaultFolders) {
  const std::string poser = MakePoser("Poser 4");
  RegisterPoser(poser);
  ui_->AnswerMessage(MsgResult::Yes);
  LoadSettings();

  const auto asked = ui_->requestsOf(UiRequest::Message);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].text, "Is " + poser + "\r\nyour Poser directory?");
  EXPECT_EQ(asked[0].title, "Default Poser folder");
  EXPECT_EQ(asked[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(asked[0].icon, MsgIcon::None);

  EXPECT_EQ(gSettings.Poser, poser);
  EXPECT_EQ(gSettings.CR2, poser + "/Runtime/Libraries/Character");
  EXPECT_EQ(gSettings.LT2, poser + "/Runtime/Libraries/Light");
  EXPECT_EQ(gSettings.Map, poser + "/Runtime/Textures");
  EXPECT_EQ(gSettings.Save, poser + "/Runtime/Libraries/Pose");

  // Next start: the stored folder exists, so nothing is asked.
  ui_->clear();
  LoadSettings();
  EXPECT_TRUE(ui_->requests().empty());
}

TEST_F(LoadSettingsTest, RegistryFolderDeclinedIsAskedAgainNextStart) {
  const std::string poser = MakePoser("Poser");
  RegisterPoser(poser);
  ui_->AnswerMessage(MsgResult::No);
  LoadSettings();
  auto asked = ui_->requestsOf(UiRequest::Message);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(
      asked[1].text,
      "You can manually choose your Poser folder later\r\nin the Preferences form (in the Settings menu).");
  EXPECT_EQ(asked[1].title, "Vandrel");
  EXPECT_EQ(asked[1].buttons, MsgButtons::OK);
  EXPECT_EQ(gSettings.Poser, "none");
  EXPECT_EQ(gSettings.PZ2, "none");

  ui_->clear();
  ui_->AnswerMessage(MsgResult::No);
  LoadSettings();
  EXPECT_EQ(ui_->requestsOf(UiRequest::Message).size(), 2u);
}

TEST_F(LoadSettingsTest, QuietStartDeclinesWithoutAsking) {
  RegisterPoser(MakePoser("Poser"));
  LoadSettings(/*quiet=*/true);
  EXPECT_TRUE(ui_->requests().empty());
  EXPECT_EQ(gSettings.Poser, "none");
}

TEST_F(LoadSettingsTest, RegistryFolderThatIsMissingGivesNoneWithoutQuestion) {
  RegisterPoser(poser_.file("gone"));
  LoadSettings();
  EXPECT_TRUE(ui_->requests().empty());
  EXPECT_EQ(gSettings.Poser, "none");
}

TEST_F(LoadSettingsTest, WineRegistryNamesPoser) {
  poser_.mkdir("x");  // keep poser_ non-empty
  wine_.mkdir("drive_c/Program Files/Poser/Runtime/Libraries/Pose");
  wine_.write("system.reg",
              "WINE REGISTRY Version 2\n\n"
              "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\Poser.exe] 1700000000\n"
              "#time=1d9\n@=\"C:\\\\Program Files\\\\Poser\\\\Poser.exe\"\n"
              "\"Path\"=\"C:\\\\Program Files\\\\Poser\"\n\n");
  ui_->AnswerMessage(MsgResult::Yes);
  LoadSettings();
  EXPECT_EQ(gSettings.Poser, wine_.path() + "/drive_c/Program Files/Poser");
  EXPECT_EQ(gSettings.PZ2, wine_.path() + "/drive_c/Program Files/Poser/Runtime/Libraries/Pose");
  EXPECT_EQ(gSettings.CR2, "none");
}

TEST_F(LoadSettingsTest, StoredFoldersMissingAtStartAreUnsetForTheRunButStayStored) {
  const std::string poser = MakePoser("Poser");
  const std::string elsewhere = program_.mkdir("My Characters");
  const std::string unmounted = poser_.file("share/Props");
  WriteIni("Folders", "Poser", poser, Ini());
  WriteIni("Folders", "CR2", elsewhere, Ini());
  WriteIni("Folders", "PP2", unmounted, Ini());
  WriteIni("Folders", "HR2", "none", Ini());
  LoadSettings();
  EXPECT_TRUE(ui_->requests().empty());
  EXPECT_EQ(gSettings.CR2, elsewhere);
  EXPECT_EQ(gSettings.PP2, poser + "/Runtime/Libraries/Props");  // the default for this run
  EXPECT_EQ(ReadIni("Folders", "PP2", Ini()), unmounted);
  EXPECT_EQ(gSettings.HR2, poser + "/Runtime/Libraries/Hair");  // "none" is no folder of the user's
  EXPECT_EQ(ReadIni("Folders", "HR2", Ini()), poser + "/Runtime/Libraries/Hair");

  // The Poser folder itself missing (a quiet -s start, registry declined):
  // "none" for the run, every folder below it too, and the file unchanged.
  WriteIni("Folders", "Poser", poser_.file("share/Poser"), Ini());
  const std::string stored = ReadFileBytes(Ini());
  RegisterPoser(poser);
  LoadSettings(/*quiet=*/true);
  EXPECT_EQ(gSettings.Poser, "none");
  EXPECT_EQ(gSettings.PP2, "none");
  EXPECT_EQ(gSettings.CR2, elsewhere);
  EXPECT_EQ(ReadFileBytes(Ini()), stored);
  // Saving the preferences keeps what the user did not change.
  gSettings.PZ2 = elsewhere;
  EXPECT_EQ(SaveSettings(), "");
  EXPECT_EQ(ReadIni("Folders", "Poser", Ini()), poser_.file("share/Poser"));
  EXPECT_EQ(ReadIni("Folders", "PP2", Ini()), unmounted);
  EXPECT_EQ(ReadIni("Folders", "PZ2", Ini()), elsewhere);
  // The drive is back: the stored folders are used again.
  MakePoser("share/Poser");
  poser_.mkdir("share/Props");
  LoadSettings(/*quiet=*/true);
  EXPECT_EQ(gSettings.Poser, poser_.file("share/Poser"));
  EXPECT_EQ(gSettings.PP2, unmounted);
}

TEST_F(LoadSettingsTest, DefaultFoldersFoundInAnyCase) {
  poser_.mkdir("P/runtime/libraries/character");
  WriteIni("Folders", "Poser", poser_.file("P"), Ini());
  LoadSettings();
  EXPECT_EQ(gSettings.CR2, poser_.file("P") + "/runtime/libraries/character");
  EXPECT_EQ(gSettings.PZ2, "none");
}

TEST_F(LoadSettingsTest, VersionNumbersFromPoserExe) {
  const std::string poser = MakePoser("Poser");
  poser_.write("Poser/Poser.exe", test::FakePeBytes(4, 0, 3, 108));
  WriteIni("Folders", "Poser", poser, Ini());
  WriteIni("General", "P5VersionNumber", "4.2", Ini());
  LoadSettings();
  EXPECT_EQ(gSettings.PVersionNumber, "4.0");
  EXPECT_EQ(gSettings.P5VersionNumber, "4.2");
  EXPECT_EQ(ReadIni("General", "PVersionNumber", Ini()), "4.0");

  // Without version information the number is empty, written back empty and
  // derived again at the next start.
  poser_.write("Poser/Poser.exe", test::FakePeBytes(0, 0, 0, 0, false));
  WriteIni("General", "PVersionNumber", "", Ini());
  LoadSettings();
  EXPECT_EQ(gSettings.PVersionNumber, "");
  poser_.write("Poser/Poser.exe", test::FakePeBytes(5, 0, 2, 1234));
  LoadSettings();
  EXPECT_EQ(gSettings.PVersionNumber, "5.0");
}

TEST(ShortVersion, CutsBeforeTheSecondDot) {
  EXPECT_EQ(ShortVersion("5.0.2.1234"), "5.0");
  EXPECT_EQ(ShortVersion("4.01"), "4.01");
  EXPECT_EQ(ShortVersion("7"), "7");
  EXPECT_EQ(ShortVersion(""), "");
  EXPECT_EQ(ShortVersion("1..2"), "1.");
}

TEST_F(LoadSettingsTest, SwitchAndChoiceValuesInAnyCase) {
  WriteIni("General", "CdlgThumb", "TRUE", Ini());
  WriteIni("General", "MapThumb", "yes", Ini());
  WriteIni("General", "MainThumb", "1", Ini());
  WriteIni("General", "SetNoMap", "tRuE", Ini());
  WriteIni("General", "SaveAsType", "p5", Ini());
  WriteIni("General", "FileSystem", "Unix", Ini());
  LoadSettings();
  EXPECT_TRUE(gSettings.CdlgThumb);
  EXPECT_FALSE(gSettings.MapThumb);
  EXPECT_FALSE(gSettings.MainThumb);
  EXPECT_TRUE(gSettings.SetNoMap);
  EXPECT_FALSE(gSettings.SaveAsType);
  EXPECT_FALSE(gSettings.FileSystem);
  // Values that were present are not rewritten.
  EXPECT_EQ(ReadIni("General", "SaveAsType", Ini()), "p5");
  EXPECT_EQ(ReadIni("General", "MapThumb", Ini()), "yes");

  WriteIni("General", "SaveAsType", "P4", Ini());
  WriteIni("General", "FileSystem", "dos", Ini());
  LoadSettings();
  EXPECT_TRUE(gSettings.SaveAsType);
  EXPECT_TRUE(gSettings.FileSystem);
}

TEST_F(LoadSettingsTest, DefaultTemplateMustExist) {
  program_.write("Templates/Skin.cfg", "x\r\n");
  WriteIni("General", "DefaultTemplate", "Skin", Ini());
  LoadSettings();
  EXPECT_EQ(gSettings.DefaultTemplate, "Skin");

  WriteIni("General", "DefaultTemplate", "Deleted", Ini());
  LoadSettings();
  EXPECT_EQ(gSettings.DefaultTemplate, "");
  EXPECT_EQ(ReadIni("General", "DefaultTemplate", Ini()), "Deleted");
}

TEST_F(LoadSettingsTest, SaveSettingsWritesEveryKeyAndReadsBack) {
  LoadSettings();
  gSettings.CR2 = "/data/cr2";
  gSettings.DefaultTemplate = "";
  gSettings.SaveAsType = false;
  gSettings.FileSystem = false;
  gSettings.SetNoMap = true;
  gSettings.PVersionNumber = "5";
  SaveSettings();
  const std::string text = ReadFileBytes(Ini());
  EXPECT_NE(text.find("CR2=/data/cr2\r\n"), std::string::npos);
  EXPECT_NE(text.find("DisableProperties=True\r\nDefaultTemplate=\r\n"), std::string::npos);
  EXPECT_NE(text.find("SaveAsType=P5\r\n"), std::string::npos);
  EXPECT_NE(text.find("FileSystem=UNIX\r\n"), std::string::npos);

  const SettingsRec saved = gSettings;
  gSettings = SettingsRec{};
  LoadSettings();
  EXPECT_EQ(gSettings.CR2, "none");  // "/data/cr2" does not exist: unset for this run
  EXPECT_EQ(ReadIni("Folders", "CR2", Ini()), "/data/cr2");
  EXPECT_EQ(gSettings.SetNoMap, saved.SetNoMap);
  EXPECT_EQ(gSettings.SaveAsType, saved.SaveAsType);
  EXPECT_EQ(gSettings.FileSystem, saved.FileSystem);
  EXPECT_EQ(gSettings.PVersionNumber, "5");
}

}  // namespace
}  // namespace vandrel

namespace vandrel {
namespace {

TEST(SaveSettings, ReportsAFileThatCannotBeWritten) {
  test::TempDir dir;
  const std::string blocker = dir.write("not-a-folder", "x");
  SetProgramFolder(blocker);  // a file where the folder should be
  ResetModel();
  const std::string error = SaveSettings();
  SetProgramFolder("");
  EXPECT_NE(error.find("could not be saved"), std::string::npos);
  EXPECT_EQ(test::ReadFileBytes(blocker), "x");
}

}  // namespace
}  // namespace vandrel
