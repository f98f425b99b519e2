// Opening files in their associated programs, on a desktop of the test's own
// (its own applications and defaults, no xdg-utils needed).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <filesystem>

#include "app/qt_app.h"
#include "platform/desktop_open.h"
#include "platform/files.h"
#include "platform/qt/qt_ui.h"
#include "platform/scoped_env.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::ScopedEnv;

class ShellOpenDesktop : public ::testing::Test {
 protected:
  ShellOpenDesktop()
      : dataHome_("XDG_DATA_HOME", dir.file("data")),
        configHome_("XDG_CONFIG_HOME", dir.file("config")),
        dataDirs_("XDG_DATA_DIRS", dir.file("share")),
        configDirs_("XDG_CONFIG_DIRS", dir.file("xdg")) {
    test::App();
    // The system's type database, but none of its applications.
    std::filesystem::create_directories(dir.file("share"));
    std::filesystem::create_symlink("/usr/share/mime", dir.file("share/mime"));
  }
  // A viewer whose "program" copies the file it is given to `copy`.
  void InstallViewer(const std::string& id, const std::string& mimeType, const std::string& section) {
    dir.write("data/applications/" + id,
              "[Desktop Entry]\nType=Application\nName=Viewer\nExec=cp %f \"" + dir.file("opened") + "\"\n");
    dir.write("config/mimeapps.list", "[" + section + "]\n" + mimeType + "=gone.desktop;" + id + ";\n");
  }
  bool Copied() const {
    QElapsedTimer timer;
    timer.start();
    while (!FileExists(dir.file("opened")) && timer.elapsed() < 5000) ::usleep(20000);
    return FileExists(dir.file("opened"));
  }
  test::TempDir dir;

 private:
  ScopedEnv dataHome_, configHome_, dataDirs_, configDirs_;
};

TEST_F(ShellOpenDesktop, MissingFilesFoldersProgramsAndSuccessAreToldApart) {
  QtUi ui;
  const std::string png = dir.file("maps/Skin.png");
  std::filesystem::create_directories(dir.file("maps"));
  QImage(4, 4, QImage::Format_RGB32).save(QString::fromStdString(png), "PNG");

  EXPECT_EQ(ui.ShellOpen(dir.file("maps/Gone.png")), ShellResult::FileNotFound);
  EXPECT_EQ(ui.ShellOpen(dir.file("gone/Skin.png")), ShellResult::PathNotFound);
  EXPECT_EQ(ui.ShellOpen("maps/Skin.png"), ShellResult::PathNotFound);
  EXPECT_EQ(ui.ShellOpen("steam://run/1"), ShellResult::PathNotFound);
  EXPECT_EQ(ui.ShellOpen(png), ShellResult::NoAssociation);

  // A program, a script and a desktop entry are never started, whatever their
  // name or execute bit says.
  std::filesystem::copy_file("/bin/true", dir.file("maps/Wood.jpg"));
  dir.write("maps/run.sh", "#!/bin/sh\ntouch ran\n");
  dir.write("maps/a.desktop", "[Desktop Entry]\nType=Application\nExec=touch ran\n");
  for (const char* name : {"maps/Wood.jpg", "maps/run.sh", "maps/a.desktop"})
    EXPECT_EQ(ui.ShellOpen(dir.file(name)), ShellResult::Refused) << name;

  InstallViewer("viewer.desktop", "image/png", "Default Applications");
  EXPECT_EQ(ui.ShellOpen(png), ShellResult::Opened);
  EXPECT_TRUE(Copied());

  // A folder whose name is not valid UTF-8: the viewer gets the file's own
  // name, and its type is still known by extension and content.
  std::filesystem::remove(dir.file("opened"));
  const std::string latin = dir.write("Caf\xe9/Skin.png", test::ReadFileBytes(png));
  EXPECT_EQ(ui.ShellOpen(latin), ShellResult::Opened);
  ASSERT_TRUE(Copied());
  EXPECT_EQ(test::ReadFileBytes(dir.file("opened")), test::ReadFileBytes(latin));
  EXPECT_EQ(ui.ShellOpen(dir.file("Caf\xe9/Gone.png")), ShellResult::FileNotFound);
  dir.write("Caf\xe9/run.jpg", test::ReadFileBytes("/bin/true"));
  EXPECT_EQ(ui.ShellOpen(dir.file("Caf\xe9/run.jpg")), ShellResult::Refused);
  // A viewer that is not there is reported as not started.
  dir.write("data/applications/viewer.desktop",
            "[Desktop Entry]\nType=Application\nExec=/no/such/viewer %f\n");
  EXPECT_EQ(ui.ShellOpen(latin), ShellResult::NotStarted);
}

TEST_F(ShellOpenDesktop, AssociationsComeFromDefaultsAddedEntriesAndTheCache) {
  // A type's parent counts when the type itself has no program.
  InstallViewer("viewer.desktop", "image/png", "Added Associations");
  EXPECT_EQ(DesktopEntryFor({"image/x-vandrel", "image/png"}), dir.file("data/applications/viewer.desktop"));
  dir.write(
      "config/mimeapps.list",
      "[Removed Associations]\nimage/png=viewer.desktop;\n[Added Associations]\nimage/png=viewer.desktop;\n");
  EXPECT_EQ(DesktopEntryFor({"image/png"}), "");
  dir.write("config/mimeapps.list", "");
  dir.write("share/applications/mimeinfo.cache", "[MIME Cache]\nimage/tiff=other.desktop;\n");
  dir.write("share/applications/other.desktop", "[Desktop Entry]\nExec=other\n");
  EXPECT_EQ(DesktopEntryFor({"image/tiff"}), dir.file("share/applications/other.desktop"));
  dir.write("share/applications/other.desktop", "[Desktop Entry]\nExec=other\nHidden=true\n");
  EXPECT_EQ(DesktopEntryFor({"image/tiff"}), "");

  using Command = std::vector<std::string>;
  const auto command = [](const std::string& exec) {
    return DesktopEntryCommand("[Desktop Entry]\nExec=" + exec + "\n", "/m/a b.jpg");
  };
  EXPECT_EQ(command("viewer %U --x"), (Command{"viewer", "/m/a b.jpg", "--x"}));
  EXPECT_EQ(command("viewer %i %c --fit"), (Command{"viewer", "--fit", "/m/a b.jpg"}));
  EXPECT_EQ(command("\"/opt/My Viewer/run\" 100%% --file=%f"),
            (Command{"/opt/My Viewer/run", "100%", "--file=/m/a b.jpg"}));
  EXPECT_EQ(command("sh\\s-c"), (Command{"sh", "-c", "/m/a b.jpg"}));
  EXPECT_TRUE(DesktopEntryCommand("[Desktop Entry]\nName=x\n", "/a").empty());
}

}  // namespace
}  // namespace vandrel
