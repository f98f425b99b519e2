// Small records shared across the program.
#pragma once

#include <string>
#include <vector>

namespace vandrel {

struct StringPairRec {
  std::string Key;
  std::string Value;
};

struct NameIndexRec {
  std::string Name;
  int Index = 0;
  int SubIndex = 0;
};

// Tables start with one empty element; an element 0 with an empty key/name
// stands for an empty table.
inline bool IsEmptyTable(const std::vector<StringPairRec>& t) {
  return t.empty() || (t.size() == 1 && t[0].Key.empty());
}

// Puts `pair` into entry 0 while that entry is empty, else appends it.
void AddToTable(std::vector<StringPairRec>& table, StringPairRec pair);

}  // namespace vandrel
