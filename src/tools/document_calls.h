// What the tools' windows ask of the main window: its read procedures, the
// shared open dialog and a fresh look at the tables. The main window
// implements it; tests give their own.
#pragma once

#include <memory>
#include <string>

#include "common/host.h"
#include "platform/ui_services.h"

namespace vandrel {

// What the figure chooser read.
struct FigureReadResult {
  bool MaterialsRead = false;  // the figure's text was read through OpenFile without a failure
  bool ChannelsRead = false;   // its morph and pose channels were read
  bool Any() const { return MaterialsRead || ChannelsRead; }
};

class DocumentCalls {
 public:
  virtual ~DocumentCalls() = default;
  // Reads a Poser file (or `text`, with gState.FileGiven set) into the tables
  // and the main window, as its open commands do.
  virtual void OpenFile(const std::string& text) = 0;
  // Reads morph and pose channels into gActors and the actor list; true when
  // channels were read (false after a cancel, a failure or a file without).
  virtual bool ReadMorphPoseFile(bool insertOne, bool useCurrentFile, const std::string& text,
                                 bool append) = 0;
  // The file name of the shared open dialog (the file the next read takes).
  virtual std::string& DialogFileName() = 0;
  // Shows an open dialog (with the thumbnail preview while the preference
  // asks for it); the chosen path goes to DialogFileName(). False on a cancel.
  virtual bool ChooseFile(const FileDialogRequest& request) = 0;
  // The host long reads report through (the progress window).
  virtual std::unique_ptr<Host> ProgressHost() = 0;
  // The object list changed: the main window shows it again, keeping the
  // chosen entry (entry 0 when none or beyond the end), with its materials.
  virtual void ShowObjectList() = 0;
  // The actor table changed: the actor list is shown again.
  virtual void ShowActorList() = 0;
  // Shows the figure chooser for the file in DialogFileName(), in the modes
  // gFigureMorphsOnly, gFigureMaterialsOnly and gFigureBodyOnly, which it
  // clears; says what it read.
  virtual FigureReadResult RunFigureChooser() = 0;
  // The entry chosen in the main window's object list, or -1.
  virtual int ChosenObject() = 0;
};

}  // namespace vandrel
