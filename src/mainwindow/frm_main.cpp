#include "mainwindow/frm_main.h"

namespace vandrel {

FrmMain::FrmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName("frmMain");
  setWindowTitle("Vandrel");
  resize(800, 600);
}

}  // namespace vandrel
