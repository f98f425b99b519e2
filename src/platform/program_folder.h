// Where Vandrel keeps its own files. What it writes lives in the user's
// folders, the freedesktop way:
//   Settings.ini, Registry.ini  $XDG_CONFIG_HOME/vandrel  (default ~/.config/vandrel)
//   Templates/                  $XDG_DATA_HOME/vandrel    (default ~/.local/share/vandrel)
//   Cache/                      $XDG_CACHE_HOME/vandrel   (default ~/.cache/vandrel)
// An absolute $VANDREL_HOME (a portable copy, a test run) holds all three
// instead, and a folder set with SetProgramFolder (tests) wins over both.
// What Vandrel only reads (help files, icons) stays beside the executable.
#pragma once

#include <string>

namespace vandrel {

// The user's home folder: $HOME when it is absolute, else the account's
// folder; "" when neither is known.
std::string HomeFolder();

// The folders above, without a trailing "/". An XDG folder is created when
// missing; "" only when there is neither the variable nor a home folder.
std::string UserConfigFolder();
std::string UserDataFolder();
std::string UserCacheFolder();

// One folder for all three (tests); empty = back to the rules above.
void SetProgramFolder(const std::string& folder);
// The folder set above or an absolute $VANDREL_HOME; "" when neither is.
std::string ProgramFolderOverride();

// The folder of the running executable (read-only files shipped beside it).
std::string ExecutableFolder();

// $XDG_DATA_HOME / $XDG_CONFIG_HOME / $XDG_CACHE_HOME when they hold an
// absolute path, otherwise ~/.local/share / ~/.config / ~/.cache. "" when
// there is no home folder either. Nothing is created.
std::string XdgDataHome();
std::string XdgConfigHome();
std::string XdgCacheHome();

}  // namespace vandrel
