#include "platform/ini.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "common/text.h"
#include "platform/files.h"

namespace vandrel {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kEol = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

enum class LineKind { Blank, Comment, Section, Key, Other };

struct Line {
  std::string_view text;  // without its line end
  LineKind kind = LineKind::Other;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed, quotes still on
};

struct Document {
  bool bom = false;
  std::vector<Line> lines;
};

Line Classify(std::string_view text) {
  Line line;
  line.text = text;
  std::string_view t = TrimBlanks(text);
  if (t.empty()) {
    line.kind = LineKind::Blank;
  } else if (t.front() == ';') {
    line.kind = LineKind::Comment;
  } else if (std::size_t close; t.front() == '[' && (close = t.rfind(']')) != std::string_view::npos) {
    line.kind = LineKind::Section;
    line.name = TrimBlanks(t.substr(1, close - 1));
  } else if (std::size_t eq = t.find('='); eq != std::string_view::npos) {
    line.kind = LineKind::Key;
    line.name = TrimBlanks(t.substr(0, eq));
    line.value = TrimBlanks(t.substr(eq + 1));
  }
  return line;
}

Document Parse(std::string_view text) {
  Document doc;
  if (text.substr(0, kBom.size()) == kBom) {
    doc.bom = true;
    text.remove_prefix(kBom.size());
  }
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      doc.lines.push_back(Classify(text.substr(start)));
      break;
    }
    doc.lines.push_back(Classify(text.substr(start, end - start)));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return doc;
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Span {
  std::size_t header = kNone;  // index of the section's header line
  std::size_t end = 0;         // index of the next header (or the line count)
};

Span FindSection(const Document& doc, std::string_view section) {
  Span span;
  std::string_view wanted = TrimBlanks(section);
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    if (doc.lines[i].kind != LineKind::Section) continue;
    if (span.header != kNone) {
      span.end = i;
      return span;
    }
    if (EqualsNoCase(doc.lines[i].name, wanted)) span.header = i;
  }
  span.end = doc.lines.size();
  return span;
}

std::size_t FindKey(const Document& doc, const Span& span, std::string_view key) {
  if (span.header == kNone) return kNone;
  std::string_view wanted = TrimBlanks(key);
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    if (doc.lines[i].kind == LineKind::Key && EqualsNoCase(doc.lines[i].name, wanted)) return i;
  }
  return kNone;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The value as written in a key's line: one that reading would change (blanks
// or TABs at either end, or a pair of matching outer quotes) goes inside
// quotes, which reading takes off again.
std::string Quoted(std::string_view value) {
  if (value.empty()) return {};
  const bool quoteLike =
      value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
  if (quoteLike || IsBlank(value.front()) || IsBlank(value.back())) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

// Writes the document back with CR LF line ends; `skip` lines are left out
// (from..to exclusive), `replaceAt` gets `replacement`, and `insert` lines
// follow line `insertAfter` (kNone = at the end).
struct Edit {
  std::size_t skipFrom = kNone, skipTo = kNone;
  std::size_t replaceAt = kNone;
  std::string replacement;
  std::size_t insertAfter = kNone;
  std::vector<std::string> insert;
};

std::string Render(const Document& doc, const Edit& edit) {
  std::size_t size = kBom.size();
  for (const Line& line : doc.lines) size += line.text.size() + kEol.size();
  for (const std::string& line : edit.insert) size += line.size() + kEol.size();
  size += edit.replacement.size();

  std::string out;
  out.reserve(size);
  if (doc.bom) out += kBom;
  auto emitInserted = [&] {
    for (const std::string& line : edit.insert) {
      out += line;
      out += kEol;
    }
  };
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    if (edit.skipFrom != kNone && i >= edit.skipFrom && i < edit.skipTo) continue;
    out += i == edit.replaceAt ? std::string_view(edit.replacement) : doc.lines[i].text;
    out += kEol;
    if (i == edit.insertAfter) emitInserted();
  }
  if (edit.insertAfter == kNone) emitInserted();
  return out;
}

// The file's bytes, "" when it does not exist yet, nullopt when it exists
// but cannot be read (it must not be replaced then).
std::optional<std::string> ReadFileForUpdate(const std::string& path) {
  if (auto bytes = ReadWholeFile(path)) return bytes;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return std::string();
  return std::nullopt;
}

}  // namespace

std::optional<std::string> FindIniValueText(std::string_view text, std::string_view section,
                                            std::string_view key) {
  Document doc = Parse(text);
  std::size_t at = FindKey(doc, FindSection(doc, section), key);
  if (at == kNone) return std::nullopt;
  return std::string(Unquote(doc.lines[at].value));
}

std::string ReadIniText(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view defaultValue) {
  if (auto value = FindIniValueText(text, section, key)) return *value;
  return std::string(defaultValue);
}

std::string ReadIni(std::string_view section, std::string_view key, const std::string& iniFile,
                    std::string_view defaultValue) {
  auto bytes = ReadWholeFile(iniFile);
  if (!bytes) return std::string(defaultValue);
  return ReadIniText(*bytes, section, key, defaultValue);
}

bool IsWritableIniEntry(std::string_view section, std::string_view key, std::string_view value) {
  std::string_view s = TrimBlanks(section);
  std::string_view k = TrimBlanks(key);
  if (s.empty() || k.empty()) return false;
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  if (k.find('=') != std::string_view::npos || k.front() == ';' || k.front() == '[') return false;
  return true;
}

std::string WriteIniText(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
  if (!IsWritableIniEntry(section, key, value)) return std::string(text);
  Document doc = Parse(text);
  Span span = FindSection(doc, section);
  std::string keyName(TrimBlanks(key));
  Edit edit;
  if (span.header == kNone) {
    edit.insert.push_back("[" + std::string(TrimBlanks(section)) + "]");
    edit.insert.push_back(keyName + "=" + Quoted(value));
  } else if (std::size_t at = FindKey(doc, span, key); at != kNone) {
    edit.replaceAt = at;
    edit.replacement = std::string(doc.lines[at].name) + "=" + Quoted(value);
  } else {
    std::size_t last = span.header;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
      if (doc.lines[i].kind != LineKind::Blank) last = i;
    }
    edit.insertAfter = last;
    edit.insert.push_back(keyName + "=" + Quoted(value));
  }
  return Render(doc, edit);
}

bool WriteIni(std::string_view section, std::string_view key, std::string_view value,
              const std::string& iniFile) {
  if (!IsWritableIniEntry(section, key, value)) return false;
  auto old = ReadFileForUpdate(iniFile);
  if (!old) return false;
  return WriteFileAtomic(iniFile, WriteIniText(*old, section, key, value)).empty();
}

std::string DeleteIniKeyText(std::string_view text, std::string_view section, std::string_view key) {
  Document doc = Parse(text);
  std::size_t at = FindKey(doc, FindSection(doc, section), key);
  if (at == kNone) return std::string(text);
  Edit edit;
  edit.skipFrom = at;
  edit.skipTo = at + 1;
  return Render(doc, edit);
}

std::string DeleteIniSectionText(std::string_view text, std::string_view section) {
  Document doc = Parse(text);
  Span span = FindSection(doc, section);
  if (span.header == kNone) return std::string(text);
  Edit edit;
  edit.skipFrom = span.header;
  edit.skipTo = span.end;
  return Render(doc, edit);
}

IniFileEdit::IniFileEdit(std::string path) : path_(std::move(path)) {
  auto bytes = ReadFileForUpdate(path_);
  loaded_ = bytes.has_value();
  if (bytes) text_ = std::move(*bytes);
}

std::string IniFileEdit::Read(std::string_view section, std::string_view key,
                              std::string_view defaultValue) const {
  return ReadIniText(text_, section, key, defaultValue);
}

bool IniFileEdit::Write(std::string_view section, std::string_view key, std::string_view value) {
  if (!loaded_ || !IsWritableIniEntry(section, key, value)) return false;
  if (const auto old = FindIniValueText(text_, section, key); old && *old == value) return true;
  text_ = WriteIniText(text_, section, key, value);
  changed_ = true;
  return true;
}

void IniFileEdit::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  changed_ = true;
}

std::string IniFileEdit::Save() {
  if (!loaded_) return "Cannot read \"" + path_ + "\".";
  if (!changed_) return {};
  std::string error = WriteFileAtomic(path_, text_);
  if (error.empty()) changed_ = false;
  return error;
}

}  // namespace vandrel
