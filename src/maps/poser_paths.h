// Poser's colon paths (":Runtime:Textures:skin.jpg") and file paths, and
// opening a map in the program the desktop associates with its type.
#pragma once

#include <functional>
#include <string>

#include "common/host.h"
#include "platform/ui_services.h"

namespace vandrel {

// The file a map path names: a path beginning with ":runtime:" lies in the
// Poser folder, one beginning with ":textures:" in its Runtime folder, and
// any other colon path (holding neither further on) in Runtime/Textures.
// Each component is found in its stored case (Poser folders come from Windows
// with mixed case); when the file is not there the path comes back
// lower-cased, as the rule has always given it. With no Poser folder (empty,
// "none" or not an absolute path) a colon path names no file and gives "".
// An absolute file path comes back in its stored case when it exists; every
// other path (a Windows path, a relative one) comes back unchanged, and
// "NO_MAP" as "no_map". Thumbnails are kept under the result. Names in
// Windows-1252 find their files named in UTF-8 (FindStoredName).
std::string PoserPathToFilePath(const std::string& path);

// The stored form of a found map file as a material keeps it: a colon path
// (":Runtime:Textures:Skin.jpg") when the file lies below the Poser folder
// and `useFullPaths` ("Use full map paths") is off, otherwise the full path.
// An existing file is given in its stored case. "Below" means inside the
// Poser folder at a component boundary, compared without regard to ASCII
// case; with no Poser folder nothing is below it. A path whose rest holds a
// ":" stays a full path (a colon path would name another file). The result
// is Poser text: a name found on disk (UTF-8) enters it in Windows-1252
// where every character has a form there.
std::string FilePathToPoserPath(const std::string& file, bool useFullPaths);

// The file name of a map path in either form: the text after the last ":",
// "\" or "/" (the whole text when there is none), in its case.
std::string GetFileName(const std::string& path);

// The desktop's opening of a file in its associated program, as the caller
// provides it (the window's dialog interface; a test's script).
using ShellOpener = std::function<ShellResult(const std::string& file)>;

// Opens a file in its associated program through `open` and gives the
// result as the Windows shell numbered it: above 32 is success, 2 file not
// found, 3 path not found, 5 access denied (a program, desktop entry or
// script is never started), 27 the associated program could not be started,
// 31 no program for the type.
int ShellOpen(const std::string& file, const ShellOpener& open);

// The text shown for a result code below 33 ("File not found", ...).
std::string ShellOpenErrorText(int code);

// Opens a map path (the text of a map row's path box) through `open`: a
// colon path becomes its file below the Poser folder first. A failure is
// told through `host` in a message with the result's text. An empty path
// does nothing.
void ShellOpenPoserPath(const std::string& path, Host& host, const ShellOpener& open);

}  // namespace vandrel
