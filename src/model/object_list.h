// The main window's object list kept as data (gObjectList): entry i names
// gObjects[i]. The figure and prop entries come first, then the entries of
// actors, lights and cameras that carry materials of their own ("actor ",
// "light " or "camera " followed by the name); the list may end with more
// "actor " entries than the table has groups.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/compact_text.h"

namespace vandrel {

// The entries in order. A file of a million actors lists a million "actor "
// entries: each keeps its text in place up to 15 bytes.
using ObjectList = std::vector<CompactText>;

// Whether an entry belongs to the second part of the list: it begins with
// "actor ", "light " or "camera " (case-sensitive).
bool IsOwnMaterialsEntry(std::string_view entry);

// Index of the first entry of the second part, or the list's size when there
// is none.
std::size_t FirstActorListIndex();

// With `index` below 1: a name of the first part goes before the first entry
// of the second part (at the end when there is none), a name of the second
// part is appended. With `index` 1 or more: inserted at position index - 1
// (at the end when the list is shorter). Duplicates are not checked. Returns
// the 0-based position it took.
std::size_t AddObjectListItem(std::string_view name, int index);
// AddObjectListItem(name, 0) for each of `names` in turn, none of them an
// "actor ", "light " or "camera " entry, done as one insertion; `poll` is
// called now and then while a long list makes room.
void AddObjectListItems(const std::vector<std::string>& names, const std::function<void()>& poll = {});

}  // namespace vandrel
