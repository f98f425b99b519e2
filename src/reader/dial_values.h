// What a channel's own block holds for its dial: the display name ("name"
// line), the hidden switch ("hidden" line) and the value of its first key
// frame, each taken only when it stands before the channel's first "}".
#pragma once

#include <cstddef>
#include <string_view>

#include "model/actors.h"
#include "reader/channel_index.h"

namespace vandrel {

// Reads them into `d` for the channel whose name starts at `dialPos`
// (1-based) in `text`; the value only with `readValue` (the channel has a
// keys block). `searchStart`, where the next channel's keys are looked
// for, moves on past a display name or hidden value that was read.
void ReadDialValues(std::string_view text, ChannelIndex& index, std::size_t dialPos, bool readValue,
                    DialRec& d, std::size_t& searchStart);

}  // namespace vandrel
