// The menu bar and the window's commands.
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "common/text.h"
#include "mainwindow/batch_document.h"
#include "mainwindow/frm_main.h"
#include "model/data_not_kept.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/path_case.h"
#include "platform/program_folder.h"
#include "platform/qt/controls.h"
#include "tools/command_line.h"
#include "tools/qt/frm_about.h"
#include "tools/qt/frm_help_viewer.h"

namespace vandrel {

namespace {

QAction* Entry(QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut = {}) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(name);
  if (!shortcut.isEmpty()) a->setShortcut(shortcut);
  return a;
}

QMenu* Submenu(QMenu* parent, const char* name, const char* caption) {
  QMenu* m = parent->addMenu(caption);
  m->setObjectName(name);
  m->menuAction()->setObjectName(name);
  return m;
}

QMenu* TopMenu(QMenuBar* bar, const char* name, const char* caption) {
  QMenu* m = bar->addMenu(caption);
  m->setObjectName(name);
  m->menuAction()->setObjectName(name);
  return m;
}

QAction* Separator(QMenu* menu, const char* name) {
  QAction* a = menu->addSeparator();
  a->setObjectName(name);
  return a;
}

constexpr const char* kMorphQuestion =
    "Do you want to load morph and pose data also?\r\nIt may take a long time with a large file.";

}  // namespace

void FrmMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  mnuFile = TopMenu(bar, "mnuFile", "&File");
  mnuOpen = Submenu(mnuFile, "mnuOpen", "Open");
  mnuPoseFile = Submenu(mnuOpen, "mnuPoseFile", "Pose File");
  mnuOpenPZ2 = Entry(mnuPoseFile, "mnuOpenPZ2", "Pose File");
  mnuOpenCM2 = Entry(mnuPoseFile, "mnuOpenCM2", "Camera File");
  mnuOpenFC2 = Entry(mnuPoseFile, "mnuOpenFC2", "Face File");
  mnuOpenHD2 = Entry(mnuPoseFile, "mnuOpenHD2", "Hand File");
  mnuOpenLT2 = Entry(mnuPoseFile, "mnuOpenLT2", "Light File");
  mnuOpenCR2 = Entry(mnuOpen, "mnuOpenCR2", "Character File");
  mnuOpenCR2Props = Entry(mnuOpen, "mnuOpenCR2Props", "Character File with Props");
  mnuMultiFigure = Entry(mnuOpen, "mnuMultiFigure", "Multi-Figure Character File");
  mnuOpenPP2 = Entry(mnuOpen, "mnuOpenPP2", "Prop File");
  mnuOpenHR2 = Entry(mnuOpen, "mnuOpenHR2", "Hair File");
  mnuSave = Entry(mnuFile, "mnuSave", "&Save", QKeySequence("Ctrl+S"));
  mnuSaveAs = Entry(mnuFile, "mnuSaveAs", "S&ave as ...");
  mnuSelSets = Entry(mnuFile, "mnuSelSets", "Selection templates");
  mnuExportMTL = Entry(mnuFile, "mnuExportMTL", "Export materials (.mtl)");
  mnuImport = Entry(mnuFile, "mnuImport", "Import data");
  mnuFileInfo = Entry(mnuFile, "mnuFileInfo", "File Information");
  mnuBatchConvert = Entry(mnuFile, "mnuBatchConvert", "P4 <-> P5 batch converter");
  mnuEmpty = Separator(mnuFile, "mnuEmpty");
  // Inside a text box the box's own Cut wins over this shortcut.
  mnuExit = Entry(mnuFile, "mnuExit", "E&xit", QKeySequence("Ctrl+X"));
  mnuSettings = TopMenu(bar, "mnuSettings", "Se&ttings");
  mnuPreferences = Entry(mnuSettings, "mnuPreferences", "Preferences");
  mnuPoser = Entry(mnuSettings, "mnuPoser", "Run Poser");
  mnuHelp = TopMenu(bar, "mnuHelp", "&Help");
  mnuReadme = Entry(mnuHelp, "mnuReadme", "License agreement", QKeySequence(Qt::Key_F1));
  mnuWebSite = Entry(mnuHelp, "mnuWebSite", "Online Help", QKeySequence(Qt::Key_F2));
  mnuVHistory = Entry(mnuHelp, "mnuVHistory", "Version History", QKeySequence(Qt::Key_F3));
  mnuEmpty2 = Separator(mnuHelp, "mnuEmpty2");
  // Inside a text box the box's own Select All wins over this shortcut.
  mnuAbout = Entry(mnuHelp, "mnuAbout", "About", QKeySequence("Ctrl+A"));

  controls::bindMenu(mnuOpenPZ2, [this] { mnuOpenPZ2_Click(); });
  controls::bindMenu(mnuOpenCM2, [this] { mnuOpenCM2_Click(); });
  controls::bindMenu(mnuOpenFC2, [this] { mnuOpenFC2_Click(); });
  controls::bindMenu(mnuOpenHD2, [this] { mnuOpenHD2_Click(); });
  controls::bindMenu(mnuOpenLT2, [this] { mnuOpenLT2_Click(); });
  controls::bindMenu(mnuOpenCR2, [this] { mnuOpenCR2_Click(); });
  controls::bindMenu(mnuOpenCR2Props, [this] { mnuOpenCR2Props_Click(); });
  controls::bindMenu(mnuMultiFigure, [this] { mnuMultiFigure_Click(); });
  controls::bindMenu(mnuOpenPP2, [this] { mnuOpenPP2_Click(); });
  controls::bindMenu(mnuOpenHR2, [this] { mnuOpenHR2_Click(); });
  controls::bindMenu(mnuSave, [this] { mnuSave_Click(); });
  controls::bindMenu(mnuSaveAs, [this] { mnuSaveAs_Click(); });
  controls::bindMenu(mnuSelSets, [this] { mnuSelSets_Click(); });
  controls::bindMenu(mnuExportMTL, [this] { mnuExportMTL_Click(); });
  controls::bindMenu(mnuImport, [this] { mnuImport_Click(); });
  controls::bindMenu(mnuFileInfo, [this] { mnuFileInfo_Click(); });
  controls::bindMenu(mnuBatchConvert, [this] { mnuBatchConvert_Click(); });
  controls::bindMenu(mnuExit, [this] { mnuExit_Click(); });
  controls::bindMenu(mnuPreferences, [this] { mnuPreferences_Click(); });
  controls::bindMenu(mnuPoser, [this] { mnuPoser_Click(); });
  controls::bindMenu(mnuReadme, [this] { mnuReadme_Click(); });
  controls::bindMenu(mnuWebSite, [this] { mnuWebSite_Click(); });
  controls::bindMenu(mnuVHistory, [this] { mnuVHistory_Click(); });
  controls::bindMenu(mnuAbout, [this] { mnuAbout_Click(); });
  controls::bindButton(materials->cmdCreateMat, [this] { cmdCreateMat_Click(); });

  for (QAction* a : {mnuSave, mnuSaveAs, mnuExportMTL, mnuFileInfo, mnuPoser}) a->setEnabled(false);
  for (int i = 0; i < kOtherWindowCount; ++i)
    if (QAction* a = MenuOf(static_cast<OtherWindow>(i))) a->setEnabled(false);
  // The about box and the batch converter come with the window; the start
  // procedure gives the converter its progress window.
  SetOtherWindow(OtherWindow::About, [this] { ShowAbout(this); });
  ConnectBatchConverter(*this, {});
}

// ---- Other windows --------------------------------------------------------------

QAction* FrmMain::MenuOf(OtherWindow which) const {
  switch (which) {
    case OtherWindow::Templates:
      return mnuSelSets;
    case OtherWindow::Import:
      return mnuImport;
    case OtherWindow::FileInfo:
      return mnuFileInfo;
    case OtherWindow::Preferences:
      return mnuPreferences;
    case OtherWindow::About:
      return mnuAbout;
    case OtherWindow::BatchConverter:
      return mnuBatchConvert;
    case OtherWindow::FigureChooser:
      return mnuMultiFigure;
    case OtherWindow::CreateMat:
      return nullptr;
  }
  return nullptr;
}

void FrmMain::SetOtherWindow(OtherWindow which, std::function<void()> open) {
  const bool present = static_cast<bool>(open);
  otherWindows_[static_cast<int>(which)] = std::move(open);
  // File Information is enabled by the file statistics once a file was read.
  if (QAction* a = MenuOf(which); a && which != OtherWindow::FileInfo) a->setEnabled(present);
}

bool FrmMain::HasOtherWindow(OtherWindow which) const {
  return static_cast<bool>(otherWindows_[static_cast<int>(which)]);
}

void FrmMain::RunOtherWindow(OtherWindow which) {
  if (const auto& open = otherWindows_[static_cast<int>(which)]) open();
}

void FrmMain::mnuSelSets_Click() { RunOtherWindow(OtherWindow::Templates); }
void FrmMain::mnuImport_Click() { RunOtherWindow(OtherWindow::Import); }
void FrmMain::mnuFileInfo_Click() { RunOtherWindow(OtherWindow::FileInfo); }
void FrmMain::mnuPreferences_Click() { RunOtherWindow(OtherWindow::Preferences); }
void FrmMain::mnuAbout_Click() { RunOtherWindow(OtherWindow::About); }
void FrmMain::cmdCreateMat_Click() { RunOtherWindow(OtherWindow::CreateMat); }

void FrmMain::mnuBatchConvert_Click() {
  if (!chkChannels->isChecked() || !chkNoMaterialData->isChecked()) {
    const MsgResult answer = Ui().MessageBox(
        "Are you sure you want to switch to the batch conversion form\r\nand lose any unsaved work?", "",
        MsgButtons::YesNo, MsgIcon::None);
    if (answer != MsgResult::Yes) return;
  }
  RunOtherWindow(OtherWindow::BatchConverter);
}

// ---- Open ---------------------------------------------------------------------

void FrmMain::OpenPoseType(int fileType) {
  if (!MayReplaceDocument()) return;
  gState.FileType = fileType;
  OpenFile("");
  if (gOpenCancelled || gEndProgram) return;
  CollectFileInfo();
  CheckMapReferences();
}

void FrmMain::mnuOpenPZ2_Click() { OpenPoseType(kPz2); }
void FrmMain::mnuOpenCM2_Click() { OpenPoseType(kCm2); }
void FrmMain::mnuOpenFC2_Click() { OpenPoseType(kFc2); }
void FrmMain::mnuOpenHD2_Click() { OpenPoseType(kHd2); }
void FrmMain::mnuOpenLT2_Click() { OpenPoseType(kLt2); }

void FrmMain::OpenFigureType(int fileType, bool loadProps, bool alwaysAsk) {
  if (!MayReplaceDocument()) return;
  gState.FileType = fileType;
  gState.LoadProps = loadProps;
  OpenFile("");
  if (gOpenCancelled || gEndProgram) return;
  // A failed read left no document to read morphs into: nothing to ask.
  if (!gState.ReadError && (alwaysAsk || !SharedDialog().FileName.empty())) {
    const MsgResult answer = Ui().MessageBox(kMorphQuestion, "", MsgButtons::YesNo, MsgIcon::None);
    if (answer == MsgResult::Yes && !SharedDialog().FileName.empty()) {
      ReadMorphPoseFile(false, true, "", false);
      // The channels are part of the load, which leaves the document
      // unchanged: only the user's own edits are asked about later.
      gState.Dirty = false;
      if (channelReadCancelled_) MarkReadCancelled();
    }
  }
  CollectFileInfo();
  CheckMapReferences();
}

void FrmMain::mnuOpenCR2_Click() { OpenFigureType(kCr2, false, true); }
void FrmMain::mnuOpenCR2Props_Click() { OpenFigureType(kCr2, true, false); }
void FrmMain::mnuOpenPP2_Click() { OpenFigureType(kPp2, false, false); }
void FrmMain::mnuOpenHR2_Click() { OpenFigureType(kHr2, false, false); }

void FrmMain::mnuMultiFigure_Click() {
  if (!MayReplaceDocument()) return;
  gState.FileType = kCr2;
  gState.LoadProps = true;
  if (!gState.FileGiven && !ChooseOpenFile(kCr2)) return;
  gState.FileGiven = false;
  gFigureBodyOnly = false;
  channelReadCancelled_ = false;
  RunOtherWindow(OtherWindow::FigureChooser);
  // Esc in the chosen figure's channel read.
  if (channelReadCancelled_) MarkReadCancelled();
  CollectFileInfo();
  CheckMapReferences();
}

// ---- Save and export --------------------------------------------------------------

bool FrmMain::mnuSave_Click() {
  // The file read may hold what the tables do not keep: it is replaced only
  // when the user agrees, else saved under another name.
  const std::vector<std::string>& lost = DataLostByWriting(gState.FileName);
  if (!lost.empty()) {
    if (BatchRun()) return false;  // the converter leaves such a file itself
    const MsgResult answer =
        Ui().MessageBox(HoldsDataNotKeptText(gState.FileName, lost) + "\r\nReplace it anyway?", "",
                        MsgButtons::YesNo, MsgIcon::Exclamation);
    if (answer != MsgResult::Yes) return mnuSaveAs_Click();
  }
  CommonDialog1.fileName = gState.FileName;
  const std::string error = WritePoseFile();
  if (!error.empty()) {
    // A batch run reports the failure itself.
    if (!BatchRun()) Ui().MessageBox(error, "", MsgButtons::OK, MsgIcon::Exclamation);
    return false;
  }
  return true;
}

bool FrmMain::mnuSaveAs_Click() {
  CommonDialog1.defaultExt = "pz2";
  CommonDialog1.fileName.clear();
  CommonDialog1.filter =
      "Pose files|*.pz2|Camera files|*.cm2|Hand files|*.hd2|Face files|*.fc2|Light files|*.lt2|All files|*.*";
  if (!gState.LastSaveFolder.empty())
    CommonDialog1.initDir = gState.LastSaveFolder;
  else if (gSettings.Save != kNone)
    CommonDialog1.initDir = gSettings.Save;
  CommonDialog1.title = "Save Pose file as...";
  CommonDialog1.flags = kOfnSaveDefault;
  const FileDialogResult chosen = Ui().ShowSave(CommonDialog1);
  if (chosen.cancelled) {
    CommonDialog1.fileName = gState.FileName;
    return false;
  }
  const std::string error = SaveDocumentAs(chosen.path);
  if (!error.empty()) {
    Ui().MessageBox(error, "", MsgButtons::OK, MsgIcon::Exclamation);
    return false;
  }
  return true;
}

std::string FrmMain::SaveDocumentAs(const std::string& path) {
  CommonDialog1.fileName = path;
  const std::string error = WritePoseFile();
  if (!error.empty()) {
    CommonDialog1.fileName = gState.FileName;
    return error;
  }
  gState.FileName = path;
  readCancelled_ = false;
  gState.LastSaveFolder = FolderOf(path);
  SetDocumentCaption(gState.FileName);
  mnuSave->setEnabled(true);
  return {};
}

void FrmMain::mnuExportMTL_Click() {
  CommonDialog1.defaultExt = "mtl";
  CommonDialog1.fileName.clear();
  CommonDialog1.filter = "Material files|*.mtl|All files|*.*";
  CommonDialog1.title = "Save material file as...";
  CommonDialog1.flags = kOfnSaveDefault;
  const FileDialogResult chosen = Ui().ShowSave(CommonDialog1);
  if (!chosen.cancelled) {
    CommonDialog1.fileName = chosen.path;
    const std::string error = ExportMtl(chosen.path);
    if (!error.empty()) Ui().MessageBox(error, "", MsgButtons::OK, MsgIcon::Exclamation);
  }
  CommonDialog1.fileName = gState.FileName;
}

// ---- Help and Poser -----------------------------------------------------------------

// The help files stand beside the program; without a program for their type
// they show in Vandrel's own viewer.
void FrmMain::mnuReadme_Click() { OpenHelpFile(this, JoinPath(ExecutableFolder(), "VDLLicense.txt")); }
void FrmMain::mnuVHistory_Click() { OpenHelpFile(this, JoinPath(ExecutableFolder(), "VHistory.htm")); }
void FrmMain::mnuWebSite_Click() { OpenHelpFile(this, JoinPath(ExecutableFolder(), "VHelp.htm")); }

void FrmMain::mnuPoser_Click() {
  // Unpacked on Linux, the program may be named in any letter case.
  std::string program = JoinPath(gSettings.Poser, "Poser.exe");
  if (!FileExists(program)) program = ResolvePathCase(program);
  if (program.empty() || !FileExists(program)) {
    Ui().MessageBox("Poser executable could not be found in\r\n" + gSettings.Poser + ".", "Vandrel",
                    MsgButtons::OK, MsgIcon::Exclamation);
    return;
  }
  if (!Ui().StartProgram(program, {}, gSettings.Poser))
    Ui().MessageBox("Poser could not be started: " + program, "Vandrel", MsgButtons::OK, MsgIcon::None);
}

}  // namespace vandrel
