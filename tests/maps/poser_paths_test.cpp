#include "maps/poser_paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "common/text.h"
#include "model/model.h"
#include "platform/path_case.h"
#include "platform/scripted_ui.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

class PoserPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModel();
    gSettings.Poser = poser.path() + "/Poser";
    poser.write("Poser/Runtime/Textures/Vandrel/Skin.JPG", "x");
    poser.write("Poser/Runtime/Textures/Wood.jpg", "x");
    poser.write("Poser5/Runtime/Textures/Wood.jpg", "x");
  }
  void TearDown() override { ResetModel(); }
  std::string P(const std::string& rest) const { return poser.file("Poser/" + rest); }
  test::TempDir poser;
};

TEST_F(PoserPaths, ColonPathsLieBelowThePoserFolderInTheirStoredCase) {
  const std::string skin = P("Runtime/Textures/Vandrel/Skin.JPG");
  const struct {
    std::string in, out;
  } cases[] = {
      {":Runtime:Textures:Vandrel:skin.jpg", skin},
      {":RUNTIME:textures:VANDREL:SKIN.JPG", skin},
      {":textures:Vandrel:SKIN.jpg", skin},
      {":Vandrel:Skin.jpg", skin},
      {":wood.jpg", P("Runtime/Textures/Wood.jpg")},
      // Missing files come back lower-cased, Poser folder included.
      {":Runtime:Textures:Gone.jpg", LCase(P("Runtime/Textures/Gone.jpg"))},
      {":People:Jo:a.jpg", LCase(P("Runtime/Textures/People/Jo/a.jpg"))},
      // A colon path that holds ":runtime:" further on matches no rule.
      {":Poser:Runtime:textures:a.jpg", ":Poser:Runtime:textures:a.jpg"},
      // Full paths: stored case when they exist, else as they are.
      {LCase(skin), skin},
      {"/maps/Skin.jpg", "/maps/Skin.jpg"},
      {"C:\\Poser\\Runtime\\Textures\\a.jpg", "C:\\Poser\\Runtime\\Textures\\a.jpg"},
      {"NO_MAP", "no_map"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PoserPathToFilePath(c.in), c.out) << c.in;
}

TEST_F(PoserPaths, WithoutAPoserFolderColonPathsNameNoFile) {
  // A working folder that holds none/Runtime/Textures/a.jpg must not count.
  const auto cwd = std::filesystem::current_path();
  poser.write("none/Runtime/Textures/a.jpg", "x");
  std::filesystem::current_path(poser.path());
  for (const std::string folder : {"none", "", "Poser", "NONE"}) {
    gSettings.Poser = folder;
    EXPECT_EQ(PoserPathToFilePath(":Runtime:Textures:a.jpg"), "") << folder;
    EXPECT_EQ(PoserPathToFilePath(":a.jpg"), "") << folder;
    EXPECT_EQ(FilePathToPoserPath(poser.file("none/Runtime/Textures/a.jpg"), false),
              poser.file("none/Runtime/Textures/a.jpg"));
  }
  std::filesystem::current_path(cwd);
}

TEST_F(PoserPaths, FoundFilesBecomeColonPathsUnlessFullPathsAreChosen) {
  const std::string skin = P("Runtime/Textures/Vandrel/Skin.JPG");
  EXPECT_EQ(FilePathToPoserPath(LCase(skin), false), ":Runtime:Textures:Vandrel:Skin.JPG");
  EXPECT_EQ(FilePathToPoserPath(LCase(skin), true), skin);
  // The Poser folder matches without regard to case, at a component boundary only.
  gSettings.Poser = UCase(gSettings.Poser);
  EXPECT_EQ(FilePathToPoserPath(skin, false), ":Runtime:Textures:Vandrel:Skin.JPG");
  const std::string poser5 = poser.file("Poser5/Runtime/Textures/Wood.jpg");
  EXPECT_EQ(FilePathToPoserPath(poser5, false), poser5);
  // A missing file keeps its text; below the folder it still becomes a colon path.
  EXPECT_EQ(FilePathToPoserPath(P("Runtime/Textures/new.jpg"), false), ":Runtime:Textures:new.jpg");
  EXPECT_EQ(FilePathToPoserPath("/elsewhere/a.jpg", false), "/elsewhere/a.jpg");
  // A name holding ":" would turn into another file as a colon path.
  EXPECT_EQ(FilePathToPoserPath(P("Runtime/a:b.jpg"), false), P("Runtime/a:b.jpg"));
  EXPECT_EQ(FilePathToPoserPath(gSettings.Poser, false), poser.file("Poser"));
  // And back again.
  EXPECT_EQ(PoserPathToFilePath(FilePathToPoserPath(skin, false)), skin);
}

TEST_F(PoserPaths, AColonPathIsStoredOnlyWhenItNamesTheSameFile) {
  gSettings.Poser = poser.file("Poser");
  for (const char* rest : {"Downloads/tex/shirt.jpg", "Downloads/Runtime/Textures/shirt.jpg", "shirt.jpg",
                           "Downloads/missing.jpg"}) {
    if (std::string(rest) != "Downloads/missing.jpg") poser.write("Poser/" + std::string(rest), "x");
    EXPECT_EQ(FilePathToPoserPath(P(rest), false), P(rest)) << rest;
  }
  poser.write("Poser/Runtime/Geometries/g.jpg", "x");
  EXPECT_EQ(FilePathToPoserPath(P("Runtime/Geometries/g.jpg"), false), ":Runtime:Geometries:g.jpg");
  EXPECT_EQ(FilePathToPoserPath(P("Runtime/Textures/Wood.jpg"), false), ":Runtime:Textures:Wood.jpg");
}

TEST(PoserPathNames, FileNameSplitsAtColonsAndBothSlashes) {
  for (const auto& [path, name] :
       std::vector<std::pair<std::string, std::string>>{{":Runtime:Textures:a.jpg", "a.jpg"},
                                                        {"a.jpg", "a.jpg"},
                                                        {"C:\\Maps\\Skin.JPG", "Skin.JPG"},
                                                        {"/home/jo/Maps/Skin.JPG", "Skin.JPG"},
                                                        {"C:\\Maps/x\\", ""},
                                                        {"", ""}})
    EXPECT_EQ(GetFileName(path), name) << path;
}

TEST_F(PoserPaths, OpeningAMapTellsTheResultAsTheShellNumbersIt) {
  ScopedScriptedUi ui;
  UiHost shown;
  const ShellOpener open = [](const std::string& file) { return Ui().ShellOpen(file); };
  ShellOpenPoserPath("", shown, open);
  EXPECT_TRUE(ui->requests().empty());

  const struct {
    ShellResult result;
    const char* text;  // nullptr = opened, no message
  } cases[] = {
      {ShellResult::Opened, nullptr},
      {ShellResult::FileNotFound, "File not found"},
      {ShellResult::PathNotFound, "Path not found"},
      {ShellResult::Refused, "Access denied"},
      {ShellResult::NotStarted, "Incomplete or invalid file association"},
      {ShellResult::NoAssociation, "No association for file extension"},
  };
  for (const auto& c : cases) {
    ui->clear();
    ui->AnswerShell(c.result);
    ShellOpenPoserPath(":vandrel:skin.jpg", shown, open);
    const auto shell = ui->requestsOf(UiRequest::Shell);
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].text, P("Runtime/Textures/Vandrel/Skin.JPG"));
    const auto messages = ui->requestsOf(UiRequest::Message);
    ASSERT_EQ(messages.size(), c.text ? 1u : 0u);
    if (!c.text) continue;
    EXPECT_EQ(std::tuple(messages[0].text, messages[0].title, messages[0].icon, messages[0].buttons),
              std::tuple(std::string(c.text), std::string(), MsgIcon::None, MsgButtons::OK));
  }
  // A missing map keeps the case it was written in.
  ui->clear();
  ShellOpenPoserPath(":textures:Gone:A.jpg", shown, open);
  EXPECT_EQ(ui->requestsOf(UiRequest::Shell).at(0).text, P("Runtime/textures/Gone/A.jpg"));
  // With no Poser folder a colon path is not found, and nothing is asked of the shell.
  ui->clear();
  gSettings.Poser = "none";
  ShellOpenPoserPath(":vandrel:skin.jpg", shown, open);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Shell).empty());
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).at(0).text, "File not found");
  ui->clear();  // a Windows path or a web address is not a file here
  ShellOpenPoserPath("C:\\Poser\\Runtime\\Textures\\a.jpg", shown, open);
  ShellOpenPoserPath("steam://run/1", shown, open);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Shell).empty());
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).at(1).text, "Path not found");
  EXPECT_EQ(ShellOpenErrorText(0), "Unknown error");
  EXPECT_EQ(ShellOpenErrorText(32), "DLL not found");
}

TEST_F(PoserPaths, FolderListingsAreKeptForOneOperation) {
  const std::string wood = P("Runtime/Textures/Wood.jpg");
  {
    ScopedFolderListings listings;
    EXPECT_EQ(PoserPathToFilePath(":WOOD.JPG"), wood);
    // A file made during the operation is not seen until it ends...
    poser.write("Poser/Runtime/Textures/Late.jpg", "x");
    EXPECT_EQ(PoserPathToFilePath(":late.jpg"), LCase(P("Runtime/Textures/Late.jpg")));
    EXPECT_EQ(PoserPathToFilePath(":wood.jpg"), wood);
  }
  // ...and afterwards it is.
  EXPECT_EQ(PoserPathToFilePath(":late.jpg"), P("Runtime/Textures/Late.jpg"));
}

}  // namespace
}  // namespace vandrel
