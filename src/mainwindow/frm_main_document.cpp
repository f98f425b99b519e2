// The window's calls into reading and writing, and the window-side steps
// around a read: what the open commands, Save and Export hand to the cores
// and how the window shows the result.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "common/numbers.h"
#include "common/text.h"
#include "mainwindow/controls.h"
#include "mainwindow/frm_main.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/qt/qt_ui.h"
#include "writer/mtl_writer.h"
#include "writer/pose_writer.h"

namespace vandrel {

namespace {

class EventsOff {
 public:
  EventsOff() : saved_(gState.EventsOn) { gState.EventsOn = false; }
  ~EventsOff() { gState.EventsOn = saved_; }

 private:
  bool saved_;
};

constexpr const char* kOpenTitles[kFileTypeCount] = {
    "Open Character file", "Open Pose file", "Open Prop file",  "Open Hair file",
    "Open Camera file",    "Open Face file", "Open Hand file", "Open Light file"};

constexpr const char* kOpenFilters[kFileTypeCount] = {
    "Characters|*.cr2|All files|*.*", "Pose files|*.pz2|All files|*.*",  "Props|*.pp2|All files|*.*",
    "Hair files|*.hr2|All files|*.*", "Camera files|*.cm2|All files|*.*", "Face files|*.fc2|All files|*.*",
    "Hand files|*.hd2|All files|*.*", "Light files|*.lt2|All files|*.*"};

}  // namespace

// ---- Window-side steps around a read -------------------------------------------------

void FrmMain::BeginLoad(const std::string& path, int fileType) {
  ResetMainWindow();
  EnableMaterialControlsAfterLoad();
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
  MirrorObjectList();
  controls::setText(TXT[0], FromPoserText(gState.RequiredVersion));
  mnuSaveAs->setEnabled(true);
  if (IsPoseType(fileType)) mnuSave->setEnabled(true);
  if (!gObjectList.empty()) mnuExportMTL->setEnabled(true);
  gState.LastMapFolder.clear();
  const QString wanted = FromPoserText(LCase(gSettings.DefaultTemplate));
  for (int i = 0; i < Combo1->count(); ++i) {
    if (Combo1->itemText(i).toLower() == wanted) {
      controls::setListIndex(Combo1, i);
      break;
    }
  }
  gState.Dirty = false;
  gState.LoadProps = false;
}

void FrmMain::ShowChannelsRead() {
  controls::clear(lstActors);
  controls::clear(lstDials);
  for (const ActorRec& actor : gActors) {
    if (actor.Name.empty()) continue;
    auto* item = new QTreeWidgetItem({FromPoserText(actor.Name), FromPoserText(actor.Kind)});
    const QSignalBlocker block(lstActors);
    lstActors->addTopLevelItem(item);
  }
  MirrorObjectList();
  if (lstActors->topLevelItemCount() == 0) return;
  lstActors->setEnabled(true);
  lstDials->setEnabled(true);
  controls::setSelected(lstActors, 0, true);
  controls::setSelected(lstActors, 0, false);
  cmdDelChannels->setEnabled(true);
  chkChannels->setEnabled(true);
  {
    EventsOff off;
    controls::setChecked(chkChannels, false);
  }
  gState.EventsOn = true;
  for (QWidget* w : std::initializer_list<QWidget*>{txtDialProperties[0], chkDisableThighLength, cmdZerAll,
                                                    cmdCreateDial, cmdApplyDial[0], cmdSelectAllActors,
                                                    cmdSelectAllDials})
    w->setEnabled(true);
  EnablePropertyControls(true);
}

// ---- Seams into the cores ----------------------------------------------------------

FileDialogResult FrmMain::ShowSharedOpen(bool preview) {
  FileDialogRequest request = RequestOf(SharedDialog());
  request.preview = preview;
  const FileDialogResult result = Ui().ShowOpen(request);
  if (!result.cancelled) SharedDialog().FileName = result.path;
  return result;
}

void FrmMain::OpenFile(const std::string& text) {
  gOpenCancelled = false;
  gState.ReadError = false;
  const int type = gState.FileType;
  std::string path;
  if (gState.FileGiven) {
    path = SharedDialog().FileName;
    if (text.empty()) gState.FileGiven = false;
  } else {
    CommonDialogRec& dlg = SharedDialog();
    dlg.DialogTitle = kOpenTitles[type];
    dlg.Filter = kOpenFilters[type];
    dlg.DefaultExt = FileTypeExtension(type);
    dlg.FileName.clear();
    dlg.Flags = kOpenDialogFlags;
    dlg.CancelError = true;
    if (!gState.LastFolderOfType(type).empty())
      dlg.InitDir = gState.LastFolderOfType(type);
    else if (gSettings.FolderOfType(type) != kNone)
      dlg.InitDir = gSettings.FolderOfType(type);
    FileDialogResult chosen;
    if (gSettings.CdlgThumb) {
      chosen = ShowSharedOpen(true);
    } else {
      CopyDialogSettings(dlg);
      chosen = Ui().ShowOpen(RequestOf(CommonDialog1));
      if (!chosen.cancelled) dlg.FileName = chosen.path;
    }
    if (chosen.cancelled) {
      gOpenCancelled = true;
      gState.LoadProps = false;
      return;
    }
    path = chosen.path;
    gState.LastFolderOfType(type) = FolderOf(path);
  }
  BeginLoad(path, type);
  if (type == kHr2) gIsHairFile = true;  // the reset clears it
  std::string error = "There is no file reader in this build.";
  if (ReadFileCore) {
    SetBusy(true);
    error = ReadFileCore(path, text, type);
    SetBusy(false);
  }
  if (!error.empty()) {
    gState.ReadError = true;
    if (!gState.BatchMode) Ui().MessageBox(error, "", MsgButtons::OK, MsgIcon::Exclamation);
    DisableMaterialControls();
    gState.LoadProps = false;
    return;
  }
  EndLoad(type);
}

void FrmMain::ReadMorphPoseFile(bool insertOne, bool useCurrentFile, const std::string& text, bool append) {
  std::string path = SharedDialog().FileName;
  if (!useCurrentFile && text.empty()) {
    const FileDialogResult chosen =
        gSettings.CdlgThumb ? ShowSharedOpen(true) : Ui().ShowOpen(RequestOf(SharedDialog()));
    if (chosen.cancelled) return;
    path = chosen.path;
  }
  if (!ReadChannelsCore) return;
  {
    EventsOff off;
    controls::setChecked(chkDisableThighLength, true);
  }
  SetBusy(true);
  const std::string error = ReadChannelsCore(path, text, insertOne, append);
  SetBusy(false);
  if (!error.empty()) {
    if (!gState.BatchMode) Ui().MessageBox(error, "", MsgButtons::OK, MsgIcon::Exclamation);
    return;
  }
  ShowChannelsRead();
  gState.Dirty = true;
}

std::string FrmMain::WritePoseFile() {
  PoseWriteOptions options;
  options.OutputPath = CommonDialog1.FileName;
  options.GivenPath = SharedDialog().FileName;
  options.Poser5 = Poser5Format();
  options.MacLineEnds = !DosLineEnds();
  options.NoMaterials = chkNoMaterialData->isChecked();
  options.NoChannels = chkChannels->isChecked();
  options.DisableThighLength = chkDisableThighLength->isChecked();
  options.ThighLength = ToPoserText(txtThighLength->text());
  options.RequiredVersion = gState.RequiredVersion;
  options.BatchMode = gState.BatchMode;
  const PoseWriteResult result = vandrel::WritePoseFile(options);
  CommonDialog1.FileName = result.Path;
  return result.Error;
}

std::string FrmMain::ExportMtl(const std::string& path) { return vandrel::ExportMtl(path); }

// Filled in by the file statistics and the map reference check, which other
// parts of the program build; nothing to do until they are connected.
void FrmMain::CollectFileInfo() {
  if (CollectFileInfoHook) CollectFileInfoHook();
}

void FrmMain::CheckMapReferences() {
  if (CheckMapReferencesHook) CheckMapReferencesHook();
}

void FrmMain::ShowMaterial() {
  if (ShowMaterialHook) ShowMaterialHook();
}

void FrmMain::lstActors_ItemClick(int item) {
  if (ActorItemClickHook) ActorItemClickHook(item);
}

}  // namespace vandrel
