#include "tools/selection_templates.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

#include "common/encoding.h"
#include "common/text.h"
#include "maps/map_cache.h"
#include "platform/files.h"
#include "platform/path_case.h"
#include "platform/program_folder.h"

namespace vandrel {

std::size_t SelectionTemplate::FindGroup(std::string_view name) const {
  for (std::size_t i = 0; i < Groups.size(); ++i)
    if (EqualsNoCase(Groups[i].Name, name)) return i;
  return std::string::npos;
}

bool SelectionTemplate::AddGroup(const std::string& name) {
  if (FindGroup(name) != std::string::npos) return false;
  Groups.push_back(SelectionGroup{name, {}});
  return true;
}

void SelectionTemplate::DeleteGroup(std::size_t group) {
  if (group < Groups.size()) Groups.erase(Groups.begin() + static_cast<std::ptrdiff_t>(group));
}

void SelectionTemplate::AddMembers(std::size_t group, const std::vector<std::string>& names) {
  if (group >= Groups.size()) return;
  std::vector<std::string>& members = Groups[group].Members;
  std::unordered_set<std::string> held(members.begin(), members.end());
  for (const std::string& name : names)
    if (held.insert(name).second) members.push_back(name);
}

void SelectionTemplate::RemoveMembers(std::size_t group, const std::vector<std::string>& names) {
  if (group >= Groups.size()) return;
  const std::unordered_set<std::string> gone(names.begin(), names.end());
  std::vector<std::string>& members = Groups[group].Members;
  members.erase(std::remove_if(members.begin(), members.end(),
                               [&](const std::string& m) { return gone.count(m) != 0; }),
                members.end());
}

void SelectionTemplate::MergeGroupsEqualButForCase() {
  std::unordered_map<std::string, std::size_t> first;                     // lower-case name -> kept group
  std::unordered_map<std::size_t, std::unordered_set<std::string>> held;  // members of groups merged into
  std::vector<SelectionGroup> kept;
  kept.reserve(Groups.size());
  for (SelectionGroup& g : Groups) {
    const auto [at, isNew] = first.emplace(LCase(g.Name), kept.size());
    if (isNew) {
      kept.push_back(std::move(g));
      continue;
    }
    std::vector<std::string>& members = kept[at->second].Members;
    auto [seen, fresh] = held.try_emplace(at->second);
    if (fresh) seen->second.insert(members.begin(), members.end());
    for (std::string& m : g.Members)
      if (seen->second.insert(m).second) members.push_back(std::move(m));
  }
  Groups = std::move(kept);
}

std::string FormatTemplate(const SelectionTemplate& tpl) {
  std::size_t size = 0;
  for (const SelectionGroup& g : tpl.Groups) {
    size += g.Name.size() + 8;
    for (const std::string& m : g.Members) size += m.size() + 2;
  }
  std::string out;
  out.reserve(size);
  for (const SelectionGroup& g : tpl.Groups) {
    out += g.Name;
    out += "\r\n{\r\n";
    for (const std::string& m : g.Members) {
      out += m;
      out += "\r\n";
    }
    out += "}\r\n";
  }
  return out;
}

std::string ParseTemplate(std::string_view text, SelectionTemplate& out) {
  SelectionTemplate tpl;
  enum { Name, Open, Members } expect = Name;
  std::unordered_set<std::string> held;
  std::string cleaned;
  std::size_t lineNo = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    // Lines end in CR LF; a stray CR (before it, or a lone one) is no part of
    // a name, and a name holding one could not be saved again.
    if (line.find('\r') != std::string_view::npos) {
      cleaned.clear();
      for (char c : line)
        if (c != '\r') cleaned += c;
      line = cleaned;
    }
    pos = next;
    ++lineNo;
    switch (expect) {
      case Name:
        if (line.empty()) break;
        tpl.Groups.push_back(SelectionGroup{std::string(line), {}});
        expect = Open;
        break;
      case Open:
        if (line != "{")
          return "Line " + std::to_string(lineNo) + " should be \"{\" after the group name \"" +
                 tpl.Groups.back().Name + "\".";
        held.clear();
        expect = Members;
        break;
      case Members:
        if (line == "}") {
          expect = Name;
        } else if (held.emplace(line).second) {
          tpl.Groups.back().Members.emplace_back(line);
        }
        break;
    }
  }
  if (expect != Name)
    return "The file ends inside the group \"" + tpl.Groups.back().Name + "\" (its \"}\" line is missing).";
  out = std::move(tpl);
  return {};
}

std::string TemplateWriteProblem(const SelectionTemplate& tpl) {
  auto hasBreak = [](const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; };
  for (const SelectionGroup& g : tpl.Groups) {
    if (g.Name.empty()) return "A selection group without a name cannot be saved.";
    if (hasBreak(g.Name)) return "The group name \"" + g.Name + "\" holds a line break.";
    for (const std::string& m : g.Members) {
      if (hasBreak(m)) return "The material name \"" + m + "\" holds a line break.";
      if (m == "}") return "A material named \"}\" cannot be kept in a template.";
    }
  }
  return {};
}

std::string TemplatesFolder() { return JoinPath(UserDataFolder(), "Templates"); }

std::string TemplateFile(const std::string& name) {
  const std::string stored = FindStoredName(TemplatesFolder(), name + ".cfg");
  return JoinPath(TemplatesFolder(), stored.empty() ? name + ".cfg" : stored);
}

void CreateTemplateAndCacheFolders() {
  std::error_code ec;
  std::filesystem::create_directories(TemplatesFolder(), ec);
  std::filesystem::create_directories(CacheFolder(), ec);
}

std::vector<TemplateEntry> ListTemplates() {
  namespace fs = std::filesystem;
  CreateTemplateAndCacheFolders();
  struct Entry {
    std::string lower, name, path;
  };
  std::vector<Entry> entries;
  std::error_code ec;
  for (auto it = fs::directory_iterator(TemplatesFolder(), ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    std::error_code typeEc;
    if (!it->is_regular_file(typeEc)) continue;
    const std::string name = it->path().filename().string();
    if (name.size() < 4 || LCase(Right(name, 4)) != ".cfg") continue;
    std::string base = name.substr(0, name.size() - 4);
    entries.push_back(Entry{LCase(base), std::move(base), it->path().string()});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.lower != b.lower ? a.lower < b.lower : a.name != b.name ? a.name < b.name : a.path < b.path;
  });
  std::vector<TemplateEntry> list;
  list.reserve(entries.size());
  for (Entry& e : entries) list.push_back(TemplateEntry{std::move(e.name), std::move(e.path)});
  return list;
}

std::vector<std::string> TemplateNames() {
  std::vector<std::string> names;
  for (TemplateEntry& e : ListTemplates()) names.push_back(std::move(e.name));
  return names;
}

std::string ReadTemplateFile(const std::string& path, SelectionTemplate& out) {
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) return "The selection template " + path + " cannot be read (it may have been deleted).";
  std::string error = ParseTemplate(*text, out);
  if (!error.empty()) return "The selection template " + path + " is damaged:\r\n" + error;
  return {};
}

std::string WriteTemplateFile(const std::string& path, const SelectionTemplate& tpl) {
  std::string problem = TemplateWriteProblem(tpl);
  if (!problem.empty()) return problem;
  const std::string folder = FolderOf(path);
  if (!folder.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
  }
  std::string error = WriteFileAtomic(path, FormatTemplate(tpl));
  if (!error.empty()) return "The selection template " + path + " could not be saved: " + error;
  return {};
}

bool HasForbiddenTemplateChar(std::string_view name) {
  return name.find_first_of("\"/\\*?:<>|") != std::string_view::npos;
}

std::string TemplateBaseName(const std::string& name) {
  if (name.size() > 4 && InStr(LCase(name), ".cfg") == name.size() - 3) return Left(name, name.size() - 4);
  return name;
}

std::string TemplateSavePath(const std::string& name, bool& exists) {
  const std::string folder = TemplatesFolder();
  const std::string stored = FindStoredName(folder, name + ".cfg");
  exists = !stored.empty();
  return JoinPath(folder, exists ? stored : name + ".cfg");
}

std::vector<bool> GroupSelection(const SelectionGroup& group, const std::vector<std::string>& rows) {
  // Names compare in their Unicode form: a template written in Windows-1252
  // selects the same materials in a file written in UTF-8.
  std::unordered_set<std::string> members;
  for (const std::string& member : group.Members) members.insert(PoserTextToUtf8(member));
  std::vector<bool> selected(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) selected[i] = members.count(PoserTextToUtf8(rows[i])) != 0;
  return selected;
}

}  // namespace vandrel
