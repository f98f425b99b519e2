// The head of a Poser file: its comment lines and its version block.
#pragma once

#include <string>
#include <string_view>

namespace vandrel {

struct FileHeader {
  std::string fileNotes;        // the comment lines before the version block, markers removed, CR LF joined
  std::string requiredVersion;  // the version a saved pose will require
  std::string readVersion;      // the version as the file gives it, "" when none
};

// `head` is the file's beginning up to (at least) its first "}". The version
// rule takes the preferences' version numbers and the output format chosen
// (Poser 5 or Poser 4) when the file gives no version or the preferences
// force one. A version line with no "}" after it fails (ReadFault 5).
FileHeader ParseFileHeader(std::string_view head, bool poser5Format);

}  // namespace vandrel
