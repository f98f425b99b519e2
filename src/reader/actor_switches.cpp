#include "reader/actor_switches.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/text.h"
#include "model/model.h"
#include "model/object_list.h"
#include "reader/channel_scan.h"
#include "reader/custom_materials.h"
#include "reader/material_parser.h"
#include "reader/text_scan.h"

namespace vandrel {
namespace {

// Calls `poll` once every few thousand counts of `i`.
void PollEvery(const std::function<void()>& poll, std::size_t i) {
  if (poll && i % 4096 == 4095) poll();
}

// Position of the first occurrence of "<kind> <name>" at the start of a line
// of `text` for every entry of gActors that is not a prop (0 = not found), in
// one sweep per kind over the occurrences of "<kind> " instead of one search
// from the start of the text per actor (over the gathered line starts when
// the kind is an object keyword). A dial named "move actor left" is no
// header of the actor "left".
std::vector<std::size_t> HeaderPositions(std::string_view text, const ObjectKeywords& keywords,
                                         const std::function<void()>& poll) {
  std::vector<std::size_t> found(gActors.size(), 0);
  std::map<std::string, std::vector<std::size_t>> byKind;  // kind -> entries
  for (std::size_t i = 0; i < gActors.size(); ++i) {
    if (gActors[i].Kind != "prop" && !gActors[i].Name.empty()) byKind[gActors[i].Kind].push_back(i);
    PollEvery(poll, i);
  }

  for (const auto& [kind, entries] : byKind) {
    const std::string prefix = kind + " ";
    // The names with the first header found for each, in a table of open
    // addressing whose slots keep the hash: a look costs one place in the
    // slots, and the names themselves are visited in the order of the file.
    struct Name {
      std::string_view name;
      std::size_t header = 0;
    };
    std::vector<Name> names;
    names.reserve(entries.size());
    std::size_t capacity = 16;
    while (capacity < 2 * entries.size()) capacity *= 2;
    // A slot is the low half of the hash and the name's index + 1: eight
    // bytes, so that the table of 300,000 names takes 8 MB, not 16.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> slots(capacity, {0, 0});
    const auto slotOf = [&](std::string_view name, std::size_t hash) {
      std::size_t at = hash & (capacity - 1);
      while (slots[at].second != 0 && (slots[at].first != static_cast<std::uint32_t>(hash) ||
                                       names[slots[at].second - 1].name != name))
        at = (at + 1) & (capacity - 1);
      return at;
    };
    std::set<std::size_t> lengths;
    // A bit per name's hash (about eight bits a name, small enough to stay
    // in the cache): most pieces of a header line that are no name are
    // turned away here, without a look into the table.
    std::vector<std::uint64_t> seen(entries.size() / 8 + 1, 0);
    const auto bit = [&seen](std::size_t hash) {
      const std::size_t b = hash % (seen.size() * 64);
      return std::pair<std::size_t, std::uint64_t>(b / 64, std::uint64_t{1} << (b % 64));
    };
    std::vector<std::size_t> own;  // each entry's name
    own.reserve(entries.size());
    for (std::size_t i : entries) {
      PollEvery(poll, own.size());
      const std::string_view name = gActors[i].Name;
      const std::size_t hash = std::hash<std::string_view>()(name);
      const std::size_t at = slotOf(name, hash);
      if (slots[at].second == 0) {
        names.push_back(Name{name});
        slots[at] = {static_cast<std::uint32_t>(hash), static_cast<std::uint32_t>(names.size())};
      }
      own.push_back(slots[at].second - 1);
      lengths.insert(name.size());
      const auto [word, mask] = bit(hash);
      seen[word] |= mask;
    }
    std::size_t pending = names.size();
    // The names stand in the order of their blocks in the file, as the
    // sweep meets the header lines: the name expected next is compared
    // directly, and only other names are looked up in the table (whose
    // places are spread over all its memory).
    std::size_t expected = 0;
    const auto take = [&](std::size_t index, std::size_t q) {
      Name& found = names[index];
      if (found.header == 0) {
        found.header = q;
        --pending;
      }
      if (index >= expected) expected = index + 1;
    };
    const auto header = [&](std::size_t q) {
      const std::size_t nameAt = q - 1 + prefix.size();  // 0-based
      const std::size_t nextIndex = expected;
      const std::string_view next = nextIndex < names.size() ? names[nextIndex].name : std::string_view();
      const bool isNext = nextIndex < names.size() && text.substr(nameAt, next.size()) == next;
      for (std::size_t length : lengths) {
        if (nameAt + length > text.size()) break;
        if (isNext && length == next.size()) {
          take(nextIndex, q);
          continue;
        }
        const std::string_view piece = text.substr(nameAt, length);
        const std::size_t hash = std::hash<std::string_view>()(piece);
        const auto [word, mask] = bit(hash);
        if ((seen[word] & mask) == 0) continue;
        const std::size_t at = slotOf(piece, hash);
        if (slots[at].second != 0) take(slots[at].second - 1, q);
      }
    };
    if (const int k = ObjectKeywords::IndexOf(kind); k >= 0) {
      const std::vector<std::size_t>& lineStarts = keywords.All(static_cast<std::size_t>(k));
      for (auto q = lineStarts.begin(); q != lineStarts.end() && pending > 0; ++q) {
        header(*q);
        PollEvery(poll, static_cast<std::size_t>(q - lineStarts.begin()));
      }
    } else {
      std::size_t seenHeaders = 0;
      for (std::size_t q = InStr(text, prefix); q != 0 && pending > 0; q = InStr(q + 1, text, prefix)) {
        if (AtLineStart(text, q, 1, true)) header(q);
        PollEvery(poll, seenHeaders++);
      }
    }
    for (std::size_t e = 0; e < entries.size(); ++e) found[entries[e]] = names[own[e]].header;
  }
  return found;
}

}  // namespace

void AddActorMaterialGroups(std::string_view text) {
  // Object blocks begin at line starts, as the channel reader finds them.
  ObjectKeywords keywords(text);
  AddActorMaterialGroups(text, keywords);
}

void AddActorMaterialGroups(std::string_view text, ObjectKeywords& nextBlock,
                            const std::function<void()>& poll) {
  gActorMaterialsFound = false;
  ForwardFinder customFinder(text, "customMaterial");
  // Without any "customMaterial" no block has materials of its own: the
  // headers are not matched to the actors at all.
  const bool anyOwn = customFinder.Next(1) != 0;
  const std::vector<std::size_t> headers =
      anyOwn ? HeaderPositions(text, nextBlock, poll) : std::vector<std::size_t>();
  // A material begins at a line start: "material " inside a map path or a
  // name starts nothing.
  ForwardFinder materialFinder(text, "material ", Match::LineStart);
  ForwardFinder closeFinder(text, "}");
  ForwardFinder crFinder(text, "\r");
  MaterialKeys keys(text, poll);
  // The own materials of a block lie before the next object block of any
  // kind (`nextBlock`): the last actor of its kind does not take those of a
  // prop, light or camera that follows it.

  for (std::size_t i = 0; i < headers.size(); ++i) {
    PollEvery(poll, i);
    const std::size_t a = headers[i];
    if (a == 0) continue;
    const ActorRec& actor = gActors[i];
    std::size_t nextSame = 0;
    for (std::size_t k = 0; k < ObjectKeywords::kWords.size(); ++k) {
      const std::size_t at = nextBlock.Next(k, a + 6);
      if (at != 0 && (nextSame == 0 || at < nextSame)) nextSame = at;
    }
    const std::size_t cm = customFinder.Next(a);
    if (cm >= nextSame && nextSame != 0) continue;
    if (cm == 0) continue;  // a count of 0: no group
    const int count = CustomMaterialCount(text, cm);
    std::size_t matPos = materialFinder.Next(cm + 1);
    if (matPos == 0 || count < 1) continue;

    gActorMaterialsFound = true;
    if (!gObjects[0].Name.empty()) gObjects.emplace_back();
    const int group = static_cast<int>(gObjects.size() - 1);
    gObjects[group] = ObjectRec{};
    gObjects[group].Name = actor.Name;
    AddObjectListItem(actor.Kind + " " + actor.Name, group + 1);
    for (int m = 0; m < count; ++m) {
      const std::size_t close = closeFinder.Next(matPos + 10);
      const std::size_t blockEnd = close == 0 ? text.size() : close;
      const std::string_view stretch = text.substr(matPos - 1, blockEnd > matPos ? blockEnd - matPos : 0);
      gObjects[group].Materials.Edit().resize(static_cast<std::size_t>(m) + 1);
      // A block without CR is read where it stands (blocks may share one
      // distant "}"); one with CR is read from a copy with LF in their place.
      const std::size_t cr = crFinder.Next(matPos);
      std::string block;
      if (cr != 0 && cr < matPos + stretch.size()) {
        block.assign(stretch);
        CrToLf(block);
        ParseMaterialBlock(block, group, m);
      } else {
        ParseMaterialBlock(stretch, group, m, keys);
      }
      const std::string_view parsed = block.empty() ? stretch : std::string_view(block);
      const std::size_t lineEnd = InStr(parsed, "\n");
      gObjects[group].Materials.Edit()[m].Name =
          lineEnd == 0 ? Mid(parsed, 10) : Mid(parsed, 10, lineEnd >= 10 ? lineEnd - 10 : 0);
      if (m + 1 < count) {
        matPos = materialFinder.Next(matPos + 10);
        if (matPos == 0) break;
      }
    }
  }

  AddGrouplessActorEntries(poll);
}

void AddGrouplessActorEntries(const std::function<void()>& poll) {
  std::unordered_set<std::string_view> groupNames;
  for (const ObjectRec& g : gObjects) groupNames.insert(g.Name);
  // At most one entry an actor, added at the end: the list grows once, with
  // room for the "figure" entry that a pose's groups put before them.
  gObjectList.reserve(gObjectList.size() + gActors.size() + 1);
  for (std::size_t i = 0; i < gActors.size(); ++i) {
    PollEvery(poll, i);
    const ActorRec& actor = gActors[i];
    if (actor.Name.empty() || actor.Kind == "prop" || actor.Kind == "light" || actor.Kind == "camera")
      continue;
    if (groupNames.count(actor.Name.view()) == 0) AddObjectListItem("actor " + actor.Name, 0);
  }
}

void DisableActorAndDialProperties() {
  if (!gSettings.DisableProperties) return;
  for (ActorRec& actor : gActors) {
    // A shared blank channel has nothing switched on (and stays shared).
    if (actor.Dials.Owned())
      for (DialRec& dial : actor.Dials) {
        dial.ExtNameOn = false;
        dial.HiddenOn = false;
      }
    actor.PropertyOn.fill(false);
  }
}

}  // namespace vandrel
