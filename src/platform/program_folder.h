// The program folder: where Vandrel keeps Settings.ini, Templates/, Cache/,
// Icons/ and its registry store.
#pragma once

#include <string>

namespace vandrel {

// The folder of the running executable when it is writable, otherwise
// $XDG_DATA_HOME/vandrel (default ~/.local/share/vandrel), created on demand.
// A folder set with SetProgramFolder (tests) wins, then an absolute
// $VANDREL_HOME. No trailing "/".
std::string ProgramFolder();
void SetProgramFolder(const std::string& folder);  // empty = back to the rule above

// The folder of the running executable (read-only files shipped beside it).
std::string ExecutableFolder();

// $XDG_DATA_HOME/vandrel when XDG_DATA_HOME holds an absolute path, otherwise
// ~/.local/share/vandrel; created when missing. "" when there is no home.
std::string UserDataFolder();

}  // namespace vandrel
