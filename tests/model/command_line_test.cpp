#include "model/command_line.h"

#include <gtest/gtest.h>

#include "model/state.h"

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
