#include "maps/map_cache.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "common/encoding.h"
#include "common/text.h"
#include "common/ticks.h"
#include "maps/cache_index.h"
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

std::unordered_map<std::string, CacheIndex>& CacheIndexes() {
  static std::unordered_map<std::string, CacheIndex> indexes;
  return indexes;
}

// A file as the lists and the cache files name it: its folder and its name,
// byte for byte.
struct EntryRef {
  std::string_view folder, name;
  bool operator==(const EntryRef& o) const { return folder == o.folder && name == o.name; }
};
struct EntryRefHash {
  std::size_t operator()(const EntryRef& e) const {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : e.folder) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    h = (h ^ '/') * 1099511628211ull;
    for (const char c : e.name) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return static_cast<std::size_t>(h);
  }
};
using EntrySet = std::unordered_set<EntryRef, EntryRefHash>;

// Whether `folder` is `root` or lies below it.
bool IsBelow(std::string_view folder, std::string_view root) {
  return !root.empty() && folder.size() >= root.size() && folder.compare(0, root.size(), root) == 0 &&
         (folder.size() == root.size() || folder[root.size()] == '/');
}

// The folders scanned whole in this run: what a cache file holds below them
// is replaced by what the lists hold. Entries come grouped by folder, so each
// folder's answer is kept for the entries after it.
class ScannedRoots {
 public:
  explicit ScannedRoots(const std::vector<std::string>& roots) {
    for (const std::string& r : roots) roots_.insert(r);
  }
  bool Holds(std::string_view folder) {
    if (roots_.empty()) return false;
    if (haveLast_ && folder == last_) return lastAnswer_;
    last_ = folder;
    haveLast_ = true;
    lastAnswer_ = false;
    // The folder and each folder above it.
    for (std::string_view f = folder; !f.empty();) {
      if (roots_.count(f) != 0) {
        lastAnswer_ = true;
        break;
      }
      const std::size_t slash = f.rfind('/');
      if (slash == std::string_view::npos || slash == 0) break;
      f = f.substr(0, slash);
    }
    return lastAnswer_;
  }

 private:
  std::unordered_set<std::string_view> roots_;
  std::string_view last_;
  bool haveLast_ = false;
  bool lastAnswer_ = false;
};

// A file named by a cache entry, in its Unicode form or as its bytes stand.
bool EntryFileExists(std::string_view folder, std::string_view name) {
  const std::string path = JoinPath(std::string(folder), std::string(name));
  return FileExists(JoinPath(PoserTextToUtf8(std::string(folder)), PoserTextToUtf8(std::string(name)))) ||
         FileExists(path);
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
    case MapKind::Tif:
      return gMapLists.TifFiles;
    case MapKind::Jpg:
      return gMapLists.JpgFiles;
    case MapKind::Bmp:
      return gMapLists.BmpFiles;
    case MapKind::Bum:
      return gMapLists.BumFiles;
    default:
      return gMapLists.OtherFiles;
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

namespace {

// The kind's cache file, read and indexed (again when it changed); nullptr
// when there is none, or when it cannot be read (`error` then says so).
// `indexed` false: the entries are enough; a file not read before is then
// read into `loose` only.
const CacheIndex* LoadedCache(MapKind kind, std::string& error, bool indexed = true,
                              CacheIndex* loose = nullptr) {
  const std::string path = CacheFilePath(kind);
  CacheIndex& index = CacheIndexes()[path];
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    index = CacheIndex{};
    return nullptr;
  }
  const long long mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  if (index.loaded && index.size == st.st_size && index.mtimeNs == mtimeNs && index.inode == st.st_ino)
    return &index;
  CacheIndex& target = indexed || loose == nullptr ? index : *loose;
  std::optional<std::string> text = ReadWholeFile(path);
  if (!text) {
    index = CacheIndex{};
    error = "Cannot read \"" + path + "\"";
    return nullptr;
  }
  target.text = std::move(*text);
  target.Parse();
  if (&target != &index) return &target;
  index.Index();
  index.loaded = true;
  index.size = st.st_size;
  index.mtimeNs = mtimeNs;
  index.inode = st.st_ino;
  return &index;
}

// What a scan of `root` found, put into the lists: a complete scan replaces
// what they held below the folder; a cancelled one adds only what they lack.
void TakeScan(const std::string& root, std::vector<StringPairRec> (&found)[5], bool complete) {
  for (int k = 0; k < 5; ++k) {
    const MapKind kind = static_cast<MapKind>(k);
    if (found[k].empty() && !complete) continue;
    std::vector<StringPairRec>& list = MapList(kind);
    if (complete) {
      list.erase(
          std::remove_if(list.begin(), list.end(),
                         [&](const StringPairRec& e) { return e.Key.empty() || IsBelow(e.Value, root); }),
          list.end());
      if (list.empty())
        list = std::move(found[k]);
      else
        list.insert(list.end(), std::make_move_iterator(found[k].begin()),
                    std::make_move_iterator(found[k].end()));
    } else {
      EntrySet listed;
      listed.reserve(list.size());
      for (const StringPairRec& e : list) listed.insert(EntryRef{e.Value, e.Key});
      std::vector<StringPairRec> added;  // a scan lists each file once: only the lists are looked in
      for (StringPairRec& e : found[k])
        if (listed.count(EntryRef{e.Value, e.Key}) == 0) added.push_back(std::move(e));
      if (list.size() == 1 && list[0].Key.empty()) list.clear();
      list.insert(list.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    }
    if (list.empty()) list.emplace_back();  // an empty list is its empty entry 0
    IndexOf(kind) = KeyIndex{};             // positions changed
  }
  if (complete && !root.empty() &&
      std::find(gMapScanRoots.begin(), gMapScanRoots.end(), root) == gMapScanRoots.end())
    gMapScanRoots.push_back(root);
}

// The text of a kind's cache file: what it held, without what lies below the
// folders scanned in this run and without files met as gone that are still
// gone; then the list's entries it lacks. Every file once.
std::string MergedCacheText(const std::vector<StringPairRec>& list, const CacheIndex* held,
                            ScannedRoots& roots, const EntrySet& gone) {
  std::size_t bytes = held ? held->text.size() : 0;
  for (const StringPairRec& e : list) bytes += e.Key.size() + e.Value.size() + 5;
  std::string text;
  text.reserve(bytes + 5);
  const auto keep = [&](std::string_view name, std::string_view folder) {
    return gone.empty() || gone.count(EntryRef{folder, name}) == 0 || EntryFileExists(folder, name);
  };
  const auto append = [&](std::string_view name, std::string_view folder) {
    text.append(name).append("\r\n*").append(folder).append("\r\n");
  };
  // The lists hold each file once (a scan replaces, AddToMapCache adds only
  // what is missing); the file may name one many times, and the lists' files.
  EntrySet written;
  if (held)
    for (std::size_t i = 0; i < held->entries.size(); ++i) {
      const std::string_view name = held->NameOf(i), folder = held->FolderOf(i);
      if (roots.Holds(folder) || !written.insert(EntryRef{folder, name}).second || !keep(name, folder))
        continue;
      append(name, folder);
    }
  for (const StringPairRec& e : list)
    if (!e.Key.empty() && (written.empty() || written.count(EntryRef{e.Value, e.Key}) == 0) &&
        keep(e.Key, e.Value))
      append(e.Key, e.Value);
  if (text.empty()) text = "\r\n*\r\n";  // an empty list is its empty entry 0
  return text;
}

}  // namespace

std::vector<MapEntry> FindInCacheFile(MapKind kind, const std::string& name, std::string& error) {
  std::vector<MapEntry> found;
  if (kind == MapKind::None) return found;
  if (const CacheIndex* index = LoadedCache(kind, error)) index->Find(name, found);
  return found;
}

void ForgetMapEntry(const MapEntry& entry) {
  // Held until the next save, which drops it; an entry met again is held
  // again, and the save drops it once.
  gGoneMapFiles.push_back(StringPairRec{entry.name, entry.folder});
}

bool ScanFolder(const std::string& folder, Host& host, const ScanOptions& options) {
  std::set<FolderId> seen;
  const std::string root = RemoveTrailingBackslash(folder);
  std::vector<std::string> pending{root};
  long long lastPoll = -1, lastItem = -1;
  bool cancelled = false;
  std::vector<std::string> files, subfolders;
  std::vector<StringPairRec> found[5];

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
        found[static_cast<int>(kind)].push_back(StringPairRec{name, current});
      }
    }
    // Depth-first: the first subfolder is walked next.
    for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) pending.push_back(current + "/" + *it);
  }
  TakeScan(root, found, !cancelled);
  return cancelled;
}

std::string WriteMapCache(Host& host) {
  std::error_code ec;
  std::filesystem::create_directories(CacheFolder(), ec);
  EntrySet gone;
  for (const StringPairRec& g : gGoneMapFiles) gone.insert(EntryRef{g.Value, g.Key});
  // Every file is tried; a folder that refuses one usually refuses all five,
  // so the first failure is told.
  std::string firstError;
  for (MapKind kind : kCacheOrder) {
    host.CancelRequested();  // the windows repaint between two files
    std::string readError;   // a file that cannot be read is replaced by the list
    CacheIndex loose;        // a file not looked up in this run: its entries only
    const CacheIndex* held = LoadedCache(kind, readError, false, &loose);
    ScannedRoots roots(gMapScanRoots);
    const std::string error =
        WriteFileAtomic(CacheFilePath(kind), MergedCacheText(MapList(kind), held, roots, gone));
    if (firstError.empty()) firstError = error;
  }
  // The lists forget the gone files too; a cache file that could not be
  // written names them again at its next lookup.
  if (!gone.empty()) {
    for (int k = 0; k < 5; ++k) {
      std::vector<StringPairRec>& list = MapList(static_cast<MapKind>(k));
      const auto isGone = [&](const StringPairRec& e) {
        return !e.Key.empty() && gone.count(EntryRef{e.Value, e.Key}) != 0 &&
               !EntryFileExists(e.Value, e.Key);
      };
      if (std::none_of(list.begin(), list.end(), isGone)) continue;
      list.erase(std::remove_if(list.begin(), list.end(), isGone), list.end());
      if (list.empty()) list.emplace_back();
      IndexOf(static_cast<MapKind>(k)) = KeyIndex{};
    }
    gone.clear();
    gGoneMapFiles.clear();
  }
  if (firstError.empty()) return {};
  return "The map cache could not be saved in " + CacheFolder() + ":\r\n" + firstError;
}

bool SaveMapCache(Host& host) {
  const std::string error = WriteMapCache(host);
  if (error.empty()) return true;
  host.Message(error, "", MsgButtons::OK, MsgIcon::Exclamation);
  return false;
}

void AddToMapCache(const std::string& path) {
  // The path names the file as stored (it comes from a scan or a cache entry).
  if (!FileExists(path)) return;
  const std::string name = FileNameOf(path), folder = FolderOf(path);
  const MapKind kind = KindOfFileName(name);
  if (kind == MapKind::None || HasLineBreak(path)) return;
  for (const MapEntry& e : FindInMapList(kind, name))
    if (e.name == name && e.folder == folder) return;  // listed already
  AddToTable(MapList(kind), StringPairRec{name, folder});
}

}  // namespace vandrel
