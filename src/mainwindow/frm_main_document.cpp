// The window's calls into reading and writing, and the window-side steps
// around a read: what the open commands, Save and Export hand to the cores
// and how the window shows the result.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <utility>

#include "common/text.h"
#include "mainwindow/channels_pane.h"
#include "mainwindow/frm_main.h"
#include "maps/qt/thumbnails.h"
#include "model/data_not_kept.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/path_case.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "reader/channel_reader.h"
#include "reader/morph_pose_file.h"
#include "reader/poser_file_reader.h"
#include "tools/batch_conversion.h"
#include "tools/command_line.h"
#include "tools/document_session.h"
#include "tools/file_statistics.h"
#include "writer/mtl_writer.h"

namespace vandrel {

using controls::EventsOff;

// ---- Window-side steps around a read -------------------------------------------------

void FrmMain::BeginLoad(const std::string& path, int fileType) {
  ResetMainWindow();
  materials->EnableMaterialControlsAfterLoad();
  chkNoMaterialData->setEnabled(true);
  {
    EventsOff off;
    controls::setChecked(chkNoMaterialData, false);
  }
  gState.FileName = path;
  SetDocumentCaption(path);
  if (fileType == kCr2 || fileType == kPp2 || fileType == kHr2) {
    {
      EventsOff off;
      controls::setChecked(chkChannels, true);
    }
    chkChannels->setEnabled(false);
  }
}

void FrmMain::EndLoad(int fileType) {
  // What a read of this type asks of the window when it found materials.
  OpenFileResult result;
  result.ok = true;
  result.setRequiredVersion = true;
  result.enableSave = IsPoseType(fileType);
  result.enableSaveAs = true;
  result.enableExportMtl = !gObjectList.empty();
  result.selectDefaultTemplate = true;
  result.dialogFileName = gState.FileName;
  ApplyReadResult(result);
  gState.LastMapFolder.clear();
  gState.Dirty = false;
  gState.LoadProps = false;
}

void FrmMain::ApplyReadResult(const OpenFileResult& result) {
  if (result.setCaption) setWindowTitle(FromUtf8(result.caption));  // a file name from the disk
  if (result.setRequiredVersion)
    controls::setText(materials->TXT[MaterialsPane::kRequiredVersionBox],
                      FromPoserText(OneLineText(gState.RequiredVersion)));
  if (result.channelsOff) {
    {
      EventsOff off;
      controls::setChecked(chkChannels, true);
    }
    chkChannels->setEnabled(false);
  }
  materials->MirrorObjectList();
  if (result.enableObjectList) materials->cmbFigures->setEnabled(true);
  if (result.enableDeleteObject) materials->cmd[MaterialsPane::kDeleteObjectButton]->setEnabled(true);
  if (result.selectFirstObject && !gObjectList.empty()) {
    // Choosing the first object lists its materials; an object already
    // chosen is listed again.
    if (materials->cmbFigures->currentIndex() == 0)
      materials->cmbFigures_Click();
    else
      controls::setListIndex(materials->cmbFigures, 0);
  }
  // A document whose read was cancelled is not saved over its file.
  if (result.enableSave && !readCancelled_) mnuSave->setEnabled(true);
  if (result.enableSaveAs) mnuSaveAs->setEnabled(true);
  SharedDialog().FileName = result.dialogFileName;
  if (result.noMaterialData) {
    controls::clear(materials->lstMaterials);
    gObjectList.clear();
    materials->MirrorObjectList();
    // Ticked with events as they are: the box's own click handling runs.
    controls::setChecked(chkNoMaterialData, true);
    chkNoMaterialData->setEnabled(false);
  }
  if (result.selectDefaultTemplate) {
    const QString wanted = FromUtf8(gSettings.DefaultTemplate).toLower();
    QComboBox* templates = materials->Combo1;
    for (int i = 0; i < templates->count(); ++i) {
      if (templates->itemText(i).toLower() == wanted) {
        controls::setListIndex(templates, i);
        break;
      }
    }
  }
  if (result.enableExportMtl) mnuExportMTL->setEnabled(true);
}

void FrmMain::ApplyChannelRead(const ChannelReadResult& result) {
  channelsPane->ShowThighLengthRead(result);
  if (result.ActorsListed) ShowChannelsRead();
}

void FrmMain::ShowChannelsRead() {
  const bool listed = channelsPane->ListActors();
  materials->MirrorObjectList();
  if (!listed) return;
  chkChannels->setEnabled(true);
  {
    EventsOff off;
    controls::setChecked(chkChannels, false);
  }
  gState.EventsOn = true;
  channelsPane->EnableAfterRead();
}

// ---- Seams into the cores ----------------------------------------------------------

FileDialogResult FrmMain::ShowSharedOpen(bool preview) {
  CdlgEx& dlg = SharedDialog();
  dlg.PreviewOn = preview;
  dlg.ShowOpen();
  FileDialogResult result;
  result.cancelled = dlg.LastResult() == 0;
  result.path = dlg.FileName;
  return result;
}

std::unique_ptr<Host> FrmMain::ProgressHost() {
  if (BatchRun()) return std::make_unique<QuietHost>();
  if (MakeProgressHost) return MakeProgressHost();
  return std::make_unique<UiHost>();
}

bool FrmMain::ChooseOpenFile(int fileType) {
  if (!ChooseOpenFile(OpenDialogRequest(fileType))) return false;
  RememberOpenFolder(fileType, SharedDialog().FileName);
  return true;
}

bool FrmMain::ChooseOpenFile(const FileDialogRequest& request) {
  return ChooseOpenFile(request, gSettings.CdlgThumb);
}

bool FrmMain::ChooseOpenFile(const FileDialogRequest& request, bool preview) {
  CdlgEx& dlg = SharedDialog();
  dlg.FileName.clear();
  dlg.DialogTitle = request.title;
  dlg.DefaultExt = request.defaultExt;
  dlg.Filter = request.filter;
  dlg.InitDir = request.initDir;
  dlg.flags = kOfnOpenDefault;
  dlg.CancelError = true;
  dlg.Left = dlg.Top = 200;
  FileDialogResult chosen;
  if (preview) {
    chosen = ShowSharedOpen(true);
  } else {
    CopyDialogSettings();
    chosen = Ui().ShowOpen(CommonDialog1);
    if (!chosen.cancelled) dlg.FileName = CommonDialog1.fileName = chosen.path;
  }
  return !chosen.cancelled;
}

void FrmMain::OpenFile(const std::string& text) {
  BeginOpenFile();
  const int type = gState.FileType;
  CdlgEx& dlg = SharedDialog();
  const std::string shownDialogName = dlg.FileName;
  const std::string shownCommonName = CommonDialog1.fileName;
  if (gState.FileGiven) {
    // While the program starts, a known path comes from its command line.
    if (gStarting && !Trim(gCommandLine).empty()) {
      dlg.FileName = TrueCasePath(CommandLinePath(gCommandLine, gLastArgument));
      if (HasSilentSwitch(gCommandLine, gLastArgument)) gState.SilentSave = true;
    }
    gState.FileGiven = false;
  } else if (!ChooseOpenFile(type)) {
    MarkOpenCancelled();
    return;
  }
  const std::string path = dlg.FileName;
  SessionRequest request;
  request.fileType = type;
  request.path = path;
  if (!text.empty()) request.text = text;
  // An import's own read refuses a file that is not Poser text.
  request.checkText = text.empty() && !gImportMode;
  request.poser5 = Poser5Format();
  // The open document stays in view while the file is read: the window is
  // reset only once the read has something to show instead. Its map
  // thumbnails go aside meanwhile (the thumbnails of the read's maps come in
  // their own order). An import keeps the document and reads only the other
  // file's materials.
  request.shown = gImportMode ? SessionRequest::Shown::Kept : SessionRequest::Shown::SetAside;
  const auto prepareMaterialControls = [this] {
    materials->EnableMaterialControlsAfterLoad();
    chkNoMaterialData->setEnabled(true);
    EventsOff off;
    controls::setChecked(chkNoMaterialData, false);
  };
  ThumbnailList shownThumbnails;
  SessionHooks hooks;
  hooks.runRead = [this, &shownThumbnails](const std::function<void(Host&)>& read) {
    if (!gImportMode) shownThumbnails = std::exchange(ImageList1(0), ThumbnailList{});
    {
      std::unique_ptr<Host> host = ProgressHost();
      SetBusy(true);
      read(*host);
      // The map thumbnails the read started are in the lists when it ends.
      FinishPendingThumbnails();
    }
    SetBusy(false);
  };
  hooks.replaceShown = [this, &prepareMaterialControls] {
    ResetMainWindow(/*cutThumbnails=*/false);
    prepareMaterialControls();
  };
  QuietHost quiet;
  UiHost shown;
  const SessionResult session = OpenDocument(request, BatchRun() ? static_cast<Host&>(quiet) : shown, hooks);
  const OpenFileResult& result = session.read;
  if (session.outcome == SessionOutcome::Refused) return;
  if (session.outcome == SessionOutcome::KeptShown) {
    // The document read before is back, with its thumbnails and file names.
    ImageList1(0) = std::move(shownThumbnails);
    dlg.FileName = shownDialogName;
    CommonDialog1.fileName = shownCommonName;
    return;
  }

  if (gImportMode) {
    // An import that failed or brought no materials leaves the window as it
    // was; the import puts the document back.
    if (!result.ok || result.noMaterialData) return;
    prepareMaterialControls();
  }
  if (!result.ok) {
    // The report was shown; the document is left empty and nothing is saved.
    // The caption names the file that failed, not the one read before it.
    gState.SilentSave = false;
    LeaveDocumentEmpty();
    SetDocumentCaption(path);
    return;
  }
  // The required-version box's change handling marks the document changed;
  // a load ends unchanged (an import changed).
  const bool dirty = gState.Dirty;
  ApplyReadResult(result);
  gState.Dirty = dirty;
  if (session.channelsRead) ApplyChannelRead(session.channels);
  // Esc while the channels were read: the materials stay, but the document
  // no longer stands for the whole file.
  if (session.readCancelled && !gImportMode) MarkReadCancelled();
  // Filling the version box and showing the first material marked the
  // document; a load leaves it unchanged (an import is a change), and the
  // controls take the user's events from here on.
  gState.Dirty = gImportMode;
  gState.EventsOn = true;

  if (!result.silentSavePath.empty()) {
    dlg.FileName = result.silentSavePath;
    CommonDialog1.fileName = result.silentSavePath;
    UiHost host;
    SaveSilently(
        result.silentSavePath, NothingToSave(), [this] { return WritePoseFile(); }, host);
  }
}

void FrmMain::MarkReadCancelled() {
  readCancelled_ = true;
  mnuSave->setEnabled(false);
  setWindowTitle("Vandrel - [" + FromUtf8(FileNameOf(gState.FileName)) + "] (read cancelled)");
}

bool FrmMain::NothingToSave() const {
  return NothingToWrite(chkNoMaterialData->isChecked(), chkChannels->isChecked());
}

void FrmMain::LeaveDocumentEmpty() {
  materials->DisableMaterialControls();
  for (QWidget* w :
       std::initializer_list<QWidget*>{materials->cmbFigures, materials->cmdCreateMat, materials->cmdNewMat})
    w->setEnabled(false);
  ResetMainWindow();
  // No list keeps the names of a document that is no longer open.
  materials->ClearMaterialPanel();
  materials->MirrorObjectList();
  {
    EventsOff off;
    controls::setChecked(chkChannels, true);
    controls::setChecked(chkNoMaterialData, true);
  }
  chkChannels->setEnabled(false);
  chkNoMaterialData->setEnabled(false);
  SharedDialog().FileName.clear();
}

void FrmMain::ReadMorphPoseFile(bool insertOne, bool useCurrentFile, const std::string& text, bool append) {
  channelReadCancelled_ = false;
  CdlgEx& dlg = SharedDialog();
  if (!useCurrentFile && text.empty()) {
    // The figure types' dialog, for a file whose channels are wanted.
    const std::string kept = dlg.FileName;
    if (!ChooseOpenFile(gState.FileType)) {
      dlg.FileName = kept;
      return;
    }
  }
  MorphPoseReadOptions options;
  options.InsertOne = insertOne;
  options.Append = append;
  options.FileName = dlg.FileName;
  options.Text = text;
  MorphPoseReadResult result;
  {
    std::unique_ptr<Host> host = ProgressHost();
    SetBusy(true);
    result = ReadMorphPoseData(options, *host);
  }
  SetBusy(false);
  channelReadCancelled_ = result.Outcome == MorphPoseOutcome::Cancelled;
  materials->MirrorObjectList();
  if (result.Outcome != MorphPoseOutcome::Read) return;
  ApplyChannelRead(result.Channels);
}

SaveChoices FrmMain::SaveChoicesShown() const {
  SaveChoices choices;
  choices.poser5 = Poser5Format();
  choices.macLineEnds = !DosLineEnds();
  choices.noMaterials = chkNoMaterialData->isChecked();
  choices.noChannels = chkChannels->isChecked();
  choices.disableThighLength = channelsPane->chkDisableThighLength->isChecked();
  choices.thighLength = ToPoserText(channelsPane->txtThighLength->text());
  choices.batchRun = BatchRun();
  return choices;
}

std::string FrmMain::WritePoseFile() {
  const std::string outputPath = CommonDialog1.fileName;
  const PoseWriteResult result = WritePose(SaveChoicesShown(), outputPath, SharedDialog().FileName);
  CommonDialog1.fileName = result.Path;
  if (result.Error.empty()) WrittenOver(outputPath);
  return result.Error;
}

std::string FrmMain::ExportMtl(const std::string& path) { return vandrel::ExportMtl(path); }

// Counts the loaded file into gFileInfo and enables File Information (a
// test may put its own procedure in the hook).
void FrmMain::CollectFileInfo() {
  if (CollectFileInfoHook) {
    CollectFileInfoHook();
    return;
  }
  vandrel::CollectFileInfo();
  mnuFileInfo->setEnabled(true);
}

// Filled in by the map reference check, which another part of the program
// builds; nothing to do until it is connected.

void FrmMain::CheckMapReferences() {
  if (CheckMapReferencesHook) {
    CheckMapReferencesHook();
    return;
  }
  materials->CheckMapReferences();
}

}  // namespace vandrel
