// Vandrel's own files of an earlier run, which kept Settings.ini,
// Registry.ini, Templates/ and Cache/ together in one folder (the
// executable's folder when it was writable, otherwise ~/.local/share/vandrel),
// moved once to the user's folders of program_folder.h.
#pragma once

#include <string>
#include <vector>

namespace vandrel {

// Where an earlier run may have left them: the executable's folder, then
// $XDG_DATA_HOME/vandrel.
std::vector<std::string> EarlierProgramFolders();

// Moves the files found in `oldFolders` (the first one found of a name wins)
// to UserConfigFolder() (Settings.ini, Registry.ini), UserDataFolder()/Templates
// and UserCacheFolder()/Cache. Each file is copied, and the old one removed
// only once its copy is complete; a file already in its new place is never
// replaced, and its old copy stays. Nothing moves while a folder for all
// three is set (VANDREL_HOME, tests). Returns one text per file that could
// not be copied, with the cause (it stays where it was), and per old file
// that stays because a different one of its name is in the new place
// already; empty when all went well.
std::vector<std::string> MoveEarlierFiles(const std::vector<std::string>& oldFolders);

}  // namespace vandrel
