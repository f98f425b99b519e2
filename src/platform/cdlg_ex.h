// The program's own open and save file dialog: settings kept as properties
// that persist from one dialog to the next, an open dialog that always
// carries the thumbnail preview, and the chosen path in FileName. Shown
// through Ui(), so a script answers it in tests.
#pragma once

#include <string>

#include "platform/ui_services.h"

namespace vandrel {

class CdlgEx {
 public:
  std::string FileName;   // in: initial name; out: full path of the chosen file
  std::string FileTitle;  // out: the chosen file's name without folder
  long hOwner = 0;        // owner window; the dialog is shown over the main window in any case
  std::string DialogTitle;
  std::string Filter;      // "Pose files|*.pz2|All files|*.*"
  std::string InitDir;     // "" = the user's home folder
  std::string DefaultExt;  // appended to a typed name without one
  long FilterIndex = 0;    // 1-based; 0 = the first
  long flags = 0;
  bool CancelError = false;
  long Left = 0, Top = 0;                    // screen position; both 0 = where the system puts it
  std::string OKText, CancelText, HelpText;  // "" = the standard captions
  bool PreviewOn = false;                    // the preview box starts ticked (open dialog only)

  // True only when no file was chosen and CancelError is set. On a cancel
  // FileName and FileTitle keep their values. The working thumbnail list is
  // seeded with "NA" before the dialog and empty afterwards.
  bool ShowOpen();
  // The same with the save dialog; thumbnails are not touched.
  bool ShowSave();

  // 1 when the last dialog gave a file, 0 otherwise.
  long LastResult() const { return lastResult_; }
  // The request the next dialog is shown with.
  FileDialogRequest Request(bool open) const;

 private:
  bool TakeResult(const FileDialogResult& result);
  long lastResult_ = 0;
};

// The one shared dialog; its settings live as long as the program.
extern CdlgEx gDlg;

}  // namespace vandrel
