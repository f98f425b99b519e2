// Paths typed in any case resolved to the names stored on disk.
#pragma once

#include <string>

namespace vandrel {

// The stored name of `name` inside `folder`: an exact match first, then the
// first case-insensitive (ASCII) match in byte order; empty when there is
// none. Folders, hidden entries and files all count.
std::string FindStoredName(const std::string& folder, const std::string& name);

// Makes a relative path absolute (against the working folder), takes out "."
// and ".." components as written (no links followed), then gives it with the
// stored case of every component, or "" when the path is empty or a component
// is missing. A trailing "/" does not survive; "/" gives "/".
std::string TrueCasePath(const std::string& path);

// Like TrueCasePath, for a path that may hold "\" as separator too (paths
// that come from Windows): every "\" is taken as "/".
std::string ResolvePathCase(const std::string& path);

}  // namespace vandrel
