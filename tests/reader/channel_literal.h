// Slow, literal transcriptions of the documented loops of the channel
// reader, the delta removal and the morph and pose read: every search starts
// again on a copy of "the text from here on", as the procedures are written.
// The tests compare the fast code with them.
#pragma once

#include <string>
#include <string_view>

#include "reader/channel_reader.h"

namespace vandrel::literal {

std::string NextObjectBlock(const std::string& text, bool checkEmpty);
// Fills the same tables as LoadMorphsAndPoses; no progress, no cancel.
ChannelReadResult LoadMorphsAndPoses(const std::string& text, bool insertOne, bool append);
// The StripDeltas passes with "replace until none is left".
std::string StripDeltas(const std::string& text);
std::string CleanFigureLines(const std::string& text);
// The growing 500-character reads; false when the source ends first.
bool BodyOnlyBlock(const std::string& source, std::string& block);

}  // namespace vandrel::literal
