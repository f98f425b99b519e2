#include "maps/cache_index.h"

#include "common/encoding.h"
#include "common/text.h"

namespace vandrel {
namespace {

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

}  // namespace

void CacheIndex::Parse() {
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
}

void CacheIndex::Index() {
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

void CacheIndex::Find(std::string_view name, std::vector<MapEntry>& found) const {
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

}  // namespace vandrel
