// Vandrel as the program that opens Poser's file types, the freedesktop way.
//
// Registering one type (".cr2") writes, below $XDG_DATA_HOME (default
// ~/.local/share):
//   mime/packages/vandrel-cr2.xml        the type application/x-poser-cr2, glob *.cr2
//   applications/vandrel-cr2.desktop     opens the file with Vandrel
//   applications/vandrel-cr2-pose.desktop
//                                        "Write material pose": runs "vandrel -s" on the
//                                        file (every type but .pz2)
//   icons/hicolor/48x48/mimetypes/application-x-poser-cr2.png
//                                        a copy of Icons/CR2.png beside the executable,
//                                        when there is one
// and makes the first desktop entry the type's default in
// $XDG_CONFIG_HOME/mimeapps.list (default ~/.config), the second one listed
// after it. The type claims files by their extension only, in any letter case. Only Vandrel's own files and
// its own entries in mimeapps.list are ever written or removed; every other line stays as it was. The type is
// registered exactly when all of that is found again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/key_file.h"        // the key-file pieces, for the callers and tests
#include "platform/program_folder.h"  // XdgDataHome, XdgConfigHome

namespace vandrel {

// The program registered and where its type icons are.
struct AssociationProgram {
  std::string executable;  // absolute path of the program
  std::string iconFolder;  // folder holding CR2.png, PZ2.png, ...; "" = no icons
};

// The running Vandrel: ExecutableFolder()/vandrel and ExecutableFolder()/Icons.
AssociationProgram DefaultAssociationProgram();

// Names by extension (with or without its dot, any case): "application/x-poser-cr2",
// "vandrel-cr2.desktop", "vandrel-cr2-pose.desktop", "application-x-poser-cr2"
// (the icon name).
std::string AssociationMimeType(std::string_view ext);
std::string AssociationDesktopId(std::string_view ext);
std::string AssociationPoseDesktopId(std::string_view ext);
std::string AssociationIconName(std::string_view ext);

// Name of the desktop entry that writes a material pose beside the file.
inline constexpr const char* kWriteMaterialPoseVerb = "Write material pose";

// Registers (remove = false) or unregisters (remove = true) Vandrel for one
// type. `description` is the type's name ("Poser Character file"). Returns an
// error text, empty on success. A registration that fails halfway is taken
// back, so the type is then not registered at all.
std::string Associate(std::string_view ext, const std::string& description, const AssociationProgram& program,
                      bool remove);

// True when Vandrel's registration of the type is found: its shared-mime-info
// package, its desktop entry running Vandrel, and that entry first among the
// type's defaults in mimeapps.list, and (but for .pz2) its material-pose entry.
bool IsAssociated(std::string_view ext);

// True when any file or mimeapps.list entry of Vandrel's for the type is
// there, such as an incomplete registration or one an earlier version wrote.
bool HasAssociationFiles(std::string_view ext);

// Lets the desktop see the changes: runs update-mime-database and
// update-desktop-database on the user's folders when they are installed
// (skipped quietly when not) and marks the user's icon theme as changed.
// Returns an error text (a tool that failed), empty on success.
std::string RefreshDesktopDatabases();

// The pieces, exposed for tests.
std::string MimePackageText(std::string_view ext, const std::string& description);
// "" when the program path cannot be written into a desktop entry (see error).
std::string DesktopEntryText(std::string_view ext, const std::string& description,
                             const std::string& executable, const std::string& iconName,
                             std::string* error = nullptr);
// The material-pose entry; "" for .pz2 and for a path DesktopEntryText refuses.
std::string PoseDesktopEntryText(std::string_view ext, const std::string& description,
                                 const std::string& executable, const std::string& iconName);
// One argument of a desktop entry's Exec line, quoted and escaped.
std::string QuoteExecArgument(const std::string& argument);

}  // namespace vandrel
