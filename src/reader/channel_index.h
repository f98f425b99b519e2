// The index the channel reader asks its questions of: "the next key of a
// kind at or after a place", "the last one within 1..a limit", the channel
// line of a type and name, and the blocks directly inside a channels block.
// Behind it stand the line index of the block being read (gathered in one
// pass when the block is prepared) and, for what lies outside that block,
// one search with remembered positions per kind of key. Positions are
// 1-based: 0 = none.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "reader/channel_scan.h"

namespace vandrel {

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
  // Gathers the keys that start in characters from..end-1; `tick` is
  // called every so many lines (it may throw to cancel).
  void Build(std::string_view text, std::size_t from, std::size_t end,
             const std::function<void()>& tick = {});
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

// The occurrences of "<type> <name>" as a whole line in one block (nothing
// but blanks, TABs or a CR after the name up to the line end), found through
// the occurrences of "<type> " sorted by the rest of their line: a channel
// line that is looked for again after it was read is answered without
// searching the rest of the block, and "targetGeom Smile" never stands for
// "targetGeom SmileOpen".
class ChannelLineIndex {
 public:
  void Reset(std::string_view text, std::size_t from, std::size_t blockEnd) {
    text_ = text;
    from_ = from;
    blockEnd_ = blockEnd;
    // The lists of the types met so far keep their memory for the next
    // block; a file of very many types does not keep them all.
    ++block_;
    if (byType_.size() > 64) byType_.clear();
  }

  // What the Find below answers, when the line just read that holds the name
  // starts at `lineStart` (after line ends and indentation): that line is the
  // answer unless the same line stands earlier, which is looked for only
  // between `at` and it; none when the line starts before `at`. The type's
  // lines are then not gathered for the block.
  // `lineEnd` is the LF that ends that line (0 = none).
  std::size_t Find(const std::string& type, std::string_view name, std::size_t at, std::size_t lineStart,
                   std::size_t lineEnd, const BlockLineIndex& lines) {
    std::size_t q = lineStart;
    while (q >= 1 && q <= text_.size() &&
           (text_[q - 1] == ' ' || text_[q - 1] == '\t' || text_[q - 1] == '\n' || text_[q - 1] == '\r'))
      ++q;
    at = std::max(at, from_);
    // A line before the channel made last (read again on the way to the
    // next one) makes no channel: a later channel of the same type and name
    // is read in its turn, not in place of the channels between.
    if (q < at) return 0;
    if (q >= blockEnd_ || !CountsAt(text_, q, 1, Match::LineStart) || Rest(type, q, lineEnd) != name)
      return Find(type, name, at, lines);
    // The lines between `at` and it (the channel before) are looked at once,
    // through the block's index of lines.
    const std::vector<std::size_t>& starts = lines.All(BlockLineIndex::kLine);
    for (auto it = std::lower_bound(starts.begin(), starts.end(), at); it != starts.end() && *it < q; ++it)
      if (text_[*it - 1] == type[0] && Rest(type, *it) == name) return *it;
    return q;
  }

  // First occurrence at or after `at` that starts before the block's end; 0 = none.
  std::size_t Find(const std::string& type, std::string_view name, std::size_t at,
                   const BlockLineIndex& lines) {
    auto it = byType_.find(type);
    if (it == byType_.end()) it = byType_.emplace(type, TypeLines{}).first;
    if (it->second.block != block_) {
      Build(type, lines, it->second.entries);
      it->second.block = block_;
    }
    const std::vector<Entry>& entries = it->second.entries;
    const std::size_t hash = std::hash<std::string_view>()(name);
    for (auto e = std::lower_bound(entries.begin(), entries.end(), Entry{hash, at, {}});
         e != entries.end() && e->hash == hash; ++e)
      if (e->rest == name) return e->pos;
    return 0;
  }

 private:
  // The rest of the line after "<type> " at `q` up to its LF, without the
  // blanks, TABs and CRs at its end; the text at `q` must begin with the type.
  // `lineEnd`, when not npos, is the first LF at or after the line start
  // before q, 1-based (0 = none): the LF after q unless it lies before the rest.
  std::string_view RestAfter(std::size_t q, std::size_t keyLength, std::size_t lineEnd = npos) const {
    const std::size_t restAt = q - 1 + keyLength;
    std::size_t restEnd = lineEnd == npos ? npos : lineEnd == 0 ? text_.size() : lineEnd - 1;
    if (restEnd == npos || restEnd < restAt) restEnd = text_.find('\n', restAt);
    if (restEnd == npos) restEnd = text_.size();
    while (restEnd > restAt &&
           (text_[restEnd - 1] == ' ' || text_[restEnd - 1] == '\t' || text_[restEnd - 1] == '\r'))
      --restEnd;
    return text_.substr(restAt, restEnd - restAt);
  }

  // The rest after "<type> " when the text at `q` begins with it; a text
  // that cannot be a name (a LF) otherwise.
  std::string_view Rest(const std::string& type, std::size_t q, std::size_t lineEnd = npos) const {
    const std::string_view at = text_.substr(q - 1);
    if (at.size() <= type.size() || !at.starts_with(type) || at[type.size()] != ' ') return "\n";
    return RestAfter(q, type.size() + 1, lineEnd);
  }

  // A line's rest with its place, ordered by the rest's hash and then the
  // place: the lines of one name stand together in the order of the text.
  struct Entry {
    std::size_t hash;
    std::size_t pos;
    std::string_view rest;
    bool operator<(const Entry& other) const {
      return hash != other.hash ? hash < other.hash : pos < other.pos;
    }
  };

  // The lines of the block that begin with "<type> ", from the block's index
  // of lines (built for the same stretch of text).
  void Build(const std::string& type, const BlockLineIndex& lines, std::vector<Entry>& entries) const {
    entries.clear();
    const std::string key = type + " ";
    for (const std::size_t q : lines.All(BlockLineIndex::kLine)) {
      if (q < from_ || q >= blockEnd_ || text_[q - 1] != key[0] || text_.compare(q - 1, key.size(), key) != 0)
        continue;
      const std::string_view rest = RestAfter(q, key.size());
      entries.push_back(Entry{std::hash<std::string_view>()(rest), q, rest});
    }
    std::sort(entries.begin(), entries.end());
  }

  // The lines of one type, gathered for the block counted `block`.
  struct TypeLines {
    std::size_t block = 0;
    std::vector<Entry> entries;
  };

  static constexpr std::size_t npos = std::string_view::npos;
  std::string_view text_;
  std::size_t from_ = 1;
  std::size_t blockEnd_ = 0;
  std::size_t block_ = 0;  // counts the blocks read, from 1
  std::map<std::string, TypeLines, std::less<>> byType_;
};

class ChannelIndex {
 public:
  enum Key {
    kOpen,         // "{" (Match::Brace)
    kClose,        // "}" (Match::Brace)
    kName,         // "name" as a line's key (Match::LineKey)
    kNameBlank,    // "name "
    kHidden,       // "hidden"
    kHiddenBlank,  // "hidden "
    kKeys,         // "keys" as a whole line (Match::WholeLine)
    kKeysBlank,    // "keys " as a whole line
    kChannels,     // "channels" as a whole line
    kLineEnd,      // any LF
    kBlank,        // any blank
    kKeyCount
  };

  explicit ChannelIndex(std::string_view text);
  // The block from its header at `from` up to `end` (the next header or
  // the text's end) is read next; `tick` as for BlockLineIndex::Build.
  void Prepare(std::size_t from, std::size_t end, const std::function<void()>& tick = {});

  // The first key of `key` at or after `from`. Asked a dozen times a
  // channel, so it stands here, where the reader's calls can take it in.
  std::size_t Next(Key key, std::size_t from) {
    ForwardFinder& finder = next_[key];
    if (key == kLineEnd || key == kBlank || !index_.Covers(from)) return finder.Next(from);
    // The block's own keys are all in its index; past them the search goes
    // on from the block's end.
    const std::size_t at = index_.Next(static_cast<BlockLineIndex::Kind>(key), from);
    return at != 0 ? at : finder.Next(index_.End());
  }
  // The last "}" or "channels" line lying wholly within 1..limit.
  std::size_t Prev(Key key, std::size_t limit);
  // The first "k  " line (a key frame) inside the keys from the "{" at
  // `open` through the "}" at `close`.
  std::size_t FirstKeyFrame(std::size_t open, std::size_t close);

  // The channels block of the prepared block, opened by the "{" at `open`
  // (0 = none) and looked at before `blockEnd`; returns its "}" (`blockEnd`
  // when it does not close before). The channel questions below are then
  // answered for it.
  std::size_t OpenChannels(std::size_t open, std::size_t blockEnd);
  // How many blocks stand directly inside it (each is a channel).
  std::size_t ChannelCount() const { return children_.size(); }
  // The "{" of the first channel that holds nothing at or after `from`.
  std::size_t EmptyChannelAtOrAfter(std::size_t from) const;
  // The "}" of the channel whose "{" is the first thing after the LF at
  // `lineEnd`.
  std::size_t ChannelCloseAfter(std::size_t lineEnd) const;
  // The channel line "<type> <name>" (ChannelLineIndex::Find).
  std::size_t ChannelLine(const std::string& type, std::string_view name, std::size_t at,
                          std::size_t lineStart, std::size_t lineEnd) {
    return lines_.Find(type, name, at, lineStart, lineEnd, index_);
  }

 private:
  using Blocks = std::vector<std::pair<std::size_t, std::size_t>>;
  // OpenChannels for a channels block inside the prepared block, from the
  // braces of its line index.
  std::size_t InnerBlocksFromIndex(std::size_t open, std::size_t limit);
  std::string_view text_;
  BlockLineIndex index_;
  std::size_t from_ = 0;
  std::vector<ForwardFinder> next_;
  std::array<BackwardFinder, 2> prev_;  // "}", "channels"
  ChannelLineIndex lines_;
  Blocks empty_;
  Blocks children_;
  mutable std::size_t closeCursor_ = 0;  // where ChannelCloseAfter answered last
};

}  // namespace vandrel
