// Paths typed in any case resolved to the names stored on disk.
#pragma once

#include <string>

namespace vandrel {

// The stored name of `name` inside `folder`: an exact match first (the
// name's Unicode form in UTF-8, then its bytes as they stand, for a name
// from Poser text in Windows-1252, then for bytes that read as UTF-8 their
// Windows-1252 reading too), then the first entry in byte order with the
// same FileNameKey (Unicode, ASCII letters without regard to case), or with
// the key of that other reading; empty when there is none. Folders, hidden
// entries and files all count.
std::string FindStoredName(const std::string& folder, const std::string& name);

// While one of these lives (they nest), FindStoredName keeps every folder
// listing it reads, so one operation that resolves many paths in the same
// folders (a load, a map check) reads each folder once. Listings are dropped
// when the outermost scope ends; outside a scope nothing is kept.
class ScopedFolderListings {
 public:
  ScopedFolderListings();
  ~ScopedFolderListings();
  ScopedFolderListings(const ScopedFolderListings&) = delete;
  ScopedFolderListings& operator=(const ScopedFolderListings&) = delete;
};

// Makes a relative path absolute (against the working folder), takes out "."
// and ".." components as written (no links followed), then gives it with the
// stored case of every component, or "" when the path is empty or a component
// is missing. A trailing "/" does not survive; "/" gives "/".
std::string TrueCasePath(const std::string& path);

// Like TrueCasePath, for a path that may hold "\" as separator too (paths
// that come from Windows): every "\" is taken as "/".
std::string ResolvePathCase(const std::string& path);

}  // namespace vandrel
