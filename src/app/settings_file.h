// Loading and saving the preferences in Settings.ini.
#pragma once

#include <string>

namespace vandrel {

// UserConfigFolder() + "/Settings.ini".
std::string SettingsPath();

// Fills gSettings at start-up: makes sure Settings.ini exists, finds Poser's
// folder (asking whether the folder the registry names is the right one),
// repairs the per-type default folders and writes every missing key back with
// its default. With `quiet` no question is asked: the registry's folder is
// declined without a message (the "-s" command line).
void LoadSettings(bool quiet = false);

// Writes every field of gSettings, key by key, in the file's documented
// order. Returns an error text naming the file when a key could not be
// written, empty on success.
std::string SaveSettings();

// A version text cut before its second dot ("5.0.2.1234" gives "5.0").
std::string ShortVersion(const std::string& version);

}  // namespace vandrel
