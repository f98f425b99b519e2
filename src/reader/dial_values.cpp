#include "reader/dial_values.h"

#include <string>

#include "common/numbers.h"
#include "common/text.h"
#include "reader/read_fault.h"

namespace vandrel {
namespace {

// A line's text without the blanks, TABs and CRs at its end.
std::string_view WithoutTrailingBlanks(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
    line.remove_suffix(1);
  return line;
}

double NumberOf(std::string_view rest) { return FiniteNumber(LeadingNumber(rest)); }

// The text between two positions (from included, to excluded; empty when
// they are the wrong way round).
std::string_view Between(std::string_view text, std::size_t from, std::size_t to) {
  if (from == 0 || to <= from || from > text.size()) return {};
  return text.substr(from - 1, to - from);
}

}  // namespace

void ReadDialValues(std::string_view text, ChannelIndex& index, std::size_t dialPos, bool readValue,
                    DialRec& d, std::size_t& searchStart) {
  const std::size_t n = text.size();
  const std::size_t close = index.Next(ChannelIndex::kClose, dialPos);
  const std::size_t nameAt = index.Next(ChannelIndex::kName, dialPos);
  if (nameAt > 0 && nameAt < close) {
    // The display name is the rest of the key's own line after its blank.
    // The text at nameAt is "name": a blank right after it is the first.
    const std::size_t blank =
        nameAt + 3 < n && text[nameAt + 3] == ' ' ? nameAt + 4 : index.Next(ChannelIndex::kBlank, nameAt);
    const std::size_t lf = index.Next(ChannelIndex::kLineEnd, nameAt);
    if (blank != 0 && (lf == 0 || blank < lf)) d.ExtName = Between(text, blank + 1, lf == 0 ? n + 1 : lf);
    d.ExtNameOn = true;
    searchStart = nameAt;
  } else {
    d.ExtNameOn = false;
  }
  const std::size_t hiddenAt = index.Next(ChannelIndex::kHidden, dialPos);
  if (hiddenAt >= 1 && hiddenAt < close) {
    const std::size_t blank = hiddenAt + 5 < n && text[hiddenAt + 5] == ' '
                                  ? hiddenAt + 6
                                  : index.Next(ChannelIndex::kBlank, hiddenAt);
    const std::size_t lf = index.Next(ChannelIndex::kLineEnd, hiddenAt);
    if (blank != 0 && (lf == 0 || blank < lf)) {
      d.Hidden = ToInteger(NumberOf(Between(text, blank + 1, lf == 0 ? n + 1 : lf)) + 1);
      searchStart = blank + 1;
    } else {
      d.Hidden = 1;
    }
    d.HiddenOn = true;
  } else {
    d.HiddenOn = false;
  }
  if (!readValue) return;
  const std::size_t open = index.Next(ChannelIndex::kOpen, dialPos);
  // The channel's text from its "{" through the first "}".
  const std::string_view keys =
      close >= open && open != 0 ? Between(text, open, close + 1) : std::string_view();
  // The first "k  " line of the keys (not "k  " inside a name).
  std::size_t k = 0;  // 1-based in `keys`
  if (!keys.empty()) {
    const std::size_t at = index.FirstKeyFrame(open, close);
    if (at != 0) k = at - open + 1;
  }
  std::string_view v = k == 0 ? keys : keys.substr(k);
  const std::size_t lf = v.find('\n');
  if (lf != std::string_view::npos) v = v.substr(0, lf);
  // A value with blanks or TABs after it on its line is still its value.
  const std::string trimmed = Trim(WithoutTrailingBlanks(v));
  const std::size_t blank = InStr(trimmed, " ");
  const std::string number = Mid(trimmed, blank + 2);
  d.Value = NumberOf(number);
  d.ValueOn = number == "0" || d.Value != 0;
}

}  // namespace vandrel
