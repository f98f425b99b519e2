#include "reader/group_split.h"

#include <cstdint>
#include <limits>
#include <random>
#include <string_view>
#include <unordered_map>

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
  // at its end: a name stands there as a whole line when it equals it.
  std::string_view Key(std::size_t k) const {
    std::size_t stop = Start(k);
    const std::size_t end = End(k);
    while (stop < end && text_[stop] != '\n' && text_[stop] != '{') ++stop;
    while (stop > Start(k) && (text_[stop - 1] == ' ' || text_[stop - 1] == '\t')) --stop;
    return text_.substr(Start(k), stop - Start(k));
  }
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

// The lines of one key, in text order, with the first one not yet removed.
struct KeyLines {
  std::vector<std::size_t> lines;
  std::size_t cursor = 0;
  // The first line of the key still in the text, or npos.
  std::size_t First(LineIndex& index) {
    while (cursor < lines.size() && index.Alive(lines[cursor]) != lines[cursor]) ++cursor;
    return cursor < lines.size() ? lines[cursor] : npos;
  }
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
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
  std::unordered_map<std::string_view, KeyLines> byKey;
  for (std::size_t i = first; i < parts.size(); ++i) {
    if (!IndexableEntry(entries[i])) return false;
    byKey.try_emplace(entries[i]);
  }
  if (figureFirst) byKey.try_emplace("figure");

  // The windows repaint every so many lines or groups.
  std::size_t ticks = 0;
  const std::function<void()> tick = [&] {
    if (++ticks % 8192 == 0 && yield) yield();
  };
  LineIndex index(text, tick);
  for (std::size_t k = 0; k < index.Lines(); ++k) {
    if (auto it = byKey.find(index.Key(k)); it != byKey.end()) it->second.lines.push_back(k);
    tick();
  }

  // A group's text begins with its first line, LF included, and each copy of
  // the text begins with a copy of that line: the end of some line of the
  // text. Where no other line ends as that one does, the removal takes the
  // group's text alone.
  const SuffixHash hash;
  std::unordered_map<std::uint64_t, std::size_t> copies;
  std::size_t shortest = static_cast<std::size_t>(-1), longest = 0;
  bool firsts[256] = {};
  for (const auto& [key, keyLines] : byKey)
    for (const std::size_t k : keyLines.lines) {
      if (!index.EndsWithLf(k)) continue;
      const std::string_view line = index.Line(k).substr(0, index.Line(k).size() - 1);
      copies.try_emplace(hash.Of(line), 0);
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
      if (length >= shortest && firsts[c])
        if (auto it = copies.find(h); it != copies.end()) ++it->second;
    }
  }

  std::vector<std::string> taken(parts.size());
  const auto cut = [&](std::size_t from, std::size_t to) {
    std::string part;
    for (std::size_t k = index.Alive(from); k < to; k = index.Alive(k + 1)) {
      part.append(index.Line(k));
      index.Remove(k);
    }
    return part;
  };
  KeyLines* figures = figureFirst ? &byKey.at("figure") : nullptr;
  for (std::size_t i = first; i < parts.size(); ++i) {
    const std::size_t k = byKey.at(entries[i]).First(index);
    if (k == KeyLines::npos || !index.EndsWithLf(k)) return false;
    const std::string_view line = index.Line(k).substr(0, index.Line(k).size() - 1);
    if (copies.at(hash.Of(line)) != 1) return false;
    std::size_t to = index.Lines();
    if (figures != nullptr) {
      const std::size_t figure = figures->First(index);
      if (figure != KeyLines::npos && figure > k) to = figure;
    }
    taken[i] = cut(k, to);
    tick();
  }
  if (figures != nullptr) {
    const std::size_t figure = figures->First(index);
    if (figure == KeyLines::npos) {
      // What is left whole: the text before the first line and every line.
      taken[0].assign(text.substr(0, index.Lines() == 0 ? text.size() : index.Start(0)));
      taken[0] += cut(0, index.Lines());
    } else {
      taken[0] = cut(figure, index.Lines());
    }
  }
  for (std::size_t i = figureFirst ? 0 : first; i < parts.size(); ++i) parts[i] = std::move(taken[i]);
  whole = parts[0];
  return true;
}

}  // namespace vandrel
