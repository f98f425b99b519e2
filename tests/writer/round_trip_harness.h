// Reading a Poser file as the main window does, writing it back as a
// material pose and reading that again: shared by the round-trip tests and
// the round-trip fuzz target. No test framework inside.
#pragma once

#include <string>

#include "writer/pose_writer.h"

namespace vandrel::roundtrip {

// What a read leaves for the save options of the main window.
struct ReadOutcome {
  bool ok = false;
  bool noChannels = true;  // "Don't save morphs or poses"
  bool noMaterials = false;
  bool disableThighLength = true;
  std::string thighLength;
};

// Reads the file at `path` (type by extension): materials, the object part of
// a pose-type file, and the morph and pose data of a character, prop or hair
// file (props included). The model starts clean.
ReadOutcome ReadDocument(const std::string& path);

// The save options after that read, in the given format and line end.
PoseWriteOptions SaveOptions(const ReadOutcome& read, const std::string& path, bool poser5, bool mac);

// Every field of the tables, for exact comparison.
std::string Tables();

// What a written file must give back: the groups with their names, the
// materials with every switched-on property, the actors and their kinds,
// every channel written with a key and its value as written. The figure and
// prop groups count only when materials are saved.
std::string Essentials(bool noMaterials);

// Whether every name and text of the tables can be written into a Poser
// file and found again as it is: Poser names, without the format's keywords,
// braces, quotes or line breaks. Empty when so, else the first text that
// cannot.
std::string Unrepresentable();

// One read-write-read-write-read-write cycle of the file at `input` through
// `folder`, in one format and line end. Returns "" when the written file
// reads back into the same essentials and the second and third writes are a
// fixpoint (same tables, same bytes); otherwise what differs. A file whose
// tables are not representable passes untested.
std::string CheckRoundTrip(const std::string& input, const std::string& folder, bool poser5, bool mac);

// CheckRoundTrip in Poser 4 and 5, each with CR LF and CR: every difference found.
std::string CheckEveryFormat(const std::string& input, const std::string& folder);

// Whether the path has the extension of a Poser library file (any case).
bool IsPoserFile(const std::string& path);

}  // namespace vandrel::roundtrip
