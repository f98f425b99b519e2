// "vandrel -s FILE" without the main window.
#pragma once

#include <string>

namespace vandrel {

// The start procedure of a "-s" command line (see Main in app/start.h) run
// without building the main window: loads the preferences, reads the
// command line's file with the core reader and writes its material pose
// beside it with the core writer, handing both what the window's controls
// would hold (the save options of the preferences, the required-version and
// thigh-length boxes, the two "Don't save" boxes after the read). Messages
// go through Ui(), exactly those the window would show. Needs no
// QApplication and shows nothing. Returns (and sets gSilentSaveWritten)
// whether the material pose was written. `commandLine` holds the "-s" switch
// and names one of the eight Poser types (tools/command_line.h).
bool RunSilentSave(const std::string& commandLine, const std::string& lastArgument);

}  // namespace vandrel
