#include "reader/prop_entries.h"

#include <cstdint>
#include <functional>
#include <limits>

#include "common/text.h"
#include "common/text_slots.h"
#include "reader/channel_scan.h"
#include "reader/read_fault.h"
#include "reader/text_scan.h"

namespace vandrel {
namespace {

bool IsLineEnd(char c, bool crIsLineEnd) { return c == '\n' || (crIsLineEnd && c == '\r'); }

// 1-based positions of the line ends that stand right before "prop " wholly
// inside the first `limit` characters of `text`. `Pos` is the narrowest type
// that holds a position of the text: a line costs four bytes, not eight.
template <class Pos>
std::vector<Pos> PropLineEnds(std::string_view text, std::size_t limit, bool crIsLineEnd,
                              const std::function<void()>& yield) {
  std::vector<Pos> ends;
  for (std::size_t p = FindLineEndKey(text, "prop ", 1, crIsLineEnd); p != 0 && p + 5 <= limit;
       p = FindLineEndKey(text, "prop ", p + 1, crIsLineEnd)) {
    ends.push_back(static_cast<Pos>(p));
    if (ends.size() % 4096 == 0 && yield) yield();
  }
  return ends;
}

// The names taken so far, found by their text.
template <class Index>
class TakenNames {
 public:
  TakenNames(const std::vector<std::string>& names, std::size_t most) : names_(names) {
    slots_.Reserve(most);
  }
  bool Holds(std::string_view name) const { return slots_.Find(name, names_) != TextSlots<Index>::kFree; }
  // The last of the names, unless the table holds its text already.
  void AddLast() {
    Index& slot = slots_.Slot(names_.back(), names_);
    if (slot == TextSlots<Index>::kFree) slot = static_cast<Index>(names_.size() - 1);
  }

 private:
  const std::vector<std::string>& names_;
  TextSlots<Index> slots_;
};

// Takes the entries from the last candidate to the first; `nameAt` gives a
// candidate's name. A name taken also passes over every earlier candidate
// whose line holds that name as a whole line.
template <class Pos, class NameAt>
std::vector<std::string> TakeFromLast(std::string_view text, std::size_t limit, NameAt nameAt, bool braceEnds,
                                      bool crIsLineEnd, const std::function<void()>& yield) {
  const std::vector<Pos> ends = PropLineEnds<Pos>(text, limit, crIsLineEnd, yield);
  if (yield) yield();
  std::vector<std::string> names;
  names.reserve(ends.size());
  TakenNames<Pos> taken(names, ends.size());
  for (std::size_t k = ends.size(); k-- > 0;) {
    if (k % 4096 == 0 && yield) yield();
    if (taken.Holds(WholeLineText(text, ends[k] + std::size_t{1}, braceEnds, crIsLineEnd))) continue;
    names.push_back(nameAt(ends[k]));
    taken.AddLast();
  }
  // A list of many repeated lines gives back the room it did not use.
  if (names.size() < names.capacity() / 2) names.shrink_to_fit();
  return names;
}

// TakeFromLast with positions of four bytes where the text allows.
template <class NameAt>
std::vector<std::string> TakeProps(std::string_view text, std::size_t limit, NameAt nameAt, bool braceEnds,
                                   bool crIsLineEnd, const std::function<void()>& yield) {
  if (text.size() < std::numeric_limits<std::uint32_t>::max())
    return TakeFromLast<std::uint32_t>(text, limit, nameAt, braceEnds, crIsLineEnd, yield);
  return TakeFromLast<std::size_t>(text, limit, nameAt, braceEnds, crIsLineEnd, yield);
}

}  // namespace

std::vector<std::string> PropScanEntries(std::string_view buffer, std::string_view whole, bool crIsLineEnd,
                                         const std::function<void()>& yield) {
  return TakeProps(
      whole, buffer.size(),
      [&](std::size_t end) {
        std::size_t stop = end + 1;
        while (stop <= whole.size() && !IsLineEnd(whole[stop - 1], crIsLineEnd)) ++stop;
        return CleanLine(whole.substr(end, stop - end - 1));
      },
      false, crIsLineEnd, yield);
}

std::vector<std::string> PoseGroupPropEntries(std::string_view whole, const std::function<void()>& yield) {
  ForwardFinder braces(whole, "{");
  return TakeProps(
      whole, whole.size(),
      [&](std::size_t end) {
        const std::size_t brace = braces.Next(end + 1);
        // A prop line that no block follows (a header line of its own) is
        // named by its line alone: its name never takes in the lines after
        // it up to some later block's "{".
        std::size_t stop = brace;
        const std::size_t lineEnd = whole.find_first_of("\r\n", end);
        if (brace != 0 && lineEnd != std::string_view::npos && lineEnd + 1 < brace) {
          const std::size_t next = whole.find_first_not_of(" \t\r\n", lineEnd);
          if (next != std::string_view::npos && next + 1 < brace) stop = lineEnd + 1;
        }
        return CleanLine(MidChecked(whole, static_cast<long long>(end) + 1,
                                    static_cast<long long>(stop) - static_cast<long long>(end) - 1));
      },
      true, true, yield);
}

}  // namespace vandrel
