// Searches with remembered positions for the channel reader and its
// neighbours. The documented procedures search a keyword "at or after"
// positions that mostly grow; remembering the last answer keeps a keyword
// that is far away (or absent) from being looked for again over the same
// stretch of text. Positions are 1-based as in common/text.h: 0 = not found.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "reader/text_scan.h"

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

// The nearest object block from a position of the whole text, as
// NextObjectBlock answers for the text from that position on. A keyword
// begins a block only at the start of a line (after its indentation): "prop "
// inside a dial's "name lift prop arm" line starts nothing (ObjectKeywords).
class ObjectBlockFinder {
 public:
  explicit ObjectBlockFinder(std::string_view text)
      : text_(text), own_(text), keys_(own_), brace_(text, "{"), lineEnd_(text, "\n") {}
  // With the keyword positions of the reader, shared by its finders: the
  // text is then gone through once for all of them.
  ObjectBlockFinder(std::string_view text, ObjectKeywords& keys)
      : text_(text), own_({}), keys_(keys), brace_(text, "{"), lineEnd_(text, "\n") {}

  // The keyword's index (-1 = none) and how many characters were skipped.
  std::pair<int, std::size_t> Next(std::size_t from, bool checkEmpty) {
    std::size_t start = from;
    std::array<std::size_t, 4> pos{};
    std::size_t nearest = 0;
    for (;;) {
      nearest = 0;
      bool restart = false;
      for (std::size_t k = 0; k < ObjectKeywords::kWords.size(); ++k) {
        pos[k] = keys_.Next(k, start);
        if (pos[k] == 0) continue;
        if (nearest == 0) {
          nearest = pos[k];
          continue;
        }
        if (pos[k] >= nearest) continue;
        if (checkEmpty && IsEmptyBlock(pos[k])) {
          // The search starts again a header line's length further on, as
          // often as it takes to pass the empty block (every round before
          // that finds the same keywords).
          const std::size_t length = HeaderLength(pos[k]);
          start += length * ((pos[k] - start) / length + 1);
          restart = true;
          break;
        }
        nearest = pos[k];
      }
      if (!restart) break;
    }
    if (nearest == 0) return {-1, 0};
    for (std::size_t k = 0; k < ObjectKeywords::kWords.size(); ++k)
      if (pos[k] == nearest) return {static_cast<int>(k), start - from};
    return {-1, 0};
  }

 private:
  // A block whose first twenty characters from its "{" hold "}" with only
  // line ends, blanks and TABs between.
  bool IsEmptyBlock(std::size_t at) {
    const std::size_t open = brace_.Next(at);
    if (open == 0) return false;
    const std::string_view twenty = text_.substr(open - 1, 20);
    const std::size_t close = twenty.find('}');
    if (close == std::string_view::npos) return false;
    std::string rest;
    for (char c : twenty.substr(0, close + 1))
      if (c != '\n' && c != ' ' && c != '\t' && c != '\r') rest += c;
    return rest == "{}";
  }

  // From the keyword to the character before the next LF (the end of the
  // text when there is none).
  std::size_t HeaderLength(std::size_t at) {
    const std::size_t lf = lineEnd_.Next(at);
    return lf == 0 ? text_.size() - at + 1 : lf - at;
  }

  std::string_view text_;
  ObjectKeywords own_;
  ObjectKeywords& keys_;
  ForwardFinder brace_;
  ForwardFinder lineEnd_;
};

}  // namespace vandrel
