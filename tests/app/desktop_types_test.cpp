// The eight types as the desktop sees them once Vandrel has registered them:
// shared-mime-info's own database and GIO (what file managers use) decide
// which files are Poser files and what "Open with" offers for them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/associations.h"
#include "platform/files.h"
#include "platform/scoped_env.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::ReadFileBytes;

// Standard output and error of a shell command.
std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string ContentType(const std::string& path) {
  const std::string out = Output("gio info -a standard::content-type " + Quoted(path));
  const std::string key = "standard::content-type: ";
  const std::size_t at = out.find(key);
  if (at == std::string::npos) return "(" + out + ")";
  return out.substr(at + key.size(), out.find('\n', at) - at - key.size());
}

TEST(DesktopTypes, FilesAreClaimedByTheirExtensionAndWriteMaterialPoseIsOfferedForThem) {
  if (!FileExists("/usr/bin/gio") || !FileExists("/usr/bin/update-mime-database"))
    GTEST_SKIP() << "libglib2.0-bin and shared-mime-info are needed (scripts/deps installs them)";
  test::TempDir home, library;
  test::ScopedEnv path("PATH", std::string("/usr/bin:/bin"));
  test::ScopedEnv data("XDG_DATA_HOME", home.file("data"));
  test::ScopedEnv config("XDG_CONFIG_HOME", home.file("config"));
  test::ScopedEnv dirs("XDG_DATA_DIRS", std::string("/usr/share"));
  test::ScopedEnv vandrelHome("VANDREL_HOME", home.mkdir("vandrel"));
  test::ScopedEnv noDisplay("DISPLAY", std::nullopt);

  const AssociationProgram program{VANDREL_EXE, FolderOf(VANDREL_EXE) + "/Icons"};
  const char* const kTypes[][2] = {{".cr2", "Poser Character file"}, {".pz2", "Poser Pose file"},
                                   {".pp2", "Poser Prop file"},      {".hr2", "Poser Hair file"},
                                   {".cm2", "Poser Camera file"},    {".fc2", "Poser Face file"},
                                   {".hd2", "Poser Hand file"},      {".lt2", "Poser Light file"}};
  for (const auto& type : kTypes) ASSERT_EQ(Associate(type[0], type[1], program, false), "") << type[0];
  ASSERT_EQ(RefreshDesktopDatabases(), "");

  const std::string figure = ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/reader/figure_props.cr2");
  const std::string poserText = "{\nversion\n\t{\n\tnumber 4.01\n\t}\n}\n";
  const std::string json = "{ \"version\": 2, \"name\": \"settings\" }\n";
  const std::string raw = std::string("II*\0\x10\0\0\0CR\x02\0", 13) + std::string(600, '\x7f');
  struct Case {
    const char* name;
    const std::string& bytes;
    const char* type;  // "" = any type but one of ours
  };
  const Case cases[] = {{"ball.cr2", figure, "application/x-poser-cr2"},
                        {"BALL.CR2", figure, "application/x-poser-cr2"},
                        {"Ball.Pz2", poserText, "application/x-poser-pz2"},
                        {"camera.cm2", poserText, "application/x-poser-cm2"},
                        {"light.LT2", poserText, "application/x-poser-lt2"},
                        // A camera's raw picture keeps its own type.
                        {"photo.cr2", raw, "image/x-canon-cr2"},
                        // Files that only start like Poser text are not claimed.
                        {"no_extension", poserText, ""},
                        {"settings.json", json, ""},
                        {"notes.txt", poserText, ""},
                        {"pose.pz2.bak", poserText, ""}};
  for (const Case& c : cases) {
    const std::string type = ContentType(library.write(c.name, c.bytes));
    if (*c.type != '\0')
      EXPECT_EQ(type, c.type) << c.name;
    else
      EXPECT_EQ(type.find("poser"), std::string::npos) << c.name << ": " << type;
  }

  // Vandrel opens the type; "Write material pose" is offered beside it but for pose files.
  const std::string cr2 = Output("gio mime application/x-poser-cr2");
  EXPECT_NE(cr2.find("application/x-poser-cr2\xe2\x80\x9d: vandrel-cr2.desktop\n"), std::string::npos) << cr2;
  EXPECT_NE(cr2.find("\tvandrel-cr2-pose.desktop\n"), std::string::npos) << cr2;
  const std::string pz2 = Output("gio mime application/x-poser-pz2");
  EXPECT_NE(pz2.find(": vandrel-pz2.desktop\n"), std::string::npos) << pz2;
  EXPECT_EQ(pz2.find("-pose.desktop"), std::string::npos) << pz2;

  // Started as "Open with" starts it, the entry writes the file's material pose.
  const std::string ball = library.file("ball.cr2");
  Output("gio launch " + Quoted(home.file("data/applications/vandrel-cr2-pose.desktop")) + " " +
         Quoted(ball));
  const std::string written = library.file("ball.pz2");
  for (int i = 0; i < 300 && !FileExists(written); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(FileExists(written));  // written whole, then renamed into place
  EXPECT_NE(ReadFileBytes(written).find("version"), std::string::npos);

  // Unticked, a type claims nothing any more: its files are plain text again.
  ASSERT_EQ(Associate(".pz2", "Poser Pose file", program, true), "");
  ASSERT_EQ(Associate(".cr2", "Poser Character file", program, true), "");
  ASSERT_EQ(RefreshDesktopDatabases(), "");
  EXPECT_EQ(ContentType(library.file("Ball.Pz2")), "text/plain");
  EXPECT_EQ(ContentType(ball).find("poser"), std::string::npos);  // the system's raw pictures claim .cr2
  EXPECT_EQ(ContentType(library.file("photo.cr2")), "image/x-canon-cr2");
  EXPECT_EQ(Output("gio mime application/x-poser-cr2").find("vandrel"), std::string::npos);
  EXPECT_EQ(ContentType(library.file("camera.cm2")), "application/x-poser-cm2");
}

}  // namespace
}  // namespace vandrel
