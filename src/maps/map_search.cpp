#include "maps/map_search.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <unordered_set>

#include "common/encoding.h"
#include "common/text.h"
#include "maps/key_index.h"
#include "maps/map_cache.h"
#include "maps/poser_paths.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/folder_browser.h"
#include "platform/path_case.h"

namespace vandrel {

namespace {

KeyIndex& ReplacedIndex() {
  static KeyIndex index;
  return index;
}

void Exclaim(Host& host, const std::string& text) {
  host.Message(text, "", MsgButtons::OK, MsgIcon::Exclamation);
}

// Adds `path` to `paths` unless it is there already.
void AddOnce(std::vector<std::string>& paths, const std::string& path) {
  for (const std::string& p : paths)
    if (p == path) return;
  paths.push_back(path);
}

// The files of `entries` that still exist, each once. Entries name files as
// found on disk; one from a cache file written in Windows-1252 is found by
// its Unicode form. An entry whose file is gone is dropped at the next save.
std::vector<std::string> ExistingFiles(const std::vector<MapEntry>& entries) {
  std::vector<std::string> files;
  for (const MapEntry& e : entries) {
    const std::string path = JoinPath(e.folder, e.name);
    const std::string unicode = JoinPath(PoserTextToUtf8(e.folder), PoserTextToUtf8(e.name));
    // Bytes of a Windows-1252 cache that also read as UTF-8 are read as
    // Windows-1252 last.
    const std::string windows = JoinPath(Windows1252ToUtf8(e.folder), Windows1252ToUtf8(e.name));
    if (FileExists(unicode))
      AddOnce(files, unicode);
    else if (path != unicode && FileExists(path))
      AddOnce(files, path);
    else if (windows != unicode && FileExists(windows))
      AddOnce(files, windows);
    else
      ForgetMapEntry(e);
  }
  return files;
}

// The chooser for two or more files of one name; the chosen file, "" for
// "NO_MAP", nullopt when it was closed without a choice.
std::optional<std::string> ChooseAmong(const std::vector<std::string>& files, const std::string& name,
                                       const MapSearchHooks& hooks) {
  std::vector<std::string> entries;
  gMapCandidates.clear();
  for (std::size_t i = 0; i < files.size(); ++i) {
    entries.push_back(name + " " + std::to_string(i + 1));
    gMapCandidates.push_back(files[i]);
  }
  entries.push_back(kNoMap);
  gMapCandidates.push_back(std::string(kNoMap) + "/" + name);
  gChosenMapIndex = hooks.chooseMap ? hooks.chooseMap(entries) : 0;
  const int chosen = gChosenMapIndex;
  gMapCandidates.assign(1, std::string());
  if (chosen < 0) return std::nullopt;
  if (chosen >= static_cast<int>(files.size())) return std::string();
  return files[static_cast<std::size_t>(chosen)];
}

// `file` is PoserPathToFilePath(result). A found file keeps its stored case;
// a map that stays missing (or "NO_MAP") keeps the text it was given, so the
// next material naming it gets the same text.
void RecordReplacement(const std::string& key, const std::string& result, const std::string& file,
                       bool exists) {
  if (key.empty()) return;
  AddToTable(gReplacedMaps, StringPairRec{key, exists ? file : result});
}

// The missing Poser folder is reported once per Fix click or map check, not
// once for every map row of every object it stops.
bool gPoserFolderReported = false;
// Likewise a cache that cannot be read or written: one message per Fix click
// or map check.
bool gCacheReported = false;

void ReportCache(Host& host, const std::string& text) {
  if (gCacheReported || text.empty()) return;
  gCacheReported = true;
  Exclaim(host, text);
}

// Map paths refused in this Fix click or map check: each is reported once.
std::unordered_set<std::string> gRefusedPaths;

// True (after its message, once per click or check) when `path` cannot be
// written into the pose.
bool Refused(const std::string& path, Host& host) {
  const std::string refusal = MapPathRefusal(path);
  if (refusal.empty()) return false;
  if (gRefusedPaths.insert(path).second) Exclaim(host, refusal);
  return true;
}

// The entries of the list (or cache file) of `kind` named `name`, read as
// it stands and, for a name whose bytes read as UTF-8, as Windows-1252 too.
template <class Lookup>
std::vector<MapEntry> EntriesNamed(const std::string& name, Lookup lookup) {
  std::vector<MapEntry> entries = lookup(name);
  if (const std::optional<std::string> other = OtherReading(name)) {
    std::vector<MapEntry> more = lookup(*other);
    entries.insert(entries.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
  }
  return entries;
}

// Whether the map text `map` already names the file `disk` (a path as the
// disk has it) in one of its readings.
bool NamesFile(const std::string& map, const std::string& disk) {
  if (map == disk || PoserTextToUtf8(map) == disk) return true;
  const std::optional<std::string> other = OtherReading(map);
  return other && *other == disk;
}

}  // namespace

int FindReplacedMap(const std::string& path) {
  if (path.empty()) return -1;
  KeyIndex& index = ReplacedIndex();
  index.Update(gReplacedMaps);
  const auto* rows = index.Find(path);
  return rows ? static_cast<int>(rows->front()) : -1;
}

bool IsFolderScanned(const std::string& folder) {
  if (gScannedFolders.empty() || gScannedFolders[0].empty()) return false;
  for (const std::string& f : gScannedFolders)
    if (EqualsNoCase(f, folder)) return true;
  return false;
}

std::string MapPathRefusal(const std::string& path) {
  if (path.find_first_of("\r\n") != std::string::npos) return "A map path cannot hold a line break.";
  if (path.find('"') != std::string::npos) return "A map path cannot hold a double quote.";
  return {};
}

void ResetMapSearch() {
  gReplacedMaps.assign(1, StringPairRec{});
  gScannedFolders.assign(1, std::string());
  gPoserFolderReported = false;
  gRefusedPaths.clear();
  gCacheReported = false;
  gDeclinedMapNames.clear();
  gMapQuestionsEnded = false;
}

std::string FindFile(const std::string& ref, Host& host, const MapSearchHooks& hooks) {
  std::string result = ref;
  gChosenMapIndex = 0;
  if (IsNoMap(Trim(ref))) return ref;

  const std::size_t dot = ref.rfind('.');
  const MapKind kind = KindOfExtension(LCase(dot == std::string::npos ? ref : ref.substr(dot + 1)));
  const std::string name = GetFileName(ref);

  // The files seen in this run.
  std::vector<std::string> seen;
  if (kind != MapKind::None) {
    seen = ExistingFiles(EntriesNamed(name, [kind](const std::string& n) { return FindInMapList(kind, n); }));
    if (seen.size() == 1) result = FilePathToPoserPath(seen[0], hooks.fullPaths);
  }

  // The cache file of the map's kind, from this or an earlier run.
  if (result == ref && kind != MapKind::None) {
    std::error_code ec;
    std::filesystem::create_directories(CacheFolder(), ec);
    std::string error;
    const std::vector<MapEntry> entries =
        EntriesNamed(name, [kind, &error](const std::string& n) { return FindInCacheFile(kind, n, error); });
    if (!error.empty())
      ReportCache(host,
                  "Error in the FindFile function\r\n" + error + ", error number 75\r\nCode line number 0");
    // The cache file holds what the scans of this run found once it was
    // saved; what it could not take (unwritable, unreadable) is offered from
    // the lists.
    std::vector<std::string> files = ExistingFiles(entries);
    for (const std::string& file : seen) AddOnce(files, file);
    if (!files.empty()) {
      const std::optional<std::string> choice =
          files.size() == 1 ? files[0] : ChooseAmong(files, name, hooks);
      // Closed without a choice: the map stays as it was.
      if (!choice) return ref;
      const std::string& chosen = *choice;
      if (chosen.empty()) {
        result = kNoMap;
      } else if (files.size() == 1 || FileExists(chosen)) {
        result = FilePathToPoserPath(chosen, hooks.fullPaths);
        if (Refused(result, host)) {
          gChosenMapIndex = -1;
          return ref;
        }
        AddToMapCache(chosen);
      } else {
        Exclaim(host, "File " + chosen + " doesn't exist.");
        result = kNoMap;
      }
    }
  }

  // A found file the pose cannot name is not taken: the map stays as it
  // was, as when the chooser is closed without a choice.
  if (result != ref && Refused(result, host)) {
    gChosenMapIndex = -1;
    return ref;
  }
  if (result == ref && gSettings.SetNoMap) result = kNoMap;
  return result;
}

namespace {

// The folder to scan for a missing map; "" when the click must end (the
// question was cancelled, or there is no Poser folder), or with `notAsked`
// set when the question is not asked again in this pass.
std::string FolderToScan(const std::string& map, Host& host, const MapSearchHooks& hooks, bool& notAsked) {
  const std::string poser = gSettings.Poser;
  // "none", an empty or a relative preference names no folder: it is never
  // looked for below the working folder.
  const bool havePoser = !poser.empty() && poser.front() == '/' && !EqualsNoCase(poser, "none");
  // The texture folder as it is named on disk (an installation copied from
  // Windows may spell it in another case).
  std::string textures = havePoser ? TrueCasePath(JoinPath(poser, "Runtime/Textures")) : std::string();
  if (textures.empty() && havePoser) textures = JoinPath(poser, "Runtime/Textures");
  const bool outside = InStr(FileNameKey(PoserPathToFilePath(LCase(map))), FileNameKey(poser)) == 0 &&
                       !StartsWith(map, ":") && !StartsWith(map, "\\");
  std::string folder;
  if (outside) {
    // A question cancelled for this name, or Esc in a scan, is not followed
    // by the same question again in this pass.
    const std::string name = LCase(GetFileName(map));
    if (gMapQuestionsEnded ||
        std::find(gDeclinedMapNames.begin(), gDeclinedMapNames.end(), name) != gDeclinedMapNames.end()) {
      notAsked = true;
      return {};
    }
    const std::string start =
        !havePoser ? std::string() : RemoveTrailingBackslash(FolderExists(textures) ? textures : poser);
    folder = hooks.browseForFolder ? hooks.browseForFolder(start, GetFileName(map)) : std::string();
    if (!FolderExists(folder)) {
      gDeclinedMapNames.push_back(name);
      return {};
    }
  } else {
    folder = havePoser && FolderExists(textures) ? textures : poser;
  }
  if (folder == poser && (!havePoser || !FolderExists(poser))) {
    if (!gPoserFolderReported)
      Exclaim(host, "The Default Poser\r\nfolder preference hasn't been set up correctly.");
    gPoserFolderReported = true;
    return {};
  }
  return folder;
}

}  // namespace

FixOutcome FixMapReferences(const std::vector<std::string*>& maps, Host& host, const MapSearchHooks& hooks) {
  FixOutcome outcome;
  // Many maps lie in the same folders: each folder is listed once per click.
  const ScopedFolderListings listings;
  if (!gAutoCorrecting) ResetMapSearch();
  for (std::string* field : maps) {
    // The check cannot be cancelled; the poll lets the windows repaint.
    host.CancelRequested();
    std::string map = *field;
    // An empty map path names nothing to look for.
    if (Trim(map).empty()) continue;
    const std::string file = PoserPathToFilePath(map);
    const bool noMap = IsNoMap(Trim(map));
    if (noMap) {
      map = FilePathToPoserPath(map, hooks.fullPaths);
    } else if (FileExists(file)) {
      // Only the form changes: a full path is Poser text as "..." writes it,
      // and one that already names its file keeps its bytes.
      const std::string stored = TrueCasePath(file);
      const std::string& disk = stored.empty() ? file : stored;
      const std::string formed = hooks.fullPaths ? Utf8ToPoserText(disk) : FilePathToPoserPath(map, false);
      if (StartsWith(formed, ":") || !NamesFile(map, disk)) map = formed;
    } else {
      const int known = FindReplacedMap(file);
      std::string found =
          known >= 0 ? gReplacedMaps[static_cast<std::size_t>(known)].Value : FindFile(map, host, hooks);
      if (known < 0 && gChosenMapIndex < 0) {
        // The chooser was closed without a choice: this map stays as it was,
        // and the other materials naming it are not asked about it again.
        RecordReplacement(file, map, file, false);
        continue;
      }
      if (known < 0 && EqualsNoCase(found, map)) {
        if (hooks.beginScan) hooks.beginScan();
        bool notAsked = false;
        const std::string folder = FolderToScan(map, host, hooks, notAsked);
        if (folder.empty()) {
          if (hooks.endScan) hooks.endScan();
          // Not asked again: the map stays as it was and the others go on.
          if (notAsked) continue;
          outcome.endedEarly = true;
          return outcome;
        }
        if (!IsFolderScanned(folder)) {
          if (ScanFolder(folder, host)) gMapQuestionsEnded = true;
          ReportCache(host, WriteMapCache(host));
          if (gScannedFolders.empty() || !gScannedFolders[0].empty())
            gScannedFolders.push_back(folder);
          else
            gScannedFolders[0] = folder;
        }
        if (hooks.endScan) hooks.endScan();
        found = FindFile(map, host, hooks);
        if (gChosenMapIndex < 0) {
          RecordReplacement(file, map, file, false);
          continue;
        }
        const std::string foundFile = PoserPathToFilePath(found);
        RecordReplacement(file, found, foundFile, FileExists(foundFile));
      } else if (known < 0) {
        // A found file, or "NO_MAP" chosen in the chooser: the next material
        // naming the same map gets the same answer without a second question.
        const std::string foundFile = PoserPathToFilePath(found);
        if (FileExists(foundFile))
          RecordReplacement(file, found, foundFile, true);
        else if (IsNoMap(Trim(found)))
          RecordReplacement(file, found, foundFile, false);
      }
      map = FilePathToPoserPath(found, hooks.fullPaths);
      if (gSettings.MainThumb && hooks.loadThumbnail) {
        const std::string thumb = PoserPathToFilePath(map);
        if (FileExists(thumb)) hooks.loadThumbnail(thumb);
      }
    }
    // A path the pose cannot hold (a found file in a folder named with a
    // double quote) leaves the map as it was.
    if (map != *field && Refused(map, host)) continue;
    if (map != *field) outcome.changed = true;
    *field = map;
    gState.Dirty = true;
    ++outcome.processed;
  }
  return outcome;
}

}  // namespace vandrel
