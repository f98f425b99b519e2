#include "platform/path_case.h"

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/encoding.h"
#include "common/text.h"
#include "platform/files.h"

namespace vandrel {

namespace {

// The components of an absolute path with "." and ".." taken out lexically
// (".." at the root stays at the root).
std::vector<std::string> NormalComponents(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.emplace_back(part);
    }
    start = end + 1;
  }
  return parts;
}

// The names of one folder: every stored name, and per name key (FileNameKey)
// the first stored name in byte order.
struct FolderListing {
  std::unordered_set<std::string> names;
  std::unordered_map<std::string, std::string> firstByKey;
};

// Listings kept while a ScopedFolderListings lives (the user-interface thread only).
int gListingScopes = 0;
std::unordered_map<std::string, FolderListing> gListings;
// Paths found as given in folders not listed (kept while a scope lives too).
std::unordered_set<std::string> gFoundAsGiven;

const FolderListing& ListingOf(const std::string& folder) {
  auto [it, added] = gListings.try_emplace(folder);
  if (!added) return it->second;
  std::error_code ec;
  std::filesystem::directory_iterator dir(folder, ec), end;
  for (; !ec && dir != end; dir.increment(ec)) {
    std::string entry = dir->path().filename().string();
    auto [best, fresh] = it->second.firstByKey.try_emplace(FileNameKey(entry), entry);
    if (!fresh && entry < best->second) best->second = entry;
    it->second.names.insert(std::move(entry));
  }
  return it->second;
}

}  // namespace

ScopedFolderListings::ScopedFolderListings() { ++gListingScopes; }
ScopedFolderListings::~ScopedFolderListings() {
  if (--gListingScopes == 0) {
    gListings.clear();
    gFoundAsGiven.clear();
  }
}

std::string FindStoredName(const std::string& folder, const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return {};
  // A name from Poser text may be in Windows-1252: its Unicode form is tried
  // first, then its bytes as they stand, then (for bytes that read as UTF-8
  // but may be Windows-1252 all the same) their Windows-1252 reading.
  const std::string unicode = PoserTextToUtf8(name);
  const std::optional<std::string> other = OtherReading(name);
  const std::string* forms[3] = {&unicode};
  std::size_t count = 1;
  if (name != unicode) forms[count++] = &name;
  if (other) forms[count++] = &*other;
  const std::span<const std::string* const> given(forms, count);
  if (gListingScopes > 0) {
    // A folder not listed yet is listed only when the name is not there as
    // given: one name looked up in each of many folders (the maps of a
    // check) costs a lookup of the name, not a listing of its folder.
    if (!gListings.contains(folder)) {
      for (const std::string* form : given) {
        std::string path = JoinPath(folder, *form);
        if (gFoundAsGiven.contains(path)) return *form;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0) {
          gFoundAsGiven.insert(std::move(path));
          return *form;
        }
      }
    }
    const FolderListing& listing = ListingOf(folder);
    for (const std::string* form : given)
      if (listing.names.count(*form)) return *form;
    auto it = listing.firstByKey.find(FileNameKey(name));
    if (it == listing.firstByKey.end() && other) it = listing.firstByKey.find(LCase(*other));
    return it == listing.firstByKey.end() ? std::string() : it->second;
  }
  for (const std::string* form : given) {
    struct stat st {};
    if (::lstat(JoinPath(folder, *form).c_str(), &st) == 0) return *form;
  }

  std::string best, bestOther;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  const std::string key = FileNameKey(name);
  const std::string otherKey = other ? LCase(*other) : std::string();
  for (; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    const std::string entryKey = FileNameKey(entry);
    if (entryKey == key) {
      if (best.empty() || entry < best) best = std::move(entry);
    } else if (other && entryKey == otherKey && (bestOther.empty() || entry < bestOther)) {
      bestOther = std::move(entry);
    }
  }
  return best.empty() ? bestOther : best;
}

std::string TrueCasePath(const std::string& path) {
  if (path.empty()) return {};
  std::string absolute = path;
  if (path.front() != '/') {
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    if (ec || cwd.empty()) return {};
    absolute = JoinPath(cwd, path);
  }
  std::string result;
  for (const std::string& part : NormalComponents(absolute)) {
    std::string stored = FindStoredName(result.empty() ? "/" : result, part);
    if (stored.empty()) return {};
    result += "/";
    result += stored;
  }
  return result.empty() ? "/" : result;
}

std::string ResolvePathCase(const std::string& path) {
  std::string native = path;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return TrueCasePath(native);
}

}  // namespace vandrel
