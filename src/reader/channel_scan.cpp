#include "reader/channel_scan.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

#include "common/byte_scan.h"
#include "common/numbers.h"
#include "common/text.h"
#include "reader/read_fault.h"

namespace vandrel {

bool BraceCountsAt(std::string_view text, std::size_t pos) {
  if (pos == 0 || pos > text.size()) return false;
  const char brace = text[pos - 1];
  if (brace != '{' && brace != '}') return false;
  // 0-based index of the first character before `at` that is no blank or TAB.
  const auto before = [&](std::size_t at) {
    while (at > 0 && (text[at - 1] == ' ' || text[at - 1] == '\t')) --at;
    return at;
  };
  const auto lineStart = [&](std::size_t at) {
    return at == 0 || text[at - 1] == '\n' || text[at - 1] == '\r';
  };
  const std::size_t at = before(pos - 1);
  if (lineStart(at)) return true;
  return brace == '}' && text[at - 1] == '{' && lineStart(before(at - 1));
}

bool RestOfLineIsBlank(std::string_view text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n') return true;
    if (c != ' ' && c != '\t' && c != '\r') return false;
  }
  return false;
}

bool CountsAt(std::string_view text, std::size_t pos, std::size_t length, Match how) {
  switch (how) {
    case Match::Anywhere:
      return true;
    case Match::Brace:
      return BraceCountsAt(text, pos);
    case Match::LineStart:
      return AtLineStart(text, pos, 1, true);
    case Match::LineKey: {
      if (!AtLineStart(text, pos, 1, true)) return false;
      if (length == 0) return true;
      const char last = text[pos - 1 + length - 1];
      if (last == ' ' || last == '\n') return true;
      const std::size_t after = pos - 1 + length;  // 0-based
      if (after >= text.size()) return true;
      const char c = text[after];
      return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }
    case Match::WholeLine:
      return AtLineStart(text, pos, 1, true) && RestOfLineIsBlank(text, pos - 1 + length);
  }
  return false;
}

std::size_t ForwardFinder::Next(std::size_t from) {
  if (from == 0) from = 1;
  const std::size_t n = text_.size();
  const std::size_t m = needle_.size();
  if (from > n + 1) return 0;
  if (lastFrom_ != 0) {
    if (from >= lastFrom_ && (lastResult_ == 0 || from <= lastResult_)) return lastResult_;
    if (from < lastFrom_) {
      // Only an occurrence that starts before the previous query's start is new.
      const std::size_t windowEnd = std::min(n, lastFrom_ - 1 + m - 1);  // 0-based end, exclusive
      const std::size_t hit = CountingIn(from, windowEnd);
      if (hit != 0) lastResult_ = hit;
      lastFrom_ = from;
      return lastResult_;
    }
  }
  lastFrom_ = from;
  if (how_ == Match::Anywhere && m == 1) {
    // A line end or a blank, asked for several times a channel: straight to
    // the C library's search.
    const void* at = from <= n ? std::memchr(text_.data() + from - 1, needle_[0], n - from + 1) : nullptr;
    lastResult_ =
        at == nullptr ? 0 : static_cast<std::size_t>(static_cast<const char*>(at) - text_.data()) + 1;
    return lastResult_;
  }
  lastResult_ = how_ == Match::Anywhere ? InStr(from, text_, needle_) : CountingIn(from, n);
  return lastResult_;
}

std::size_t ForwardFinder::CountingIn(std::size_t from, std::size_t end) const {
  const std::string_view stretch = text_.substr(0, std::min(end, text_.size()));
  if (from - 1 > stretch.size()) return 0;
  for (std::size_t at = InStr(from, stretch, needle_); at != 0; at = InStr(at + 1, stretch, needle_))
    if (CountsAt(text_, at, needle_.size(), how_)) return at;
  return 0;
}

std::size_t BackwardFinder::Prev(std::size_t limit) {
  const std::size_t n = text_.size();
  const std::size_t m = needle_.size();
  if (limit == 0 || limit > n) limit = n;
  if (lastLimit_ != 0) {
    if (limit >= lastLimit_) {
      // Only an occurrence that ends after the previous limit is new.
      const std::size_t windowStart = lastLimit_ >= m ? lastLimit_ - m + 1 : 0;  // 0-based
      const std::size_t hit = LastIn(windowStart, limit);
      if (hit != std::string_view::npos) lastResult_ = hit + 1;
      lastLimit_ = limit;
      return lastResult_;
    }
    if (lastResult_ != 0 && lastResult_ + m - 1 <= limit) {
      lastLimit_ = limit;
      return lastResult_;
    }
  }
  lastLimit_ = limit;
  const std::size_t hit = LastIn(0, limit);
  lastResult_ = hit == std::string_view::npos ? 0 : hit + 1;
  return lastResult_;
}

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::size_t EmptyBlockClose(std::string_view text, std::size_t open) {
  if (open == 0 || open > text.size() || text[open - 1] != '{' || !BraceCountsAt(text, open)) return 0;
  std::size_t j = open;  // 0-based: the character after the "{"
  while (j < text.size() && IsBlank(text[j])) ++j;
  return j < text.size() && text[j] == '}' ? j + 1 : 0;
}

InnerBlocks ScanBlock(std::string_view text, std::size_t open, std::size_t limit) {
  InnerBlocks blocks;
  blocks.close = limit;
  if (open == 0) return blocks;
  const std::size_t end = std::min(limit == 0 ? text.size() : limit - 1, text.size());  // 0-based, exclusive
  int depth = 1;
  // The next "{" and "}" are found with memchr, each from where the last one
  // stood: the text between braces (channel values, deltas) is not looked at
  // one character at a time.
  const char* t = text.data();
  const auto next = [&](char c, std::size_t from) {
    const void* hit = from < end ? std::memchr(t + from, c, end - from) : nullptr;
    return hit == nullptr ? end : static_cast<std::size_t>(static_cast<const char*>(hit) - t);
  };
  std::size_t nextOpen = next('{', open);
  std::size_t nextClose = next('}', open);
  for (std::size_t i = std::min(nextOpen, nextClose); i < end; i = std::min(nextOpen, nextClose)) {
    const char c = text[i];
    if (c == '{') nextOpen = next('{', i + 1);
    if (c == '}') nextClose = next('}', i + 1);
    if (!BraceCountsAt(text, i + 1)) continue;  // a brace inside a name
    if (c == '}') {
      if (--depth == 0) {
        blocks.close = i + 1;
        break;
      }
      if (depth == 1) blocks.children.back().second = i + 1;
    } else if (c == '{') {
      std::size_t j = i + 1;
      while (j < end && IsBlank(text[j])) ++j;
      if (depth == 1 && j < end && text[j] == '}') {
        blocks.empty.emplace_back(i + 1, j + 1);
        blocks.children.emplace_back(i + 1, j + 1);
        nextClose = next('}', j + 1);  // the empty block's "}" is passed over
      } else {
        if (depth == 1) blocks.children.emplace_back(i + 1, 0);
        ++depth;
      }
    }
  }
  for (auto& child : blocks.children)
    if (child.second == 0) child.second = blocks.close;
  return blocks;
}

std::size_t BackwardFinder::LastIn(std::size_t start, std::size_t end) const {
  // The needle's first character is looked for with memrchr, the rest
  // compared: far faster than a comparison at every position.
  const std::size_t m = needle_.size();
  if (m == 0 || end < start + m) return std::string_view::npos;
  const char* base = text_.data();
  std::size_t stop = end - m + 1;  // candidates are start..stop-1
  while (stop > start) {
    const void* hit = ::memrchr(base + start, needle_[0], stop - start);
    if (hit == nullptr) return std::string_view::npos;
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
    if (text_.compare(at, m, needle_) == 0 && CountsAt(text_, at + 1, m, how_)) return at;
    stop = at;
  }
  return std::string_view::npos;
}

std::size_t SeekInSorted(const std::vector<std::size_t>& positions, std::size_t& cursor, std::size_t from) {
  // The questions mostly move forward a little: the answer is looked for
  // from the last one, in steps that double, then by halving.
  const std::size_t n = positions.size();
  std::size_t& c = cursor;
  c = std::min(c, n);
  std::size_t lo = 0, hi = c;  // the answer's index lies in lo..hi
  if (c < n && positions[c] < from) {
    lo = c + 1;
    hi = lo;
    for (std::size_t step = 1; hi < n && positions[hi] < from; step *= 2) {
      lo = hi + 1;
      hi += step;
    }
    hi = std::min(hi, n);
  } else if (c > 0 && positions[c - 1] >= from) {
    // Backwards the same way: positions[hi] is at or after `from`.
    hi = c - 1;
    lo = hi;
    for (std::size_t step = 1; lo > 0 && positions[lo - 1] >= from; step *= 2) {
      hi = lo - 1;
      lo = hi >= step ? hi - step : 0;
    }
    ++hi;
  } else {
    lo = c;  // the same answer as last time
  }
  const auto begin = positions.begin();
  c = static_cast<std::size_t>(std::lower_bound(begin + static_cast<std::ptrdiff_t>(lo),
                                                begin + static_cast<std::ptrdiff_t>(std::max(lo, hi)), from) -
                               begin);
  return c < n ? positions[c] : 0;
}

ObjectKeywords::ObjectKeywords(std::string_view text, std::initializer_list<std::string_view> afterLf,
                               const std::function<void()>& poll) {
  const char* t = text.data();
  const std::size_t n = text.size();
  // Most candidates differ early: compared in place, not through memcmp.
  const auto starts = [&](std::size_t at, std::string_view word) {
    if (n - at < word.size()) return false;
    for (std::size_t j = 0; j < word.size(); ++j)
      if (t[at + j] != word[j]) return false;
    return true;
  };
  std::array<std::string_view, 4> keys{};
  std::size_t pending = 0;
  for (std::string_view key : afterLf)
    if (pending < keys.size() && !key.empty()) keys[pending++] = key;
  const std::size_t keyCount = pending;
  const auto isFirst = [](char c) { return c == 'a' || c == 'p' || c == 'l' || c == 'c'; };
  // A keyword's first letter at 0-based `s` after a line end, blank or TAB
  // (or at the start of the text). Only the blanks before a keyword that
  // matches are walked back over, and each run of them once: the pass stays
  // linear.
  const auto keywordAt = [&](std::size_t s) {
    const std::size_t k = t[s] == 'a' ? 0 : t[s] == 'p' ? 1 : t[s] == 'l' ? 2 : 3;
    if (starts(s, kWords[k]) && AtLineStart(text, s + 1, 1, true)) at_[k].push_back(s + 1);
  };
  // A key's first letter at `s` after a separator: directly after a LF?
  const auto keyAt = [&](std::size_t s) {
    if (s == 0 || t[s - 1] != '\n') return;
    for (std::size_t i = 0; i < keyCount; ++i)
      if (firstAfterLf_[i] == 0 && starts(s, keys[i])) {
        firstAfterLf_[i] = s;  // the LF's 1-based position
        --pending;
      }
  };
  // A megabyte at a time with a poll between. The candidates are the first
  // letters after a byte that may be a blank (a candidate too many is turned
  // away by keywordAt and keyAt); the keys' first letters are looked for only
  // while a key is still missing.
  constexpr std::size_t kPollEvery = std::size_t{1} << 20;
  std::array<char, 8> withKeys = {'a', 'p', 'l', 'c', 'a', 'a', 'a', 'a'};
  for (std::size_t k = 0; k < keyCount; ++k) withKeys[4 + k] = keys[k][0];
  const auto candidate = [&](std::size_t s) {
    if (isFirst(t[s])) keywordAt(s);
    if (pending != 0) keyAt(s);
  };
  for (std::size_t from = 0; from < n; from += kPollEvery) {
    if (from != 0 && poll) poll();
    const std::size_t to = std::min(n, from + kPollEvery);
    if (pending != 0)
      bytes::ForEachAfterBlank(text, from, to, withKeys, candidate);
    else
      bytes::ForEachAfterBlank(text, from, to, std::array<char, 4>{'a', 'p', 'l', 'c'}, candidate);
  }
}

std::size_t ObjectKeywords::CountWithin(std::size_t limit) const {
  std::size_t count = 0;
  for (std::size_t k = 0; k < kWords.size(); ++k) {
    if (limit + 1 < kWords[k].size()) continue;
    count += static_cast<std::size_t>(
        std::upper_bound(at_[k].begin(), at_[k].end(), limit + 1 - kWords[k].size()) - at_[k].begin());
  }
  return count;
}

int ObjectKeywords::IndexOf(std::string_view kind) {
  for (std::size_t k = 0; k < kWords.size(); ++k)
    if (kWords[k].size() == kind.size() + 1 && kWords[k].starts_with(kind)) return static_cast<int>(k);
  return -1;
}

}  // namespace vandrel
