#include "reader/object_part.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/text.h"
#include "model/model.h"
#include "reader/channel_scan.h"
#include "reader/read_fault.h"
#include "reader/text_scan.h"

namespace vandrel {
namespace {

// The object blocks of a pose file whose objects stand on both sides of its
// "figure" block (or after it): each top-level block from `start` on is an
// object, except the figure block and the prop groups (a "prop " block with
// materials and no channels). The objects go to the object-part reader as one
// text and are cut out; the figure and the prop groups stay for the group
// split. False when the blocks cannot be told apart (the text is then cut
// as before).
bool CutObjectsAroundFigure(ReadState& rs, std::size_t start) {
  std::string& whole = rs.text.whole;
  const std::size_t length = whole.size();
  ObjectKeywords keys(whole);
  ForwardFinder open(whole, "{", Match::Brace);
  ForwardFinder thigh(whole, "thighLength ", Match::LineStart);
  std::vector<std::pair<std::size_t, std::size_t>> objects;  // 1-based [from, to)
  // The figure's thigh length stands between the blocks: its line goes with
  // the objects, wherever it stands.
  const auto thighLinesBefore = [&](std::size_t from, std::size_t to) {
    for (std::size_t t = thigh.Next(from); t != 0 && t < to; t = thigh.Next(t + 1)) {
      std::size_t lineStart = t;
      while (lineStart > 1 && whole[lineStart - 2] != '\n') --lineStart;
      const std::size_t lf = InStr(t, whole, "\n");
      objects.emplace_back(lineStart, lf == 0 ? length + 1 : lf + 1);
    }
  };
  for (std::size_t p = start; p <= length;) {
    std::size_t at = 0;
    std::size_t kind = 0;
    for (std::size_t k = 0; k < ObjectKeywords::kWords.size(); ++k) {
      const std::size_t q = keys.Next(k, p);
      if (q != 0 && (at == 0 || q < at)) {
        at = q;
        kind = k;
      }
    }
    thighLinesBefore(p, at == 0 ? length + 1 : at);
    if (at == 0) break;
    const std::size_t brace = open.Next(at);
    if (brace == 0) return false;
    const std::size_t close = ScanBlock(whole, brace, 0).close;
    if (close == 0) return false;  // a block that never ends
    const std::string_view block = std::string_view(whole).substr(at - 1, close - at + 1);
    const bool propGroup = kind == 1 && FindAtLineStart(block, "channels", 1, 1, true) == 0 &&
                           FindAtLineStart(block, "material ", 1, 1, true) != 0;
    if (!propGroup) objects.emplace_back(at, close + 1);
    p = close + 1;
    rs.Yield();
  }
  if (objects.empty()) return false;

  std::string objectText;
  std::string rest;
  rest.reserve(length);
  std::size_t from = 1;
  for (const auto& [a, b] : objects) {
    objectText.append(whole, a - 1, b - a);
    objectText += '\n';
    rest.append(whole, from - 1, a - from);
    from = b;
  }
  rest.append(whole, from - 1, std::string::npos);
  rs.step = kStepObjectReader;
  if (rs.options.objectPartReader)
    rs.options.objectPartReader(objectText, rs.host);
  else
    rs.result.channelsOff = true;
  rs.step = kStepObjectPart;
  whole = std::move(rest);
  rs.objectTextCut = true;
  rs.text.DropInput();
  return true;
}

}  // namespace

void CutObjectPart(ReadState& rs) {
  rs.step = kStepObjectPart;
  std::string& whole = rs.text.whole;
  // The keywords that stand early in a file are looked for first: each test
  // that fails reads the whole text.
  bool hasObjects = false;
  for (const char* key : {"actor ", "prop ", "light ", "camera "}) {
    hasObjects = hasObjects || InStr(whole, key) != 0;
    rs.Yield();
  }
  hasObjects = hasObjects || CleanLineContains(whole, "channels{", [&rs] { rs.Yield(); });
  rs.Yield();
  if (!hasObjects || gImportMode) {
    if (!gImportMode) rs.result.channelsOff = true;
    return;
  }
  // The indentation after LF line ends went when the text was read; lines
  // that end with a lone CR lose theirs now, before CR becomes LF.
  if (whole.find('\r') != std::string::npos) {
    rs.Yield();
    RemoveIndentationAfterLoneCrInPlace(whole);
    rs.Yield();
  }
  CrToLf(whole);
  rs.Yield();
  const std::size_t length = whole.size();

  // The objects begin at the line after the version block's "}". A file
  // without a version block (its first "}" closes a block of its first
  // object) begins them at the line after its opening "{": its first object
  // is read with the others.
  const std::size_t brace = InStr(whole, "}");
  std::size_t start = brace == 0 ? 3 : LineAfter(whole, brace);
  bool versionBlock = true;
  if (brace != 0) {
    const std::string_view head = std::string_view(whole).substr(0, brace - 1);
    std::size_t firstObject = 0;
    for (const std::string_view key : ObjectKeywords::kWords) {
      const std::size_t at = FindAtLineStart(head, key, 1, 1, true);
      if (at != 0 && (firstObject == 0 || at < firstObject)) firstObject = at;
    }
    if (firstObject != 0) {
      versionBlock = false;
      const std::size_t open = InStr(whole, "{");
      start = open != 0 && open < firstObject ? LineAfter(whole, open) : 1;
    }
  }

  // Each search may run through the whole text: the windows are let in
  // between them.
  const std::size_t ik = InStr(whole, "ikchannels");
  rs.Yield();
  std::size_t figureLine = InStr(ik == 0 ? 1 : ik, whole, "\nfigure");
  if (figureLine == 0) figureLine = InStr(whole, "\nfigure");
  if (figureLine == 0) figureLine = length;
  rs.Yield();

  std::size_t lastObject = FindLastEndingLine(whole, "channels");
  for (const char* key : {"\nactor ", "\nlight ", "\ncamera "}) {
    rs.Yield();
    if (lastObject != 0) break;
    lastObject = InStrRev(whole, key);
  }
  if (lastObject == 0) {
    if (!gImportMode) rs.result.channelsOff = true;
    return;
  }

  if (lastObject > figureLine && figureLine < length && CutObjectsAroundFigure(rs, start)) return;

  std::size_t end = FindEndingLine(whole, "\nfigure", lastObject);
  const std::size_t propAfter = InStr(lastObject + 1, whole, "\nprop ");
  if (end == 0) end = propAfter;
  if (end == 0) end = length;
  if (propAfter != 0 && propAfter < figureLine && propAfter <= end) end = propAfter;
  if (end < start) end = length;
  // Without a version block the file's own closing "}" stays for the groups.
  if (!versionBlock) end = std::max(start, std::min(end, InStrRev(whole, "}")));

  if (start < 1 || end < start) throw InvalidCallFault();
  const std::string_view objectText = std::string_view(whole).substr(start - 1, end - start);
  rs.step = kStepObjectReader;
  if (rs.options.objectPartReader)
    rs.options.objectPartReader(objectText, rs.host);
  else
    rs.result.channelsOff = true;  // no channel reader: the file yields no actor
  rs.step = kStepObjectPart;
  RemoveStretchEverywhere(whole, start, end - start);
  rs.Yield();
  rs.objectTextCut = true;
  // The file's bytes are not needed again.
  rs.text.DropInput();
}

}  // namespace vandrel
