// The main window.
#pragma once

#include <QMainWindow>

namespace vandrel {

class FrmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit FrmMain(QWidget* parent = nullptr);
};

}  // namespace vandrel
