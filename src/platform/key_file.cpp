#include "platform/key_file.h"

#include <utility>

namespace vandrel {

namespace {

// One line of a key file: its text and its line end ("" for a last line without one).
struct Line {
  std::string_view body, end;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) {
      lines.push_back({text.substr(pos), {}});
      break;
    }
    std::size_t bodyEnd = nl;
    if (bodyEnd > pos && text[bodyEnd - 1] == '\r') --bodyEnd;
    lines.push_back({text.substr(pos, bodyEnd - pos), text.substr(bodyEnd, nl + 1 - bodyEnd)});
    pos = nl + 1;
  }
  return lines;
}

std::string TrimSpace(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return std::string(s);
}

// The section a header line opens, or nullopt for any other line.
std::optional<std::string> SectionOf(std::string_view body) {
  const std::string t = TrimSpace(body);
  if (t.size() >= 2 && t.front() == '[' && t.back() == ']') return t.substr(1, t.size() - 2);
  return std::nullopt;
}

// The key of a "key=value" line and its value; nullopt for comments and other lines.
std::optional<std::pair<std::string, std::string>> KeyValueOf(std::string_view body) {
  const std::string t = TrimSpace(body);
  if (t.empty() || t.front() == '#') return std::nullopt;
  const std::size_t eq = t.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return std::make_pair(TrimSpace(std::string_view(t).substr(0, eq)),
                        TrimSpace(std::string_view(t).substr(eq + 1)));
}

std::vector<std::string> SplitList(std::string_view value) {
  std::vector<std::string> entries;
  std::size_t pos = 0;
  while (pos <= value.size()) {
    std::size_t semi = value.find(';', pos);
    if (semi == std::string_view::npos) semi = value.size();
    std::string entry = TrimSpace(value.substr(pos, semi - pos));
    if (!entry.empty()) entries.push_back(std::move(entry));
    pos = semi + 1;
  }
  return entries;
}

}  // namespace

std::optional<std::string> KeyFileEntry(std::string_view text, std::string_view section,
                                        std::string_view key) {
  std::optional<std::string> found;
  bool inSection = false;
  for (const Line& line : SplitLines(text)) {
    if (auto name = SectionOf(line.body)) {
      inSection = *name == section;
    } else if (inSection) {
      if (auto kv = KeyValueOf(line.body); kv && kv->first == key) found = kv->second;
    }
  }
  return found;
}

std::string EditMimeAppsText(std::string_view text, std::string_view section, std::string_view mimeType,
                             std::string_view desktopId, bool add) {
  const std::vector<Line> lines = SplitLines(text);
  const std::string eol(!lines.empty() && !lines.front().end.empty() ? lines.front().end : "\n");

  std::string out;
  bool inSection = false, inFirstSection = false, sawSection = false, sawKey = false;
  // Where a new key goes: after the last non-blank line of the first matching section.
  std::size_t insertAt = std::string::npos;
  bool insertNeedsEol = false;
  auto markInsert = [&](const Line& line) {
    insertAt = out.size();
    insertNeedsEol = line.end.empty();
  };
  for (const Line& line : lines) {
    if (auto name = SectionOf(line.body)) {
      inSection = *name == section;
      inFirstSection = inSection && !sawSection;
      sawSection = sawSection || inSection;
      out.append(line.body).append(line.end);
      if (inFirstSection) markInsert(line);
      continue;
    }
    if (inSection) {
      if (auto kv = KeyValueOf(line.body); kv && kv->first == mimeType) {
        sawKey = true;
        const std::vector<std::string> before = SplitList(kv->second);
        std::vector<std::string> entries;
        if (add) entries.emplace_back(desktopId);
        for (const std::string& e : before)
          if (e != desktopId) entries.push_back(e);
        if (entries == before) {
          out.append(line.body).append(line.end);
        } else if (!entries.empty()) {
          out.append(mimeType).append("=");
          for (const std::string& e : entries) out.append(e).append(";");
          out.append(line.end);
        }  // a list left empty loses its line
        continue;
      }
    }
    out.append(line.body).append(line.end);
    if (inFirstSection && !TrimSpace(line.body).empty()) markInsert(line);
  }
  if (!add || sawKey) return out;

  const std::string newLine = std::string(mimeType) + "=" + std::string(desktopId) + ";" + eol;
  if (sawSection) {
    out.insert(insertAt, (insertNeedsEol ? eol : std::string()) + newLine);
    return out;
  }
  if (!lines.empty()) {
    if (lines.back().end.empty()) out += eol;
    if (!TrimSpace(lines.back().body).empty()) out += eol;
  }
  out.append("[").append(section).append("]").append(eol).append(newLine);
  return out;
}

std::vector<std::string> MimeAppsEntries(std::string_view text, std::string_view section,
                                         std::string_view mimeType) {
  const auto value = KeyFileEntry(text, section, mimeType);
  return value ? SplitList(*value) : std::vector<std::string>();
}

}  // namespace vandrel
