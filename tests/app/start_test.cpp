#include "app/start.h"

#include <gtest/gtest.h>

#include "app/qt_app.h"
#include "app/settings_file.h"
#include "mainwindow/frm_main.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/program_folder.h"
#include "platform/scripted_ui.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::App;

TEST(Start, ShowsTheMainWindowAndCreatesThePreferences) {
  App();
  test::TempDir program;
  SetProgramFolder(program.path());
  ScopedScriptedUi ui;
  ResetModel();
  gState.Dirty = gState.FileGiven = gState.LoadProps = true;
  gObjects.resize(3);

  std::unique_ptr<FrmMain> frmMain = Main();
  EXPECT_EQ(frmMain->windowTitle(), "Vandrel");
  EXPECT_EQ(frmMain->objectName(), "frmMain");
  EXPECT_TRUE(frmMain->isVisible());
  EXPECT_FALSE(gState.Dirty || gState.FileGiven || gState.LoadProps);
  EXPECT_TRUE(FileExists(SettingsPath()));
  EXPECT_EQ(gSettings.PVersionNumber, "4.01");
  EXPECT_EQ(gObjects.size(), 1u);
  EXPECT_EQ(gActors.size(), 1u);
  EXPECT_EQ(gMapLists.TifFiles.size(), 1u);
  SetProgramFolder("");
}

}  // namespace
}  // namespace vandrel
