// The settings of a file dialog as the window prepares them before showing
// it, kept as data so that they can be copied and checked.
#pragma once

#include <string>

#include "platform/ui_services.h"

namespace vandrel {

// Save dialogs: overwrite prompt 0x2, hide read-only 0x4, path must exist 0x800 (2054).
inline constexpr long kSaveDialogFlags = 0x2 | 0x4 | 0x800;
// Open dialogs: hide read-only 0x4, path must exist 0x800, file must exist 0x1000 (6148).
inline constexpr long kOpenDialogFlags = 0x4 | 0x800 | 0x1000;

struct CommonDialogRec {
  std::string FileName;
  std::string DialogTitle;
  std::string DefaultExt;
  std::string Filter;  // "Pose files|*.pz2|All files|*.*"
  std::string InitDir;
  long Flags = 0;
  bool CancelError = false;
  int Left = 0, Top = 0;  // screen position; 0 leaves it to the system
};

// The request that shows this dialog.
inline FileDialogRequest RequestOf(const CommonDialogRec& d) {
  FileDialogRequest r;
  r.title = d.DialogTitle;
  r.filter = d.Filter;
  r.initDir = d.InitDir;
  r.fileName = d.FileName;
  r.defaultExt = d.DefaultExt;
  r.flags = d.Flags;
  if (d.Left != 0 || d.Top != 0) {
    r.left = d.Left;
    r.top = d.Top;
  }
  return r;
}

}  // namespace vandrel
