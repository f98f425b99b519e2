#include "app/start.h"

#include <QApplication>

#include "app/frm_settings.h"
#include "app/settings_file.h"
#include "mainwindow/frm_main.h"
#include "model/model.h"
#include "platform/qt/qt_ui.h"

namespace vandrel {

std::unique_ptr<FrmMain> Main() {
  gState.FileGiven = gState.Dirty = gState.LoadProps = false;
  auto frmMain = std::make_unique<FrmMain>();
  FrmMain* window = frmMain.get();
  window->SetOtherWindow(OtherWindow::Preferences, [window] {
    ShowPreferences(window, [window](bool on) { window->mnuPoser->setEnabled(on); });
  });
  frmMain->show();
  LoadSettings();
  CreateTables();
  return frmMain;
}

int RunProgram(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Vandrel");
  QtUi ui;
  UiServices* previous = SetUi(&ui);
  int code = 0;
  {
    std::unique_ptr<FrmMain> frmMain = Main();
    ui.setParent(frmMain.get());
    code = QApplication::exec();
    ui.setParent(nullptr);
  }
  SetUi(previous);
  return code;
}

}  // namespace vandrel
