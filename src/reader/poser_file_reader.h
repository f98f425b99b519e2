// Reading a Poser library file of any of the eight types into the material
// table (gObjects), the object list (gObjectList) and the document state
// (gState).
//
// The window side's OpenFile:
//  1. BeginOpenFile().
//  2. The path: when gState.FileGiven is set, the known path (and the "-s"
//     switch in gState.SilentSave); otherwise the open dialog prepared by
//     OpenDialogRequest(type). A cancel: MarkOpenCancelled() and return,
//     nothing else changes. A chosen path: RememberOpenFolder(type, path).
//  3. ReadPoserFile(options, host) with gState.LoadProps and gImportMode set
//     as wanted; the host shows the progress window and the messages (a
//     batch run's host shows nothing). Unless gImportMode the open
//     document's data and map thumbnails are set aside meanwhile: a read
//     that ends cut off or out of memory puts them back and leaves the
//     window as it was.
//  4. Unless gImportMode: reset the controls (ResetMainWindow, which calls
//     ResetDocument) over the document they showed, keep the stock pictures
//     and those of the read. Then EnableMaterialControlsAfterLoad, and
//     "Don't save materials" enabled and cleared (events off).
//  5. Apply the result: caption, required-version box, object list (mirror
//     gObjectList; select entry 0 and fill the material list), the check
//     boxes, the buttons and menus, the default template, gDlg.FileName. On
//     failure (ok false, the report already shown): DisableMaterialControls,
//     object list and material buttons disabled, both "Don't save" boxes
//     ticked and disabled. A silentSavePath: write the material pose there
//     and end the program.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/host.h"
#include "platform/ui_services.h"

namespace vandrel {

// Reads the object part (actor, prop, light and camera blocks with their
// channels, LF line ends) of a pose-type file into gActors; may append
// material groups of actors, lights and cameras to gObjects (setting
// gActorMaterialsFound) and "actor ", "light " and "camera " entries to
// gObjectList. It stands for the channel reader and the clearing of the
// property switches that follows it.
using ObjectPartReader = std::function<void(std::string_view objectText, Host& host)>;

struct OpenFileOptions {
  int fileType = 0;  // 0 .cr2 ... 7 .lt2
  // The file to read, already chosen (native path).
  std::string path;
  // The file's content given instead of reading the file (the figure
  // chooser passes the header and one figure); `path` still names the file.
  // The caller keeps the text while the read runs.
  std::optional<std::string_view> text;
  // The output format option chosen in the main window: Poser 5 (option 1)
  // or Poser 4 (option 0). Decides the required version.
  bool poser5Format = false;
  // Reads the object part of a pose-type file. Unset: pose-type files give
  // their materials only and gActors stays empty.
  ObjectPartReader objectPartReader;
  // The caller has already made sure the file is Poser text.
  bool knownText = false;
};

// What the read asks of the main window's controls; the data itself is in
// the model.
struct OpenFileResult {
  bool ok = false;  // loaded; false after a failure (the error was reported)
  // The failure: runtime error number, description, the step that failed,
  // and the report shown through the host.
  int errorNumber = 0;
  std::string errorDescription;
  int errorStep = 0;
  std::string errorReport;

  bool setCaption = false;          // caption = `caption`
  std::string caption;              // "Vandrel - [<file name>]"
  bool setRequiredVersion = false;  // required-version box = gState.RequiredVersion
  bool enableObjectList = false;    // the prop scan enabled the object list
  bool channelsOff = false;         // "Don't save morphs or poses" ticked and disabled
  bool noMaterialData = false;      // "Don't save materials" ticked and disabled, lists cleared
  bool selectFirstObject = false;   // select object-list entry 0 and fill the material list
  bool enableDeleteObject = false;
  bool enableSave = false;
  bool enableSaveAs = false;
  bool enableExportMtl = false;
  bool selectDefaultTemplate = false;  // select gSettings.DefaultTemplate in the template list
  // Not empty: the command line asked for a silent save; write the material
  // pose to this path and end the program.
  std::string silentSavePath;
  // The path the shared file dialog keeps afterwards.
  std::string dialogFileName;
};

// The start of every read: clears gState.ReadError, gOpenCancelled and
// gActorMaterialsFound. ReadPoserFile does it too; call it before showing
// the open dialog.
void BeginOpenFile();

// The open dialog was cancelled: the document stays as it is,
// gState.LoadProps is cleared and gOpenCancelled set.
void MarkOpenCancelled();

// The model part of the main window's reset: gObjects and gActors with one
// empty element, the object list empty, no file name, versions or dirty flag.
void ResetDocument();

// The open dialog for a file type: title, filter, default extension, start
// folder (the last-used folder of the type wins over the preference), flags,
// position and the room for the preview.
FileDialogRequest OpenDialogRequest(int fileType);
// Keeps the folder of a chosen path as the type's last-used folder.
void RememberOpenFolder(int fileType, const std::string& path);

inline constexpr const char* kNotPoserText = "This is not a Poser text file";
inline constexpr const char* kCompressedPoserFile = "This is a compressed Poser file; uncompress it first";

// Why `bytes` cannot be Poser text, or "" when they may be: a NUL byte
// anywhere, the gzip signature at the start, or a first character other
// than "{" (blanks, TABs, line ends and a UTF-8 byte-order mark before it
// are passed over; an empty file has none).
std::string NotPoserTextOf(std::string_view bytes);
// The same for the start of the file at `path` (a NUL further on fails the
// read itself with the same description); "" also when the file cannot be
// opened (the read then reports that).
std::string NotPoserText(const std::string& path);

// The one error report of a failed read.
std::string OpenFileErrorReport(const std::string& description, int number, int step);

// Refuses a file that is not Poser text before anything changes: the error
// report goes through `host`, gState.ReadError is set and true returned.
// Nothing else of the document or the model changes.
bool RefuseNonPoserText(const std::string& path, Host& host);

// Reads the file. Every failure is reported through `host` with the reader's
// one error report and leaves the document empty.
OpenFileResult ReadPoserFile(const OpenFileOptions& options, Host& host);

}  // namespace vandrel
