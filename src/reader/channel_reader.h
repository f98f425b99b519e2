// The morph and pose channel reader: the actor, prop, light and camera
// blocks of a Poser file's text become the actor table (gActors) and the
// actor list (gActorList), with every block's properties, its channels and
// their frame-0 values, and the figure's thigh length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/host.h"
#include "common/ticks.h"

namespace vandrel {

// What the read asks of the main window's controls; the data is in the model.
struct ChannelReadResult {
  // The read was cancelled (or failed): the model is exactly as before it,
  // and the window leaves its controls as they are.
  bool Cancelled = false;
  // "Disable ThighLength" ticked (no "thighLength " line) or cleared; when
  // cleared, the thigh-length box shows ThighLengthText.
  bool DisableThighLength = true;
  std::string ThighLengthText;
  // The actor list has items: enable the actor and dial lists, the channel
  // commands, "Don't save morphs or poses" (and clear it without running its
  // handler), "Disable ThighLength" and the property controls.
  bool ActorsListed = false;
};

// How LoadMorphsAndPoses reads; by default the text's actors replace the
// table and the read is timed from its own start.
struct ChannelLoadOptions {
  // Only the block at the start of the text, put in front of the existing actors.
  bool InsertOne = false;
  // The existing actors stay and the text's follow.
  bool Append = false;
  // The tick count (milliseconds) at which the caller's long operation
  // began; 0 or less = now.
  long long StartMs = 0;
};

// Reads the object blocks of `text` (LF line ends) as `options` say.
// Afterwards the own materials of actors, lights and cameras become
// material groups and actors without a group get their "actor " entry in
// the object list. A cancel through `host`, or a failure (a ReadFault goes
// to the caller), leaves the model exactly as before.
ChannelReadResult LoadMorphsAndPoses(std::string_view text, Host& host,
                                     const ChannelLoadOptions& options = {});

// The object-part reader of a pose-type file: the channel reader with
// neither mode, then the clearing of the property switches.
ChannelReadResult ReadObjectPart(std::string_view objectText, Host& host);

// The nearest object block ("actor ", "prop ", "light ", "camera ", each
// counted only at the start of a line, after blanks and TABs) of `text`: "none", or the keyword with its
// blank, LF and how many characters the search skipped. With `checkEmpty`, a block whose body is only "{" and
// "}" is passed over (except the first keyword looked at).
std::string NextObjectBlock(std::string_view text, bool checkEmpty);

// The report of a finished load since `startTime` (seconds).
std::string LoadingTookMessage(long long startTime);

}  // namespace vandrel
