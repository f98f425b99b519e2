#include "reader/channel_scan.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>

#include "common/numbers.h"
#include "common/text.h"
#include "platform/helper_threads.h"
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
  const auto lineStart = [&](std::size_t at) { return at == 0 || text[at - 1] == '\n' || text[at - 1] == '\r'; };
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

void BlockLineIndex::Build(std::string_view text, std::size_t from, std::size_t end) {
  for (auto& positions : at_) positions.clear();
  cursor_.fill(0);
  prevCursor_.fill(0);
  from_ = from;
  end_ = std::min(end, text.size() + 1);
  if (from == 0 || from >= end_) {
    end_ = from_;
    return;
  }
  const char* t = text.data();
  const std::size_t stop = end_ - 1;  // 0-based: line starts before it are looked at
  const auto lineAt = [&](std::size_t ls) {
    std::size_t s = ls;
    while (s < text.size() && (t[s] == ' ' || t[s] == '\t')) ++s;
    if (s < stop && t[s] != '\n' && t[s] != '\r') Classify(text, s);
  };
  if (AtLineStart(text, from, 1, true)) lineAt(from - 1);
  ForEachLineEnd(text.substr(0, stop > 0 ? stop - 1 : 0), from - 1, [&](std::size_t e) { lineAt(e + 1); });
}

void PreparedBlock::Prepare(std::string_view text, std::size_t from, std::size_t end) {
  index.Build(text, from, end);
  const std::size_t channels = index.Next(BlockLineIndex::kChannels, from);
  channelsOpen = channels == 0 ? 0 : index.Next(BlockLineIndex::kOpen, channels);
  if (channelsOpen != 0) {
    inner = ScanBlock(text, channelsOpen, end);
  } else {
    inner.empty.clear();
    inner.children.clear();
    inner.close = 0;
  }
}

struct BlocksAhead::Shared {
  static constexpr std::size_t kSlots = 16;

  std::string_view text;
  std::vector<std::pair<std::size_t, std::size_t>> stretches;
  std::array<PreparedBlock, kSlots> slots;  // stretch i is prepared in slot i % kSlots

  std::mutex lock;
  std::condition_variable helperWakes, takerWakes;
  // Under the lock:
  std::size_t built = 0;           // the helper's stretches before this are prepared
  std::size_t taken = 0;           // the stretches before this are no longer needed from the slots
  std::size_t helperWaitsFor = 0;  // while the helper sleeps: the stretch it is to prepare
  bool helperSleeps = false, takerSleeps = false;
  bool broken = false;  // the helper could not go on
  bool stop = false;

  std::size_t EndOf(std::size_t i) const {
    return stretches[i].second != 0 ? stretches[i].second : text.size();
  }

  bool Helpers(std::size_t i) const {
    const std::size_t from = stretches[i].first, end = EndOf(i);
    // A short stretch costs less to prepare than to hand over, and long ones
    // would make the blocks held ahead large.
    return end > from && end - from >= kShortest && end - from <= kLongest;
  }

  // Under the lock: a sleeping helper is woken once half the slots are free.
  void Taken(std::size_t count) {
    taken = count;
    if (helperSleeps && taken + kSlots / 2 > helperWaitsFor) helperWakes.notify_one();
  }

  void Help() {
    try {
      for (std::size_t i = 0; i < stretches.size(); ++i) {
        if (!Helpers(i)) continue;
        {
          // A slot is free once the stretch that used it last was taken;
          // a full ring waits for half of it, to be woken once for several.
          std::unique_lock<std::mutex> held(lock);
          if (taken + kSlots <= i) {
            helperSleeps = true;
            helperWaitsFor = i;
            helperWakes.wait(held, [&] { return stop || taken + kSlots / 2 > i; });
            helperSleeps = false;
          }
          if (stop) return;
        }
        slots[i % kSlots].Prepare(text, stretches[i].first, EndOf(i));
        const std::lock_guard<std::mutex> held(lock);
        built = i + 1;
        if (takerSleeps) takerWakes.notify_one();
      }
    } catch (...) {
      // Out of memory here: the taker prepares every block itself from now on.
      const std::lock_guard<std::mutex> held(lock);
      broken = true;
      takerWakes.notify_one();
    }
  }
};

BlocksAhead::BlocksAhead(std::string_view text, std::vector<std::pair<std::size_t, std::size_t>> stretches)
    : shared_(std::make_unique<Shared>()) {
  shared_->text = text;
  shared_->stretches = std::move(stretches);
  std::size_t helpers = 0;
  for (std::size_t i = 0; i < shared_->stretches.size() && helpers < 2; ++i) helpers += shared_->Helpers(i);
  if (helpers < 2) return;
  // Without a thread to spare, every block is prepared by the taker.
  StartHelperThreads(helper_, 1, [s = shared_.get()] { s->Help(); });
  helping_ = !helper_.empty();
}

BlocksAhead::~BlocksAhead() {
  if (helper_.empty()) return;
  {
    const std::lock_guard<std::mutex> held(shared_->lock);
    shared_->stop = true;
    shared_->helperWakes.notify_one();
  }
  helper_.clear();
}

void BlocksAhead::Take(std::size_t i, PreparedBlock& block) {
  Shared& s = *shared_;
  if (helping_ && s.Helpers(i)) {
    std::unique_lock<std::mutex> held(s.lock);
    s.Taken(i);
    if (s.built <= i && !s.broken) {
      s.takerSleeps = true;
      s.takerWakes.wait(held, [&] { return s.built > i || s.broken; });
      s.takerSleeps = false;
    }
    if (s.built > i) {
      std::swap(block, s.slots[i % Shared::kSlots]);
      s.Taken(i + 1);
      return;
    }
    helping_ = false;  // broken: from now on the taker prepares every block
  }
  block.Prepare(s.text, s.stretches[i].first, s.EndOf(i));
}

std::size_t BlocksAhead::size() const { return shared_->stretches.size(); }

std::pair<std::size_t, std::size_t> BlocksAhead::Stretch(std::size_t i) const {
  return shared_->stretches[i];
}

namespace {

// Whether the text at `s` begins with `word`: a comparison of a length known
// when compiled, made in place rather than through a call.
template <std::size_t N>
inline bool Begins(std::string_view text, std::size_t s, const char (&word)[N]) {
  return s + (N - 1) <= text.size() && std::memcmp(text.data() + s, word, N - 1) == 0;
}

}  // namespace

void BlockLineIndex::Classify(std::string_view text, std::size_t s) {
  const auto key = [&](const auto& word) { return Begins(text, s, word); };
  // The character after a word of `length` characters at `s`: '\n' at the end of the text.
  const auto after = [&](std::size_t length) { return s + length < text.size() ? text[s + length] : '\n'; };
  const auto wordEnd = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  const auto add = [&](Kind kind, std::size_t at) {
    if (at < end_) at_[kind].push_back(at);
  };
  add(kLine, s + 1);  // never an empty line
  switch (text[s]) {
    case '{': {
      add(kOpen, s + 1);
      // "{ }": the "}" closes the block on the same line.
      std::size_t j = s + 1;
      while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
      if (j < text.size() && text[j] == '}') add(kClose, j + 1);
      break;
    }
    case '}':
      add(kClose, s + 1);
      break;
    case 'n':
      if (key("name") && wordEnd(after(4))) {
        add(kName, s + 1);
        if (after(4) == ' ') add(kNameBlank, s + 1);
      }
      break;
    case 'h':
      if (key("hidden") && wordEnd(after(6))) {
        add(kHidden, s + 1);
        if (after(6) == ' ') add(kHiddenBlank, s + 1);
      }
      break;
    case 'k':
      if (key("keys") && RestOfLineIsBlank(text, s + 4)) {
        add(kKeys, s + 1);
        if (after(4) == ' ') add(kKeysBlank, s + 1);
      }
      if (key("k  ")) add(kKey, s + 1);
      break;
    case 'c':
      if (key("channels") && RestOfLineIsBlank(text, s + 8)) add(kChannels, s + 1);
      break;
    default:
      break;
  }
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

std::size_t BlockLineIndex::Prev(Kind kind, std::size_t limit, std::size_t length) {
  if (limit < length) return 0;
  // The key before the first one that starts too late.
  std::size_t& c = prevCursor_[kind];
  NextInSorted(at_[kind], c, limit + 2 - length);
  return c == 0 ? 0 : at_[kind][c - 1];
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
  const auto isSeparator = [](char c) { return c == '\n' || c == '\r' || c == ' ' || c == '\t'; };
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
  constexpr std::size_t kPollMask = (std::size_t{1} << 20) - 1;  // a poll a megabyte
  std::size_t i = 0;
  unsigned afterSeparator = 1;  // the start of the text counts as a line start
#ifdef __SSE2__
  // Sixteen characters at once: the masks of separators and of first letters
  // give the candidates, mostly none in a block. Every character below "!"
  // (and every byte from 0x80, compared as signed) stands for a separator
  // here: a candidate too many is turned away by keywordAt.
  const auto eq = [](__m128i v, char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
  const auto bits = [](__m128i m) { return static_cast<unsigned>(_mm_movemask_epi8(m)); };
  __m128i keyFirst[4] = {};
  for (std::size_t k = 0; k < 4 && keyCount != 0; ++k)
    keyFirst[k] = _mm_set1_epi8(keys[k < keyCount ? k : 0][0]);
  for (; i + 16 <= n; i += 16) {
    if ((i & kPollMask) == 0 && i != 0 && poll) poll();
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
    const unsigned separators = bits(_mm_cmpgt_epi8(_mm_set1_epi8('!'), v));
    const unsigned firsts =
        bits(_mm_or_si128(_mm_or_si128(eq(v, 'a'), eq(v, 'p')), _mm_or_si128(eq(v, 'l'), eq(v, 'c'))));
    const unsigned afterSeparators = ((separators << 1) | afterSeparator) & 0xFFFFu;
    for (unsigned c = firsts & afterSeparators; c != 0; c &= c - 1)
      keywordAt(i + static_cast<std::size_t>(__builtin_ctz(c)));
    afterSeparator = (separators >> 15) & 1u;
    if (pending == 0) continue;
    const unsigned keyFirsts =
        bits(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, keyFirst[0]), _mm_cmpeq_epi8(v, keyFirst[1])),
                          _mm_or_si128(_mm_cmpeq_epi8(v, keyFirst[2]), _mm_cmpeq_epi8(v, keyFirst[3]))));
    for (unsigned c = keyFirsts & afterSeparators; c != 0; c &= c - 1)
      keyAt(i + static_cast<std::size_t>(__builtin_ctz(c)));
  }
#endif
  for (; i < n; ++i) {
    if ((i & kPollMask) == 0 && i != 0 && poll) poll();
    if (afterSeparator != 0 && isFirst(t[i])) keywordAt(i);
    if (pending != 0) keyAt(i);
    afterSeparator = isSeparator(t[i]) ? 1 : 0;
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

std::string RemoveBlanksAfterLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool afterLf = false;
  for (char c : text) {
    if (afterLf && (c == ' ' || c == '\t')) continue;
    afterLf = c == '\n';
    out += c;
  }
  return out;
}

int ToInteger(double value) {
  const double r = RoundHalfEven(value);
  if (!(r >= -32768.0 && r <= 32767.0)) throw OverflowFault();
  return static_cast<int>(r);
}

}  // namespace vandrel
