// Searches with remembered positions for the channel reader and its
// neighbours. The documented procedures search a keyword "at or after"
// positions that mostly grow; remembering the last answer keeps a keyword
// that is far away (or absent) from being looked for again over the same
// stretch of text. Positions are 1-based as in common/text.h: 0 = not found.
#pragma once

#include "reader/text_scan.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <array>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace vandrel {

// Which occurrences of a needle count.
enum class Match {
  Anywhere,
  // At the start of a line: after a line end (LF or CR) and its indentation
  // of blanks and TABs, or at the start of the text.
  LineStart,
  // As the line's own key: at the start of a line, and the needle is a whole
  // word there (a blank, TAB, CR, LF or the end of the text follows it, unless
  // the needle itself ends in a blank or a line end). "name" in "Surname" or
  // "hiddenBlink" counts for nothing.
  LineKey,
  // As a whole line: at the start of a line, and nothing but blanks, TABs and
  // CRs after the needle up to the LF that ends the line ("keys", "channels").
  // Lines edited by hand or by other tools often end in blanks.
  WholeLine,
  // A brace that opens or closes a block: "{" or "}" with only indentation
  // before it on its line, or a "}" that directly closes such a "{" on the
  // same line ("{ }"). The brace in a channel named "A}" counts for nothing.
  Brace,
};

// Whether the occurrence of a needle of `length` characters at `pos`
// (1-based) counts under `how`.
bool CountsAt(std::string_view text, std::size_t pos, std::size_t length, Match how);
bool BraceCountsAt(std::string_view text, std::size_t pos);
// Whether only blanks, TABs and CRs stand from 0-based `from` up to a LF.
bool RestOfLineIsBlank(std::string_view text, std::size_t from);

// InStr(from, text, needle) with the last answer remembered. A query before
// the previous one searches only the stretch between the two. Only the
// occurrences that count under `how` are found.
class ForwardFinder {
 public:
  ForwardFinder(std::string_view text, std::string needle, Match how = Match::Anywhere)
      : text_(text), needle_(std::move(needle)), how_(how) {}
  std::size_t Next(std::size_t from);

 private:
  // First counting occurrence that begins at or after `from` (1-based) and
  // ends by `end` (0-based, exclusive); 0 = none.
  std::size_t CountingIn(std::size_t from, std::size_t end) const;

  std::string_view text_;
  std::string needle_;
  Match how_ = Match::Anywhere;
  std::size_t lastFrom_ = 0;  // 0 = nothing asked yet
  std::size_t lastResult_ = 0;
};

// InStrRev(text, needle, limit): the last counting occurrence lying wholly
// within characters 1..limit, with the last answer remembered.
class BackwardFinder {
 public:
  BackwardFinder(std::string_view text, std::string needle, Match how = Match::Anywhere)
      : text_(text), needle_(std::move(needle)), how_(how) {}
  std::size_t Prev(std::size_t limit);

 private:
  // 0-based position (in the text) of the last counting occurrence inside
  // the text's first `end` characters at or after `start`, or npos.
  std::size_t LastIn(std::size_t start, std::size_t end) const;

  std::string_view text_;
  std::string needle_;
  Match how_ = Match::Anywhere;
  std::size_t lastLimit_ = 0;  // 0 = nothing asked yet
  std::size_t lastResult_ = 0;
};



// The position of the "}" when the "{" at `open` (1-based) is followed by
// nothing but blanks, TABs and line ends and then "}"; 0 otherwise. Only
// braces that open and close blocks count (Match::Brace).
std::size_t EmptyBlockClose(std::string_view text, std::size_t open);

// The block opened by the "{" at `open` (1-based), looked at before position
// `limit`: the empty blocks that stand directly inside it (a "{" followed by
// nothing but blanks, TABs and line ends and then "}"), as pairs of their two
// positions in order, every block directly inside it the same way, and the
// position of its own "}" (`limit` when it does not close before). Inside a
// channels block the empty blocks are the channels that hold nothing. Only
// braces that open and close blocks count (Match::Brace).
struct InnerBlocks {
  std::vector<std::pair<std::size_t, std::size_t>> empty;
  // Every block directly inside (an unclosed one closes at `close`).
  std::vector<std::pair<std::size_t, std::size_t>> children;
  std::size_t close = 0;
};
InnerBlocks ScanBlock(std::string_view text, std::size_t open, std::size_t limit);

// Calls `atLineEnd(i)` for every 0-based position i at or after `from`
// where `text` holds a LF or a CR, in order, looking at sixteen characters
// at once.
template <typename AtLineEnd>
void ForEachLineEnd(std::string_view text, std::size_t from, AtLineEnd atLineEnd) {
  const char* t = text.data();
  const std::size_t n = text.size();
  std::size_t i = from;
#ifdef __SSE2__
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
    unsigned mask =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
    while (mask != 0) {
      atLineEnd(i + static_cast<std::size_t>(__builtin_ctz(mask)));
      mask &= mask - 1;
    }
  }
#endif
  for (; i < n; ++i)
    if (t[i] == '\n' || t[i] == '\r') atLineEnd(i);
}

// The first of the ascending `positions` at or after `from`; 0 = none.
// `cursor` keeps the index of the last answer: the questions mostly ask for
// it again or for the one after it, and a search further away starts there.
std::size_t SeekInSorted(const std::vector<std::size_t>& positions, std::size_t& cursor, std::size_t from);
inline std::size_t NextInSorted(const std::vector<std::size_t>& positions, std::size_t& cursor,
                                std::size_t from) {
  std::size_t& c = cursor;
  const std::size_t n = positions.size();
  if (c < n && positions[c] >= from) {
    if (c == 0 || positions[c - 1] < from) return positions[c];
  } else if (c < n) {
    // A few steps forward are taken one by one.
    for (std::size_t i = c + 1; i < n && i <= c + 4; ++i)
      if (positions[i] >= from) return positions[c = i];
  }
  return SeekInSorted(positions, cursor, from);
}

// The lines of one stretch of text (an object block) that begin, after their
// indentation, with a key the channel reader looks for, gathered in one pass
// over the stretch: a question "next such key at or after p" or "last one
// before p" inside the stretch is then answered without searching the text.
// A key counts as under Match::LineKey, a whole-line key as under
// Match::WholeLine and the braces as under Match::Brace. Positions are 1-based.
class BlockLineIndex {
 public:
  enum Kind {
    kOpen,         // "{"
    kClose,        // "}"
    kName,         // "name"
    kNameBlank,    // "name "
    kHidden,       // "hidden"
    kHiddenBlank,  // "hidden "
    kKeys,         // "keys" as a whole line (Match::WholeLine)
    kKeysBlank,    // "keys " as a whole line
    kChannels,     // "channels" as a whole line
    kKey,          // "k  " (a key frame)
    kLine,         // any line that holds more than indentation
    kKindCount
  };
  // Gathers the keys that start in characters from..end-1.
  void Build(std::string_view text, std::size_t from, std::size_t end);
  // Whether the keys starting at `pos` are all known.
  bool Covers(std::size_t pos) const { return pos >= from_ && pos < end_; }
  std::size_t End() const { return end_; }
  // The first key of `kind` starting at or after `from` in the stretch; 0 = none there.
  std::size_t Next(Kind kind, std::size_t from) { return NextInSorted(at_[kind], cursor_[kind], from); }
  // The last key of `kind` (of `length` characters) lying wholly within
  // characters 1..limit and starting in the stretch; 0 = none there.
  std::size_t Prev(Kind kind, std::size_t limit, std::size_t length);
  // Every key of `kind` in the stretch, in order.
  const std::vector<std::size_t>& All(Kind kind) const { return at_[kind]; }

 private:
  void Classify(std::string_view text, std::size_t s);  // 0-based first character after indentation
  std::array<std::vector<std::size_t>, kKindCount> at_;
  std::array<std::size_t, kKindCount> cursor_{};      // index of the last answer of each kind
  std::array<std::size_t, kKindCount> prevCursor_{};  // index of the key after the last Prev answer
  std::size_t from_ = 0;
  std::size_t end_ = 0;
};

// What the channel reader needs of a block before reading it: its line
// index and, when the index holds its "channels" line and the "{" after it,
// the blocks directly inside that "{" (up to the stretch's end).
struct PreparedBlock {
  BlockLineIndex index;
  std::size_t channelsOpen = 0;  // that "{" (0 = not prepared)
  InnerBlocks inner;
  void Prepare(std::string_view text, std::size_t from, std::size_t end);
};

// The blocks of a run of stretches of one text, prepared in order on a
// helper thread a few stretches ahead of the reader that takes them, so that
// the reader's own thread only reads. Without a thread to spare, and for a
// stretch of under a few kilobytes or over a few hundred, the taker prepares
// the block itself. The text must stay as it is while the object lives.
class BlocksAhead {
 public:
  // The sizes of the stretches the helper prepares.
  static constexpr std::size_t kShortest = std::size_t{2} << 10;
  static constexpr std::size_t kLongest = std::size_t{512} << 10;

  // Each stretch as PreparedBlock::Prepare takes it: from, end (0 = the text's end).
  BlocksAhead(std::string_view text, std::vector<std::pair<std::size_t, std::size_t>> stretches);
  std::size_t size() const;
  std::pair<std::size_t, std::size_t> Stretch(std::size_t i) const;
  ~BlocksAhead();
  BlocksAhead(const BlocksAhead&) = delete;
  BlocksAhead& operator=(const BlocksAhead&) = delete;
  // Stretch `i` prepared into `block`; the stretches are asked for in
  // order (one that is not needed may be left out).
  void Take(std::size_t i, PreparedBlock& block);

 private:
  struct Shared;
  std::unique_ptr<Shared> shared_;
  bool helping_ = false;
  std::vector<std::jthread> helper_;  // none or one
};

// The line starts of the four object keywords, gathered in one pass over the
// text: exactly the positions ForwardFinder(text, keyword, Match::LineStart)
// finds for each, so that the next block after a position, the headers
// before a limit and the headers of one kind are answered without searching
// the text again. The same pass notes the first line that begins, directly
// after a LF, with each of up to four further keys. Positions are 1-based.
class ObjectKeywords {
 public:
  static constexpr std::array<std::string_view, 4> kWords = {"actor ", "prop ", "light ", "camera "};
  // `poll`, when given, is called after every megabyte of the text.
  explicit ObjectKeywords(std::string_view text, std::initializer_list<std::string_view> afterLf = {},
                          const std::function<void()>& poll = {});
  // The first line start of keyword `k` at or after `from`; 0 = none.
  std::size_t Next(std::size_t k, std::size_t from) { return NextInSorted(at_[k], cursor_[k], from); }
  // How many keywords lie wholly within characters 1..limit.
  std::size_t CountWithin(std::size_t limit) const;
  // Every line start of keyword `k`, in order.
  const std::vector<std::size_t>& All(std::size_t k) const { return at_[k]; }
  // The index of `kind` followed by a blank among the keywords; -1 = none.
  static int IndexOf(std::string_view kind);
  // InStr(text, LF + afterLf[i]): the position of that LF; 0 = none.
  std::size_t FirstAfterLf(std::size_t i) const { return firstAfterLf_[i]; }

 private:
  std::array<std::vector<std::size_t>, 4> at_;
  std::array<std::size_t, 4> cursor_{};
  std::array<std::size_t, 4> firstAfterLf_{};
};

// Removes every blank and TAB that directly follows a line end (LF): the same
// as replacing LF blank and LF TAB by LF until none is left.
std::string RemoveBlanksAfterLineEnds(std::string_view text);

// The 16-bit integer the original stores a rounded value in; a value that
// does not fit fails the read with the overflow error.
int ToInteger(double value);

}  // namespace vandrel
