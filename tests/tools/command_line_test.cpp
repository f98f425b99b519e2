#include "tools/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "model/state.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

TEST(CommandLine, ArgumentsJoinIntoOneString) {
  char a0[] = "vandrel", a1[] = "-s", a2[] = "/lib/my pose.pz2";
  char* argv[] = {a0, a1, a2};
  EXPECT_EQ(JoinCommandLine(3, argv), "-s /lib/my pose.pz2");
  EXPECT_EQ(JoinCommandLine(1, argv), "");
}

TEST(CommandLine, TypeFromTheLastThreeCharactersOfTheUnquotedLine) {
  EXPECT_EQ(CommandLineFileType("\"/lib/My Pose.pz2\""), kPz2);
  EXPECT_EQ(CommandLineFileType("/lib/FIGURE.CR2"), kCr2);
  EXPECT_EQ(CommandLineFileType("-s /lib/hair.hr2  "), kHr2);
  EXPECT_EQ(CommandLineFileType("/lib/lightlt2"), kLt2);  // the dot is not tested
  EXPECT_EQ(CommandLineFileType("/lib/notes.txt"), -1);
  EXPECT_EQ(CommandLineFileType(""), -1);
}

TEST(CommandLine, SilentSwitchOnlyAtTheFirstPosition) {
  EXPECT_TRUE(HasSilentSwitch("-s /lib/a.pz2"));
  EXPECT_TRUE(HasSilentSwitch("  -S /lib/a.pz2"));
  EXPECT_TRUE(HasSilentSwitch("-s \"/lib/a b.pz2\""));
  EXPECT_FALSE(HasSilentSwitch("-s\"/lib/a.pz2\""));
  EXPECT_FALSE(HasSilentSwitch("-sx /lib/a.pz2"));
  EXPECT_FALSE(HasSilentSwitch("/lib/-s a.pz2"));
  EXPECT_FALSE(HasSilentSwitch("-s"));
}

TEST(CommandLine, PathWithoutQuotesAndSwitch) {
  EXPECT_EQ(CommandLinePath("\"/lib/my pose.pz2\""), "/lib/my pose.pz2");
  EXPECT_EQ(CommandLinePath("-s \"/lib/my pose.pz2\""), "/lib/my pose.pz2");
  EXPECT_EQ(CommandLinePath("-S   /lib/a.cr2 "), "/lib/a.cr2");
  EXPECT_EQ(CommandLinePath(" /lib/a.cr2"), "/lib/a.cr2");
}

// Where the rules of the one string name no existing file but the last
// argument is one, that argument is the file; a lone argument that is the
// file is never the "-s " switch. Names relative to the working folder, as
// typed in a terminal.
TEST(CommandLine, LastArgumentIsTheFileTheRulesCannotName) {
  test::TempDir dir;
  for (const char* name : {"Vicky \"Sunset\".pz2", " other.pz2", " pose.pz2", "pose.pz2", "-s lone.pz2"})
    dir.write(name, "{\n}\n");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  struct Case {
    const char* line;
    const char* last;
    const char* path;
    bool silent;
  };
  const Case cases[] = {
      {"Vicky \"Sunset\".pz2", "Vicky \"Sunset\".pz2", "Vicky \"Sunset\".pz2", false},
      {"-s Vicky \"Sunset\".pz2", "Vicky \"Sunset\".pz2", "Vicky \"Sunset\".pz2", true},
      {" other.pz2", " other.pz2", " other.pz2", false},
      {"-s  other.pz2", " other.pz2", " other.pz2", true},
      {"-s lone.pz2", "-s lone.pz2", "-s lone.pz2", false},
      // The rules name an existing file: it wins.
      {" pose.pz2", " pose.pz2", "pose.pz2", false},
      {"-s pose.pz2", "pose.pz2", "pose.pz2", true},
      // Nothing exists: the rules' path goes to the reader, as always.
      {"-s missing\".pz2", "missing\".pz2", "missing.pz2", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(CommandLinePath(c.line, c.last), c.path);
    EXPECT_EQ(HasSilentSwitch(c.line, c.last), c.silent);
    EXPECT_EQ(CommandLineFileType(c.line), kPz2);
  }
  std::filesystem::current_path(previous);
}

TEST(CommandLine, SilentSaveNameReplacesTheExtension) {
  EXPECT_EQ(SilentSavePath("/lib/a.cr2"), "/lib/a.pz2");
  EXPECT_EQ(SilentSavePath("/lib/a.b.PP2"), "/lib/a.b.pz2");
  EXPECT_EQ(SilentSavePath("/lib/pose.pz2"), "/lib/pose.pz2");
  // A name without a dot keeps its folder and gets the extension added,
  // rather than a file named "pz2" in the working folder.
  EXPECT_EQ(SilentSavePath("/my.lib/lightlt2"), "/my.lib/lightlt2.pz2");
}

}  // namespace
}  // namespace vandrel
