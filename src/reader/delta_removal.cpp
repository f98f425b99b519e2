#include "reader/delta_removal.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "common/byte_scan.h"
#include "reader/channel_scan.h"

namespace vandrel {
namespace {

constexpr std::string_view kDeltas = "deltas";

struct CancelledStrip {};

// A piece's "}" not known yet: it is searched.
constexpr std::size_t kSearch = std::string_view::npos - 1;

// A long piece goes out in stretches of this size, with a poll between them.
constexpr std::size_t kAppendStretch = std::size_t{4} << 20;

// The first "deltas" at or after `from`. It is looked for by its "t", which
// the lines of a deltas block ("d 12 0.1 -0.2 0.3") never hold, so that the
// search runs through a block as one memchr; searching by its "d" stopped at
// every line.
std::size_t FindDeltas(std::string_view text, std::size_t from) {
  constexpr std::size_t kT = 3;  // "del" comes before it
  for (std::size_t t = from + kT; t < text.size(); ++t) {
    const void* hit = std::memchr(text.data() + t, 't', text.size() - t);
    if (hit == nullptr) break;
    t = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    if (text.substr(t - kT, kDeltas.size()) == kDeltas) return t - kT;
  }
  return std::string_view::npos;
}

// Where the text without its deltas goes: a string of its own, or the
// text's own bytes from their start. The writing never overtakes the
// reading, since the text only loses characters on the way.
class Output {
 public:
  explicit Output(std::string& text) : text_(&text) {}
  explicit Output(char* bytes) : bytes_(bytes) {}

  void Append(std::string_view part) {
    if (text_ != nullptr) {
      text_->append(part);
    } else if (!part.empty()) {
      std::memmove(bytes_ + size_, part.data(), part.size());
      size_ += part.size();
    }
  }
  void Push(char c) {
    if (text_ != nullptr)
      text_->push_back(c);
    else
      bytes_[size_++] = c;
  }
  std::size_t size() const { return text_ != nullptr ? text_->size() : size_; }
  // Right after the last byte written.
  char* End() { return text_ != nullptr ? text_->data() + text_->size() : bytes_ + size_; }

 private:
  std::string* text_ = nullptr;
  char* bytes_ = nullptr;
  std::size_t size_ = 0;
};

class Stripper {
 public:
  Stripper(bool toLf, Host& host) : host_(host), toLf_(toLf) {}

  // One piece through the four passes, appended to `out`. A piece holds
  // "deltas" at most at its start. `close` is where the piece's first "}"
  // stands in it (npos: it has none), or kSearch.
  void Piece(std::string_view piece, std::size_t close, Output& out) {
    // Line ends: two CR or more all become LF; a single CR stays. (Text
    // whose line ends all become LF has none left for this pass.) Each CR
    // is turned as it goes out, without a copy of the piece.
    const std::size_t firstCr = toLf_ ? std::string_view::npos : piece.find('\r');
    const bool crToLf = firstCr != std::string_view::npos && piece.rfind('\r') != firstCr;
    if (crToLf) Step();
    const std::size_t kept = KeptFrom(piece, close, crToLf);
    if (kept != std::string_view::npos) Append(out, piece.substr(kept), crToLf);
  }

  // The last three passes, read from the piece as the first leaves it:
  // "deltas " LF and "deltas " CR become "deltas" LF, and the block from
  // "deltas" LF through its first "}" goes (a block that never closes ends
  // the piece). Gives where what is kept of the piece begins (npos: none).
  std::size_t KeptFrom(std::string_view piece, std::size_t close, bool crToLf) {
    // A piece holds "deltas" at its start or not at all.
    if (!piece.starts_with(kDeltas)) return 0;
    const auto turned = [crToLf](char c) { return crToLf && c == '\r' ? '\n' : c; };
    const std::string_view next = piece.substr(kDeltas.size(), 2);
    const auto lineEnd = [this](char c) { return c == '\n' || (toLf_ && c == '\r'); };
    bool block = !next.empty() && lineEnd(turned(next[0]));
    if (next.size() == 2 && next[0] == ' ' && (lineEnd(turned(next[1])) || turned(next[1]) == '\r')) {
      Step();  // the blank (and the CR) changed
      block = true;
    }
    if (!block) return 0;
    // The changed characters hold no "}": the block ends where it would in
    // the changed piece, and the piece's first "}" is the block's.
    const std::size_t end = close == kSearch ? piece.find('}') : close;
    Step();
    return end == std::string_view::npos ? std::string_view::npos : end + 1;
  }

  // Appends `part` a stretch at a time with a poll between (a text with
  // few "deltas" is one long piece): its CR LF and lone CR as LF when every
  // line end becomes LF, each CR as LF with `crToLf`.
  void Append(Output& out, std::string_view part, bool crToLf) {
    while (!part.empty()) {
      std::size_t n = std::min(part.size(), kAppendStretch);
      // A CR LF stays within one stretch.
      if (n < part.size() && part[n - 1] == '\r') ++n;
      AppendStretch(out, part.substr(0, n), crToLf);
      part.remove_prefix(n);
      if (!part.empty()) Step();
    }
  }

  void AppendStretch(Output& out, std::string_view part, bool crToLf) const {
    if (!toLf_) {
      out.Append(part);
      if (crToLf) bytes::CrToLf(out.End() - part.size(), part.size());
      return;
    }
    std::size_t from = 0;
    for (std::size_t cr = part.find('\r'); cr != std::string_view::npos; cr = part.find('\r', from)) {
      out.Append(part.substr(from, cr - from));
      out.Push('\n');
      from = cr + 1;
      if (from < part.size() && part[from] == '\n') ++from;
    }
    out.Append(part.substr(from));
  }

  void Step() {
    if (host_.CancelRequested()) throw CancelledStrip{};
  }

 private:
  Host& host_;
  bool toLf_;
};

// The text without its deltas into `out`; false after a cancel.
bool Strip(std::string_view all, Output& out, bool toLf, Host& host, ProgressMemo memo) {
  // Pieces begin at every "deltas" after the first character, counted by
  // stretches with a poll between them ("deltas" cannot overlap itself, so
  // counting by where each one begins counts them all once).
  // Where they begin and the first "}" after each are kept (up to a limit)
  // for the removal, which then need not search the text again: a block is
  // read once, its "}" found while it is still in the cache for the search
  // of the next "deltas".
  constexpr std::size_t kStretch = std::size_t{8} << 20;
  constexpr std::size_t kKept = std::size_t{1} << 16;
  constexpr std::size_t kAhead = 8;
  struct Start {
    std::size_t at;     // where the piece begins
    std::size_t close;  // the first "}" from there on; npos: none is left
  };
  // One stretch's pieces: where they begin (up to the limit) and how many.
  struct Found {
    std::vector<Start> starts;
    std::size_t count = 0;
    bool later = false;  // a start whose "}" lies past the stretch
  };
  // A "}" is looked for within the stretch only; one that lies further on is
  // settled once every stretch is searched, so that a text without a later
  // "}" is not read to its end again from every stretch.
  constexpr std::size_t kLater = std::string_view::npos - 2;
  const auto scan = [&all](std::size_t from, Found& found) {
    const std::string_view stretch = all.substr(from, kStretch + kDeltas.size() - 1);
    const std::string_view upToEnd = all.substr(0, std::min(all.size(), from + kStretch));
    std::size_t brace = 0;  // the first "}" at or after the last place searched from
    bool searched = false;
    for (std::size_t at = FindDeltas(stretch, 0); at != std::string_view::npos && at < kStretch;
         at = FindDeltas(stretch, at + kDeltas.size())) {
      ++found.count;
      if (found.starts.size() == kKept) continue;
      const std::size_t p = from + at;
      // Places only grow: a "}" found from an earlier place is the first
      // from this one too unless it stands before it.
      if (!searched || (brace != kLater && brace < p)) {
        brace = upToEnd.find('}', p);
        if (brace == std::string_view::npos) brace = kLater;
      }
      searched = true;
      found.starts.push_back({p, brace});
      if (brace == kLater) found.later = true;
    }
  };
  const std::size_t stretches = all.size() > 1 ? (all.size() - 2) / kStretch + 1 : 0;
  std::vector<Found> found(stretches);
  // A poll for a cancel between stretches.
  for (std::size_t s = 0; s < stretches; ++s) {
    scan(1 + s * kStretch, found[s]);
    if (1 + (s + 1) * kStretch < all.size() && host.CancelRequested()) return false;
  }
  // The "}"s past their stretches: the first one of the stretches after,
  // from the last stretch back.
  std::size_t firstLater = 0;
  while (firstLater < stretches && !found[firstLater].later) ++firstLater;
  if (firstLater < stretches) {
    std::size_t next = std::string_view::npos;  // the first "}" after the stretch at hand
    for (std::size_t s = stretches; s-- > firstLater;) {
      if (found[s].later)
        for (Start& start : found[s].starts)
          if (start.close == kLater) start.close = next;
      if (s == firstLater) break;
      const std::size_t from = 1 + s * kStretch;
      const std::size_t first = all.substr(0, std::min(all.size(), from + kStretch)).find('}', from);
      if (first != std::string_view::npos) next = first;
      if (host.CancelRequested()) return false;
    }
  }
  std::vector<Start> starts;
  std::size_t pieces = 1;
  for (const Found& f : found) {
    pieces += f.count;
    const std::size_t room = std::min(f.starts.size(), kKept - starts.size());
    starts.insert(starts.end(), f.starts.begin(), f.starts.begin() + static_cast<std::ptrdiff_t>(room));
  }
  const bool allKept = starts.size() == pieces - 1;
  const long long range = static_cast<long long>(pieces) + 1;
  host.SetValue(0);
  host.SetRange(range);
  host.SetValue(1);
  // Piece k runs from the k-th "deltas" (the text's start for k = 0) to the
  // next. The bar is set every thousandth of its length (and at its end):
  // finer steps are less than a pixel of the progress window's bar, and
  // setting it for every piece cost more than removing the piece.
  const long long stride = std::max(1LL, range / 1000);
  Stripper stripper(toLf, host);
  long long value = 1;
  try {
    std::size_t start = 0;
    for (std::size_t piece = 0;; ++piece) {
      const std::size_t next = piece < starts.size() ? starts[piece].at
                               : allKept             ? std::string_view::npos
                                                     : FindDeltas(all, start + 1);
      const std::size_t end = next == std::string_view::npos ? all.size() : next;
      // The piece's first "}", as the search found it (none: not known).
      std::size_t close = kSearch;
      if (piece > 0 && piece - 1 < starts.size()) {
        const std::size_t brace = starts[piece - 1].close;
        close = brace < end ? brace - start : std::string_view::npos;
      }
      // What a piece a few further on keeps is fetched from memory now: the
      // kept parts lie kilobytes apart, and the first read of each would
      // otherwise wait for the memory.
      if (piece + kAhead < starts.size()) {
        const std::size_t from = starts[piece + kAhead - 1].close, to = starts[piece + kAhead].at;
        for (std::size_t at = from; at < to && at < from + 256; at += 64) __builtin_prefetch(all.data() + at);
      }
      stripper.Piece(all.substr(start, end - start), close, out);
      const bool last = next == std::string_view::npos;
      ++value;
      if (value % stride == 0 || last) host.SetValue(value);
      if (last) break;
      start = next;
    }
  } catch (const CancelledStrip&) {
    return false;
  }
  host.SetValue(0);
  host.SetRange(memo.Max);
  host.SetValue(memo.Max >= 5 ? 5 : memo.Value);
  return true;
}

}  // namespace

bool StripDeltas(std::string& text, Host& host, ProgressMemo memo) {
  std::size_t size = text.size();
  if (!StripDeltas(text.data(), size, false, host, memo)) {
    text.clear();
    return false;
  }
  text.resize(size);
  return true;
}

bool StripDeltas(std::string_view all, std::string& out, bool toLf, Host& host, ProgressMemo memo) {
  out.clear();
  // What is kept is never longer than the text. Room for all of it is made
  // once, so that the text is never copied to a larger one on the way (the
  // pages not written to are not taken).
  out.reserve(all.size());
  Output to(out);
  if (Strip(all, to, toLf, host, memo)) return true;
  out.clear();
  return false;
}

bool StripDeltas(char* text, std::size_t& size, bool toLf, Host& host, ProgressMemo memo) {
  Output to(text);
  if (!Strip(std::string_view(text, size), to, toLf, host, memo)) return false;
  size = to.size();
  return true;
}

}  // namespace vandrel
