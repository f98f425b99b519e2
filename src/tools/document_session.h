// One open-and-save flow for every way a document is opened: the main
// window's open commands (and through them the batch converter) and
// "vandrel -s". The session refuses a file that is not Poser text, reads the
// file with its morph and pose channels while the shown document waits aside,
// and says what the window shows of the read; the silent save that "-s" asks
// for then writes the material pose beside the file. No Qt.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/host.h"
#include "reader/channel_reader.h"
#include "reader/poser_file_reader.h"
#include "writer/pose_writer.h"

namespace vandrel {

// ---- Rules of the document's text fields ----------------------------------------------

// A one-line text field keeps at most this many characters (counted as the
// screen counts them) of a text set into it.
inline constexpr std::size_t kOneLineTextLength = 32767;
// What a one-line field keeps of Poser text set into it, read back as Poser
// text: the text as shown, cut after kOneLineTextLength characters.
std::string OneLineText(std::string_view poserText);
// The document's required version for the text of its required-version
// field: the number the text reads as, in its shortest form with "." as the
// decimal sign (it is written into the file).
std::string RequiredVersionOfText(std::string_view poserText);
// The required-version text that choosing the Poser 5 (or Poser 4) format
// puts in the field, or nullptr when the preferences keep the field as it is.
const std::string* FormatVersionText(bool poser5);

// What a pose written now takes from the document's save options (the Save
// Options tab, the thigh-length field).
struct SaveChoices {
  bool poser5 = false;
  bool macLineEnds = false;  // lone CR; else CR LF
  bool noMaterials = false;
  bool noChannels = true;  // ticked before any read
  bool disableThighLength = false;
  std::string thighLength;  // Poser text
  bool batchRun = false;    // a batch conversion: fully transparent materials get no falloff
};

// Writes the material pose of the document to `outputPath` (`givenPath`
// when that holds only blanks) with the document's required version.
PoseWriteResult WritePose(const SaveChoices& choices, const std::string& outputPath,
                          const std::string& givenPath);

// ---- Opening ----------------------------------------------------------------------

struct SessionRequest {
  int fileType = 0;  // 0 .cr2 ... 7 .lt2
  std::string path;  // chosen (native path)
  // The file's content given instead (the figure chooser); `path` still names
  // the file.
  std::optional<std::string_view> text;
  // Refuse the file first when it is not Poser text.
  bool checkText = true;
  bool poser5 = false;  // the output format chosen
  // What becomes of the document in the model before the read.
  enum class Shown {
    SetAside,  // a shown document waits aside, and stays when the read ends cut off or out of memory
    Reset,     // no document is shown: the read starts from an empty one
    Kept,      // an import reads into the document as it is
  };
  Shown shown = Shown::Reset;
};

enum class SessionOutcome {
  Refused,    // not Poser text: reported, nothing changed
  KeptShown,  // the read had nothing to show: reported, the shown document is back
  Failed,     // the read failed: reported, the document is to be left empty
  Read,       // the file was read
};

// What the window shows of a read; the data itself is in the model.
struct SessionResult {
  SessionOutcome outcome = SessionOutcome::Failed;
  // What the reader asks of the controls (caption, buttons, menus, the
  // object list, "Don't save" boxes, default template, silent-save path,
  // the dialog's file name) and, on failure, its error.
  OpenFileResult read;
  // The required-version field's text (with read.setRequiredVersion).
  std::string requiredVersionText;
  // The channels of a pose-type file were read: without Esc (channelsRead)
  // the thigh length and the actor list are shown; after Esc (readCancelled)
  // the materials stay but the document no longer stands for its file.
  bool channelsRead = false;
  bool readCancelled = false;
  ChannelReadResult channels;
  // The thigh-length field's text as it keeps it (with channelsRead and not
  // channels.DisableThighLength).
  std::string thighLengthText;
};

struct SessionHooks {
  // Runs `read` with the host the read reports through (the progress
  // window); unset: the read reports through OpenDocument's `host`.
  std::function<void(const std::function<void(Host&)>& read)> runRead;
  // The read has something to show: the shown document is in the model once
  // more for the window to let go of it; the read's data follows.
  std::function<void()> replaceShown;
};

// Refuses, reads and reads the channels. A refusal is reported through
// `host` (and so is the read, unless hooks.runRead gives it its own) and
// sets gOpenCancelled; a refusal or a failure clears
// gState.SilentSave; a read that kept the shown document also sets
// gState.ReadError and clears gState.LoadProps.
SessionResult OpenDocument(const SessionRequest& request, Host& host, const SessionHooks& hooks = {});

// The save "-s" asks for after a read: the material pose written to `path`
// by `write` (which returns "" or the error), unless the document has
// nothing to write or the file there holds what the pose would drop. An
// error is reported through `host`. Sets gSilentSaveWritten and gEndProgram.
void SaveSilently(const std::string& path, bool nothingToWrite, const std::function<std::string()>& write,
                  Host& host);

// ---- A document without a window ("vandrel -s") -------------------------------------

class WindowlessDocument {
 public:
  // Every report and question of the open and the save goes to `host`.
  explicit WindowlessDocument(Host& host) : host_(host) {}
  // The tables made, no thumbnails of the maps read, and the output format of
  // the preferences chosen (with its required version when they say so).
  void Start();
  // OpenFile for the command line's file with its silent save switch: the
  // result is applied to the save choices. `chooseDefaultTemplate` chooses
  // gSettings.DefaultTemplate when the read asks for it.
  SessionResult Open(const std::string& commandLine, const std::string& lastArgument,
                     const std::function<void()>& chooseDefaultTemplate);
  // The silent save that follows a read that asked for it.
  void Save(const SessionResult& result);

  const SaveChoices& choices() const { return choices_; }

 private:
  // Sets the required-version field: a text that differs from the one it
  // holds makes the document's required version and marks it changed.
  void SetRequiredVersionText(const std::string& text);

  Host& host_;
  SaveChoices choices_;
  std::string requiredVersionText_;  // empty before the first choice
};

}  // namespace vandrel
