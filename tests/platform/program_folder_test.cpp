#include "platform/program_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/earlier_files.h"
#include "platform/files.h"
#include "platform/scoped_env.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::ReadFileBytes;
using test::ScopedEnv;
using test::TempDir;

TEST(ProgramFolder, ExecutableFolderHoldsTheRunningProgram) {
  const std::string folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '/');
  EXPECT_TRUE(FileExists(JoinPath(folder, "tests_platform")));
}

// The user's folders with every variable set, unset (home defaults), relative
// (ignored, as the base folder rules say), and under VANDREL_HOME or a folder
// set by a test, which hold all three.
TEST(ProgramFolder, UserFoldersFollowXdgThenHomeUnlessOneFolderIsSet) {
  TempDir dir;
  ScopedEnv home("HOME", dir.file("home"));
  ScopedEnv noHome("VANDREL_HOME", std::nullopt);
  struct Case {
    const char* variable;
    std::string (*folder)();
    const char* fallback;
  };
  const Case cases[] = {{"XDG_CONFIG_HOME", UserConfigFolder, "home/.config/vandrel"},
                        {"XDG_DATA_HOME", UserDataFolder, "home/.local/share/vandrel"},
                        {"XDG_CACHE_HOME", UserCacheFolder, "home/.cache/vandrel"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.variable);
    {
      ScopedEnv set(c.variable, dir.file(std::string("xdg/") + c.variable + "/"));
      EXPECT_EQ(c.folder(), dir.file(std::string("xdg/") + c.variable + "/vandrel"));
      EXPECT_TRUE(FolderExists(c.folder()));  // created when missing
    }
    for (const std::optional<std::string>& value :
         {std::optional<std::string>(), std::optional<std::string>("rel")}) {
      ScopedEnv unset(c.variable, value);
      EXPECT_EQ(c.folder(), dir.file(c.fallback));
      EXPECT_TRUE(FolderExists(c.folder()));
    }
    {
      ScopedEnv portable("VANDREL_HOME", dir.file("portable"));
      EXPECT_EQ(c.folder(), dir.file("portable"));
      EXPECT_EQ(ProgramFolderOverride(), dir.file("portable"));
      SetProgramFolder(dir.file("test") + "/");
      EXPECT_EQ(c.folder(), dir.file("test"));
      SetProgramFolder("");
    }
  }
  EXPECT_EQ(ProgramFolderOverride(), "");
}

class EarlierFilesTest : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedEnv noHome{"VANDREL_HOME", std::nullopt};
  ScopedEnv config{"XDG_CONFIG_HOME", dir.file("config")};
  ScopedEnv data{"XDG_DATA_HOME", dir.file("data")};
  ScopedEnv cache{"XDG_CACHE_HOME", dir.file("cache")};

  // An earlier run's program folder: preferences, a template and a cache file.
  std::string OldFolder(const std::string& name, const std::string& poser = "/poser",
                        const std::string& templateName = "Skin") {
    const std::string old = dir.mkdir(name);
    dir.write(name + "/Settings.ini", "[Folders]\r\nPoser=" + poser + "\r\n");
    dir.write(name + "/Templates/" + templateName + ".cfg", templateName + "\r\n");
    dir.write(name + "/Cache/jpgs.txt", "a.jpg\r\n/maps\r\n");
    return old;
  }
};

TEST_F(EarlierFilesTest, MovedOnceWithoutReplacingWhatIsAlreadyThere) {
  const std::string exe = OldFolder("exe");
  const std::string share = OldFolder("data/vandrel", "/older", "Arms");  // templates already in place
  {
    // Nothing moves while one folder holds all.
    ScopedEnv portable("VANDREL_HOME", dir.file("portable"));
    EXPECT_TRUE(MoveEarlierFiles({exe}).empty());
    EXPECT_TRUE(FileExists(dir.file("exe/Settings.ini")));
    EXPECT_FALSE(FileExists(dir.file("portable/Settings.ini")));
  }
  // The second old place's preferences differ from those moved first: they
  // stay, and are named. Its cache file is the same as the moved one.
  const std::vector<std::string> stays = {
      dir.file("data/vandrel/Settings.ini") +
      " stays where it is: " + dir.file("config/vandrel/Settings.ini") +
      " is there already, and that one is used. Remove the old file when you "
      "no longer need it."};
  EXPECT_EQ(MoveEarlierFiles({exe, share}), stays);

  EXPECT_EQ(ReadFileBytes(dir.file("config/vandrel/Settings.ini")), "[Folders]\r\nPoser=/poser\r\n");
  EXPECT_EQ(ReadFileBytes(dir.file("data/vandrel/Templates/Skin.cfg")), "Skin\r\n");
  EXPECT_EQ(ReadFileBytes(dir.file("data/vandrel/Templates/Arms.cfg")), "Arms\r\n");
  EXPECT_EQ(ReadFileBytes(dir.file("cache/vandrel/Cache/jpgs.txt")), "a.jpg\r\n/maps\r\n");
  EXPECT_FALSE(FileExists(dir.file("exe/Settings.ini")));
  EXPECT_FALSE(FolderExists(dir.file("exe/Templates")));
  EXPECT_FALSE(FolderExists(dir.file("exe/Cache")));
  // The second old place's files found the first ones' copies: they stay.
  EXPECT_EQ(ReadFileBytes(dir.file("data/vandrel/Settings.ini")), "[Folders]\r\nPoser=/older\r\n");
  EXPECT_TRUE(FileExists(dir.file("data/vandrel/Cache/jpgs.txt")));

  // A later start finds nothing more to move and changes nothing; what stays is named again.
  EXPECT_EQ(MoveEarlierFiles({exe, share}), stays);
  EXPECT_EQ(ReadFileBytes(dir.file("config/vandrel/Settings.ini")), "[Folders]\r\nPoser=/poser\r\n");
}

TEST_F(EarlierFilesTest, FailedCopyLeavesTheOldFile) {
  const std::string exe = OldFolder("exe");
  dir.write("config/vandrel", "a file where the folder should be");
  const std::vector<std::string> problems = MoveEarlierFiles({exe});
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].rfind(dir.file("exe/Settings.ini") + " could not be moved to " +
                                  dir.file("config/vandrel/Settings.ini") + " (the folder " +
                                  dir.file("config/vandrel") + " cannot be made: ",
                              0),
            0u)
      << problems[0];
  EXPECT_EQ(problems[0].find("No such file"), std::string::npos) << problems[0];
  EXPECT_EQ(ReadFileBytes(dir.file("exe/Settings.ini")), "[Folders]\r\nPoser=/poser\r\n");
  // What could be copied has moved.
  EXPECT_TRUE(FileExists(dir.file("data/vandrel/Templates/Skin.cfg")));
  EXPECT_FALSE(FileExists(dir.file("exe/Templates/Skin.cfg")));

  // A config folder that cannot be made for lack of permission says so.
  if (::geteuid() != 0) {
    ::unlink(dir.file("config/vandrel").c_str());
    ASSERT_EQ(::chmod(dir.file("config").c_str(), 0555), 0);
    const std::vector<std::string> denied = MoveEarlierFiles({exe});
    ::chmod(dir.file("config").c_str(), 0755);
    ASSERT_EQ(denied.size(), 1u);
    EXPECT_NE(denied[0].find("cannot be made: Permission denied"), std::string::npos) << denied[0];
  }
}

}  // namespace
}  // namespace vandrel
