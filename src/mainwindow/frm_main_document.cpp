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
#include <memory>
#include <optional>
#include <utility>

#include "common/numbers.h"
#include "common/text.h"
#include "mainwindow/channels_pane.h"
#include "mainwindow/frm_main.h"
#include "maps/qt/thumbnails.h"
#include "model/command_line.h"
#include "model/data_not_kept.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/path_case.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "reader/channel_reader.h"
#include "reader/morph_pose_file.h"
#include "reader/poser_file_reader.h"
#include "reader/read_fault.h"
#include "tools/batch_conversion.h"
#include "tools/file_statistics.h"
#include "writer/mtl_writer.h"
#include "writer/pose_writer.h"

namespace vandrel {

using controls::EventsOff;

namespace {

constexpr const char* kOpenTitles[kFileTypeCount] = {
    "Open Character file", "Open Pose file", "Open Prop file", "Open Hair file",
    "Open Camera file",    "Open Face file", "Open Hand file", "Open Light file"};

constexpr const char* kOpenFilters[kFileTypeCount] = {
    "Characters|*.cr2|All files|*.*", "Pose files|*.pz2|All files|*.*",   "Props|*.pp2|All files|*.*",
    "Hair files|*.hr2|All files|*.*", "Camera files|*.cm2|All files|*.*", "Face files|*.fc2|All files|*.*",
    "Hand files|*.hd2|All files|*.*", "Light files|*.lt2|All files|*.*"};

// The open document's data, moved aside (not copied) while another file is
// read, so that a read that gives nothing to show leaves it as it was.
class DocumentData {
 public:
  // Takes the document out of the model, which is left as a read starts it.
  static DocumentData Take() {
    DocumentData d;
    d.objects_ = std::move(gObjects);
    d.objectList_ = std::move(gObjectList);
    d.actors_ = std::move(gActors);
    d.actorList_ = std::move(gActorList);
    d.pictureSizes_ = std::move(gPictureSizes);
    d.dataNotKept_ = std::move(gDataNotKept);
    d.state_ = gState;
    d.thighLength_ = gThighLength;
    d.actorMaterialsFound_ = gActorMaterialsFound;
    d.hair_ = gIsHairFile;
    ResetDocument();
    gPictureSizes.assign(1, StringPairRec{});
    return d;
  }
  // Puts the data back over what the model holds. With `wholeState` every
  // field of gState is as it was taken; else only those of the document
  // (its name, versions, notes and dirty flag).
  void PutBack(bool wholeState) {
    gObjects = std::move(objects_);
    gObjectList = std::move(objectList_);
    gActors = std::move(actors_);
    gActorList = std::move(actorList_);
    gPictureSizes = std::move(pictureSizes_);
    gDataNotKept = std::move(dataNotKept_);
    if (wholeState) {
      gState = std::move(state_);
    } else {
      gState.FileName = std::move(state_.FileName);
      gState.RequiredVersion = std::move(state_.RequiredVersion);
      gState.ReadVersion = std::move(state_.ReadVersion);
      gState.FileNotes = std::move(state_.FileNotes);
      gState.Dirty = state_.Dirty;
    }
    gThighLength = thighLength_;
    gActorMaterialsFound = actorMaterialsFound_;
    gIsHairFile = hair_;
  }

 private:
  std::vector<ObjectRec> objects_;
  std::vector<std::string> objectList_;
  std::vector<ActorRec> actors_;
  std::vector<ActorListItem> actorList_;
  std::vector<StringPairRec> pictureSizes_;
  DataNotKeptRec dataNotKept_;
  StateRec state_;
  float thighLength_ = 0.0f;
  bool actorMaterialsFound_ = false;
  bool hair_ = false;
};

// A read that ended cut off or out of memory has nothing to show in place of
// the open document, which stays; every other failure leaves no document.
bool KeepsOpenDocument(const OpenFileResult& result) {
  for (const ReadFault& fault : {CutOffFault(), OutOfMemoryFault()})
    if (result.errorNumber == fault.number && result.errorDescription == fault.description) return true;
  return false;
}

}  // namespace

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
                      FromPoserText(gState.RequiredVersion));
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
  if (gState.BatchMode) return std::make_unique<QuietHost>();
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
  // A file that is not Poser text is refused before the open document is
  // touched (an import's own read refuses it the same way).
  const bool checkText = text.empty() && !gImportMode;
  if (checkText) {
    QuietHost quiet;
    UiHost shown;
    if (RefuseNonPoserText(path, gState.BatchMode ? static_cast<Host&>(quiet) : shown)) {
      // As after a cancelled dialog, nothing follows the open: no morph
      // question, no statistics, no map check of the document still open.
      gState.SilentSave = false;
      gOpenCancelled = true;
      return;
    }
  }
  const auto prepareMaterialControls = [this] {
    materials->EnableMaterialControlsAfterLoad();
    chkNoMaterialData->setEnabled(true);
    EventsOff off;
    controls::setChecked(chkNoMaterialData, false);
  };
  // The open document stays in view while the file is read: the window is
  // reset only once the read has something to show instead. Its data and
  // map thumbnails go aside meanwhile (the read starts from none, and the
  // thumbnails of its maps come in their own order). An import keeps the
  // document and reads only the other file's materials.
  std::optional<DocumentData> shown;
  ThumbnailList shownThumbnails;
  if (!gImportMode) {
    shown = DocumentData::Take();
    shownThumbnails = std::exchange(ImageList1(0), ThumbnailList{});
  }

  OpenFileOptions options;
  options.fileType = type;
  options.path = path;
  if (!text.empty()) options.text = text;
  options.knownText = checkText;
  options.poser5Format = Poser5Format();
  std::optional<ChannelReadResult> channels;
  options.objectPartReader = [&channels](std::string_view objectText, Host& host) {
    channels = ReadObjectPart(objectText, host);
  };
  OpenFileResult result;
  {
    std::unique_ptr<Host> host = ProgressHost();
    SetBusy(true);
    // Map paths named in many materials resolve against the same folders:
    // each folder is listed once for the whole read.
    ScopedFolderListings listings;
    result = ReadPoserFile(options, *host);
    // The map thumbnails the read started are in the lists when it ends.
    FinishPendingThumbnails();
  }
  SetBusy(false);

  if (shown && !result.ok && KeepsOpenDocument(result)) {
    // The report was shown. Nothing of the read stays, and nothing follows
    // it (no morph question, statistics or map check), as after a refusal.
    ImageList1(0) = std::move(shownThumbnails);
    shown->PutBack(true);
    dlg.FileName = shownDialogName;
    CommonDialog1.fileName = shownCommonName;
    gState.ReadError = true;
    gState.SilentSave = false;
    gState.LoadProps = false;
    gOpenCancelled = true;
    return;
  }
  if (shown) {
    // The window lets go of the document it showed (its handlers still see
    // that document's data), then the read's data takes its place.
    DocumentData read = DocumentData::Take();
    shown->PutBack(false);
    ResetMainWindow(/*cutThumbnails=*/false);
    prepareMaterialControls();
    read.PutBack(false);
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
  if (channels && !channels->Cancelled) ApplyChannelRead(*channels);
  // Esc while the channels were read: the materials stay, but the document
  // no longer stands for the whole file.
  if (channels && channels->Cancelled && !gImportMode) MarkReadCancelled();
  // Filling the version box and showing the first material marked the
  // document; a load leaves it unchanged (an import is a change), and the
  // controls take the user's events from here on.
  gState.Dirty = gImportMode;
  gState.EventsOn = true;

  if (!result.silentSavePath.empty()) {
    gState.SilentSave = false;
    dlg.FileName = result.silentSavePath;
    CommonDialog1.fileName = result.silentSavePath;
    // A file with neither materials nor actors gives no material pose: the
    // file beside it is not replaced by an empty one.
    // Nor is the file read replaced by a pose that drops what it holds.
    const std::string error = NothingToSave() ? std::string("Nothing to save")
                              : !DataLostByWriting(result.silentSavePath).empty()
                                  ? NotReplacedText(result.silentSavePath)
                                  : WritePoseFile();
    if (!error.empty()) Ui().MessageBox(error, "Vandrel", MsgButtons::OK, MsgIcon::Exclamation);
    gSilentSaveWritten = error.empty();
    gEndProgram = true;
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

std::string FrmMain::WritePoseFile() {
  PoseWriteOptions options;
  options.OutputPath = CommonDialog1.fileName;
  options.GivenPath = SharedDialog().FileName;
  options.Poser5 = Poser5Format();
  options.MacLineEnds = !DosLineEnds();
  options.NoMaterials = chkNoMaterialData->isChecked();
  options.NoChannels = chkChannels->isChecked();
  options.DisableThighLength = channelsPane->chkDisableThighLength->isChecked();
  options.ThighLength = ToPoserText(channelsPane->txtThighLength->text());
  options.RequiredVersion = gState.RequiredVersion;
  options.BatchMode = gState.BatchMode;
  const PoseWriteResult result = vandrel::WritePoseFile(options);
  CommonDialog1.fileName = result.Path;
  if (result.Error.empty()) WrittenOver(options.OutputPath);
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
