// Selection templates: named lists of material names kept as
// Templates/<name>.cfg in the user's data folder. The one reader and writer of
// that file, the listing of the folder, and the group editing the template
// window does.
//
// The file: per group its name line, "{", one member name per line, "}";
// every line ends with CR LF; no header. A member line is a whole line and a
// group ends at a line that is exactly "}", so names holding braces or
// quotes read back as written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

struct SelectionGroup {
  std::string Name;
  std::vector<std::string> Members;  // in order, each once
};

struct SelectionTemplate {
  std::vector<SelectionGroup> Groups;

  // Index of the group named `name` without regard to case, or npos.
  std::size_t FindGroup(std::string_view name) const;
  // Appends an empty group; false (and nothing changes) when a group of that
  // name exists, compared without regard to case.
  bool AddGroup(const std::string& name);
  void DeleteGroup(std::size_t group);
  // Appends the names the group does not hold yet (exact comparison), in order.
  void AddMembers(std::size_t group, const std::vector<std::string>& names);
  // Removes every member equal to one of `names`.
  void RemoveMembers(std::size_t group, const std::vector<std::string>& names);
  // Groups whose names differ only in case become the first of them, which
  // takes on the later ones' members. Linear in groups and members.
  void MergeGroupsEqualButForCase();
};

// The template file's text.
std::string FormatTemplate(const SelectionTemplate& tpl);
// Reads a template file's text; returns an error text ("" on success), and
// `out` is changed only on success. Lines may end in CR LF or LF; blank lines
// between groups are passed over; duplicate member lines count once. An
// empty text is a template without groups.
std::string ParseTemplate(std::string_view text, SelectionTemplate& out);
// A name the file cannot hold (a line break, an empty group name, a member
// that is exactly "}"): an error text naming it, "" when all can be written.
std::string TemplateWriteProblem(const SelectionTemplate& tpl);

// The Templates folder in the user's data folder (UserDataFolder).
std::string TemplatesFolder();
// The file of a template: TemplatesFolder()/<name>.cfg, or the file there
// whose extension (or name) differs only in case when that one is missing.
std::string TemplateFile(const std::string& name);
// Creates the Templates and Cache folders when missing.
void CreateTemplateAndCacheFolders();
// The templates: names of the folder's files whose name ends in ".cfg" in
// any case, without those four characters, sorted without regard to case
// (names equal but for case in byte order). Sub-folders are not listed.
// Creates the Templates and Cache folders when missing.
struct TemplateEntry {
  std::string name;  // shown in the lists
  std::string path;  // its file
};
std::vector<TemplateEntry> ListTemplates();
std::vector<std::string> TemplateNames();

// Reads a template file; an error text ("" on success) that says which file.
std::string ReadTemplateFile(const std::string& path, SelectionTemplate& out);
// Writes a template file atomically, creating its folder when missing; an
// error text, "" on success.
std::string WriteTemplateFile(const std::string& path, const SelectionTemplate& tpl);

// Save-as rules for a typed template name.
// True when the name holds one of \ / : * ? " < > |.
bool HasForbiddenTemplateChar(std::string_view name);
inline constexpr const char* kForbiddenTemplateCharsMessage =
    "The name cannot contain any of the following characters:\r\n\\/:*?\"<>|";
// The name without a ".cfg" ending typed in any case: cut only when the name
// is longer than four characters and its first ".cfg" is that ending.
std::string TemplateBaseName(const std::string& name);
// The file Save template as writes for a typed name (already checked and cut
// by the rules above): the Templates file of that name, or the existing one
// whose name differs only in case, so that replacing it leaves no second file.
// `exists` tells whether one is there.
std::string TemplateSavePath(const std::string& name, bool& exists);

// Which rows of a material list a group selects: row i when its text equals
// one member in their Unicode form (Windows-1252 or UTF-8 alike). Linear in
// rows + members.
std::vector<bool> GroupSelection(const SelectionGroup& group, const std::vector<std::string>& rows);

}  // namespace vandrel
