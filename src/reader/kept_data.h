// Which lines of a pose-type file the tables keep, so that a rewrite of the
// file in place can tell what it would drop.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

struct KeptDataOptions {
  // The object blocks are read into the actor table (the channel reader
  // runs); without it every actor, prop, light and camera block is dropped.
  bool objectsRead = true;
};

inline constexpr std::size_t kKeptDataKinds = 8;

struct KeptDataReport {
  // The first kinds of data that the tables do not keep, in the order of the
  // file, each once: "animation keys", "channel limits", "morph deltas", or
  // the key of the line ("lightOn", "hither", "parent", "bumpStrength").
  std::vector<std::string> kinds;
  // Every block that opens also closes: false for a file cut off. The
  // file's own outer block may lack its last "}".
  bool blocksClosed = true;
};

// One pass over the whole text of a pose-type file (any line ends,
// indentation or none). Lines of material blocks (but for a value the
// material reader cannot keep: outside its -1000..1000 rule), the version
// block and comments count as kept, and so do the properties that the
// tables hold with a switch (a name, hidden, lightOn line...): what is
// switched off, by the user or the preferences, is left out by choice.
// `tick` is called every kKeptDataLinesPerTick lines, so that the windows
// repaint during the pass over a large file.
inline constexpr std::size_t kKeptDataLinesPerTick = 16384;
KeptDataReport CheckKeptData(std::string_view text, const KeptDataOptions& options,
                             const std::function<void()>& tick = {});

}  // namespace vandrel
