// A small registry store of our own in place of the system registry: the file
// "Registry.ini" in the user's config folder (beside Settings.ini), one section per key path
// ("HKLM\Software\...") and one entry per value name ("@" = the default value).
#pragma once

#include <optional>
#include <string>

namespace vandrel {

// `valuePath` is a full value path as the Windows Script Host takes it:
// "HKLM\Software\...\Poser.exe\Path"; a trailing "\" names the key's default
// value. Names compare without regard to case. The hive may be written long or
// short (HKEY_LOCAL_MACHINE = HKLM, HKEY_CURRENT_USER = HKCU,
// HKEY_CLASSES_ROOT = HKCR, HKEY_USERS = HKU, HKEY_CURRENT_CONFIG = HKCC); the
// store keeps the short form. An unknown hive reads nothing and writes nothing.
// RegRead: nullopt when the store, the key or the value is missing.
std::optional<std::string> RegRead(const std::string& valuePath);
// False when the store could not be written or the name cannot be stored (a
// value name holding "=" or starting with ";" or "[", a line break anywhere).
// Values read back exactly (blanks and quotes included).
bool RegWrite(const std::string& valuePath, const std::string& value);
// Removes a value; with a trailing "\" the whole key (its section). False when
// there was nothing of that name or the store could not be written.
bool RegDelete(const std::string& valuePath);

// The "Path" value of Poser.exe's App Paths entry, as a native folder path:
// our own store first, then Wine's registry ($WINEPREFIX, default ~/.wine,
// file system.reg, the key also under Software\Wow6432Node), where "C:\" maps
// to the prefix's drive_c/. No trailing "/"; a folder found in the Wine prefix
// comes with the case its components are stored in.
std::optional<std::string> ReadPoserAppPath();

// Looks a value up in the text of a Wine registry file (system.reg):
// `keyPath` without the hive ("Software\Microsoft\...\Poser.exe"), `name`
// the value name ("" or "@" = default value); both compare without regard to
// case. Escapes are undone (Wine's \x.... characters come out as UTF-8).
// Strings (also str(2):"..." and other str(N)) come back as text, a dword in
// decimal; any other type gives nullopt.
std::optional<std::string> ReadWineRegValue(const std::string& regText, const std::string& keyPath,
                                            const std::string& name);

// A Windows path ("C:\Program Files\Poser") turned into a native path in the
// Wine prefix ("<prefix>/drive_c/Program Files/Poser"); other drives map to
// <prefix>/dosdevices/<letter>:. Non-Windows paths come back unchanged.
std::string WinePathToNative(const std::string& winPath, const std::string& prefix);

}  // namespace vandrel
