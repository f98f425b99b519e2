// Reading the morph and pose part of a Poser file into the actor table: the
// stretch of the file that holds the actor blocks with their channels is
// found, normalised and handed to the channel reader. The window side shows
// the open dialog (when one is wanted), keeps the chosen folder, and applies
// the result to its controls.
#pragma once

#include <functional>
#include <string>

#include "common/host.h"
#include "reader/channel_reader.h"

namespace vandrel {

struct MorphPoseReadOptions {
  // Only the BODY actor: the second "actor BODY" block of the file (the one
  // among the channels), put in front of the existing actors.
  bool InsertOne = false;
  // Keep the actors already read and add the file's after them.
  bool Append = false;
  // The shared file dialog's file name: the file read when Text is empty;
  // its extension decides where the channel part begins, also for a text.
  std::string FileName;
  // Given instead of the file (the figure chooser's text of one figure).
  std::string Text;
};

enum class MorphPoseOutcome {
  Read,        // the channel reader ran to its end
  Cancelled,   // Esc: the model is exactly as before the call
  NoChannels,  // "There is no morph or pose data in the file" was shown
  Failed,      // the error message was shown; the model is as before
};

struct MorphPoseReadResult {
  MorphPoseOutcome Outcome = MorphPoseOutcome::Failed;
  // What the channel reader asks of the window (when Outcome is Read).
  ChannelReadResult Channels;
  // The failure's runtime error number and description (the message title).
  int ErrorNumber = 0;
  std::string ErrorDescription;
};

inline constexpr const char* kNoMorphData = "There is no morph or pose data in the file";
inline constexpr const char* kMorphDataNotFound =
    "There is no morph or pose data in the opened\r\nfile or the data could not be found";

// Texts longer than this are stripped of their "deltas" blocks first.
inline constexpr std::size_t kStripDeltasAbove = 5000000;

// Reads the morph and pose data. Trims the object list to the material table
// (the "actor " entries of groupless actors come back with the read), reads
// the file or takes the text, strips deltas from large files, cuts the
// channel part by file type and reads it; then clears property switches as
// the preferences say and marks the document changed. A cancel, a failure or
// a file without channels leaves the model as it was.
MorphPoseReadResult ReadMorphPoseData(const MorphPoseReadOptions& options, Host& host);

// The BODY-only window of `source`: from the second "actor BODY" to just
// before the next actor's keyword, as the growing 500-character reads from
// the first "actor BODY" on find it. False when the source ends first.
bool BodyOnlyBlock(std::string_view source, std::string& block);

// The channel part's cleanup of "figure" lines, within the text's own
// bytes: "figure " LF becomes "figure" LF, then the blanks and TABs right
// before every line-final "figure" go. `tick` is called every so many
// "figure"s, so that the windows repaint (it may throw to cancel).
void CleanFigureLines(std::string& text, const std::function<void()>& tick = {});

}  // namespace vandrel
