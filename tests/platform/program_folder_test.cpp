#include "platform/program_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/scoped_env.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::ScopedEnv;
using test::TempDir;

TEST(ProgramFolder, ExecutableFolderHoldsTheRunningProgram) {
  const std::string folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '/');
  EXPECT_TRUE(FileExists(JoinPath(folder, "tests_platform")));
}

TEST(ProgramFolder, SetFolderWinsUntilCleared) {
  TempDir dir;
  SetProgramFolder(dir.path() + "/");
  EXPECT_EQ(ProgramFolder(), dir.path());
  SetProgramFolder("");
  const std::string exe = ExecutableFolder();
  EXPECT_EQ(ProgramFolder(), ::access(exe.c_str(), W_OK) == 0 ? exe : UserDataFolder());
}

TEST(ProgramFolder, UserDataFolderFollowsXdgThenHome) {
  TempDir dir;
  {
    ScopedEnv xdg("XDG_DATA_HOME", dir.file("xdg"));
    EXPECT_EQ(UserDataFolder(), dir.file("xdg/vandrel"));
    EXPECT_TRUE(FolderExists(dir.file("xdg/vandrel")));
  }
  ScopedEnv home("HOME", dir.file("home"));
  {
    ScopedEnv xdg("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(UserDataFolder(), dir.file("home/.local/share/vandrel"));
  }
  // A relative XDG_DATA_HOME is ignored, as the base folder rules say.
  ScopedEnv xdg("XDG_DATA_HOME", std::string("relative/data"));
  EXPECT_EQ(UserDataFolder(), dir.file("home/.local/share/vandrel"));
  EXPECT_TRUE(FolderExists(dir.file("home/.local/share/vandrel")));
}

}  // namespace
}  // namespace vandrel
