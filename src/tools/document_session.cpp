#include "tools/document_session.h"

#include <optional>
#include <utility>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/text.h"
#include "model/channel_edits.h"
#include "model/data_not_kept.h"
#include "model/model.h"
#include "platform/cdlg_ex.h"
#include "platform/path_case.h"
#include "reader/material_parser.h"
#include "reader/model_snapshot.h"
#include "reader/read_fault.h"
#include "tools/batch_conversion.h"
#include "tools/command_line.h"

namespace vandrel {

namespace {

// A read that ended cut off or out of memory has nothing to show in place of
// the shown document, which stays; every other failure leaves no document.
bool KeepsShownDocument(const OpenFileResult& result) {
  for (const ReadFault& fault : {CutOffFault(), OutOfMemoryFault()})
    if (result.errorNumber == fault.number && result.errorDescription == fault.description) return true;
  return false;
}

}  // namespace

// ---- Rules of the document's text fields ----------------------------------------------

std::string OneLineText(std::string_view poserText) {
  std::string shown = PoserTextToUtf8(poserText);
  // The screen counts a character beyond the first 65536 code points as two.
  std::size_t units = 0;
  for (std::size_t i = 0; i < shown.size();) {
    std::size_t next = i;
    const std::optional<char32_t> code = NextCodePoint(shown, next);
    if (!code) next = i + 1;  // the shown form is UTF-8: does not happen
    const std::size_t need = code && *code > 0xFFFF ? 2 : 1;
    if (units + need > kOneLineTextLength) {
      shown.resize(i);
      // The first half of a character counted as two stays on its own, which
      // has no form: it reads back as "?".
      if (units < kOneLineTextLength) shown += '?';
      break;
    }
    units += need;
    i = next;
  }
  return Utf8ToPoserText(shown);
}

std::string RequiredVersionOfText(std::string_view poserText) {
  return FormatDouble(Val(std::string(poserText)));
}

const std::string* FormatVersionText(bool poser5) {
  if (poser5 && gSettings.SetP5Version) return &gSettings.P5VersionNumber;
  if (!poser5 && gSettings.SetPoserVersion) return &gSettings.PVersionNumber;
  return nullptr;
}

PoseWriteResult WritePose(const SaveChoices& choices, const std::string& outputPath,
                          const std::string& givenPath) {
  PoseWriteOptions options;
  options.OutputPath = outputPath;
  options.GivenPath = givenPath;
  options.Poser5 = choices.poser5;
  options.MacLineEnds = choices.macLineEnds;
  options.NoMaterials = choices.noMaterials;
  options.NoChannels = choices.noChannels;
  options.DisableThighLength = choices.disableThighLength;
  options.ThighLength = choices.thighLength;
  options.RequiredVersion = gState.RequiredVersion;
  options.BatchMode = choices.batchRun;
  return WritePoseFile(options);
}

// ---- Opening ----------------------------------------------------------------------

SessionResult OpenDocument(const SessionRequest& request, Host& host, const SessionHooks& hooks) {
  SessionResult out;
  // A file that is not Poser text is refused before the document is touched.
  if (request.checkText && RefuseNonPoserText(request.path, host)) {
    // As after a cancelled dialog, nothing follows the open: no morph
    // question, no statistics, no map check of the document still open.
    gState.SilentSave = false;
    gOpenCancelled = true;
    out.outcome = SessionOutcome::Refused;
    return out;
  }
  // The read starts from no document; one shown waits aside meanwhile.
  std::optional<ModelSnapshot> shown;
  if (request.shown == SessionRequest::Shown::SetAside)
    shown = ModelSnapshot::Take();
  else if (request.shown == SessionRequest::Shown::Reset)
    ResetDocument();

  OpenFileOptions options;
  options.fileType = request.fileType;
  options.path = request.path;
  options.text = request.text;
  options.knownText = request.checkText;
  options.poser5Format = request.poser5;
  std::optional<ChannelReadResult> channels;
  options.objectPartReader = [&channels](std::string_view objectText, Host& host) {
    channels = ReadObjectPart(objectText, host);
  };
  const auto read = [&options, &out](Host& readHost) {
    // Map paths named in many materials resolve against the same folders:
    // each folder is listed once for the whole read.
    ScopedFolderListings listings;
    out.read = ReadPoserFile(options, readHost);
  };
  if (hooks.runRead)
    hooks.runRead(read);
  else
    read(host);

  if (shown && !out.read.ok && KeepsShownDocument(out.read)) {
    // The report was shown. Nothing of the read stays, and nothing follows
    // it (no morph question, statistics or map check), as after a refusal.
    shown->PutBack(true);
    gState.ReadError = true;
    gState.SilentSave = false;
    gState.LoadProps = false;
    gOpenCancelled = true;
    out.outcome = SessionOutcome::KeptShown;
    return out;
  }
  if (shown) {
    // The window lets go of the document it showed (its handlers still see
    // that document's data), then the read's data takes its place.
    ModelSnapshot readData = ModelSnapshot::Take();
    shown->PutBack(false);
    if (hooks.replaceShown) hooks.replaceShown();
    readData.PutBack(false);
  }
  if (!out.read.ok) {
    out.outcome = SessionOutcome::Failed;
    return out;
  }
  out.outcome = SessionOutcome::Read;
  if (out.read.setRequiredVersion) out.requiredVersionText = OneLineText(gState.RequiredVersion);
  if (channels) {
    out.channels = std::move(*channels);
    out.channelsRead = !out.channels.Cancelled;
    out.readCancelled = out.channels.Cancelled;
    if (out.channelsRead && !out.channels.DisableThighLength)
      out.thighLengthText = OneLineText(out.channels.ThighLengthText);
  }
  return out;
}

void SaveSilently(const std::string& path, bool nothingToWrite, const std::function<std::string()>& write,
                  Host& host) {
  gState.SilentSave = false;
  // A file with neither materials nor actors gives no material pose: the
  // file beside it is not replaced by an empty one. Nor is the file read
  // replaced by a pose that drops what it holds.
  const std::string error = nothingToWrite                     ? std::string("Nothing to save")
                            : !DataLostByWriting(path).empty() ? NotReplacedText(path)
                                                               : write();
  if (!error.empty()) host.Message(error, "Vandrel", MsgButtons::OK, MsgIcon::Exclamation);
  gSilentSaveWritten = error.empty();
  gEndProgram = true;
}

// ---- A document without a window ------------------------------------------------------

void WindowlessDocument::Start() {
  // A run that shows nothing makes no thumbnails of the maps it reads.
  SetMaterialMapHook({});
  CreateTables();
  // The save options of the preferences; choosing the format puts its
  // version number in the required-version field when they say so.
  choices_ = SaveChoices{};
  choices_.poser5 = !gSettings.SaveAsType;
  choices_.macLineEnds = !gSettings.FileSystem;
  requiredVersionText_.clear();
  if (const std::string* version = FormatVersionText(choices_.poser5)) SetRequiredVersionText(*version);
}

void WindowlessDocument::SetRequiredVersionText(const std::string& text) {
  std::string kept = OneLineText(text);
  if (kept == requiredVersionText_) return;
  requiredVersionText_ = std::move(kept);
  gState.RequiredVersion = RequiredVersionOfText(requiredVersionText_);
  gState.Dirty = true;
}

SessionResult WindowlessDocument::Open(const std::string& commandLine, const std::string& lastArgument,
                                       const std::function<void()>& chooseDefaultTemplate) {
  BeginOpenFile();
  gDlg.FileName = TrueCasePath(CommandLinePath(commandLine, lastArgument));
  gState.SilentSave = true;
  gState.FileGiven = false;
  SessionRequest request;
  request.fileType = gState.FileType;
  request.path = gDlg.FileName;
  request.poser5 = choices_.poser5;
  // The reset before a read also empties the thigh-length field and clears
  // "Don't save materials".
  choices_.noMaterials = false;
  choices_.noChannels = true;
  choices_.disableThighLength = false;
  choices_.thighLength.clear();
  SessionResult result = OpenDocument(request, host_);
  if (result.outcome == SessionOutcome::Refused) return result;
  if (result.outcome != SessionOutcome::Read) {
    // The report was shown; nothing is saved.
    gState.SilentSave = false;
    ResetDocument();
    gDlg.FileName.clear();
    return result;
  }
  const OpenFileResult& read = result.read;
  if (read.setRequiredVersion) SetRequiredVersionText(result.requiredVersionText);
  if (read.channelsOff) choices_.noChannels = true;
  gDlg.FileName = read.dialogFileName;
  if (read.noMaterialData) {
    // Ticked while no events are taken yet: nothing else follows.
    gObjectList.clear();
    choices_.noMaterials = true;
  }
  if (read.selectDefaultTemplate && chooseDefaultTemplate) chooseDefaultTemplate();
  if (result.channelsRead) {
    choices_.disableThighLength = result.channels.DisableThighLength;
    if (!result.channels.DisableThighLength) choices_.thighLength = result.thighLengthText;
    if (result.channels.ActorsListed && !gActorList.empty()) {
      choices_.noChannels = false;
      gCurrentActor = gCurrentDial = 0;
    }
  }
  // A load ends unchanged.
  gState.Dirty = false;
  gState.EventsOn = true;
  return result;
}

void WindowlessDocument::Save(const SessionResult& result) {
  const std::string& path = result.read.silentSavePath;
  if (result.outcome != SessionOutcome::Read || path.empty()) return;
  gDlg.FileName = path;
  SaveSilently(
      path, NothingToWrite(choices_.noMaterials, choices_.noChannels),
      [this, &path] { return WritePose(choices_, path, gDlg.FileName).Error; }, host_);
}

}  // namespace vandrel
