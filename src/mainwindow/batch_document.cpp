#include "mainwindow/batch_document.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QRadioButton>

#include "mainwindow/frm_main.h"
#include "mainwindow/materials_pane.h"
#include "model/model.h"
#include "platform/qt/controls.h"

namespace vandrel {

void MainWindowBatchDocument::BeginRun() {
  window_.SetBatchRun(true);
  window_.SetBusy(true);
  // Batch reads are not counted: the statistics would name the file from
  // before the run until the next counted load.
  window_.mnuFileInfo->setEnabled(false);
}

void MainWindowBatchDocument::EndRun() {
  window_.SetBatchRun(false);
  window_.SetBusy(false);
}

bool MainWindowBatchDocument::Read(const std::string& path) {
  window_.SharedDialog().FileName = path;
  window_.OpenFile("");
  return !gState.ReadError;
}

bool MainWindowBatchDocument::NothingToSave() { return window_.NothingToSave(); }

bool MainWindowBatchDocument::MaterialsLeftOut() { return window_.chkNoMaterialData->isChecked(); }

void MainWindowBatchDocument::SetPoser5(bool poser5) {
  controls::setOption(window_.optPoserFormat[poser5 ? 1 : 0]);
}

bool MainWindowBatchDocument::Save() { return window_.mnuSave_Click(); }

bool MainWindowBatchDocument::SaveCopy(const std::string& path) {
  return window_.SaveDocumentAs(path).empty();
}

void MainWindowBatchDocument::ResetAfterRun() {
  window_.SetBatchRun(false);
  window_.LeaveDocumentEmpty();
  // No document: the caption and the lists show nothing of the last file read.
  window_.setWindowTitle(QStringLiteral("Vandrel"));
  window_.materials->MirrorObjectList();
  controls::clear(window_.materials->lstMaterials);
  gState.EventsOn = true;
}

void ConnectBatchConverter(FrmMain& window, FrmBatchConverter::ProgressFactory progress) {
  FrmMain* owner = &window;
  window.SetOtherWindow(OtherWindow::BatchConverter, [owner, progress] {
    ShowBatchConverter(
        owner, [owner] { return std::make_unique<MainWindowBatchDocument>(*owner); }, progress);
  });
}

void MainWindowBatchDocument::Yield() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace vandrel
