// The material pose writer: the open document (notes, required version,
// material groups of gObjects, actor blocks of gActors) as a Poser pose
// file, in Poser 4 material format or with Poser 5 shader trees.
#pragma once

#include <string>

namespace vandrel {

// What the main window's save controls hold at the time of the save.
struct PoseWriteOptions {
  std::string OutputPath;  // the save dialog's file name
  // The path known to the shared file dialog; used when OutputPath holds
  // nothing but blanks (the "-s" save beside the file read).
  std::string GivenPath;
  bool Poser5 = false;              // "Poser 5" format option
  bool MacLineEnds = false;         // "UNIX/Macintosh" (lone CR); else DOS/Windows (CR LF)
  bool NoMaterials = false;         // "Don't save materials"
  bool NoChannels = false;          // "Don't save morphs or poses"
  bool DisableThighLength = false;  // "Disable ThighLength"
  std::string ThighLength;          // the thigh-length box's text
  std::string RequiredVersion;      // the required-version box's text
  bool BatchMode = false;           // a batch conversion is running
};

struct PoseWriteResult {
  std::string Error;  // "" when the file was written
  std::string Path;   // the path written to (or tried); the save dialog's file name afterwards
};

// The path a save with these options writes to: OutputPath, or GivenPath when
// OutputPath holds only blanks and GivenPath does not.
std::string PoseOutputPath(const PoseWriteOptions& options);

// The whole pose file as bytes, from the tables as they stand; the tables are
// not changed. Returns an error text ("" = built).
std::string BuildPoseFile(const PoseWriteOptions& options, std::string& bytes);

// Builds the file and writes it atomically. On success the hair names written
// ("prop figureHair", "figureHair") are kept in the tables, gState.FileType
// becomes 1 (pose file) and gState.Dirty is cleared. On failure nothing
// changes: an existing file of that name and the tables stay as they were.
PoseWriteResult WritePoseFile(const PoseWriteOptions& options);

}  // namespace vandrel
