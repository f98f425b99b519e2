// The states of the window's editors: the first state and the reset before
// a read (the Materials pane keeps its own states).
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>

#include "common/text.h"
#include "mainwindow/channels_pane.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/materials_pane.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/dialog_preview.h"
#include "platform/files.h"
#include "platform/program_folder.h"
#include "platform/qt/controls.h"
#include "reader/poser_file_reader.h"

namespace vandrel {

namespace {

void SetEnabled(const std::vector<QWidget*>& widgets, bool enabled) {
  for (QWidget* w : widgets) w->setEnabled(enabled);
}

}  // namespace

// ---- The first state --------------------------------------------------------------

void FrmMain::SetFirstState() {
  // Every editing control of the three panes starts disabled, except the
  // full-path box and the option buttons.
  for (QWidget* pane : picOptions) {
    for (QWidget* w : pane->findChildren<QWidget*>()) {
      const bool editing = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                           qobject_cast<QListWidget*>(w) || qobject_cast<QTreeWidget*>(w) ||
                           qobject_cast<QComboBox*>(w) || qobject_cast<QScrollBar*>(w);
      if (editing && w != materials->chkTexture && !qobject_cast<QRadioButton*>(w)) w->setEnabled(false);
    }
  }
  SetEnabled(materials->CaptionLabels(), false);
  for (int i = 0; i < 4; ++i) {
    materials->imgThumb[i]->setEnabled(false);
    materials->lblThumb[i]->setEnabled(false);
  }
  // Design values: no handler runs for them.
  for (QRadioButton* option : {optFileSystem[0], optPoserFormat[0]}) {
    const QSignalBlocker block(option);
    option->setChecked(true);
  }
  for (QCheckBox* box : {chkNoMaterialData, chkChannels}) {
    const QSignalBlocker block(box);
    box->setChecked(true);
  }
  for (QComboBox* list : {materials->cmbFigures, materials->Combo1, materials->Combo2}) {
    const QSignalBlocker block(list);
    list->setCurrentIndex(-1);
  }
}

// ---- Reset and enabling -------------------------------------------------------------

void FrmMain::ResetMainWindow(bool cutThumbnails) {
  materials->ResetControls();
  for (QAction* a : {mnuSave, mnuSaveAs, mnuExportMTL}) a->setEnabled(false);
  readCancelled_ = false;
  channelsPane->ResetPane();
  ResetDocument();
  if (cutThumbnails) CutMainThumbnailsToStock();
  materials->AllPanelsOn();
}

}  // namespace vandrel
