#include "model/object_list.h"

#include <algorithm>
#include <functional>

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

std::size_t AddObjectListItem(std::string_view name, int index) {
  std::size_t at;
  if (index >= 1)
    at = std::min(static_cast<std::size_t>(index - 1), gObjectList.size());
  else if (IsOwnMaterialsEntry(name))
    at = gObjectList.size();
  else
    at = FirstActorListIndex();
  gObjectList.insert(gObjectList.begin() + static_cast<std::ptrdiff_t>(at), CompactText(name));
  return at;
}

void AddObjectListItems(const std::vector<std::string>& names, const std::function<void()>& poll) {
  constexpr std::size_t kPiece = 65536;
  const std::size_t at = FirstActorListIndex();
  if (gObjectList.size() - at < kPiece) {
    gObjectList.insert(gObjectList.begin() + static_cast<std::ptrdiff_t>(at), names.begin(), names.end());
    return;
  }
  // A file of a million actors lists a million entries after the place:
  // they move a piece at a time, with polls between, not all in one shift;
  // within the list's room where it has enough, else into a new list.
  const std::size_t n = gObjectList.size();
  if (gObjectList.capacity() >= n + names.size()) {
    gObjectList.resize(n + names.size());
    for (std::size_t end = n; end > at;) {
      const std::size_t begin = end - std::min(kPiece, end - at);
      std::move_backward(gObjectList.begin() + static_cast<std::ptrdiff_t>(begin),
                         gObjectList.begin() + static_cast<std::ptrdiff_t>(end),
                         gObjectList.begin() + static_cast<std::ptrdiff_t>(end + names.size()));
      end = begin;
      if (poll) poll();
    }
    std::copy(names.begin(), names.end(), gObjectList.begin() + static_cast<std::ptrdiff_t>(at));
    return;
  }
  ObjectList list;
  list.reserve(gObjectList.size() + names.size());
  const auto take = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      list.push_back(std::move(gObjectList[i]));
      if (i % kPiece == kPiece - 1 && poll) poll();
    }
  };
  take(0, at);
  list.insert(list.end(), names.begin(), names.end());
  take(at, gObjectList.size());
  gObjectList = std::move(list);
}

}  // namespace vandrel
