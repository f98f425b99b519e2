// Poser's colon paths (":Runtime:Textures:skin.jpg") and file paths.
#pragma once

#include <string>

namespace vandrel {

// The file a map path names: a path beginning with ":runtime:" lies in the
// Poser folder, one beginning with ":textures:" in its Runtime folder, and
// any other colon path (holding neither further on) in Runtime/Textures;
// other paths stay as they are. Each component is found in its stored case
// (Poser folders come from Windows with mixed case); when the file is not
// there the path comes back lower-cased, as the rule has always given it.
std::string PoserPathToFilePath(const std::string& path);

}  // namespace vandrel
