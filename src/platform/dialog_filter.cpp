#include "platform/dialog_filter.h"

#include <vector>

#include "common/text.h"

namespace vandrel {

namespace {

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(sep, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::string Patterns(const std::string& patterns) {
  std::string out;
  for (const std::string& raw : Split(patterns, ';')) {
    const std::string p = Trim(raw);
    if (p.empty()) continue;
    if (p == "*.*" || p == "*") return "*";
    if (!out.empty()) out += ' ';
    out += p;
    if (UCase(p) != p) out += ' ' + UCase(p);
  }
  return out;
}

std::vector<std::string> Entries(const std::string& filter) {
  std::vector<std::string> entries;
  const std::vector<std::string> parts = Split(filter, '|');
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
    entries.push_back(parts[i] + " (" + Patterns(parts[i + 1]) + ")");
  return entries;
}

}  // namespace

std::string QtFilterOf(const std::string& filter) {
  std::string out;
  for (const std::string& entry : Entries(filter)) {
    if (!out.empty()) out += ";;";
    out += entry;
  }
  return out;
}

std::string QtFilterEntry(const std::string& filter, int index) {
  const std::vector<std::string> entries = Entries(filter);
  return index >= 1 && index <= static_cast<int>(entries.size()) ? entries[index - 1] : std::string();
}

}  // namespace vandrel
