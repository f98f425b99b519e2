#include "reader/group_split.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

#include "common/text_slots.h"
#include "reader/text_scan.h"

namespace vandrel {
namespace {

// Hashes of texts modulo 2^61 - 1 with a base drawn for each run: two texts
// made to share a hash do not share it every time. A text's hash is built
// from its last character to its first, so that the hashes of every end of
// a line come in one pass over it.
class SuffixHash {
 public:
  static constexpr std::uint64_t kMod = (std::uint64_t{1} << 61) - 1;
  SuffixHash() {
    std::random_device seed;
    base_ = (static_cast<std::uint64_t>(seed()) << 32 | seed()) % (kMod - 512) + 256;
  }
  // The hash of `c` followed by the text whose hash is `h`.
  std::uint64_t Before(unsigned char c, std::uint64_t h) const {
    const unsigned __int128 p = static_cast<unsigned __int128>(h) * base_;
    std::uint64_t r = static_cast<std::uint64_t>(p & kMod) + static_cast<std::uint64_t>(p >> 61) + c;
    r = (r & kMod) + (r >> 61);
    return r >= kMod ? r - kMod : r;
  }
  std::uint64_t Of(std::string_view text) const {
    std::uint64_t h = 0;
    for (std::size_t i = text.size(); i-- > 0;) h = Before(static_cast<unsigned char>(text[i]), h);
    return h;
  }

 private:
  std::uint64_t base_ = 0;
};

// Whether the index can find `entry` as the lines' key: a name that holds no
// line end or "{" and ends in neither a blank nor a TAB.
bool IndexableEntry(std::string_view entry) {
  if (entry.empty() || entry.back() == ' ' || entry.back() == '\t') return false;
  return entry.find_first_of("\n\r{") == std::string_view::npos;
}

// A place or line number in a text the index takes: under 4 GiB, so that
// the index of a million lines holds half the bytes.
using Place = std::uint32_t;
constexpr std::size_t kMaxIndexedText = std::numeric_limits<Place>::max();

class LineIndex {
 public:
  LineIndex(std::string_view text, const std::function<void()>& tick) : text_(text) {
    // Room for the lines is made once: a list grown by doubling holds up to
    // twice what it needs.
    starts_.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) {
      starts_.push_back(static_cast<Place>(lf + 1));
      tick();
    }
    // The text after the last LF is a line too, when there is any.
    if (!starts_.empty() && starts_.back() == text.size()) starts_.pop_back();
    next_.resize(starts_.size() + 1);
    for (std::size_t k = 0; k < next_.size(); ++k) next_[k] = static_cast<Place>(k);
  }

  std::size_t Lines() const { return starts_.size(); }
  std::size_t Start(std::size_t k) const { return starts_[k]; }
  std::size_t End(std::size_t k) const { return k + 1 < starts_.size() ? starts_[k + 1] : text_.size(); }
  bool EndsWithLf(std::size_t k) const { return text_[End(k) - 1] == '\n'; }
  // The line's text up to its first LF or "{", without the blanks and TABs
  // at its end (the text holds no CR): a name stands there as a whole line
  // when it equals it.
  std::string_view Key(std::size_t k) const { return WholeLineText(text_, Start(k) + 1, true, false); }
  std::string_view Line(std::size_t k) const { return text_.substr(Start(k), End(k) - Start(k)); }

  // The first line from `k` on that is still in the text (Lines() when none).
  std::size_t Alive(std::size_t k) {
    Place root = static_cast<Place>(k);
    while (next_[root] != root) root = next_[root];
    while (next_[k] != root) {
      const Place up = next_[k];
      next_[k] = root;
      k = up;
    }
    return root;
  }
  void Remove(std::size_t k) { next_[k] = static_cast<Place>(k + 1); }

 private:
  std::string_view text_;
  std::vector<Place> starts_;  // 0-based, each right after a LF
  std::vector<Place> next_;    // the lines removed point on
};

// The lines of each key, in text order, with the first one not yet removed:
// the keys are numbered in a table found by their text, and their lines lie
// one key after another in one list (a few bytes a key, where a map of lists
// takes about a hundred).
class KeyLines {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  // The number of `key`, given it a new one when it has none yet.
  Place Add(std::string_view key) {
    Place& slot = slots_.Slot(key, keys_);
    if (slot == TextSlots<Place>::kFree) {
      slot = static_cast<Place>(keys_.size());
      keys_.push_back(key);
    }
    return slot;
  }
  // Room for `most` keys; called before the first Add.
  void Reserve(std::size_t most) {
    slots_.Reserve(most);
    keys_.reserve(most);
  }
  // The number of `key`, or npos.
  std::size_t Find(std::string_view key) const {
    const Place slot = slots_.Find(key, keys_);
    return slot == TextSlots<Place>::kFree ? npos : slot;
  }

  // Gathers the lines of the keys from the index, in one pass over it.
  void Gather(const LineIndex& index, const std::function<void()>& tick) {
    std::vector<std::pair<Place, Place>> hits;  // key, line
    first_.assign(keys_.size() + 1, 0);
    for (std::size_t k = 0; k < index.Lines(); ++k) {
      if (const std::size_t key = Find(index.Key(k)); key != npos) {
        hits.emplace_back(static_cast<Place>(key), static_cast<Place>(k));
        ++first_[key + 1];
      }
      tick();
    }
    for (std::size_t key = 0; key < keys_.size(); ++key) first_[key + 1] += first_[key];
    cursor_.assign(first_.begin(), first_.end() - 1);
    lines_.resize(hits.size());
    for (const auto& [key, line] : hits) lines_[cursor_[key]++] = line;
    cursor_.assign(first_.begin(), first_.end() - 1);
  }
  // Every line of every key.
  const std::vector<Place>& AllLines() const { return lines_; }

  // The first line of key number `key` still in the text, or npos.
  std::size_t First(std::size_t key, LineIndex& index) {
    Place& cursor = cursor_[key];
    while (cursor < first_[key + 1] && index.Alive(lines_[cursor]) != lines_[cursor]) ++cursor;
    return cursor < first_[key + 1] ? lines_[cursor] : npos;
  }

 private:
  std::vector<std::string_view> keys_;
  TextSlots<Place> slots_;
  std::vector<Place> first_;   // where each key's lines begin in lines_, and the end
  std::vector<Place> lines_;   // the lines of key 0, then of key 1, ...
  std::vector<Place> cursor_;  // each key's first line that may be alive
};

// How many lines of the text end as each group's first line does, found by
// the hash of that line: open addressing, made once for all the groups.
class CopyCounts {
 public:
  explicit CopyCounts(std::size_t most) : hashes_(TableSize(most), kFree), counts_(hashes_.size(), 0) {}
  void Add(std::uint64_t hash) { hashes_[SlotOf(hash)] = hash; }
  // Counts one more copy of `hash` when it is one of the groups'.
  void Count(std::uint64_t hash) {
    const std::size_t s = SlotOf(hash);
    if (hashes_[s] == hash && counts_[s] != std::numeric_limits<Place>::max()) ++counts_[s];
  }
  Place CountOf(std::uint64_t hash) const { return counts_[SlotOf(hash)]; }

 private:
  // Hashes lie below 2^61: the highest value marks a free slot.
  static constexpr std::uint64_t kFree = std::numeric_limits<std::uint64_t>::max();
  std::size_t SlotOf(std::uint64_t hash) const {
    const std::size_t mask = hashes_.size() - 1;
    std::size_t s = static_cast<std::size_t>(hash ^ (hash >> 29)) & mask;
    while (hashes_[s] != kFree && hashes_[s] != hash) s = (s + 1) & mask;
    return s;
  }
  std::vector<std::uint64_t> hashes_;
  std::vector<Place> counts_;
};

}  // namespace

bool SplitGroupTexts(std::string& whole, std::vector<std::string>& parts, std::size_t first,
                     const ObjectList& entries, bool figureFirst, const std::function<void()>& yield) {
  const std::string_view text = whole;
  // A few groups are split as quickly entry by entry, without the index.
  if (parts.size() < first + 64) return false;
  if (text.find('\r') != std::string_view::npos) return false;
  if (text.size() >= kMaxIndexedText) return false;
  if (entries.size() < parts.size()) return false;
  KeyLines keys;
  keys.Reserve(parts.size() - first + 1);
  for (std::size_t i = first; i < parts.size(); ++i) {
    if (!IndexableEntry(entries[i])) return false;
    keys.Add(entries[i]);
  }
  const std::size_t figureKey = figureFirst ? keys.Add("figure") : KeyLines::npos;

  // The windows repaint every so many lines or groups.
  std::size_t ticks = 0;
  const std::function<void()> tick = [&] {
    if (++ticks % 8192 == 0 && yield) yield();
  };
  LineIndex index(text, tick);
  keys.Gather(index, tick);

  // A group's text begins with its first line, LF included, and each copy of
  // the text begins with a copy of that line: the end of some line of the
  // text. Where no other line ends as that one does, the removal takes the
  // group's text alone.
  const SuffixHash hash;
  CopyCounts copies(keys.AllLines().size());
  std::size_t shortest = static_cast<std::size_t>(-1), longest = 0;
  bool firsts[256] = {};
  for (const std::size_t k : keys.AllLines()) {
    if (!index.EndsWithLf(k)) continue;
    const std::string_view line = index.Line(k).substr(0, index.Line(k).size() - 1);
    copies.Add(hash.Of(line));
    shortest = std::min(shortest, line.size());
    longest = std::max(longest, line.size());
    firsts[static_cast<unsigned char>(line[0])] = true;
  }
  for (std::size_t from = 0, lf = text.find('\n'); lf != std::string_view::npos;
       from = lf + 1, lf = text.find('\n', from)) {
    tick();
    if (lf - from < shortest) continue;
    std::uint64_t h = 0;
    for (std::size_t q = lf; q-- > from;) {
      const unsigned char c = static_cast<unsigned char>(text[q]);
      h = hash.Before(c, h);
      const std::size_t length = lf - q;
      if (length > longest) break;
      if (length >= shortest && firsts[c]) copies.Count(h);
    }
  }

  // The lines from `from` on that are still in the text, up to `to`, leave
  // it and end `part`, which is given its size once.
  const auto cut = [&](std::size_t from, std::size_t to, std::string& part) {
    std::size_t size = part.size();
    for (std::size_t k = index.Alive(from); k < to; k = index.Alive(k + 1)) size += index.Line(k).size();
    part.reserve(size);
    for (std::size_t k = index.Alive(from); k < to; k = index.Alive(k + 1)) {
      part.append(index.Line(k));
      index.Remove(k);
    }
  };
  // The parts go straight into their places; a split given up on the way
  // empties those it filled (the caller then splits entry by entry).
  const auto giveUp = [&](std::size_t filled) {
    for (std::size_t i = first; i < filled; ++i) std::string().swap(parts[i]);
    return false;
  };
  for (std::size_t i = first; i < parts.size(); ++i) {
    const std::size_t k = keys.First(keys.Find(entries[i]), index);
    if (k == KeyLines::npos || !index.EndsWithLf(k)) return giveUp(i);
    const std::string_view line = index.Line(k).substr(0, index.Line(k).size() - 1);
    if (copies.CountOf(hash.Of(line)) != 1) return giveUp(i);
    std::size_t to = index.Lines();
    if (figureKey != KeyLines::npos) {
      const std::size_t figure = keys.First(figureKey, index);
      if (figure != KeyLines::npos && figure > k) to = figure;
    }
    parts[i].clear();
    cut(k, to, parts[i]);
    tick();
  }
  if (figureKey != KeyLines::npos) {
    const std::size_t figure = keys.First(figureKey, index);
    parts[0].clear();
    if (figure == KeyLines::npos) {
      // What is left whole: the text before the first line and every line.
      parts[0].assign(text.substr(0, index.Lines() == 0 ? text.size() : index.Start(0)));
      cut(0, index.Lines(), parts[0]);
    } else {
      cut(figure, index.Lines(), parts[0]);
    }
  }
  whole = parts[0];
  return true;
}

}  // namespace vandrel
