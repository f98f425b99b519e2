// Finding the file of a missing map: the maps already replaced, the
// in-memory lists, the cache file of the map's kind, and as a last resort a
// scan of the texture folders (once per folder); and the repair of the map
// fields of a set of materials that the main window's Fix buttons run.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/host.h"

namespace vandrel {

// What the search asks of whoever runs it, besides the host's messages and
// cancel poll.
struct MapSearchHooks {
  // "Use full map paths": found maps are stored as full paths, not colon paths.
  bool fullPaths = false;
  // The map chooser: `entries` are its items ("skin.jpg 1", ..., "NO_MAP"),
  // gMapCandidates holds the file offered by each; the chosen index is
  // returned (and left in gChosenMapIndex). None: the first entry.
  std::function<int(const std::vector<std::string>& entries)> chooseMap;
  // The folder question "Look for <fileName> in:" opened on `startFolder`;
  // "" when cancelled. None: cancelled.
  std::function<std::string(const std::string& startFolder, const std::string& fileName)> browseForFolder;
  // The wait window around a folder scan ("Please wait", "Scanning folders...").
  std::function<void()> beginScan;
  std::function<void()> endScan;
  // A found map's thumbnail to load (its file path), while the main window
  // shows thumbnails.
  std::function<void(const std::string& filePath)> loadThumbnail;
};

// The first entry of gReplacedMaps whose Key equals `path` without regard to
// case, or -1; an empty path finds nothing.
int FindReplacedMap(const std::string& path);
// True when gScannedFolders names `folder` (without regard to case).
bool IsFolderScanned(const std::string& folder);
// gReplacedMaps and gScannedFolders back to one empty entry, and every
// folder question may be asked again.
void ResetMapSearch();

// The message refusing a map path that the written pose cannot hold (a line
// break would split its line, a double quote would end its quoted path and
// be dropped when read); "" for a path it can hold.
std::string MapPathRefusal(const std::string& path);

// The new path of a map reference (colon or full form), "NO_MAP", or `ref`
// itself when the lists and the cache file of its kind know no such file
// (then "NO_MAP" while the SetNoMap preference is on). A name matches only
// as a whole file name, without regard to case; files that no longer exist
// are not offered, and two or more left go to the chooser. A chooser closed
// without a choice leaves `ref` (even with SetNoMap on) and gChosenMapIndex
// at -1; so does a found file whose stored path MapPathRefusal refuses
// (reported once per Fix click or map check). A name whose bytes read as
// UTF-8 is looked up in its Windows-1252 reading too.
std::string FindFile(const std::string& ref, Host& host, const MapSearchHooks& hooks);

struct FixOutcome {
  int processed = 0;        // map fields worked on
  bool changed = false;     // at least one field holds another text now
  bool endedEarly = false;  // a cancelled folder question or no Poser folder
};

// Repairs each map field in turn: a map whose file exists (or "NO_MAP") only
// changes form; a missing one is looked up in the replaced maps, then by
// FindFile, and when still missing its texture folder is scanned once (the
// folder asked for when the reference lies outside the Poser folder) and
// FindFile runs again. A map whose chooser was closed without a choice, or
// whose folder question was cancelled before in this pass (or every question
// after Esc in a scan), stays as it was without a question. A map whose file
// exists keeps its bytes when it is a full path that names the file already;
// full paths are otherwise written as Poser text (Windows-1252 where the
// name has a form there). A new path MapPathRefusal refuses is reported and
// leaves the field as it was. Every other field worked on marks the
// document changed.
// Unless gAutoCorrecting, the replaced maps and scanned folders start empty.
FixOutcome FixMapReferences(const std::vector<std::string*>& maps, Host& host, const MapSearchHooks& hooks);

}  // namespace vandrel
