// One cache file of the map lists, read once and parsed in one pass: its
// bytes, each entry as offsets into them and a hash table of the names, with
// no memory of its own per entry. Internal to the map cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "maps/map_cache.h"

namespace vandrel {

// Renewed by its owner when the file changes (another size, time or file
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

  std::string_view NameOf(std::size_t i) const {
    return {text.data() + entries[i].name, entries[i].nameLength};
  }
  std::string_view FolderOf(std::size_t i) const {
    return {text.data() + entries[i].folder, entries[i].folderLength};
  }

  // The entries of `text`, without the name index (Index).
  void Parse();
  // The name index over the entries.
  void Index();
  // The entries named `name` without regard to case, in file order.
  void Find(std::string_view name, std::vector<MapEntry>& found) const;
};

}  // namespace vandrel
