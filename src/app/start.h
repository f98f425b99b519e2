// The start procedure.
#pragma once

#include <memory>

namespace vandrel {

class FrmMain;

// The start procedure up to the command line: clears the document flags,
// shows the main window, loads the preferences and creates the tables. A
// QApplication must exist. The window is the program's one top-level window.
std::unique_ptr<FrmMain> Main();

// Creates the application, runs Main and the event loop; returns the exit code.
int RunProgram(int argc, char** argv);

}  // namespace vandrel
