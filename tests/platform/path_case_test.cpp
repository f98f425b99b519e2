#include "platform/path_case.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "support/temp_dir.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Runtime/Textures/Skin.JPG, Runtime/Textures/skin.jpg and SKIN.jpg (three
// names differing only by case), Runtime/Geometries/.Hidden, Runtime/libraries/
class PathCaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.path();
    dir_.write("Runtime/Textures/Skin.JPG", "1");
    dir_.write("Runtime/Textures/skin.jpg", "2");
    dir_.write("Runtime/Textures/SKIN.jpg", "3");
    dir_.write("Runtime/Geometries/.Hidden", "4");
    dir_.mkdir("Runtime/libraries");
  }
  TempDir dir_;
  std::string root_;
};

TEST_F(PathCaseTest, FindStoredNameExactFirstThenFirstSorted) {
  const std::string textures = root_ + "/Runtime/Textures";
  EXPECT_EQ(FindStoredName(textures, "skin.jpg"), "skin.jpg");
  EXPECT_EQ(FindStoredName(textures, "Skin.JPG"), "Skin.JPG");
  EXPECT_EQ(FindStoredName(textures, "sKiN.JpG"), "SKIN.jpg");  // byte order: "SKIN" < "Skin" < "skin"
  EXPECT_EQ(FindStoredName(root_ + "/Runtime/Geometries", ".hidden"), ".Hidden");
  EXPECT_EQ(FindStoredName(root_ + "/runtime", "LIBRARIES"), "");  // the folder itself must be right
  EXPECT_EQ(FindStoredName(root_ + "/Runtime", "LIBRARIES"), "libraries");
  EXPECT_EQ(FindStoredName(textures, "face.jpg"), "");
  EXPECT_EQ(FindStoredName(textures, ""), "");
  EXPECT_EQ(FindStoredName(root_, "runtime/textures"), "");
}

TEST_F(PathCaseTest, TrueCasePathWalksEveryComponent) {
  EXPECT_EQ(TrueCasePath(root_ + "/RUNTIME/textures/SKIN.JPG"), root_ + "/Runtime/Textures/SKIN.jpg");
  EXPECT_EQ(TrueCasePath(root_ + "/Runtime/Textures/skin.jpg"), root_ + "/Runtime/Textures/skin.jpg");
  EXPECT_EQ(TrueCasePath(root_ + "/runtime/LIBRARIES/"), root_ + "/Runtime/libraries");
  EXPECT_EQ(TrueCasePath(root_ + "//runtime/./Geometries/../libraries"), root_ + "/Runtime/libraries");
  EXPECT_EQ(TrueCasePath(root_ + "/runtime/missing/skin.jpg"), "");
  EXPECT_EQ(TrueCasePath(root_ + "/runtime/textures/skin.jpg/more"), "");
  EXPECT_EQ(TrueCasePath(""), "");
  EXPECT_EQ(TrueCasePath("/"), "/");
  EXPECT_EQ(TrueCasePath("/.."), "/");

  const fs::path saved = fs::current_path();
  fs::current_path(root_ + "/Runtime/Textures");
  const std::string relative = TrueCasePath("../GEOMETRIES/.hidden");
  const std::string here = TrueCasePath(".");
  fs::current_path(saved);
  EXPECT_EQ(relative, root_ + "/Runtime/Geometries/.Hidden");
  EXPECT_EQ(here, root_ + "/Runtime/Textures");
}

TEST_F(PathCaseTest, ResolvePathCaseTakesBackslashes) {
  EXPECT_EQ(ResolvePathCase(root_ + "\\runtime\\TEXTURES\\Skin.jpg"), root_ + "/Runtime/Textures/SKIN.jpg");
  EXPECT_EQ(ResolvePathCase(root_ + "/Runtime\\libraries\\"), root_ + "/Runtime/libraries");
  EXPECT_EQ(ResolvePathCase(root_ + "\\Runtime\\Nothing"), "");
}

// A name from Poser text in Windows-1252 finds the file the disk names in
// UTF-8 (its Unicode form first, then its bytes), in or out of a scope.
TEST_F(PathCaseTest, WindowsNamesFindUtf8FilesFirstThenTheirOwnBytes) {
  const std::string fruits = dir_.mkdir(
      "Fr\xC3\xBC"
      "chte");
  dir_.write(
      "Fr\xC3\xBC"
      "chte/p\xC3\xAA"
      "che.JPG",
      "utf-8");
  dir_.write(
      "Fr\xC3\xBC"
      "chte/Abricot \xE9t\xE9.jpg",
      "latin-1 bytes on disk");
  for (int scoped = 0; scoped < 2; ++scoped) {
    std::optional<ScopedFolderListings> listings;
    if (scoped) listings.emplace();
    EXPECT_EQ(TrueCasePath(root_ + "/FR\xFC"
                                   "CHTE/P\xEA"
                                   "che.jpg"),
              fruits +
                  "/p\xC3\xAA"
                  "che.JPG")
        << scoped;
    EXPECT_EQ(FindStoredName(fruits, "abricot \xE9t\xE9.JPG"), "Abricot \xE9t\xE9.jpg") << scoped;
    EXPECT_EQ(FindStoredName(fruits, "Abricot \xC3\xA9t\xC3\xA9.jpg"), "Abricot \xE9t\xE9.jpg") << scoped;
    EXPECT_EQ(FindStoredName(fruits,
                             "P\xCA"
                             "che.jpg"),
              "")
        << scoped;  // only ASCII letters fold
  }
  dir_.write(
      "Fr\xC3\xBC"
      "chte/p\xEA"
      "che.JPG",
      "both forms");
  EXPECT_EQ(FindStoredName(fruits,
                           "p\xEA"
                           "che.JPG"),
            "p\xC3\xAA"
            "che.JPG");
}

}  // namespace
}  // namespace vandrel
