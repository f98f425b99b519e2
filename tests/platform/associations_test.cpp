#include "platform/associations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/files.h"
#include "platform/scoped_env.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::ReadFileBytes;

// A user's home with its own data and config folders and a PATH of our choosing.
class AssociationsTest : public ::testing::Test {
 protected:
  test::TempDir home;
  test::ScopedEnv dataEnv{"XDG_DATA_HOME", home.file("data")};
  test::ScopedEnv configEnv{"XDG_CONFIG_HOME", home.file("config")};
  test::ScopedEnv pathEnv{"PATH", home.mkdir("bin")};  // no database tools unless a test adds them

  std::string data(const std::string& name) const { return home.file("data/" + name); }
  std::string mimeApps() const { return home.file("config/mimeapps.list"); }

  AssociationProgram Program() const {
    home.write("Program Files/Icons/CR2.png", "icon of cr2");
    return {"/opt/My Programs/vandrel", home.file("Program Files/Icons")};
  }

  // A fake tool on PATH that logs its arguments and ends with `status`.
  void FakeTool(const std::string& name, int status) const {
    const std::string path =
        home.write("bin/" + name, "#!/bin/sh\necho \"" + name + " $*\" >> \"" + home.file("tools.log") +
                                      "\"\nexit " + std::to_string(status) + "\n");
    ::chmod(path.c_str(), 0755);
  }
};

TEST_F(AssociationsTest, RegisteringWritesTheTypeTheEntryTheIconAndTheDefault) {
  ASSERT_EQ(Associate(".CR2", "Poser Character file", Program(), false), "");

  const std::string package = ReadFileBytes(data("mime/packages/vandrel-cr2.xml"));
  EXPECT_NE(package.find("<mime-type type=\"application/x-poser-cr2\">"), std::string::npos);
  EXPECT_NE(package.find("<comment>Poser Character file</comment>"), std::string::npos);
  EXPECT_NE(package.find("<glob pattern=\"*.cr2\"/>"), std::string::npos);

  const std::string entry = ReadFileBytes(data("applications/vandrel-cr2.desktop"));
  EXPECT_NE(entry.find("\nExec=\"/opt/My Programs/vandrel\" %f\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nMimeType=application/x-poser-cr2;\n"), std::string::npos);
  EXPECT_NE(entry.find("\nIcon=application-x-poser-cr2\n"), std::string::npos);
  EXPECT_EQ(entry.find("Actions="), std::string::npos) << entry;
  // "Write material pose" is an entry of its own, started with the file.
  const std::string pose = ReadFileBytes(data("applications/vandrel-cr2-pose.desktop"));
  EXPECT_NE(pose.find("\nName=Write material pose\n"), std::string::npos) << pose;
  EXPECT_NE(pose.find("\nExec=\"/opt/My Programs/vandrel\" -s %f\n"), std::string::npos) << pose;
  EXPECT_NE(pose.find("\nMimeType=application/x-poser-cr2;\n"), std::string::npos) << pose;

  EXPECT_EQ(ReadFileBytes(data("icons/hicolor/48x48/mimetypes/application-x-poser-cr2.png")), "icon of cr2");
  EXPECT_EQ(ReadFileBytes(mimeApps()),
            "[Default Applications]\napplication/x-poser-cr2=vandrel-cr2.desktop;\n\n"
            "[Added Associations]\napplication/x-poser-cr2=vandrel-cr2.desktop;vandrel-cr2-pose.desktop;\n");
  EXPECT_TRUE(IsAssociated("cr2"));
  // Without its material-pose entry the type is not wholly registered.
  ::unlink(data("applications/vandrel-cr2-pose.desktop").c_str());
  EXPECT_FALSE(IsAssociated("cr2"));
  EXPECT_FALSE(IsAssociated(".pz2"));
}

TEST_F(AssociationsTest, PoseFilesGetNoMaterialPoseActionAndNoIconWhenThereIsNone) {
  ASSERT_EQ(Associate(".pz2", "Poser Pose file", Program(), false), "");
  const std::string entry = ReadFileBytes(data("applications/vandrel-pz2.desktop"));
  EXPECT_EQ(entry.find("-s"), std::string::npos);
  EXPECT_EQ(entry.find("Actions="), std::string::npos);
  EXPECT_EQ(entry.find("Icon="), std::string::npos);  // there is no PZ2.png
  EXPECT_FALSE(FileExists(data("applications/vandrel-pz2-pose.desktop")));
  EXPECT_FALSE(FileExists(data("icons/hicolor/48x48/mimetypes/application-x-poser-pz2.png")));
  EXPECT_TRUE(IsAssociated(".pz2"));
}

TEST_F(AssociationsTest, OtherProgramsRegistrationsSurviveRegisteringAndUnregistering) {
  const std::string before =
      "# written by hand\n"
      "[Default Applications]\n"
      "text/plain=org.gnome.TextEditor.desktop\n"
      "application/x-poser-cr2=other-poser-tool.desktop;\n"
      "image/x-canon-cr2=darktable.desktop;\n"
      "\n"
      "[Added Associations]\n"
      "image/png=gimp.desktop;eog.desktop;\n";
  home.write("config/mimeapps.list", before);
  home.write("data/applications/darktable.desktop", "[Desktop Entry]\nExec=darktable %U\n");
  home.write("data/mime/packages/other.xml", "<mime-info/>\n");

  ASSERT_EQ(Associate(".cr2", "Poser Character file", Program(), false), "");
  EXPECT_EQ(ReadFileBytes(mimeApps()),
            "# written by hand\n"
            "[Default Applications]\n"
            "text/plain=org.gnome.TextEditor.desktop\n"
            "application/x-poser-cr2=vandrel-cr2.desktop;other-poser-tool.desktop;\n"
            "image/x-canon-cr2=darktable.desktop;\n"
            "\n"
            "[Added Associations]\n"
            "image/png=gimp.desktop;eog.desktop;\n"
            "application/x-poser-cr2=vandrel-cr2.desktop;vandrel-cr2-pose.desktop;\n");
  EXPECT_TRUE(IsAssociated(".cr2"));

  // Registering again changes nothing.
  ASSERT_EQ(Associate(".cr2", "Poser Character file", Program(), false), "");
  EXPECT_NE(ReadFileBytes(mimeApps()).find("=vandrel-cr2.desktop;other-poser-tool.desktop;\n"),
            std::string::npos);

  ASSERT_EQ(Associate(".cr2", "Poser Character file", Program(), true), "");
  EXPECT_EQ(ReadFileBytes(mimeApps()), before);
  EXPECT_FALSE(IsAssociated(".cr2"));
  EXPECT_FALSE(FileExists(data("applications/vandrel-cr2.desktop")));
  EXPECT_FALSE(FileExists(data("applications/vandrel-cr2-pose.desktop")));
  EXPECT_FALSE(FileExists(data("mime/packages/vandrel-cr2.xml")));
  EXPECT_FALSE(FileExists(data("icons/hicolor/48x48/mimetypes/application-x-poser-cr2.png")));
  EXPECT_TRUE(FileExists(data("applications/darktable.desktop")));
  EXPECT_TRUE(FileExists(data("mime/packages/other.xml")));
}

TEST_F(AssociationsTest, UnregisteringOneTypeLeavesTheOthers) {
  const AssociationProgram program = Program();
  ASSERT_EQ(Associate(".cr2", "Poser Character file", program, false), "");
  ASSERT_EQ(Associate(".lt2", "Poser Light file", program, false), "");
  ASSERT_EQ(Associate(".cr2", "Poser Character file", program, true), "");
  EXPECT_FALSE(IsAssociated(".cr2"));
  EXPECT_TRUE(IsAssociated(".lt2"));
  EXPECT_EQ(ReadFileBytes(mimeApps()),
            "[Default Applications]\napplication/x-poser-lt2=vandrel-lt2.desktop;\n\n"
            "[Added Associations]\napplication/x-poser-lt2=vandrel-lt2.desktop;vandrel-lt2-pose.desktop;\n");
  // Unregistering a type that is not registered is no error.
  EXPECT_EQ(Associate(".hd2", "Poser Hand file", program, true), "");
}

TEST_F(AssociationsTest, RegisteredOnlyWhileEveryPartIsFound) {
  ASSERT_EQ(Associate(".fc2", "Poser Face file", Program(), false), "");
  ASSERT_TRUE(IsAssociated(".fc2"));

  // Another program made itself the default.
  const std::string ours = ReadFileBytes(mimeApps());
  home.write("config/mimeapps.list",
             "[Default Applications]\napplication/x-poser-fc2=other.desktop;vandrel-fc2.desktop;\n");
  EXPECT_FALSE(IsAssociated(".fc2"));
  home.write("config/mimeapps.list", ours);
  ASSERT_TRUE(IsAssociated(".fc2"));

  // The desktop entry no longer runs Vandrel.
  const std::string entry = ReadFileBytes(data("applications/vandrel-fc2.desktop"));
  home.write("data/applications/vandrel-fc2.desktop", "[Desktop Entry]\nExec=other %f\n");
  EXPECT_FALSE(IsAssociated(".fc2"));
  home.write("data/applications/vandrel-fc2.desktop", entry);

  ::unlink(data("mime/packages/vandrel-fc2.xml").c_str());
  EXPECT_FALSE(IsAssociated(".fc2"));
}

TEST_F(AssociationsTest, AFailedRegistrationIsReportedAndTakenBack) {
  home.write("data/applications", "a file where the folder should be");
  const std::string error = Associate(".hr2", "Poser Hair file", Program(), false);
  EXPECT_NE(error, "");
  EXPECT_FALSE(FileExists(data("mime/packages/vandrel-hr2.xml")));
  EXPECT_FALSE(FileExists(mimeApps()));
  EXPECT_FALSE(IsAssociated(".hr2"));
}

TEST_F(AssociationsTest, PathsThatCannotBeWrittenIntoADesktopEntryAreRefused) {
  EXPECT_NE(Associate(".cm2", "Poser Camera file", {"/opt/two\nlines/vandrel", ""}, false), "");
  EXPECT_NE(Associate(".cm2", "Poser Camera file", {"/opt/bad\xff/vandrel", ""}, false), "");
  EXPECT_NE(Associate(".cm2", "Poser Camera file", {"vandrel", ""}, false), "");  // not absolute
  EXPECT_FALSE(FileExists(data("mime/packages/vandrel-cm2.xml")));
  EXPECT_EQ(Associate(".cm2", "Poser Camera file", {"/opt/Vandrel \xc3\xa9t\xc3\xa9/vandrel", ""}, false),
            "");
}

TEST(AssociationsText, ExecArgumentsAreQuotedAndEscaped) {
  EXPECT_EQ(QuoteExecArgument("/opt/vandrel"), "\"/opt/vandrel\"");
  EXPECT_EQ(QuoteExecArgument("/opt/My Programs/vandrel"), "\"/opt/My Programs/vandrel\"");
  // In the file: \\" for a quote, \\$ and \\` likewise, four backslashes for one, %% for %.
  EXPECT_EQ(QuoteExecArgument("/a\"b$c`d\\e%f"), "\"/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e%%f\"");
}

TEST(AssociationsText, MimeAppsEditsKeepTheFilesOwnLineEnds) {
  // CR LF lines, no line end after the last one, our key in the middle of a list.
  const std::string crlf =
      "[Default "
      "Applications]\r\nimage/png=eog.desktop;\r\napplication/"
      "x-poser-cr2=a.desktop;vandrel-cr2.desktop;b.desktop";
  const std::string added =
      EditMimeAppsText(crlf, "Default Applications", "application/x-poser-cr2", "vandrel-cr2.desktop", true);
  EXPECT_EQ(added,
            "[Default Applications]\r\nimage/png=eog.desktop;\r\n"
            "application/x-poser-cr2=vandrel-cr2.desktop;a.desktop;b.desktop;");
  EXPECT_EQ(
      EditMimeAppsText(added, "Default Applications", "application/x-poser-cr2", "vandrel-cr2.desktop",
                       false),
      "[Default Applications]\r\nimage/png=eog.desktop;\r\napplication/x-poser-cr2=a.desktop;b.desktop;");

  // A new key goes after the section's last line, before the blank line.
  EXPECT_EQ(
      EditMimeAppsText("[Default Applications]\r\nimage/png=eog.desktop\r\n\r\n[Other]\r\nx=y\r\n",
                       "Default Applications", "application/x-poser-pz2", "vandrel-pz2.desktop", true),
      "[Default Applications]\r\nimage/png=eog.desktop\r\napplication/x-poser-pz2=vandrel-pz2.desktop;\r\n"
      "\r\n[Other]\r\nx=y\r\n");
  // A missing section is added at the end, after the last line gets its end.
  EXPECT_EQ(EditMimeAppsText("[Other]\nx=y", "Default Applications", "application/x-poser-pz2",
                             "vandrel-pz2.desktop", true),
            "[Other]\nx=y\n\n[Default Applications]\napplication/x-poser-pz2=vandrel-pz2.desktop;\n");
  // A line that lists only us goes; a key of the same name in another section stays.
  EXPECT_EQ(EditMimeAppsText("[Added Associations]\napplication/x-poser-pz2=vandrel-pz2.desktop;\n"
                             "[Default Applications]\napplication/x-poser-pz2=vandrel-pz2.desktop;\n",
                             "Default Applications", "application/x-poser-pz2", "vandrel-pz2.desktop", false),
            "[Added Associations]\napplication/x-poser-pz2=vandrel-pz2.desktop;\n[Default Applications]\n");
  EXPECT_EQ(
      MimeAppsEntries("[Default Applications]\na/b = x.desktop ; y.desktop\n", "Default Applications", "a/b"),
      (std::vector<std::string>{"x.desktop", "y.desktop"}));
}

TEST_F(AssociationsTest, RefreshRunsTheDatabaseToolsThatAreInstalled) {
  // No tools: nothing runs and nothing is reported.
  ASSERT_EQ(Associate(".cr2", "Poser Character file", Program(), false), "");
  EXPECT_EQ(RefreshDesktopDatabases(), "");
  EXPECT_FALSE(FileExists(home.file("tools.log")));

  FakeTool("update-mime-database", 0);
  FakeTool("update-desktop-database", 0);
  EXPECT_EQ(RefreshDesktopDatabases(), "");
  EXPECT_EQ(ReadFileBytes(home.file("tools.log")), "update-mime-database " + data("mime") + "\n" +
                                                       "update-desktop-database " + data("applications") +
                                                       "\n");

  FakeTool("update-desktop-database", 3);
  const std::string error = RefreshDesktopDatabases();
  EXPECT_NE(error.find("update-desktop-database ended with status 3"), std::string::npos) << error;
}

TEST_F(AssociationsTest, TheRealMimeDatabaseAcceptsThePackage) {
  if (!FileExists("/usr/bin/update-mime-database")) GTEST_SKIP() << "shared-mime-info is not installed";
  test::ScopedEnv path("PATH", std::string("/usr/bin:/bin"));
  ASSERT_EQ(Associate(".cr2", "Poser Character file", Program(), false), "");
  ASSERT_EQ(Associate(".hd2", "Poser Hand file", Program(), false), "");
  ASSERT_EQ(RefreshDesktopDatabases(), "");
  const std::string globs = ReadFileBytes(data("mime/globs2"));
  EXPECT_NE(globs.find("application/x-poser-cr2:*.cr2"), std::string::npos) << globs;
  EXPECT_NE(globs.find("application/x-poser-hd2:*.hd2"), std::string::npos) << globs;
  EXPECT_NE(ReadFileBytes(data("mime/subclasses")).find("application/x-poser-cr2 text/plain"),
            std::string::npos);
  // No file is claimed by its content alone.
  EXPECT_EQ(ReadFileBytes(data("mime/magic")).find("application/x-poser"), std::string::npos);
}

TEST(AssociationsPaths, XdgFoldersFallBackToTheHomeFolder) {
  test::TempDir home;
  test::ScopedEnv homeEnv("HOME", home.path());
  test::ScopedEnv dataEnv("XDG_DATA_HOME", std::nullopt);
  test::ScopedEnv configEnv("XDG_CONFIG_HOME", std::string("relative/not/used"));
  EXPECT_EQ(XdgDataHome(), home.path() + "/.local/share");
  EXPECT_EQ(XdgConfigHome(), home.path() + "/.config");
}

}  // namespace
}  // namespace vandrel
