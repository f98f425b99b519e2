#include "maps/key_index.h"

#include "common/encoding.h"

namespace vandrel {

void KeyIndex::Update(const std::vector<StringPairRec>& table) {
  const bool replaced =
      table.size() < count_ || (count_ > 0 && (table[0].Key != first_ || table[count_ - 1].Key != last_));
  if (replaced) {
    byKey_.clear();
    count_ = 0;
  }
  if (count_ == 0) byKey_.reserve(table.size());
  for (; count_ < table.size(); ++count_)
    if (!table[count_].Key.empty()) byKey_[FileNameKey(table[count_].Key)].push_back(count_);
  first_ = table.empty() ? std::string() : table[0].Key;
  last_ = table.empty() ? std::string() : table.back().Key;
}

const std::vector<std::size_t>* KeyIndex::Find(const std::string& key) const {
  const auto it = byKey_.find(FileNameKey(key));
  return it == byKey_.end() ? nullptr : &it->second;
}

}  // namespace vandrel
