#include "reader/prop_entries.h"

#include <functional>
#include <unordered_map>

#include "common/text.h"
#include "reader/channel_scan.h"
#include "reader/read_fault.h"
#include "reader/text_scan.h"

namespace vandrel {
namespace {

bool IsLineEnd(char c, bool crIsLineEnd) { return c == '\n' || (crIsLineEnd && c == '\r'); }

// 1-based positions of the line ends that stand right before "prop " wholly
// inside the first `limit` characters of `text`.
std::vector<std::size_t> PropLineEnds(std::string_view text, std::size_t limit, bool crIsLineEnd) {
  std::vector<std::size_t> ends;
  for (std::size_t p = FindLineEndKey(text, "prop ", 1, crIsLineEnd); p != 0 && p + 5 <= limit;
       p = FindLineEndKey(text, "prop ", p + 1, crIsLineEnd))
    ends.push_back(p);
  return ends;
}

// The text of the line that begins at `pos` (1-based) up to its line end (or
// "{" when `braceEnds`), without trailing blanks and TABs: a name stands
// there as a whole line exactly when it equals this text.
std::string_view LineKey(std::string_view text, std::size_t pos, bool braceEnds, bool crIsLineEnd) {
  std::size_t stop = pos - 1;
  while (stop < text.size() && !IsLineEnd(text[stop], crIsLineEnd) && !(braceEnds && text[stop] == '{'))
    ++stop;
  std::size_t last = stop;
  while (last > pos - 1 && (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r'))
    --last;
  return text.substr(pos - 1, last - (pos - 1));
}

// Takes the entries from the last candidate to the first; `nameAt` gives a
// candidate's name. A name taken also passes over every earlier candidate
// whose line holds that name as a whole line.
template <class NameAt>
std::vector<std::string> TakeFromLast(std::string_view text, const std::vector<std::size_t>& ends,
                                      NameAt nameAt, bool braceEnds, bool crIsLineEnd,
                                      const std::function<void()>& yield) {
  std::unordered_map<std::string_view, std::vector<std::size_t>> byKey;
  for (std::size_t k = 0; k < ends.size(); ++k) {
    byKey[LineKey(text, ends[k] + 1, braceEnds, crIsLineEnd)].push_back(k);
    if (k % 4096 == 4095 && yield) yield();
  }
  std::vector<std::string> names;
  std::vector<bool> taken(ends.size(), false);
  for (std::size_t k = ends.size(); k-- > 0;) {
    if (k % 4096 == 0 && yield) yield();
    if (taken[k]) continue;
    std::string name = nameAt(ends[k]);
    taken[k] = true;
    if (auto it = byKey.find(name); it != byKey.end()) {
      for (std::size_t j : it->second) taken[j] = true;
      byKey.erase(it);
    }
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace

std::vector<std::string> PropScanEntries(std::string_view buffer, std::string_view whole, bool crIsLineEnd,
                                         const std::function<void()>& yield) {
  const std::vector<std::size_t> ends = PropLineEnds(whole, buffer.size(), crIsLineEnd);
  if (yield) yield();
  return TakeFromLast(
      whole, ends,
      [&](std::size_t end) {
        std::size_t stop = end + 1;
        while (stop <= whole.size() && !IsLineEnd(whole[stop - 1], crIsLineEnd)) ++stop;
        return CleanLine(whole.substr(end, stop - end - 1));
      },
      false, crIsLineEnd, yield);
}

std::vector<std::string> PoseGroupPropEntries(std::string_view whole, const std::function<void()>& yield) {
  const std::vector<std::size_t> ends = PropLineEnds(whole, whole.size(), true);
  if (yield) yield();
  ForwardFinder braces(whole, "{");
  return TakeFromLast(
      whole, ends,
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
