#include "reader/delta_removal.h"

#include <string_view>

#include "model/model.h"
#include "reader/channel_scan.h"

namespace vandrel {
namespace {

constexpr std::string_view kDeltas = "deltas";

struct CancelledStrip {};

class Stripper {
 public:
  Stripper(bool quiet, bool toLf, Host& host) : host_(host), batch_(gState.BatchMode), toLf_(toLf) { (void)quiet; }

  // One piece through the four passes, appended to `out`. A piece holds
  // "deltas" at most at its start.
  void Piece(std::string_view piece, std::string& out) {
    // Line ends: two CR or more all become LF; a single CR stays. (Text
    // whose line ends all become LF has none left for this pass.)
    const std::size_t firstCr = toLf_ ? std::string_view::npos : piece.find('\r');
    if (firstCr != std::string_view::npos && piece.rfind('\r') != firstCr) {
      std::string work(piece);
      CrToLf(work);
      Step();
      Blocks(work, out);
      return;
    }
    Blocks(piece, out);
  }

  // The last three passes, read from the piece as it stands: "deltas " LF
  // and "deltas " CR become "deltas" LF, and the block from "deltas" LF
  // through its first "}" goes (a block that never closes ends the piece).
  void Blocks(std::string_view work, std::string& out) {
    const std::size_t at = work.find(kDeltas);
    if (at != std::string_view::npos) {
      const std::string_view next = work.substr(at + kDeltas.size(), 2);
      const auto lineEnd = [this](char c) { return c == '\n' || (toLf_ && c == '\r'); };
      bool block = !next.empty() && lineEnd(next[0]);
      if (next.size() == 2 && next[0] == ' ' && (lineEnd(next[1]) || next[1] == '\r')) {
        Step();  // the blank (and the CR) changed
        block = true;
      }
      if (block) {
        // The changed characters hold no "}": the block ends where it would
        // in the changed piece.
        const std::size_t close = work.find('}', at);
        Append(out, work.substr(0, at));
        if (close != std::string_view::npos) Append(out, work.substr(close + 1));
        Step();
        return;
      }
    }
    Append(out, work);
  }

  // Appends `part`, its CR LF and lone CR as LF when every line end becomes LF.
  void Append(std::string& out, std::string_view part) const {
    if (!toLf_) {
      out.append(part);
      return;
    }
    std::size_t from = 0;
    for (std::size_t cr = part.find('\r'); cr != std::string_view::npos; cr = part.find('\r', from)) {
      out.append(part.substr(from, cr - from)).push_back('\n');
      from = cr + 1;
      if (from < part.size() && part[from] == '\n') ++from;
    }
    out.append(part.substr(from));
  }

  void Step() {
    if (!batch_ && host_.CancelRequested()) throw CancelledStrip{};
  }

 private:
  Host& host_;
  bool batch_;
  bool toLf_;
};

}  // namespace

bool StripDeltas(std::string& text, bool quiet, Host& host, ProgressMemo memo) {
  std::string out;
  if (!StripDeltas(text, out, quiet, false, host, memo)) {
    text = "cancel";
    return false;
  }
  text = std::move(out);
  return true;
}

bool StripDeltas(std::string_view all, std::string& out, bool quiet, bool toLf, Host& host, ProgressMemo memo) {
  const bool batch = gState.BatchMode;
  out.clear();
  // Pieces begin at every "deltas" after the first character, counted by
  // stretches with a poll between them ("deltas" cannot overlap itself, so
  // counting by where each one begins counts them all once).
  constexpr std::size_t kStretch = std::size_t{8} << 20;
  std::size_t pieces = 1;
  for (std::size_t from = 1; from < all.size(); from += kStretch) {
    const std::string_view stretch = all.substr(from, kStretch + kDeltas.size() - 1);
    for (std::size_t at = stretch.find(kDeltas); at != std::string_view::npos && at < kStretch;
         at = stretch.find(kDeltas, at + kDeltas.size()))
      ++pieces;
    if (!batch && from + kStretch < all.size() && host.CancelRequested()) {
      out.clear();
      return false;
    }
  }
  if (!batch) {
    host.SetValue(0);
    host.SetRange(static_cast<long long>(pieces) + 1);
    host.SetValue(1);
  }
  Stripper stripper(quiet, toLf, host);
  long long value = 1;
  try {
    std::size_t start = 0;
    for (;;) {
      const std::size_t next = all.find(kDeltas, start + 1);
      const std::size_t end = next == std::string_view::npos ? all.size() : next;
      stripper.Piece(all.substr(start, end - start), out);
      if (!batch) host.SetValue(++value);
      if (next == std::string_view::npos) break;
      start = next;
    }
  } catch (const CancelledStrip&) {
    out.clear();
    return false;
  }
  if (!batch) {
    host.SetValue(0);
    host.SetRange(memo.Max);
    host.SetValue(memo.Max >= 5 ? 5 : memo.Value);
  }
  return true;
}

}  // namespace vandrel
