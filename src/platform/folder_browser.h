// The folder dialog of the preferences window's Browse buttons.
#pragma once

#include <string>

namespace vandrel {

// "Select your " followed by the label of folder box `index` (0 "Default
// Character folder" ... 10 "Default Face folder"); nothing after it for any
// other index.
std::string BrowseFolderTitle(int index);

// Shows the folder dialog through Ui(), titled for box `index` and opened on
// `startFolder` (the dialog's own default when that is no folder). The chosen
// folder, or "" when the user cancelled.
std::string BrowseForFolder(int index, const std::string& startFolder);

// The path without one trailing "/"; the root "/" stays as it is.
std::string RemoveTrailingBackslash(const std::string& path);

}  // namespace vandrel
