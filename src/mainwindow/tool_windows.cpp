#include "mainwindow/tool_windows.h"

#include <QComboBox>
#include <QTreeWidget>

#include "mainwindow/channels_pane.h"
#include "mainwindow/frm_create_mat.h"
#include "mainwindow/frm_figure.h"
#include "mainwindow/frm_import.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/materials_pane.h"
#include "model/model.h"
#include "platform/qt/controls.h"
#include "tools/qt/frm_file_info.h"
#include "tools/qt/frm_templates.h"

namespace vandrel {

void MainWindowCalls::OpenFile(const std::string& text) { window_.OpenFile(text); }

bool MainWindowCalls::ReadMorphPoseFile(bool insertOne, bool useCurrentFile, const std::string& text,
                                        bool append) {
  // A channel read that reads anything marks the document changed, and only
  // then: the mark tells whether it did.
  const bool dirty = gState.Dirty;
  gState.Dirty = false;
  window_.ReadMorphPoseFile(insertOne, useCurrentFile, text, append);
  const bool read = gState.Dirty;
  gState.Dirty = dirty || read;
  return read;
}

std::string& MainWindowCalls::DialogFileName() { return window_.SharedDialog().FileName; }

bool MainWindowCalls::ChooseFile(const FileDialogRequest& request) { return window_.ChooseOpenFile(request); }

namespace {

// The main window's progress host; while it lives the window takes no input.
class BusyHost : public Host {
 public:
  explicit BusyHost(FrmMain& window) : window_(window), inner_(window.ProgressHost()) {
    window_.SetBusy(true);
  }
  ~BusyHost() override { window_.SetBusy(false); }
  void SetStage(const std::string& text) override { inner_->SetStage(text); }
  void SetItem(const std::string& text) override { inner_->SetItem(text); }
  void SetRange(long long max) override { inner_->SetRange(max); }
  void SetValue(long long value) override { inner_->SetValue(value); }
  bool CancelRequested() override { return inner_->CancelRequested(); }
  MsgResult Message(const std::string& text, const std::string& title, MsgButtons buttons,
                    MsgIcon icon) override {
    return inner_->Message(text, title, buttons, icon);
  }

 private:
  FrmMain& window_;
  std::unique_ptr<Host> inner_;
};

}  // namespace

std::unique_ptr<Host> MainWindowCalls::ProgressHost() { return std::make_unique<BusyHost>(window_); }

void MainWindowCalls::ShowObjectList() {
  MaterialsPane& pane = *window_.materials;
  pane.MirrorObjectList();
  if (pane.cmbFigures->currentIndex() >= 0)
    pane.cmbFigures_Click();
  else if (pane.cmbFigures->count() > 0)
    controls::setListIndex(pane.cmbFigures, 0);
}

void MainWindowCalls::ShowActorList() {
  window_.ShowChannelsRead();
  if (window_.channelsPane->lstActors->topLevelItemCount() > 0)
    controls::setSelected(window_.channelsPane->lstActors, 0, true);
}

FigureReadResult MainWindowCalls::RunFigureChooser() { return FrmFigure::Run(*this, &window_); }

int MainWindowCalls::ChosenObject() { return window_.materials->cmbFigures->currentIndex(); }

void ConnectToolWindows(FrmMain& window) {
  window.SetOtherWindow(OtherWindow::FigureChooser, [&window] {
    MainWindowCalls calls(window);
    // A figure read with its channels is a load: the document ends it unchanged.
    if (FrmFigure::Run(calls, &window).MaterialsRead) gState.Dirty = false;
  });
  window.SetOtherWindow(OtherWindow::Import, [&window] {
    MainWindowCalls calls(window);
    FrmImport::Run(calls, &window);
  });
  window.SetOtherWindow(OtherWindow::CreateMat, [&window] {
    MainWindowCalls calls(window);
    FrmCreateMat::Run(calls, &window);
  });
  window.SetOtherWindow(OtherWindow::Templates, [&window] {
    FrmTemplates editor(&window, [&window] { window.materials->FillTemplateList(); });
    editor.exec();
  });
  window.SetOtherWindow(OtherWindow::FileInfo, [&window] {
    FrmFileInfo info(&window);
    info.exec();
  });
}

}  // namespace vandrel
