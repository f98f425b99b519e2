#include "reader/object_list.h"

#include <algorithm>

#include "common/text.h"
#include "model/model.h"

namespace vandrel {

std::size_t AddObjectListItem(const std::string& name, int index) {
  std::size_t at;
  if (index >= 1)
    at = std::min(static_cast<std::size_t>(index - 1), gObjectList.size());
  else if (StartsWith(name, "actor "))
    at = gObjectList.size();
  else
    at = FirstActorListIndex();
  gObjectList.insert(gObjectList.begin() + static_cast<std::ptrdiff_t>(at), name);
  return at;
}

}  // namespace vandrel
