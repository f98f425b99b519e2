// What the main-window tests share: one application, a clean model, a
// scripted UI and lookup of controls by their documented names.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/qt_app.h"
#include "mainwindow/channels_pane.h"
#include "mainwindow/frm_main.h"
#include "model/model.h"
#include "platform/program_folder.h"
#include "platform/scripted_ui.h"
#include "support/temp_dir.h"

namespace vandrel::test {

// Acts on the modal window of type W as soon as it is shown.
template <class W>
void WhenShown(std::function<void(W&)> act) {
  QTimer::singleShot(0, [act] {
    W* w = qobject_cast<W*>(QApplication::activeModalWidget());
    if (w == nullptr) {
      ADD_FAILURE() << "no modal window";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
      return;
    }
    act(*w);
  });
}

// Drops `file` on `target` as a file manager would, offering a copy.
inline void DropFile(QWidget* target, const std::string& file) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromUtf8(file.c_str()))});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
}

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
