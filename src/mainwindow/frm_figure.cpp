#include "mainwindow/frm_figure.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "model/model.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "platform/ui_services.h"
#include "reader/poser_file_reader.h"
#include "tools/figure_read.h"

namespace vandrel {

FrmFigure::FrmFigure(DocumentCalls& calls, QWidget* owner) : QDialog(owner), calls_(calls) {
  setObjectName("frmFigure");
  setWindowTitle("Select Figure");
  setModal(true);
  lblFigure = controls::newLabel(this, "lblFigure", "Select figure");
  cmbFigure = new QComboBox(this);
  cmbFigure->setObjectName("cmbFigure");
  cmbFigure->setMinimumWidth(260);
  Label2 = controls::newLabel(this, "Label2", "List figures by:");
  optName = new QRadioButton(this);
  optName->setObjectName("optName");
  lblByName = controls::newLabel(this, "lblByName", "Figure's name");
  optGeom = new QRadioButton(this);
  optGeom->setObjectName("optGeom");
  Label1 = controls::newLabel(this, "Label1", "Geometry file");
  cmdOK = controls::newButton(this, "cmdOK", "OK");
  cmdOK->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(lblFigure, 0, 0, 1, 4);
  grid->addWidget(cmbFigure, 1, 0, 1, 4);
  grid->addWidget(Label2, 2, 0, 1, 4);
  grid->addWidget(optName, 3, 0);
  grid->addWidget(lblByName, 3, 1);
  grid->addWidget(optGeom, 3, 2);
  grid->addWidget(Label1, 3, 3);
  grid->addWidget(cmdOK, 4, 3, Qt::AlignRight);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);

  controls::clickThroughCaption(lblByName, optName);
  controls::clickThroughCaption(Label1, optGeom);
  controls::bindOption(optName, [this] { optName_Click(); });
  controls::bindOption(optGeom, [this] { optGeom_Click(); });
  controls::bindButton(cmdOK, [this] { cmdOK_Click(); });
}

bool FrmFigure::Form_Load() {
  FigureListOutcome outcome;
  {
    std::unique_ptr<Host> host = calls_.ProgressHost();
    outcome = ReadFigureFile(calls_.DialogFileName(), *host, file_);
  }
  if (outcome != FigureListOutcome::Listed) {
    file_ = FigureFile{};
    // Esc in the progress window is the user's choice, not a damaged file;
    // a file that is not Poser text at all gets the reader's refusal.
    if (outcome == FigureListOutcome::NotValid) {
      UiHost shown;
      if (!RefuseNonPoserText(calls_.DialogFileName(), shown))
        Ui().MessageBox(kNotCharacterFile, "", MsgButtons::OK, MsgIcon::Exclamation);
    } else if (outcome == FigureListOutcome::OutOfMemory) {
      Ui().MessageBox(kOutOfMemoryReport, "", MsgButtons::OK, MsgIcon::Exclamation);
    }
    return false;
  }
  // Listed by name when the window opens.
  {
    const QSignalBlocker block(optName);
    optName->setChecked(true);
  }
  List(true);
  return true;
}

void FrmFigure::List(bool byName) {
  QStringList texts;
  for (const FigureEntry& figure : file_.Figures)
    texts << FromPoserText(byName ? figure.Name : figure.Geometry);
  controls::clear(cmbFigure);
  {
    const QSignalBlocker block(cmbFigure);
    cmbFigure->addItems(texts);
    cmbFigure->setCurrentIndex(-1);
  }
  if (!texts.isEmpty()) controls::setListIndex(cmbFigure, 0);
}

void FrmFigure::Form_Activate() {
  if (cmbFigure->count() < 2) cmdOK_Click();
}

void FrmFigure::optName_Click() { List(true); }
void FrmFigure::optGeom_Click() { List(false); }

void FrmFigure::cmdOK_Click() {
  const int k = cmbFigure->currentIndex();
  if (k < 0 || file_.Figures.empty()) return;
  hide();
  UiHost shown;
  result_ = ReadChosenFigure(file_, static_cast<std::size_t>(k), calls_, shown);
  accept();
}

FigureReadResult FrmFigure::Run(DocumentCalls& calls, QWidget* owner) {
  FrmFigure window(calls, owner);
  if (window.Form_Load()) {
    if (window.cmbFigure->count() < 2)
      window.Form_Activate();
    else
      window.exec();
  }
  ClearFigureModes();
  return window.Result();
}

}  // namespace vandrel
