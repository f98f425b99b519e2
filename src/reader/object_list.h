// The main window's object list kept as data (gObjectList): the figure and
// prop entries first, then the entries that begin with "actor ".
#pragma once

#include <string>

namespace vandrel {

// With `index` below 1: a name that does not begin with "actor " goes before
// the first entry that does (at the end when there is none), an "actor "
// name is appended. With `index` 1 or more: inserted at position index - 1
// (at the end when the list is shorter). Duplicates are not checked. Returns
// the 0-based position it took.
std::size_t AddObjectListItem(const std::string& name, int index);

}  // namespace vandrel
