#include "model/object_list.h"

#include <algorithm>

#include "common/text.h"
#include "model/model.h"

namespace vandrel {

bool IsOwnMaterialsEntry(std::string_view entry) {
  return StartsWith(entry, "actor ") || StartsWith(entry, "light ") || StartsWith(entry, "camera ");
}

std::size_t FirstActorListIndex() {
  for (std::size_t i = 0; i < gObjectList.size(); ++i)
    if (IsOwnMaterialsEntry(gObjectList[i])) return i;
  return gObjectList.size();
}

std::size_t AddObjectListItem(const std::string& name, int index) {
  std::size_t at;
  if (index >= 1)
    at = std::min(static_cast<std::size_t>(index - 1), gObjectList.size());
  else if (IsOwnMaterialsEntry(name))
    at = gObjectList.size();
  else
    at = FirstActorListIndex();
  gObjectList.insert(gObjectList.begin() + static_cast<std::ptrdiff_t>(at), name);
  return at;
}

void AddObjectListItems(const std::vector<std::string>& names) {
  const auto at = gObjectList.begin() + static_cast<std::ptrdiff_t>(FirstActorListIndex());
  gObjectList.insert(at, names.begin(), names.end());
}

}  // namespace vandrel
