#include "maps/poser_paths.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "model/model.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

TEST(PoserPaths, ColonPathsLieBelowThePoserFolderInTheirStoredCase) {
  test::TempDir poser;
  ResetModel();
  gSettings.Poser = poser.path();
  poser.write("Runtime/Textures/Vandrel/Skin.JPG", "x");
  poser.write("Runtime/Textures/Wood.jpg", "x");

  EXPECT_EQ(PoserPathToFilePath(":Runtime:Textures:Vandrel:skin.jpg"), poser.file("Runtime/Textures/Vandrel/Skin.JPG"));
  EXPECT_EQ(PoserPathToFilePath(":textures:Vandrel:SKIN.jpg"), poser.file("Runtime/Textures/Vandrel/Skin.JPG"));
  EXPECT_EQ(PoserPathToFilePath(":Vandrel:Skin.jpg"), poser.file("Runtime/Textures/Vandrel/Skin.JPG"));
  EXPECT_EQ(PoserPathToFilePath(":wood.jpg"), poser.file("Runtime/Textures/Wood.jpg"));
  // Missing files come back lower-cased, Poser folder included.
  EXPECT_EQ(PoserPathToFilePath(":Runtime:Textures:Gone.jpg"), LCase(poser.file("Runtime/Textures/Gone.jpg")));
  // A colon path that holds ":runtime:" further on matches no rule.
  EXPECT_EQ(PoserPathToFilePath(":Poser:Runtime:textures:a.jpg"), ":Poser:Runtime:textures:a.jpg");
  EXPECT_EQ(PoserPathToFilePath("/maps/Skin.jpg"), "/maps/Skin.jpg");
  EXPECT_EQ(PoserPathToFilePath("NO_MAP"), "no_map");
  EXPECT_EQ(PoserPathToFilePath(""), "");
  ResetModel();
}

}  // namespace
}  // namespace vandrel
