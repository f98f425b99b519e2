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

#include "common/encoding.h"
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

// ASCII letters folded to lower case: names compare without regard to case.
unsigned char Folded(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + 32) : u;
}

// Names compare in their one form (FileNameKey): Unicode, ASCII letters in
// any case. An ASCII name is its own form, folded, and needs no copy.
std::uint64_t NameHash(std::string_view name) {
  std::uint64_t h = 14695981039346656037ull;
  if (IsAscii(name)) {
    for (const char c : name) h = (h ^ Folded(c)) * 1099511628211ull;
    return h;
  }
  for (const char c : FileNameKey(name)) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return h;
}

bool SameName(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) return EqualsNoCase(a, b);
  return FileNameKey(a) == FileNameKey(b);
}

// One cache file, read once and parsed in one pass: its bytes, each entry as
// offsets into them and a hash table of the names, with no memory of its own
// per entry. Renewed when the file changes (another size, time or file
// after a rename).
struct CacheIndex {
  bool loaded = false;
  long long size = -1;
  long long mtimeNs = -1;
  unsigned long long inode = 0;

  struct Entry {
    std::size_t name, nameLength, folder, folderLength;
  };
  std::string text;
  std::vector<Entry> entries;
  // Open addressing: the first entry of each name + 1 (0 = a free slot);
  // `next` links the later entries of the same name in file order.
  std::vector<std::uint32_t> slots;
  std::vector<std::uint32_t> next;

  std::string_view NameOf(std::size_t i) const { return {text.data() + entries[i].name, entries[i].nameLength}; }
  std::string_view FolderOf(std::size_t i) const {
    return {text.data() + entries[i].folder, entries[i].folderLength};
  }

  void Parse() {
    entries.clear();
    const std::string_view all(text);
    std::size_t pos = 0;
    // The line from `pos` to its CR LF (or to the end of the text).
    const auto nextLine = [&](std::size_t& at, std::size_t& length) {
      if (pos >= all.size()) return false;
      const std::size_t end = all.find("\r\n", pos);
      at = pos;
      length = (end == std::string_view::npos ? all.size() : end) - pos;
      pos = end == std::string_view::npos ? all.size() : end + 2;
      return true;
    };
    std::size_t name = 0, nameLength = 0, folder = 0, folderLength = 0;
    while (nextLine(name, nameLength)) {
      if (!nextLine(folder, folderLength)) break;
      if (folderLength == 0 || all[folder] != '*' || nameLength == 0) continue;
      entries.push_back(Entry{name, nameLength, folder + 1, folderLength - 1});
    }
    Index();
  }

  void Index() {
    std::size_t capacity = 16;
    while (capacity < entries.size() * 2) capacity *= 2;
    slots.assign(capacity, 0);
    next.assign(entries.size(), 0);
    std::vector<std::uint32_t> last(entries.size(), 0);  // per first entry: the last of its name
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::string_view name = NameOf(i);
      for (std::size_t s = NameHash(name) & (capacity - 1);; s = (s + 1) & (capacity - 1)) {
        if (slots[s] == 0) {
          slots[s] = static_cast<std::uint32_t>(i + 1);
          last[i] = static_cast<std::uint32_t>(i);
          break;
        }
        const std::size_t first = slots[s] - 1;
        if (SameName(NameOf(first), name)) {
          next[last[first]] = static_cast<std::uint32_t>(i + 1);
          last[first] = static_cast<std::uint32_t>(i);
          break;
        }
      }
    }
  }

  // The entries named `name` without regard to case, in file order.
  void Find(std::string_view name, std::vector<MapEntry>& found) const {
    if (slots.empty()) return;
    const std::size_t mask = slots.size() - 1;
    for (std::size_t s = NameHash(name) & mask; slots[s] != 0; s = (s + 1) & mask) {
      std::size_t i = slots[s] - 1;
      if (!SameName(NameOf(i), name)) continue;
      for (;;) {
        found.push_back(MapEntry{std::string(NameOf(i)), std::string(FolderOf(i))});
        if (next[i] == 0) return;
        i = next[i] - 1;
      }
    }
  }
};

std::unordered_map<std::string, CacheIndex>& CacheIndexes() {
  static std::unordered_map<std::string, CacheIndex> indexes;
  return indexes;
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
    std::optional<std::string> text = ReadWholeFile(path);
    if (!text) {
      index = CacheIndex{};
      error = "Cannot read \"" + path + "\"";
      return found;
    }
    index.text = std::move(*text);
    index.Parse();
    index.loaded = true;
    index.size = st.st_size;
    index.mtimeNs = mtimeNs;
    index.inode = st.st_ino;
  }
  index.Find(name, found);
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
    host.CancelRequested();  // the windows repaint between two files
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
