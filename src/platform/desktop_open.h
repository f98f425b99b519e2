// Opening a file in the program the desktop associates with its type, the
// freedesktop way and without xdg-utils: the type's default application from
// mimeapps.list and the desktop databases' mimeinfo.cache, started through
// its desktop entry's Exec line. The Qt side finds the file's types.
#pragma once

#include <string>
#include <vector>

#include "platform/ui_services.h"

namespace vandrel {

// Before the file's type is looked at: FileNotFound or PathNotFound when
// there is nothing to open (a path that is not absolute counts as a missing
// folder), Opened when a file is there.
ShellResult CheckFileToOpen(const std::string& path);

// True for the types of programs, desktop entries and scripts (given with
// every type they derive from): such a file is never opened, since its
// associated "program" would run it.
bool IsProgramType(const std::vector<std::string>& typeAndParents);

// The desktop entry file that opens the first of `mimeTypes` (a type, then
// the types it derives from) that has one; "" when none does.
std::string DesktopEntryFor(const std::vector<std::string>& mimeTypes);

// The command that a desktop entry's Exec line gives for opening `file`
// (field codes %f %F %u %U become the file, %% a "%", the others are
// dropped; the file goes last when the line names none). Empty when the
// entry has no Exec line or is hidden.
std::vector<std::string> DesktopEntryCommand(const std::string& entryText, const std::string& file);

// Starts `command` (a program found on PATH when its name holds no "/", then
// its arguments) detached from Vandrel, in `folder`. Every word reaches the
// program as its bytes, so a file whose name is not valid UTF-8 is opened by
// that name. False when the program cannot be started.
bool StartDetached(const std::vector<std::string>& command, const std::string& folder);

}  // namespace vandrel
