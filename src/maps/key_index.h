// A hash index over the Keys of a table of StringPairRec, kept up to date as
// the table grows. Keys are file names and paths, compared in the one form of
// FileNameKey: a name in Poser text finds the same name as stored on disk.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/shared_records.h"

namespace vandrel {

class KeyIndex {
 public:
  // Indexes the entries added since the last call. The tables only grow
  // (entry 0 filled first, then appended); a table that was replaced as a
  // whole (a reset) is indexed again. Empty keys are not indexed.
  void Update(const std::vector<StringPairRec>& table);
  // Positions of the entries whose Key has the FileNameKey of `key`,
  // in table order; nullptr when there is none.
  const std::vector<std::size_t>* Find(const std::string& key) const;

 private:
  std::unordered_map<std::string, std::vector<std::size_t>> byKey_;
  std::size_t count_ = 0;
  std::string first_, last_;
};

}  // namespace vandrel
