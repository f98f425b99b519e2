// The prop lines of a Poser file, as the object list takes them: from the
// last in the file to the first, each name once.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

// Prop scan of a figure-type file: the lines that begin with "prop " right
// after a line end inside `buffer` (a prefix of `whole`), each cleaned of
// TABs, CRs, LFs and outer blanks. A line already taken is passed over
// together with every other line that holds the same name as a whole line.
// A line that `buffer` cuts off is read to its end in `whole`.
// `yield` is called now and then.
std::vector<std::string> PropScanEntries(std::string_view buffer, std::string_view whole, bool crIsLineEnd,
                                         const std::function<void()>& yield = {});

// Prop groups of a pose-type file: the "prop " lines after a line end (LF or
// CR), each read up to the next "{" and cleaned; a line that other text
// follows before that "{" is read up to its own end. Fails (ReadFault 5)
// for a prop line with no "{" after it. `yield` is called now and then.
std::vector<std::string> PoseGroupPropEntries(std::string_view whole,
                                              const std::function<void()>& yield = {});

}  // namespace vandrel
