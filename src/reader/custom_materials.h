// The own materials of an actor: a "customMaterial" line with a count, then
// that many "material " blocks inside the actor's block.
#pragma once

#include <string_view>

namespace vandrel {

// The count on the "customMaterial" line at `at` (1-based) of `text`: the
// twenty characters from there, CR as LF, TAB as a blank, pairs of blanks as
// one, the number between the first blank and the first line end, rounded.
int CustomMaterialCount(std::string_view text, std::size_t at);

// Turns the own materials of one actor's block text into a new material
// group at the end of gObjects (entry 0 when the table is empty). The group
// keeps an empty Name and gets no object-list entry: naming and listing it
// are the caller's. No "customMaterial", a count below 1 or no "material "
// block after it: nothing changes. A group holds the materials found, at
// most the count.
void ReadCustomMaterials(std::string_view text);

}  // namespace vandrel
