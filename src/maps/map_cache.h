// The lists of every picture file seen (gMapLists), the folder scan that
// fills them and the five cache files Cache/bmps.txt, bums.txt, jpgs.txt,
// tifs.txt and others.txt in the user's cache folder that keep them between runs.
//
// Cache file format: two lines per file, each ended by CR LF: the file name,
// then "*" and the folder path. A file that names nothing holds an empty
// entry: an empty line and the line "*". Names are kept
// as found on disk (UTF-8).
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "common/host.h"
#include "model/model.h"

namespace vandrel {

enum class MapKind { Tif, Jpg, Bmp, Bum, Other, None };

// The kind of a file by the last four characters of its name, in any case:
// ".tif"/"tiff", ".jpg"/"jpeg", ".bmp", ".bum", and ".gif", ".pcx", ".pgm",
// "pict", ".png", ".psd", ".tga", ".wmf" for the other pictures.
MapKind KindOfFileName(const std::string& name);
// The kind of a map's extension (lower case, without the dot): "tif"/"tiff",
// "jpg"/"jpeg", "bmp", "bum", and the other pictures' "gif", "pcx", "pgm",
// "pict", "png", "psd", "tga", "wmf".
MapKind KindOfExtension(const std::string& ext);

// The list of a kind inside gMapLists (not for None).
std::vector<StringPairRec>& MapList(MapKind kind);
// "Cache" in the user's cache folder (UserCacheFolder), and the cache file of a kind in it.
std::string CacheFolder();
std::string CacheFilePath(MapKind kind);

// A file the lists or a cache file name: its name as stored and its folder.
struct MapEntry {
  std::string name;
  std::string folder;
};

// The entries of a kind's list whose name equals `name` in the one form of
// FileNameKey (a name from Poser text in Windows-1252 finds the UTF-8 name
// found on disk, ASCII letters in any case), in list order. A hash index
// over the list is kept and extended as the list grows, so a lookup does not
// walk the list.
std::vector<MapEntry> FindInMapList(MapKind kind, const std::string& name);
// The same for the kind's cache file: read once and indexed, read again when
// the file changes. `error` gets a text when the file exists but cannot be
// read (no entries then).
std::vector<MapEntry> FindInCacheFile(MapKind kind, const std::string& name, std::string& error);
// A cache entry a lookup found without its file: the next save leaves it out
// of the lists and the cache files, unless the file is back by then.
void ForgetMapEntry(const MapEntry& entry);

struct ScanOptions {
  // The cancel poll and the item text are given to the host once more than
  // this many milliseconds have passed (0: at every file), so that a scan of
  // a large library keeps its speed.
  long long pollMs = 20;
  long long itemMs = 50;
};

// Adds every picture file below `folder` to gMapLists: depth-first, each
// folder's files before its subfolders, both in sorted order. What the lists
// held below the folder is replaced, so a file scanned twice is listed once;
// the folder is remembered (gMapScanRoots) so that the next save replaces
// what the cache files hold below it as well. A cancelled scan only adds the
// files it listed that the lists lack. The host's
// item text names the folder being listed; a cancel request stops the scan
// and keeps what was listed (the result is then true). Folders that cannot be listed are skipped, a
// folder reached twice (through symbolic links) is listed once, and names
// holding a CR or LF (which the cache format cannot carry) are left out.
bool ScanFolder(const std::string& folder, Host& host, const ScanOptions& options = {});

// Writes the five cache files (creating the Cache folder), each whole and
// atomically: what each held, less what lies below the folders scanned in
// this run and the entries met as gone, then the entries of its list that it
// lacks, every file once. So a later run finds every file an earlier one
// found, and the files grow only with the library. A file that held what
// cannot be read is replaced by its list. The text of the message for a file
// that cannot be written, or "".
std::string WriteMapCache(Host& host);
// The same, the message shown through the host; false then.
bool SaveMapCache(Host& host);

// Adds one existing file, named as stored, to the list of its kind unless it
// is listed there (no file is written).
void AddToMapCache(const std::string& path);

}  // namespace vandrel
