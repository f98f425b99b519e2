#include "maps/map_cache.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <unordered_map>

#include "common/text.h"
#include "common/ticks.h"
#include "maps/key_index.h"
#include "platform/files.h"
#include "platform/folder_browser.h"
#include "platform/program_folder.h"

namespace vandrel {

namespace {

constexpr MapKind kCacheOrder[] = {MapKind::Bmp, MapKind::Bum, MapKind::Jpg, MapKind::Tif, MapKind::Other};

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

KeyIndex& IndexOf(MapKind kind) {
  static KeyIndex indexes[5];
  return indexes[static_cast<int>(kind)];
}

// One cache file, parsed; renewed when the file changes (another size, time
// or file after a rename).
struct CacheIndex {
  bool loaded = false;
  long long size = -1;
  long long mtimeNs = -1;
  unsigned long long inode = 0;
  std::vector<StringPairRec> entries;  // name, folder
  KeyIndex byName;
};

std::unordered_map<std::string, CacheIndex>& CacheIndexes() {
  static std::unordered_map<std::string, CacheIndex> indexes;
  return indexes;
}

void ParseCache(const std::string& text, CacheIndex& index) {
  index.entries.clear();
  index.byName = KeyIndex{};
  std::size_t pos = 0;
  const auto nextLine = [&](std::string& line) {
    if (pos >= text.size()) return false;
    std::size_t end = text.find("\r\n", pos);
    const bool ended = end != std::string::npos;
    if (!ended) end = text.size();
    line.assign(text, pos, end - pos);
    pos = ended ? end + 2 : text.size();
    return true;
  };
  std::size_t lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  index.entries.reserve(lines / 2);
  std::string name, folder;
  while (nextLine(name)) {
    if (!nextLine(folder)) break;
    if (folder.empty() || folder[0] != '*' || name.empty()) continue;
    index.entries.push_back(StringPairRec{name, folder.substr(1)});
  }
  index.byName.Update(index.entries);
}

std::string CacheText(const std::vector<StringPairRec>& list) {
  std::size_t bytes = 0;
  for (const StringPairRec& e : list) bytes += e.Key.size() + e.Value.size() + 5;
  std::string text;
  text.reserve(bytes + 5);
  for (const StringPairRec& e : list) text.append(e.Key).append("\r\n*").append(e.Value).append("\r\n");
  if (list.empty()) text = "\r\n*\r\n";
  return text;
}

struct FolderId {
  dev_t dev;
  ino_t ino;
  bool operator<(const FolderId& o) const { return dev != o.dev ? dev < o.dev : ino < o.ino; }
};

}  // namespace

MapKind KindOfFileName(const std::string& name) {
  // ".tif" and the like, or the four letters of "tiff", "jpeg" and "pict".
  const std::string last = LCase(Right(name, 4));
  return KindOfExtension(StartsWith(last, ".") ? last.substr(1) : last);
}

MapKind KindOfExtension(const std::string& ext) {
  if (ext == "tif" || ext == "tiff") return MapKind::Tif;
  if (ext == "jpg" || ext == "jpeg") return MapKind::Jpg;
  if (ext == "bmp") return MapKind::Bmp;
  if (ext == "bum") return MapKind::Bum;
  static const char* const kOther[] = {"gif", "pcx", "pgm", "pict", "png", "psd", "tga", "wmf"};
  for (const char* other : kOther)
    if (ext == other) return MapKind::Other;
  return MapKind::None;
}

std::vector<StringPairRec>& MapList(MapKind kind) {
  switch (kind) {
    case MapKind::Tif: return gMapLists.TifFiles;
    case MapKind::Jpg: return gMapLists.JpgFiles;
    case MapKind::Bmp: return gMapLists.BmpFiles;
    case MapKind::Bum: return gMapLists.BumFiles;
    default: return gMapLists.OtherFiles;
  }
}

std::string CacheFolder() { return JoinPath(UserCacheFolder(), "Cache"); }

std::string CacheFilePath(MapKind kind) {
  static const char* const kFiles[] = {"tifs.txt", "jpgs.txt", "bmps.txt", "bums.txt", "others.txt"};
  return JoinPath(CacheFolder(), kFiles[static_cast<int>(kind == MapKind::None ? MapKind::Other : kind)]);
}

std::vector<MapEntry> FindInMapList(MapKind kind, const std::string& name) {
  std::vector<MapEntry> found;
  if (kind == MapKind::None) return found;
  const std::vector<StringPairRec>& list = MapList(kind);
  KeyIndex& index = IndexOf(kind);
  index.Update(list);
  if (const auto* rows = index.Find(name))
    for (std::size_t i : *rows) found.push_back(MapEntry{list[i].Key, list[i].Value});
  return found;
}

std::vector<MapEntry> FindInCacheFile(MapKind kind, const std::string& name, std::string& error) {
  std::vector<MapEntry> found;
  if (kind == MapKind::None) return found;
  const std::string path = CacheFilePath(kind);
  CacheIndex& index = CacheIndexes()[path];
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    index = CacheIndex{};
    return found;
  }
  const long long mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  if (!index.loaded || index.size != st.st_size || index.mtimeNs != mtimeNs || index.inode != st.st_ino) {
    const auto text = ReadWholeFile(path);
    if (!text) {
      index = CacheIndex{};
      error = "Cannot read \"" + path + "\"";
      return found;
    }
    ParseCache(*text, index);
    index.loaded = true;
    index.size = st.st_size;
    index.mtimeNs = mtimeNs;
    index.inode = st.st_ino;
  }
  if (const auto* rows = index.byName.Find(name))
    for (std::size_t i : *rows) found.push_back(MapEntry{index.entries[i].Key, index.entries[i].Value});
  return found;
}

bool ScanFolder(const std::string& folder, Host& host, const ScanOptions& options) {
  std::set<FolderId> seen;
  std::vector<std::string> pending{RemoveTrailingBackslash(folder)};
  long long lastPoll = -1, lastItem = -1;
  bool cancelled = false;
  std::vector<std::string> files, subfolders;

  while (!pending.empty() && !cancelled) {
    const std::string current = std::move(pending.back());
    pending.pop_back();
    struct stat st {};
    if (::stat(current.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
    if (!seen.insert(FolderId{st.st_dev, st.st_ino}).second) continue;
    DIR* dir = ::opendir(current.c_str());
    if (!dir) continue;

    files.clear();
    subfolders.clear();
    while (const dirent* e = ::readdir(dir)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      unsigned char type = e->d_type;
      if (type == DT_LNK || type == DT_UNKNOWN) {
        struct stat target {};
        const std::string full = current + "/" + name;
        if (::stat(full.c_str(), &target) != 0) continue;
        type = S_ISDIR(target.st_mode) ? DT_DIR : S_ISREG(target.st_mode) ? DT_REG : DT_UNKNOWN;
      }
      if (type == DT_DIR)
        subfolders.push_back(name);
      else if (type == DT_REG)
        files.push_back(name);
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end());
    std::sort(subfolders.begin(), subfolders.end());

    // A folder whose path holds a line break cannot go into the cache.
    if (!HasLineBreak(current)) {
      const std::string shown = FileNameOf(current) + "...";
      for (const std::string& name : files) {
        const long long now = TickCountMs();
        if (lastPoll < 0 || options.pollMs <= 0 || now - lastPoll > options.pollMs) {
          lastPoll = now;
          if (host.CancelRequested()) {
            cancelled = true;
            break;
          }
        }
        if (lastItem < 0 || options.itemMs <= 0 || now - lastItem > options.itemMs) {
          lastItem = now;
          host.SetItem(shown);
        }
        const MapKind kind = KindOfFileName(name);
        if (kind == MapKind::None || HasLineBreak(name)) continue;
        AddToTable(MapList(kind), StringPairRec{name, current});
      }
    }
    // Depth-first: the first subfolder is walked next.
    for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) pending.push_back(current + "/" + *it);
  }
  return cancelled;
}

bool SaveMapCache(Host& host) {
  std::error_code ec;
  std::filesystem::create_directories(CacheFolder(), ec);
  // Every file is tried; a folder that refuses one usually refuses all five,
  // so the first failure is told once.
  std::string firstError;
  for (MapKind kind : kCacheOrder) {
    const std::string error = WriteFileAtomic(CacheFilePath(kind), CacheText(MapList(kind)));
    if (firstError.empty()) firstError = error;
  }
  if (firstError.empty()) return true;
  host.Message("The map cache could not be saved in " + CacheFolder() + ":\r\n" + firstError, "", MsgButtons::OK,
               MsgIcon::Exclamation);
  return false;
}

void AddToMapCache(const std::string& path) {
  // The path names the file as stored (it comes from a scan or a cache entry).
  if (!FileExists(path)) return;
  const MapKind kind = KindOfFileName(FileNameOf(path));
  if (kind == MapKind::None || HasLineBreak(path)) return;
  AddToTable(MapList(kind), StringPairRec{FileNameOf(path), FolderOf(path)});
}

}  // namespace vandrel
