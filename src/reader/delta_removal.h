// Removing the "deltas" blocks (the per-vertex offsets of morph channels)
// from a Poser file's text, piece by piece, turning CR line ends into LF on
// the way.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/host.h"

namespace vandrel {

// The progress bar as the caller left it, put back at the end.
struct ProgressMemo {
  long long Max = 0;
  long long Value = 0;
};

// Removes every "deltas" block from `text`. Returns false when the user
// cancelled: `text` is then empty. The progress bar
// counts the pieces and is afterwards set back to `memo` (value 5 when its
// maximum is 5 or more).
[[nodiscard]] bool StripDeltas(std::string& text, Host& host, ProgressMemo memo = {});
// The same from `text` into `out`, which is left empty after a cancel. With
// `toLf` every CR LF and lone CR of the text becomes LF on the way, as if
// they had been turned into LF before the removal.
[[nodiscard]] bool StripDeltas(std::string_view text, std::string& out, bool toLf, Host& host,
                               ProgressMemo memo = {});
// The same within the `size` bytes at `text`, which then hold the text
// without deltas in their first `size` bytes; after a cancel (false) they
// hold nothing of use.
[[nodiscard]] bool StripDeltas(char* text, std::size_t& size, bool toLf, Host& host, ProgressMemo memo = {});

}  // namespace vandrel
