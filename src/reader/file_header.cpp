#include "reader/file_header.h"

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "reader/read_fault.h"
#include "reader/text_scan.h"

namespace vandrel {
namespace {

// The comment: the "#" and "//" lines between the file's first "{" and its
// version block (or first object), without their markers.
std::string CommentOf(const std::string& head) {
  std::string candidate = Mid(head, InStr(head, "{") + 2);
  candidate = RemoveRunsAfter(RemoveRunsAfter(candidate, "\n", ' '), "\n", '\t');

  std::size_t end = InStr(LCase(candidate), "\nversion");
  for (const char* key : {"\nfigure", "\nprop ", "\nactor ", "\nlight "}) {
    if (end != 0) break;
    end = InStr(candidate, key);
  }
  const bool marked =
      StartsWith(candidate, "#") || InStr(candidate, "\n#") != 0 || InStr(candidate, "\n//") != 0;
  if (end == 0 || !marked) return {};

  std::string notes = Replace(Left(candidate, end - 1), "\n", "\r\n");
  notes = Replace(Replace(notes, "#", ""), "//", "");
  if (StartsWith(notes, "\r\n")) notes.erase(0, 2);
  return RemoveRunsAfter(Trim(notes), "\r\n", ' ');
}

}  // namespace

FileHeader ParseFileHeader(std::string_view rawHead, bool poser5Format) {
  FileHeader h;
  std::string head = CrToLfCopy(rawHead);
  head = Replace(head, "\n\n", "\n");
  head = RemoveRunsAfter(head, "\n", '\t');
  h.fileNotes = CommentOf(head);

  const std::size_t number = InStr(head, "number ");
  if (number == 0) {
    if (!poser5Format && !gSettings.PVersionNumber.empty())
      h.requiredVersion = gSettings.PVersionNumber;
    else if (poser5Format)
      h.requiredVersion = gSettings.P5VersionNumber;
    else
      h.requiredVersion = "4.01";
  } else {
    // Up to the line end before the "}" that closes the version block.
    const long long brace = static_cast<long long>(InStr(number, head, "}"));
    h.requiredVersion =
        MidChecked(head, static_cast<long long>(number) + 7, brace - static_cast<long long>(number) - 8);
    h.readVersion = Trim(h.requiredVersion);
    // The version is a number too (the save options take it as one).
    FiniteNumber(Val(h.readVersion));
  }
  if (!poser5Format && gSettings.SetPoserVersion) h.requiredVersion = gSettings.PVersionNumber;
  if (poser5Format && gSettings.SetP5Version) h.requiredVersion = gSettings.P5VersionNumber;
  return h;
}

}  // namespace vandrel
