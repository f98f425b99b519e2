#include "tools/material_copy.h"

#include <algorithm>

#include "common/text.h"
#include "model/model.h"

namespace vandrel {
namespace {

// The number of material groups: an empty table holds one entry without a name.
std::size_t CountGroups() { return gObjects.size() == 1 && gObjects[0].Name.empty() ? 0 : gObjects.size(); }

bool HasLine(const std::vector<std::string>& lines, const std::string& name) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return EqualsNoCase(l, name); });
}

}  // namespace

MaterialCopyPlan::MaterialCopyPlan() : groups_(CountGroups()) {
  dest_.reserve(gObjectList.size());
  for (const CompactText& text : gObjectList) {
    const std::string entry = text.str();
    dest_.push_back(DestRec{StartsWith(entry, "actor ") ? entry.substr(6) : entry, entry, {}});
  }
}

std::size_t MaterialCopyPlan::ExistingCount(std::size_t d) const {
  return d < groups_ && d < gObjects.size() ? gObjects[d].Materials.size() : 0;
}

std::vector<std::string> MaterialCopyPlan::Lines(std::size_t d) const {
  std::vector<std::string> lines;
  for (std::size_t m = 0; m < ExistingCount(d); ++m) lines.push_back(gObjects[d].Materials[m].Name.str());
  if (d < dest_.size())
    for (const NameIndexRec& copy : dest_[d].Pending) lines.push_back(copy.Name);
  return lines;
}

void MaterialCopyPlan::Add(std::size_t d, int source, const std::vector<int>& selected) {
  if (d >= dest_.size() || source < 0 || static_cast<std::size_t>(source) >= gObjects.size()) return;
  const std::vector<std::string> before = Lines(d);
  const std::vector<MaterialRec>& materials = gObjects[static_cast<std::size_t>(source)].Materials;
  for (const int i : selected) {
    if (i < 0 || static_cast<std::size_t>(i) >= materials.size()) continue;
    const std::string name = materials[static_cast<std::size_t>(i)].Name.str();
    if (HasLine(before, name)) continue;
    dest_[d].Pending.push_back(NameIndexRec{name, source, i});
  }
}

void MaterialCopyPlan::Remove(std::size_t d, const std::vector<int>& selectedLines) {
  if (d >= dest_.size()) return;
  const std::size_t existing = ExistingCount(d);
  std::vector<NameIndexRec> kept;
  std::vector<NameIndexRec>& pending = dest_[d].Pending;
  for (std::size_t p = 0; p < pending.size(); ++p) {
    const int line = static_cast<int>(existing + p);
    if (std::find(selectedLines.begin(), selectedLines.end(), line) == selectedLines.end())
      kept.push_back(std::move(pending[p]));
  }
  pending = std::move(kept);
}

RenameOutcome MaterialCopyPlan::Rename(std::size_t d, int line, const std::string& name) {
  if (name.empty() || d >= dest_.size()) return RenameOutcome::Nothing;
  if (HasLine(Lines(d), name)) return RenameOutcome::Exists;
  const std::size_t existing = ExistingCount(d);
  if (line < static_cast<int>(existing)) return RenameOutcome::Nothing;
  const std::size_t p = static_cast<std::size_t>(line) - existing;
  if (p >= dest_[d].Pending.size()) return RenameOutcome::Nothing;
  dest_[d].Pending[p].Name = name;
  return RenameOutcome::Renamed;
}

bool MaterialCopyPlan::Apply() {
  std::vector<std::string> newEntries;  // object-list texts of the groups made here
  std::vector<bool> gotGroup(dest_.size(), false);
  bool copied = false;
  for (std::size_t d = 0; d < dest_.size(); ++d) {
    if (dest_[d].Pending.empty()) continue;
    std::size_t target = d;
    if (d >= groups_) {
      // An entry without a group (an actor's) gets one of its own.
      if (gObjects.size() == 1 && gObjects[0].Name.empty())
        target = 0;
      else {
        target = gObjects.size();
        gObjects.emplace_back();
      }
      gObjects[target] = ObjectRec{dest_[d].Name, {MaterialRec{}}};
      newEntries.push_back(dest_[d].Entry);
      gotGroup[d] = true;
    }
    std::vector<MaterialRec>& materials = gObjects[target].Materials.Edit();
    for (const NameIndexRec& copy : dest_[d].Pending) {
      // Copied before it is appended: the source may be the target group itself.
      MaterialRec record = gObjects.at(static_cast<std::size_t>(copy.Index))
                               .Materials.at(static_cast<std::size_t>(copy.SubIndex));
      record.Name = copy.Name;
      if (materials.size() == 1 && materials[0].Name.empty())
        materials[0] = std::move(record);
      else
        materials.push_back(std::move(record));
      copied = true;
    }
  }
  if (!newEntries.empty()) {
    // The new groups follow the old ones; the entries without groups come after.
    const std::size_t from = std::min(groups_, gObjectList.size());
    std::vector<std::string> texts = std::move(newEntries);
    for (std::size_t k = from; k < gObjectList.size(); ++k)
      if (k >= gotGroup.size() || !gotGroup[k]) texts.push_back(gObjectList[k].str());
    gObjectList.resize(from);
    for (const std::string& text : texts) AddObjectListItem(text, 0);
  }
  if (copied) gState.Dirty = true;
  return copied;
}

}  // namespace vandrel
