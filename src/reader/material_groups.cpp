// The second half of a read: the split into one text per material group
// (after the object part of a pose-type file is cut out), the materials of
// each group and the end of the load.
#include <algorithm>
#include <array>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "model/object_list.h"
#include "reader/channel_scan.h"
#include "reader/group_split.h"
#include "reader/material_parser.h"
#include "reader/object_part.h"
#include "reader/prop_entries.h"
#include "reader/read_fault.h"
#include "reader/read_state.h"
#include "reader/text_scan.h"

namespace vandrel {
namespace {

constexpr const char* kProgramTitle = "Vandrel";

// A position or length as the signed count the 1-based text helpers take.
long long AsSigned(std::size_t v) { return static_cast<long long>(v); }

// Whether a line (after an LF or CR, ended by one) is `key`, blanks and TABs
// at its end aside.
bool HoldsKeyLine(std::string_view text, std::string_view key) {
  for (std::size_t p = FindLineEndKey(text, key, 1, true); p != 0;
       p = FindLineEndKey(text, key, p + 1, true)) {
    std::size_t after = p + 1 + key.size();  // 1-based position after the key
    while (after <= text.size() && (text[after - 1] == ' ' || text[after - 1] == '\t')) ++after;
    if (after <= text.size() && (text[after - 1] == '\n' || text[after - 1] == '\r')) return true;
  }
  return false;
}

// 1-based start of the last line that holds `name` as a whole line right
// after the character `lineEnd`; 0 when none.
std::size_t FindLastNamedLine(std::string_view text, std::string_view name, char lineEnd) {
  const std::string key = std::string(1, lineEnd) + std::string(name);
  std::size_t p = InStrRev(text, key);
  while (p != 0) {
    if (WholeLineAt(text, p + 1, name, true, true)) return p + 1;
    if (p + key.size() <= 2) return 0;
    p = InStrRev(text, key, p + key.size() - 2);
  }
  return 0;
}

// FindLastNamedLine for many names at once: the last line start after a LF
// and after a CR that holds each name as a whole line, found in one pass
// over the text (for a few names, each is looked for from the text's end).
// A name the lines' keys cannot hold (empty, with a "{" or ending in a
// blank) is looked for as FindLastNamedLine does.
class LastNamedLines {
 public:
  LastNamedLines(std::string_view text, const ObjectList& names, const std::function<void()>& yield)
      : text_(text), indexed_(names.size() > 64) {
    if (!indexed_) return;
    for (const CompactText& name : names)
      if (Indexable(name)) last_.try_emplace(name.view());
    std::size_t lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      i = text.find_first_of("\r\n", i);
      if (i == std::string_view::npos) break;
      const char lineEnd = text[i];
      std::size_t stop = i + 1;
      while (stop < text.size() && text[stop] != '\n' && text[stop] != '\r' && text[stop] != '{') ++stop;
      std::size_t end = stop;
      while (end > i + 1 && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
      if (auto it = last_.find(text.substr(i + 1, end - i - 1)); it != last_.end())
        (lineEnd == '\n' ? it->second.afterLf : it->second.afterCr) = i + 2;
      if (++lines % 65536 == 0 && yield) yield();
    }
  }

  // FindLastNamedLine(text, name, lineEnd).
  std::size_t Find(const std::string& name, char lineEnd) const {
    if (!indexed_ || !Indexable(name)) return FindLastNamedLine(text_, name, lineEnd);
    const auto it = last_.find(name);
    if (it == last_.end()) return 0;
    return lineEnd == '\n' ? it->second.afterLf : it->second.afterCr;
  }

 private:
  static bool Indexable(std::string_view name) {
    return !name.empty() && name.back() != ' ' && name.back() != '\t' &&
           name.find_first_of("{\r\n") == std::string_view::npos;
  }
  struct Found {
    std::size_t afterLf = 0, afterCr = 0;  // 1-based line starts, 0 = none
  };
  std::string_view text_;
  bool indexed_;
  std::unordered_map<std::string_view, Found> last_;
};

// The text's stretch [from, to) (1-based), as Replace(text, stretch, "")
// leaves the rest: every copy of it goes. A stretch that runs to the text's
// end and has no earlier copy (the usual group) keeps the text's memory
// instead of being copied out of it: a fresh copy of a hundred megabytes
// costs more in first touches of its pages than the move within the text.
std::string TakeStretch(ReadState& rs, std::size_t from, std::size_t to) {
  std::string& whole = rs.text.whole;
  const std::size_t s = from - 1;
  const std::size_t length = to - from;
  bool earlier = false;
  const std::size_t probe = std::min<std::size_t>(length, 64);
  for (std::size_t i = 0; i < s && !earlier; ++i) earlier = whole.compare(i, probe, whole, s, probe) == 0;
  std::string part;
  if (to == whole.size() + 1 && !earlier) {
    part = std::move(whole);
    whole.assign(part, 0, s);
    rs.Yield();
    part.erase(0, s);
  } else {
    part = whole.substr(s, length);
    rs.Yield();
    RemoveStretchEverywhere(whole, from, length);
  }
  rs.Yield();
  return part;
}

// Group split of a pose-type file: "figure" and the prop groups enter the
// object list, and the text is cut into one part per group.
void SplitPoseGroups(ReadState& rs) {
  rs.step = kStepGroupSplit;
  if (HoldsKeyLine(rs.text.whole, "figure") || HoldsKeyLine(rs.text.whole, "figure "))
    AddObjectListItems({"figure"}, [&rs] { rs.Yield(); });
  rs.Yield();

  // Each prop enters the list before its first "actor " entry, after the
  // props before it: all of them go in there at once. The list of them is
  // not held through the split.
  {
    const std::vector<std::string> props = PoseGroupPropEntries(rs.text.whole, [&rs] { rs.Yield(); });
    if (!props.empty()) {
      const std::size_t groupIndex = FirstActorListIndex();
      rs.parts.assign(groupIndex + props.size(), std::string());
      AddObjectListItems(props, [&rs] { rs.Yield(); });
    }
  }

  if (!rs.objectTextCut) {
    // The file read again whole (its first bytes went into the text).
    rs.text.ReloadWhole(rs.options.path, [&rs] {
      rs.Yield();
      return false;
    });
    rs.Yield();
    CrToLf(rs.text.whole);
    rs.Yield();
    RemoveIndentationInPlace(rs.text.whole);
    rs.Yield();
  }

  rs.step = kStepGroupParts;
  // The text up to its last "}", cut in place.
  const std::size_t lastBrace = InStrRev(rs.text.whole, "}");
  if (lastBrace == 0) throw InvalidCallFault();
  rs.text.whole.resize(lastBrace - 1);
  rs.Yield();

  const bool figureFirst = !gObjectList.empty() && gObjectList[0] == "figure" && rs.parts.size() > 1;
  if (SplitGroupTexts(rs.text.whole, rs.parts, figureFirst ? 1 : 0, gObjectList, figureFirst,
                      [&rs] { rs.Yield(); }))
    return;
  for (std::size_t i = figureFirst ? 1 : 0; i < rs.parts.size(); ++i) {
    const std::string entry = i < gObjectList.size() ? gObjectList[i].str() : std::string();
    const std::size_t from = FindGroupLine(rs.text.whole, entry);
    if (from == 0) {
      // The whole text is the group's: nothing of it is left.
      rs.parts[i] = std::move(rs.text.whole);
      rs.text.whole.clear();
    } else {
      // A group reaches to the end of what is left, but not into a "figure"
      // block that follows it.
      std::size_t to = rs.text.whole.size() + 1;
      if (figureFirst) {
        const std::size_t figure = FindGroupLine(rs.text.whole, "figure");
        if (figure > from) to = figure;
      }
      rs.parts[i] = TakeStretch(rs, from, to);
    }
    rs.Yield();
  }
  if (figureFirst) {
    const std::size_t figure = FindGroupLine(rs.text.whole, "figure");
    rs.parts[0] = figure == 0 ? rs.text.whole : rs.text.whole.substr(figure - 1);
  }
  // A single group's text is held once, as what is left.
  if (rs.parts.size() == 1) {
    rs.text.whole = std::move(rs.parts[0]);
    rs.parts[0].clear();
  } else {
    rs.text.whole = rs.parts[0];
  }
}

// Where a group's materials repeat those of an earlier group: that group's
// index, by group; kOwn for a group that reads its own.
constexpr std::size_t kOwn = static_cast<std::size_t>(-1);
using Repeats = std::vector<std::size_t>;

// Group text of a figure-type file: its header line and the materials at
// the end of the figure (or prop) block; then the prop groups' texts. A
// prop whose materials are the same stretch of the file as the prop's before
// it (braceless prop lines, which each take the next material block) keeps
// only its header line, and `repeats` names the group it repeats.
void BuildFigureGroups(ReadState& rs, int fileType, Repeats& repeats) {
  rs.step = kStepFigureGroup;
  const std::string header = fileType == kCr2 ? std::string("figure") : gObjects[0].Name;
  // A character's materials are those of its "figure" block: the tail read
  // may reach back into the blocks of props before it.
  std::size_t from = 1;
  if (fileType == kCr2) {
    const std::size_t figure = FindLastNamedLine(rs.text.whole, "figure", '\n');
    const std::size_t figureCr = FindLastNamedLine(rs.text.whole, "figure", '\r');
    from = std::max<std::size_t>({1, figure, figureCr});
  }
  const std::size_t first = FindAtLineStart(rs.text.whole, "material ", from, 1, true);
  const std::string opening = header + "\n\t{\n\t";
  if (first == 0) {
    // A figure without materials leaves no group text, and the end of the
    // load takes the file as one without material data; with props read
    // too, an empty group keeps the figure's place ahead of theirs.
    rs.text.whole = rs.parts.size() > 1 && gState.LoadProps ? opening + "\n\t}" : std::string();
  } else {
    // The group text: the header, then the text from the first material
    // through the "}" after the last, cut within the text's own bytes (a
    // large figure's text is not copied). The last material lies at or
    // after the first, where the header does not change what stands at a
    // line start.
    std::string& text = rs.text.whole;
    const std::size_t last = FindLastAtLineStart(text, "material ", 0, 1, true);
    const std::size_t close = InStr(last, text, "}");
    if (close == 0) {
      text = "\n\t}";
    } else {
      text.resize(close);
      rs.Yield();
      text.replace(0, first - 1, opening);
      rs.Yield();
      text.append("\n\t}");
    }
  }
  if (!rs.text.given()) CrToLf(rs.text.whole);

  if (rs.parts.size() <= 1 || !gState.LoadProps) {
    // Nothing is read from the file's bytes again.
    rs.text.DropInput();
    return;
  }
  rs.step = kStepPropParts;
  rs.Stage("Loading materials...");
  rs.Range(static_cast<long long>(rs.parts.size()));
  rs.Value(0);
  const std::string_view file = rs.text.input();
  long long value = 1;
  rs.Value(value);
  // Each prop's line and first material, found without searching the file
  // again for every prop.
  const LastNamedLines named(file, gObjectList, [&rs] { rs.Yield(); });
  ForwardFinder materials(file, "material ", Match::LineStart);
  repeats.assign(rs.parts.size(), kOwn);
  // The last prop that holds its text, and its stretch of the file.
  std::size_t own = kOwn, ownFrom = 0, ownTo = 0;
  for (std::size_t i = 1; i < rs.parts.size(); ++i) {
    const char* secondKey = i == 1 ? "figureType" : "displayMode";
    const std::string entry = i < gObjectList.size() ? gObjectList[i].str() : std::string();
    std::size_t at = named.Find(entry, '\n');
    if (at == 0) at = named.Find(entry, '\r');
    if (at == 0) throw InvalidCallFault();
    const std::size_t from = materials.Next(at);
    if (from == 0) throw InvalidCallFault();
    const std::size_t key = InStr(from, file, secondKey);
    if (key == 0) throw InvalidCallFault();
    const std::size_t lastMaterial = FindLastAtLineStart(file, "material ", key - 1, 1, true);
    const std::size_t to = InStr(lastMaterial, file, "}");
    // The group text after its "{" is the same as that prop's when neither
    // header holds a "{" of its own.
    if (own != kOwn && from == ownFrom && to == ownTo && entry.find('{') == std::string::npos) {
      repeats[i] = own;
      rs.parts[i] = entry + "\n";
    } else {
      std::string part = MidChecked(file, AsSigned(from), AsSigned(to) - AsSigned(from));
      if (!rs.text.given()) CrToLf(part);
      rs.parts[i] = entry + "\n\t{\n\t" + part + "\n\t}";
      own = entry.find('{') == std::string::npos ? i : kOwn;
      ownFrom = from;
      ownTo = to;
    }
    rs.Value(++value);
    rs.Yield();
  }
  rs.text.DropInput();
  rs.parts[0] = rs.text.whole;
}

// The materials of one group text: one record per "material " block. Returns
// how many were read.
int ReadGroupMaterials(ReadState& rs, const std::string& text, int group) {
  rs.step = kStepMaterials;
  // "material " in any case at a line start, looked for in the text as
  // lower-cased (the same length, so places match), a window at a time.
  LowerCaseFinder lower(text, "material ", [&rs] { rs.Yield(); });
  const auto materialLine = [&](std::size_t start, std::size_t base) {
    for (std::size_t p = lower.Find(start); p != 0; p = lower.Find(p + 1))
      if (AtLineStart(text, p, base, true)) return p;
    return std::size_t{0};
  };
  std::size_t base = 1;  // where the group text now begins
  int m = 0;
  MaterialKeys keys(text, [&rs] { rs.Yield(); });
  rs.Yield();
  ForwardFinder closeFinder(text, "}");
  // Room for the records is made once: a table of a million grown by moving
  // it whole runs long without a yield and is held twice meanwhile.
  std::size_t blocks = 0;
  for (std::size_t at = materialLine(base, base); at != 0; at = materialLine(at + 8, base))
    if (++blocks % 4096 == 0) rs.Yield();
  std::vector<MaterialRec>& records = gObjects[static_cast<std::size_t>(group)].Materials.Edit();
  records.reserve(blocks);
  for (std::size_t at = materialLine(base, base); at != 0; at = materialLine(base, base)) {
    records.resize(static_cast<std::size_t>(m) + 1);
    const long long lf = AsSigned(InStr(at, text, "\n"));
    MaterialRec& rec = records[static_cast<std::size_t>(m)];
    rec.Name = CleanLine(Mid(MidChecked(text, AsSigned(at), lf - AsSigned(at)), 10));
    rs.Item(rec.Name + "...");
    const std::size_t brace = closeFinder.Next(base);
    const std::string_view block = std::string_view(text).substr(base - 1, brace == 0 ? 0 : brace - base + 1);
    ParseMaterialBlock(block, group, m, keys);
    ++rs.materialBlocks;
    rs.Yield();

    const std::size_t next = materialLine(at + 8, base);
    // Without a next block the text up to its first "}" is used up; a text
    // without any "}" is used up whole.
    base = next != 0 ? next : (brace != 0 ? brace + 1 : text.size() + 1);
    ++m;
  }
  return m;
}

void ReadGroups(ReadState& rs, int fileType, const Repeats& repeats) {
  rs.step = kStepGroups;
  gState.Dirty = gImportMode;
  gState.LoadProps = false;
  if (!gObjectList.empty()) rs.result.enableDeleteObject = true;

  if (CleanLineStartsWith(rs.text.whole, "{version{number ", true)) {
    // A pose file's head: the text starts at the line after the version
    // block. A head whose "}" went with the object part (a file without
    // material groups after its objects) leaves no group text.
    const std::size_t brace = InStr(rs.text.whole, "}");
    // Cut in place: no second copy of a large text.
    if (brace == 0) {
      rs.text.whole.clear();
    } else {
      const std::size_t from = std::max<std::size_t>(LineAfter(rs.text.whole, brace), 1);
      rs.text.whole.erase(0, std::min(rs.text.whole.size(), from - 1));
    }
    rs.Yield();
    // A single group's text stays in `whole` alone.
    if (rs.parts.size() > 1) rs.parts[0] = rs.text.whole;
    rs.Yield();
  }

  std::size_t existing = 0;
  if (fileType != kPp2 && fileType != kHr2) {
    existing = gObjects.size() - 1 + (gObjects[0].Name.empty() ? 0 : 1);
    if (gActorMaterialsFound) {
      // The groups that the object-part reader appended move to the end.
      std::vector<ObjectRec> table(rs.parts.size() + existing);
      std::move(gObjects.end() - static_cast<std::ptrdiff_t>(existing), gObjects.end(),
                table.end() - static_cast<std::ptrdiff_t>(existing));
      gObjects = std::move(table);
    } else {
      gObjects.assign(rs.parts.size(), ObjectRec{});
    }
  }

  for (std::size_t g = 0; g + existing < gObjects.size(); ++g) {
    rs.step = kStepGroups;
    // A group's own text is not needed again, nor what is left after the
    // last group: taken, not copied.
    const bool last = g + 1 + existing >= gObjects.size();
    std::string text = g < rs.parts.size() && !rs.parts[g].empty() ? std::move(rs.parts[g])
                       : last                                      ? std::move(rs.text.whole)
                                                                   : rs.text.whole;
    // A group that repeats an earlier one's materials holds its header line
    // alone.
    const std::size_t source = g < repeats.size() ? repeats[g] : kOwn;
    ObjectRec& group = gObjects[g];
    group.Materials.Edit().assign(1, MaterialRec{});
    const std::size_t lf = InStr(text, "\n");
    group.Name = lf == 0 ? std::string() : CleanLine(Left(text, lf));
    if (group.Name.empty() && gObjects.size() > 1) {
      gObjects.erase(gObjects.begin());
      break;
    }
    // A text whose only group has no entry yet (no "figure" or "prop " line)
    // gets one, also when the groups of actors follow it in the table.
    // Ahead of the groups of actors, such a text without any material is
    // only what is left of the file's head, and makes no group.
    const std::string firstEntry = gObjectList.empty() ? std::string() : gObjectList[0].str();
    const bool onlyActorEntries = gObjectList.empty() || IsOwnMaterialsEntry(gObjectList[0]);
    const bool beforeActorGroups = group.Name != firstEntry && gObjects.size() > 1 &&
                                   gObjects.size() - existing == 1 && onlyActorEntries;
    if (beforeActorGroups && LowerCaseFinder(text, "material ").Find(1) == 0) {
      gObjects.erase(gObjects.begin());
      break;
    }
    if (group.Name != firstEntry && (gObjects.size() == 1 || beforeActorGroups))
      AddObjectListItem(group.Name, 0);

    if (source != kOwn) {
      // The same group text after its "{" as the group `source` read (one
      // of several groups, so none of the single group's cases above): the
      // records are shared, not read again.
      rs.Stage("Loading materials...");
      group.Materials = gObjects[source].Materials;
      rs.materialBlocks += group.Materials.size();
      rs.Yield();
      continue;
    }
    text.erase(0, InStr(text, "{"));  // Mid from the character after the "{"
    rs.Yield();
    if (InStrRev(text, "}") < InStrRev(text, "{")) text += "}";
    rs.Yield();
    rs.Stage("Loading materials...");
    // A group without any material block (a prop block holding nothing) has
    // no material, rather than one empty one that would be written as an
    // empty "material " block, and keeps no room for one.
    if (ReadGroupMaterials(rs, text, static_cast<int>(g)) == 0) gObjects[g].Materials = {};
    rs.Yield();
  }
  // The group texts are used up: their list is not held with the tables.
  std::vector<std::string>().swap(rs.parts);
}

void EndOfLoad(ReadState& rs, int fileType) {
  rs.step = kStepEndOfLoad;
  OpenFileResult& r = rs.result;
  if (!gObjectList.empty()) r.selectFirstObject = true;
  if (IsPoseType(fileType) && !gImportMode) r.enableSave = true;
  if (!gImportMode) r.enableSaveAs = true;
  if (gObjectList.size() >= 2) r.enableDeleteObject = true;
  gState.LastMapFolder.clear();
  r.dialogFileName = gState.FileName;

  // A material whose name is empty is a material like any other: the file
  // has material data when any block was read, whatever the names.
  const bool noMaterials = rs.materialBlocks == 0 && !gActorMaterialsFound;
  if (gObjectList.empty() || noMaterials) {
    gObjectList.clear();
    r.selectFirstObject = false;
    r.noMaterialData = true;
  }
  gIsHairFile = fileType == kHr2;

  if (gState.SilentSave) {
    gState.SilentSave = false;
    r.silentSavePath = Left(gState.FileName, InStrRev(gState.FileName, ".")) + "pz2";
    r.dialogFileName = r.silentSavePath;
  }

  if (r.noMaterialData && gImportMode)
    rs.host.Message("There is no material data in the opened file", kProgramTitle, MsgButtons::OK,
                    MsgIcon::Exclamation);
  else
    r.selectDefaultTemplate = true;
  if (!gObjectList.empty()) r.enableExportMtl = true;
}

}  // namespace

std::size_t FindGroupLine(std::string_view text, std::string_view name) {
  if (name.empty()) {
    const std::size_t lf = InStr(text, "\n");
    return lf == 0 ? 0 : lf + 1;
  }
  for (std::size_t p = FindLineEndKey(text, name, 1, false); p != 0;
       p = FindLineEndKey(text, name, p + 1, false))
    if (WholeLineAt(text, p + 1, name, true, true)) return p + 1;
  return 0;
}

void ReadMaterialGroups(ReadState& rs) {
  const int fileType = rs.options.fileType;
  Repeats repeats;
  if (IsPoseType(fileType)) {
    CutObjectPart(rs);
    SplitPoseGroups(rs);
  } else {
    BuildFigureGroups(rs, fileType, repeats);
  }
  ReadGroups(rs, fileType, repeats);
  EndOfLoad(rs, fileType);
}

}  // namespace vandrel
