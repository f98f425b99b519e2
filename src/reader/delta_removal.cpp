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
  Stripper(bool quiet, Host& host) : host_(host), batch_(gState.BatchMode) { (void)quiet; }

  // One piece through the four passes, appended to `out`. A piece holds
  // "deltas" at most at its start.
  void Piece(std::string_view piece, std::string& out) {
    std::string work(piece);
    // Line ends: two CR or more all become LF; a single CR stays.
    const std::size_t firstCr = work.find('\r');
    if (firstCr != std::string::npos && work.rfind('\r') != firstCr) {
      CrToLf(work);
      Step();
    }
    const std::size_t at = work.find(kDeltas);
    if (at != std::string::npos) {
      const std::size_t after = at + kDeltas.size();
      if (work.compare(after, 2, " \n") == 0) {
        work.erase(after, 1);  // "deltas " LF -> "deltas" LF
        Step();
      }
      if (work.compare(after, 2, " \r") == 0) {
        work.replace(after, 2, "\n");  // "deltas " CR -> "deltas" LF
        Step();
      }
      if (work.compare(after, 1, "\n") == 0) {
        // The block from "deltas" through its first "}"; a block that never
        // closes ends the piece.
        const std::size_t close = work.find('}', at);
        out.append(work, 0, at);
        if (close != std::string::npos) out.append(work, close + 1);
        Step();
        return;
      }
    }
    out.append(work);
  }

  void Step() {
    if (!batch_ && host_.CancelRequested()) throw CancelledStrip{};
  }

 private:
  Host& host_;
  bool batch_;
};

}  // namespace

bool StripDeltas(std::string& text, bool quiet, Host& host, ProgressMemo memo) {
  const bool batch = gState.BatchMode;
  const std::string_view all(text);
  // Pieces begin at every "deltas" after the first character.
  const std::size_t pieces = 1 + (all.size() > 1 ? CountOf(all.substr(1), kDeltas) : 0);
  if (!batch) {
    host.SetValue(0);
    host.SetRange(static_cast<long long>(pieces) + 1);
    host.SetValue(1);
  }
  std::string out;
  Stripper stripper(quiet, host);
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
    text = "cancel";
    return false;
  }
  text = std::move(out);
  if (!batch) {
    host.SetValue(0);
    host.SetRange(memo.Max);
    host.SetValue(memo.Max >= 5 ? 5 : memo.Value);
  }
  return true;
}

}  // namespace vandrel
