// Copying materials of the open document from one material group to
// entries of the object list under new names. The copies wait as pending
// copies per destination until they are applied; applying copies whole
// material records and gives an entry without a group a group of its own.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/shared_records.h"

namespace vandrel {

inline constexpr const char* kRenamePrompt = "Enter a new name for the selected material";
inline constexpr const char* kRenameTitle = "Rename material";
inline constexpr const char* kMaterialExists = "A material with that name already exists";

// One entry of the object list as a destination.
struct DestRec {
  std::string Name;                   // the entry's text without a leading "actor "
  std::string Entry;                  // the entry's text as the object list shows it
  std::vector<NameIndexRec> Pending;  // Name: the copy's name; Index, SubIndex: the source
};

enum class RenameOutcome { Renamed, Nothing, Exists };

class MaterialCopyPlan {
 public:
  // One destination per entry of the object list, as the tables stand now.
  MaterialCopyPlan();

  const std::vector<DestRec>& Destinations() const { return dest_; }
  // The material groups before any copy (0 for an empty table).
  std::size_t GroupCount() const { return groups_; }
  // The lines of the destination list: the destination's own materials
  // (when it is a group), then its pending copies.
  std::vector<std::string> Lines(std::size_t d) const;
  std::size_t ExistingCount(std::size_t d) const;

  // Adds the selected materials (ascending indices) of source group `source`
  // whose names are not yet lines of destination `d` (ignoring case).
  void Add(std::size_t d, int source, const std::vector<int>& selected);
  // Drops the pending copies standing on the selected lines.
  void Remove(std::size_t d, const std::vector<int>& selectedLines);
  // Gives the pending copy on `line` a new name; Exists when a line of the
  // destination already has it (ignoring case); Nothing for an empty name or
  // a line of an existing material.
  RenameOutcome Rename(std::size_t d, int line, const std::string& name);

  // Applies every pending copy to gObjects and rebuilds the object list after
  // the old groups, so that entry k names gObjects[k]. True when anything was
  // copied (the document is then marked changed).
  bool Apply();

 private:
  std::vector<DestRec> dest_;
  std::size_t groups_ = 0;
};

}  // namespace vandrel
