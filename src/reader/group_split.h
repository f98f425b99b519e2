// The split of a pose-type file's group text into one text per object-list
// entry, in one pass over the text however many groups it holds.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/object_list.h"

namespace vandrel {

// 1-based start of the first line that holds `name` as a whole line after an
// LF (or, for an empty name, the character after the first LF); 0 when none.
std::size_t FindGroupLine(std::string_view text, std::string_view name);

// The split, entry by entry from `first` on: an entry's text runs from the
// first line after a LF that holds the entry as a whole line (blanks, TABs
// or a "{" may follow it) to the end of what is left, or with `figureFirst`
// to a "figure" line after it, and every copy of that text leaves the text.
// With `figureFirst`, part 0 is then what is left from its "figure" line on;
// `whole` becomes part 0.
//
// Done on an index of the text's lines. The parts from `first` on come
// empty. False, with `whole` unchanged and those parts empty again, when the
// index cannot be sure of giving that result (an entry not found or never a
// whole line, a text whose removal could reach elsewhere), and for fewer
// than 64 entries: the caller then splits entry by entry. `yield` is called
// now and then.
bool SplitGroupTexts(std::string& whole, std::vector<std::string>& parts, std::size_t first,
                     const ObjectList& entries, bool figureFirst, const std::function<void()>& yield);

}  // namespace vandrel
