#include "app/silent_save.h"

#include <QString>
#include <optional>

#include "app/settings_file.h"
#include "common/numbers.h"
#include "common/text.h"
#include "model/channel_edits.h"
#include "model/command_line.h"
#include "model/data_not_kept.h"
#include "model/model.h"
#include "platform/cdlg_ex.h"
#include "platform/path_case.h"
#include "platform/qt/poser_text.h"
#include "platform/ui_services.h"
#include "reader/channel_reader.h"
#include "reader/material_parser.h"
#include "reader/poser_file_reader.h"
#include "tools/batch_conversion.h"
#include "tools/selection_templates.h"
#include "writer/pose_writer.h"

namespace vandrel {

namespace {

// A one-line text box: it keeps at most this many characters of a text set
// into it, and the text it holds is what a save reads back.
constexpr qsizetype kLineBoxLength = 32767;

QString LineBox(const QString& text) { return text.left(kLineBoxLength); }

// The required-version box of the Save Options tab. Setting a text that
// differs from the one it holds runs its change handling: the document's
// required version becomes the box's number in its shortest form.
class RequiredVersionBox {
 public:
  void Set(const std::string& poserText) {
    const QString text = LineBox(FromPoserText(poserText));
    if (text == text_) return;
    text_ = text;
    gState.RequiredVersion = FormatDouble(Val(ToPoserText(text_)));
    gState.Dirty = true;
  }

 private:
  QString text_;  // empty as the window starts
};

// What the main window's save controls hold for the save that follows a read.
struct SaveControls {
  bool noMaterials = false;
  bool noChannels = true;  // ticked as the window starts
  bool disableThighLength = false;
  QString thighLength;
};

// The default template chosen in the template list after a read: its file
// is read to list its groups, and a file that cannot be read is reported.
void ChooseDefaultTemplate() {
  if (gSettings.DefaultTemplate.empty()) return;
  const QString wanted = FromUtf8(gSettings.DefaultTemplate).toLower();
  for (const TemplateEntry& entry : ListTemplates()) {
    if (FromUtf8(entry.name).toLower() != wanted) continue;
    SelectionTemplate tpl;
    const std::string error = ReadTemplateFile(entry.path, tpl);
    if (!error.empty()) Ui().MessageBox(error, "", MsgButtons::OK, MsgIcon::Exclamation);
    return;
  }
}

// The window's OpenFile for the command line's file, with its silent save.
void OpenAndSave(const std::string& commandLine, const std::string& lastArgument,
                 RequiredVersionBox& required, bool poser5) {
  BeginOpenFile();
  const int type = gState.FileType;
  gDlg.FileName = TrueCasePath(CommandLinePath(commandLine, lastArgument));
  gState.SilentSave = true;
  gState.FileGiven = false;
  const std::string path = gDlg.FileName;
  {
    UiHost shown;
    if (RefuseNonPoserText(path, shown)) {
      gState.SilentSave = false;
      gOpenCancelled = true;
      return;
    }
  }
  // The reset before a read: the document, the thigh-length box emptied and
  // "Don't save materials" cleared.
  ResetDocument();
  SaveControls controls;

  OpenFileOptions options;
  options.fileType = type;
  options.path = path;
  options.knownText = true;
  options.poser5Format = poser5;
  std::optional<ChannelReadResult> channels;
  options.objectPartReader = [&channels](std::string_view objectText, Host& host) {
    channels = ReadObjectPart(objectText, host);
  };
  OpenFileResult result;
  {
    UiHost host;
    ScopedFolderListings listings;
    result = ReadPoserFile(options, host);
  }
  if (!result.ok) {
    // The report was shown; nothing is saved.
    gState.SilentSave = false;
    ResetDocument();
    gDlg.FileName.clear();
    return;
  }

  // What the window shows of the result.
  if (result.setRequiredVersion) required.Set(gState.RequiredVersion);
  if (result.channelsOff) controls.noChannels = true;
  gDlg.FileName = result.dialogFileName;
  if (result.noMaterialData) {
    // Ticked while the window takes no events yet: its handler does nothing.
    gObjectList.clear();
    controls.noMaterials = true;
  }
  if (result.selectDefaultTemplate) ChooseDefaultTemplate();
  if (channels && !channels->Cancelled) {
    controls.disableThighLength = channels->DisableThighLength;
    if (!channels->DisableThighLength)
      controls.thighLength = LineBox(FromPoserText(channels->ThighLengthText));
    if (channels->ActorsListed && !gActorList.empty()) {
      controls.noChannels = false;
      gCurrentActor = gCurrentDial = 0;
    }
  }
  // A load ends unchanged.
  gState.Dirty = false;
  gState.EventsOn = true;

  if (result.silentSavePath.empty()) return;
  gState.SilentSave = false;
  gDlg.FileName = result.silentSavePath;
  std::string error;
  // A file with neither materials nor actors gives no material pose: the
  // file beside it is not replaced by an empty one.
  if (NothingToWrite(controls.noMaterials, controls.noChannels)) {
    error = "Nothing to save";
  } else if (!DataLostByWriting(result.silentSavePath).empty()) {
    // Written over the file it read, the pose would drop what the tables do
    // not keep: the file stays as it is.
    error = NotReplacedText(result.silentSavePath);
  } else {
    PoseWriteOptions write;
    write.OutputPath = result.silentSavePath;
    write.GivenPath = gDlg.FileName;
    write.Poser5 = poser5;
    write.MacLineEnds = !gSettings.FileSystem;
    write.NoMaterials = controls.noMaterials;
    write.NoChannels = controls.noChannels;
    write.DisableThighLength = controls.disableThighLength;
    write.ThighLength = ToPoserText(controls.thighLength);
    write.RequiredVersion = gState.RequiredVersion;
    error = WritePoseFile(write).Error;
  }
  if (!error.empty()) Ui().MessageBox(error, "Vandrel", MsgButtons::OK, MsgIcon::Exclamation);
  gSilentSaveWritten = error.empty();
  gEndProgram = true;
}

}  // namespace

bool RunSilentSave(const std::string& commandLine, const std::string& lastArgument) {
  gState.FileGiven = gState.Dirty = gState.LoadProps = false;
  gSilentSaveWritten = gEndProgram = false;
  // A run that shows nothing makes no thumbnails of the maps it reads.
  SetMaterialMapHook({});
  LoadSettings(true);
  CreateTables();
  // The save options of the preferences; choosing the format puts its
  // version number in the required-version box when the preferences say so.
  const bool poser5 = !gSettings.SaveAsType;
  RequiredVersionBox required;
  if (poser5 && gSettings.SetP5Version)
    required.Set(gSettings.P5VersionNumber);
  else if (!poser5 && gSettings.SetPoserVersion)
    required.Set(gSettings.PVersionNumber);

  gState.FileGiven = true;
  gState.FileType = CommandLineFileType(commandLine);
  // Character files are read as one figure; props and hair as they are.
  gState.LoadProps = false;
  OpenAndSave(commandLine, lastArgument, required, poser5);
  gState.FileGiven = false;
  return gSilentSaveWritten;
}

}  // namespace vandrel
