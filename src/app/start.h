// The start procedure.
#pragma once

#include <memory>
#include <string>

namespace vandrel {

class FrmMain;

// The start procedure: clears the document flags, creates the main window
// (shown unless `silent`), loads the preferences, creates the tables, sets
// the save options from the preferences and hands a file named on the
// command line to the reader. A QApplication must exist. With "-s" before
// the path the material pose is written beside the file (gSilentSaveWritten
// tells whether it was) and the caller ends the program; the program itself
// runs "-s" without the window (app/silent_save.h), which writes the same.
// `lastArgument` is the last of the program's arguments as given (see
// tools/command_line.h).
std::unique_ptr<FrmMain> Main(const std::string& commandLine, bool silent = false,
                              const std::string& lastArgument = {});

// Creates the application, moves the files of an earlier run to the user's
// folders (platform/earlier_files.h), runs Main and the event loop; returns
// the exit code. "-s FILE" creates no application and no window
// (RunSilentSave), waits for nobody and exits 0 only when the material pose
// was written.
int RunProgram(int argc, char** argv);

}  // namespace vandrel
