#include "reader/channel_index.h"

#include <cstdint>
#include <cstring>

#include "common/byte_scan.h"
#include "common/text.h"

namespace vandrel {

void BlockLineIndex::Build(std::string_view text, std::size_t from, std::size_t end,
                           const std::function<void()>& tick) {
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
  const std::string_view lines = text.substr(0, stop > 0 ? stop - 1 : 0);
  // A large block's list of lines gets its room once: grown by doubling, it
  // was moved whole, at length, between two ticks.
  constexpr std::size_t kLargeBlock = std::size_t{4} << 20;
  if (stop - (from - 1) > kLargeBlock) {
    std::size_t ends = 0;
    bytes::ForEachLineEnd(lines, from - 1, [&](std::size_t) {
      if (++ends % (std::size_t{1} << 20) == 0 && tick) tick();
    });
    at_[kLine].reserve(ends + 1);
  }
  if (AtLineStart(text, from, 1, true)) lineAt(from - 1);
  std::size_t seen = 0;
  bytes::ForEachLineEnd(lines, from - 1, [&](std::size_t e) {
    lineAt(e + 1);
    if (++seen % 65536 == 0 && tick) tick();
  });
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

std::size_t BlockLineIndex::Prev(Kind kind, std::size_t limit, std::size_t length) {
  if (limit < length) return 0;
  // The key before the first one that starts too late.
  std::size_t& c = prevCursor_[kind];
  NextInSorted(at_[kind], c, limit + 2 - length);
  return c == 0 ? 0 : at_[kind][c - 1];
}

static_assert(int{ChannelIndex::kChannels} == int{BlockLineIndex::kChannels} &&
              int{ChannelIndex::kOpen} == int{BlockLineIndex::kOpen} &&
              int{ChannelIndex::kKeysBlank} == int{BlockLineIndex::kKeysBlank});

ChannelIndex::ChannelIndex(std::string_view text)
    : text_(text),
      prev_{BackwardFinder(text, "}", Match::Brace), BackwardFinder(text, "channels", Match::WholeLine)} {
  next_.reserve(kKeyCount);
  next_.emplace_back(text, "{", Match::Brace);
  next_.emplace_back(text, "}", Match::Brace);
  next_.emplace_back(text, "name", Match::LineKey);
  next_.emplace_back(text, "name ", Match::LineKey);
  next_.emplace_back(text, "hidden", Match::LineKey);
  next_.emplace_back(text, "hidden ", Match::LineKey);
  next_.emplace_back(text, "keys", Match::WholeLine);
  next_.emplace_back(text, "keys ", Match::WholeLine);
  next_.emplace_back(text, "channels", Match::WholeLine);
  next_.emplace_back(text, "\n");
  next_.emplace_back(text, " ");
}

void ChannelIndex::Prepare(std::size_t from, std::size_t end, const std::function<void()>& tick) {
  index_.Build(text_, from, end, tick);
  from_ = from;
}

std::size_t ChannelIndex::Prev(Key key, std::size_t limit) {
  const std::size_t length = key == kClose ? 1 : 8;
  if (limit != 0 && limit <= text_.size() && index_.Covers(limit + 1 - std::min(limit, length))) {
    const std::size_t at = index_.Prev(static_cast<BlockLineIndex::Kind>(key), limit, length);
    if (at != 0) return at;
  }
  return prev_[key == kClose ? 0 : 1].Prev(limit);
}

std::size_t ChannelIndex::FirstKeyFrame(std::size_t open, std::size_t close) {
  if (open == 0 || close < open) return 0;
  if (index_.Covers(open + 1) && close < index_.End()) {
    const std::size_t at = index_.Next(BlockLineIndex::kKey, open + 1);
    return at != 0 && at + 2 <= close ? at : 0;
  }
  // The keys as a stretch of their own: "k  " inside a name counts for nothing.
  const std::string_view keys = text_.substr(open - 1, close - open + 1);
  std::size_t k = InStr(2, keys, "k  ");
  while (k != 0 && !CountsAt(text_, open - 1 + k, 3, Match::LineStart)) k = InStr(k + 1, keys, "k  ");
  return k == 0 ? 0 : open - 1 + k;
}

std::size_t ChannelIndex::OpenChannels(std::size_t open, std::size_t blockEnd) {
  lines_.Reset(text_, from_, blockEnd);
  empty_.clear();
  children_.clear();
  closeCursor_ = 0;
  // Inside the prepared block the braces that count are all in its index:
  // the text is not walked again.
  if (open != 0 && index_.Covers(open) && blockEnd == index_.End())
    return InnerBlocksFromIndex(open, blockEnd);
  InnerBlocks inner = ScanBlock(text_, open, blockEnd);
  empty_ = std::move(inner.empty);
  children_ = std::move(inner.children);
  return inner.close;
}

std::size_t ChannelIndex::InnerBlocksFromIndex(std::size_t open, std::size_t limit) {
  const std::vector<std::size_t>& opens = index_.All(BlockLineIndex::kOpen);
  const std::vector<std::size_t>& closes = index_.All(BlockLineIndex::kClose);
  auto o = std::upper_bound(opens.begin(), opens.end(), open);
  auto c = std::upper_bound(closes.begin(), closes.end(), open);
  const std::size_t end = std::min(limit - 1, text_.size());  // braces at 1..end are looked at
  const auto blank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
  std::size_t close = limit;
  int depth = 1;
  for (;;) {
    const std::size_t nextOpen = o != opens.end() ? *o : SIZE_MAX;
    const std::size_t nextClose = c != closes.end() ? *c : SIZE_MAX;
    const std::size_t at = std::min(nextOpen, nextClose);
    if (at > end) break;
    if (at == nextClose) {
      ++c;
      if (--depth == 0) {
        close = at;
        break;
      }
      if (depth == 1) children_.back().second = at;
      continue;
    }
    ++o;
    std::size_t j = at;  // 0-based, after the "{"
    while (j < end && blank(text_[j])) ++j;
    if (depth == 1 && j < end && text_[j] == '}') {
      // A channel that holds nothing: its "}" is passed over.
      empty_.emplace_back(at, j + 1);
      children_.emplace_back(at, j + 1);
      c = std::lower_bound(c, closes.end(), j + 1);
      if (c != closes.end() && *c == j + 1) ++c;
    } else {
      if (depth == 1) children_.emplace_back(at, 0);
      ++depth;
    }
  }
  for (auto& child : children_)
    if (child.second == 0) child.second = close;
  return close;
}

std::size_t ChannelIndex::EmptyChannelAtOrAfter(std::size_t from) const {
  const auto e = std::lower_bound(empty_.begin(), empty_.end(), std::pair<std::size_t, std::size_t>(from, 0));
  return e == empty_.end() ? 0 : e->first;
}

std::size_t ChannelIndex::ChannelCloseAfter(std::size_t lineEnd) const {
  if (lineEnd == 0) return 0;
  const std::size_t n = text_.size();
  std::size_t q = lineEnd + 1;
  while (q <= n &&
         (text_[q - 1] == ' ' || text_[q - 1] == '\t' || text_[q - 1] == '\r' || text_[q - 1] == '\n'))
    ++q;
  // The channels are asked for in their order: the answer is mostly the
  // one after the last, looked for from there.
  std::size_t c = closeCursor_ <= children_.size() ? closeCursor_ : 0;
  if (c > 0 && children_[c - 1].first >= q) c = 0;
  for (int steps = 0; c < children_.size() && children_[c].first < q; ++c)
    if (++steps == 4) {
      c = static_cast<std::size_t>(std::lower_bound(children_.begin() + static_cast<std::ptrdiff_t>(c),
                                                    children_.end(),
                                                    std::pair<std::size_t, std::size_t>(q, 0)) -
                                   children_.begin());
      break;
    }
  closeCursor_ = c;
  return c < children_.size() && children_[c].first == q ? children_[c].second : 0;
}

}  // namespace vandrel
