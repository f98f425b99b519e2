// What the main-window tests share: one application, a clean model, a
// scripted UI and lookup of controls by their documented names.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QWidget>
#include <memory>

#include "app/qt_app.h"
#include "mainwindow/channels_pane.h"
#include "mainwindow/frm_main.h"
#include "model/model.h"
#include "platform/program_folder.h"
#include "platform/scripted_ui.h"
#include "support/temp_dir.h"

namespace vandrel::test {

class WindowTest : public ::testing::Test {
 public:
  void SetUp() override {
    App();
    SetProgramFolder(program.path());
    ResetModel();
    ui->clear();
    window.reset();
    window = std::make_unique<FrmMain>();
  }
  void TearDown() override {
    window.reset();
    SetProgramFolder("");
  }

  template <class W = QWidget>
  W* Control(const char* name) {
    W* w = window->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QAction* Menu(const char* name) {
    QAction* a = window->findChild<QAction*>(name);
    EXPECT_NE(a, nullptr) << name;
    return a;
  }
  // Fires a menu entry as the user would, checking that it is there and enabled.
  void Trigger(const char* name) {
    QAction* a = Menu(name);
    ASSERT_TRUE(a && a->isEnabled()) << name;
    a->trigger();
  }
  // Own enabled state (independent of the pane in view).
  static bool On(const QWidget* w) { return w->isEnabledTo(w->window()); }

  TempDir program;
  ScopedScriptedUi ui;
  std::unique_ptr<FrmMain> window;
};

}  // namespace vandrel::test
