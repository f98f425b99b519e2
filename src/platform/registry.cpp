#include "platform/registry.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "common/encoding.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "platform/path_case.h"
#include "platform/program_folder.h"

namespace vandrel {

namespace {

constexpr std::string_view kAppPathsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Poser.exe";
constexpr std::string_view kAppPathsKey32 =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Poser.exe";

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string StorePath() { return JoinPath(UserConfigFolder(), "Registry.ini"); }

struct ValueRef {
  std::string key;   // "HKLM\Software\..." with the short hive name
  std::string name;  // "@" for the default value
};

// Splits "HKEY_LOCAL_MACHINE\Software\...\Name" into key and value name; the
// hive gets its short form. nullopt for an unknown hive or no key at all.
std::optional<ValueRef> ParseValuePath(std::string_view path) {
  static constexpr std::pair<std::string_view, std::string_view> kHives[] = {
      {"HKLM", "HKLM"}, {"HKEY_LOCAL_MACHINE", "HKLM"},  {"HKCU", "HKCU"}, {"HKEY_CURRENT_USER", "HKCU"},
      {"HKCR", "HKCR"}, {"HKEY_CLASSES_ROOT", "HKCR"},   {"HKU", "HKU"},   {"HKEY_USERS", "HKU"},
      {"HKCC", "HKCC"}, {"HKEY_CURRENT_CONFIG", "HKCC"},
  };
  std::size_t firstSep = path.find('\\');
  if (firstSep == std::string_view::npos) return std::nullopt;
  std::string_view hive = path.substr(0, firstSep);
  std::string_view shortHive;
  for (const auto& [name, shortName] : kHives) {
    if (EqualsNoCase(hive, name)) shortHive = shortName;
  }
  if (shortHive.empty()) return std::nullopt;
  std::size_t lastSep = path.rfind('\\');
  ValueRef ref;
  ref.key = std::string(shortHive) + std::string(path.substr(firstSep, lastSep - firstSep));
  ref.name = std::string(path.substr(lastSep + 1));
  if (ref.name.empty()) ref.name = "@";
  return ref;
}

// The store's text, "" when it does not exist yet, nullopt when it exists but
// cannot be read (it must not be replaced then).
std::optional<std::string> ReadStore() {
  std::string path = StorePath();
  if (auto bytes = ReadWholeFile(path)) return bytes;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return std::string();
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads Wine's escaped text from `pos` up to the unescaped `close` character
// and moves `pos` past it. Characters Wine writes as \x.... (UTF-16 units)
// come out as UTF-8. nullopt when the closing character is missing.
std::optional<std::string> ReadEscaped(std::string_view line, std::size_t& pos, char close) {
  std::string out;
  unsigned pendingHigh = 0;  // a UTF-16 high surrogate waiting for its partner
  auto putUnit = [&](unsigned unit) {
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (pendingHigh) AppendUtf8(out, 0xFFFD);
      pendingHigh = unit;
      return;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      AppendUtf8(out, pendingHigh ? 0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00) : 0xFFFD);
      pendingHigh = 0;
      return;
    }
    if (pendingHigh) AppendUtf8(out, 0xFFFD);
    pendingHigh = 0;
    AppendUtf8(out, unit);
  };
  auto putByte = [&](char c) {
    if (pendingHigh) AppendUtf8(out, 0xFFFD);
    pendingHigh = 0;
    out += c;
  };
  while (pos < line.size()) {
    char c = line[pos++];
    if (c == close) {
      if (pendingHigh) AppendUtf8(out, 0xFFFD);
      return out;
    }
    if (c != '\\' || pos >= line.size()) {
      putByte(c);
      continue;
    }
    char e = line[pos++];
    switch (e) {
      case 'n':
        putByte('\n');
        break;
      case 'r':
        putByte('\r');
        break;
      case 't':
        putByte('\t');
        break;
      case 'a':
        putByte('\a');
        break;
      case 'b':
        putByte('\b');
        break;
      case 'e':
        putByte('\x1B');
        break;
      case 'f':
        putByte('\f');
        break;
      case 'v':
        putByte('\v');
        break;
      case 'x': {
        unsigned unit = 0;
        int digits = 0;
        for (int d; digits < 4 && pos < line.size() && (d = HexDigit(line[pos])) >= 0; ++digits, ++pos) {
          unit = unit * 16 + static_cast<unsigned>(d);
        }
        if (digits == 0) {
          putByte('x');
        } else {
          putUnit(unit);
        }
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          unsigned unit = static_cast<unsigned>(e - '0');
          for (int digits = 1; digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7';
               ++digits) {
            unit = unit * 8 + static_cast<unsigned>(line[pos++] - '0');
          }
          putUnit(unit);
        } else {
          putByte(e);  // \\, \", \[, \] and anything else: the character itself
        }
    }
  }
  return std::nullopt;
}

// The data of a value line after "=": a string (plain or str(N):"..."), or a
// dword given back in decimal. nullopt for other types.
std::optional<std::string> ReadWineData(std::string_view line, std::size_t pos) {
  std::string_view rest = line.substr(pos);
  if (rest.substr(0, 4) == "str(") {
    std::size_t colon = rest.find("):");
    if (colon == std::string_view::npos) return std::nullopt;
    pos += colon + 2;
    rest = line.substr(pos);
  }
  if (!rest.empty() && rest.front() == '"') {
    ++pos;
    return ReadEscaped(line, pos, '"');
  }
  if (rest.substr(0, 6) == "dword:") {
    unsigned long long value = 0;
    std::size_t i = 6;
    for (int d; i < rest.size() && (d = HexDigit(rest[i])) >= 0; ++i)
      value = value * 16 + static_cast<unsigned>(d);
    if (i == 6) return std::nullopt;
    return std::to_string(value);
  }
  return std::nullopt;
}

std::string WinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && prefix[0] != '\0') return WithoutTrailingSlash(prefix);
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : JoinPath(home, ".wine");
}

}  // namespace

std::optional<std::string> RegRead(const std::string& valuePath) {
  auto ref = ParseValuePath(valuePath);
  if (!ref) return std::nullopt;
  auto text = ReadWholeFile(StorePath());
  if (!text) return std::nullopt;
  return FindIniValueText(*text, ref->key, ref->name);
}

bool RegWrite(const std::string& valuePath, const std::string& value) {
  auto ref = ParseValuePath(valuePath);
  if (!ref) return false;
  // The INI layer keeps blanks and quotes around the value.
  if (!IsWritableIniEntry(ref->key, ref->name, value)) return false;
  auto text = ReadStore();
  if (!text) return false;
  return WriteFileAtomic(StorePath(), WriteIniText(*text, ref->key, ref->name, value)).empty();
}

bool RegDelete(const std::string& valuePath) {
  auto ref = ParseValuePath(valuePath);
  if (!ref) return false;
  auto text = ReadStore();
  if (!text) return false;
  // A trailing "\" names the key itself, as the Windows Script Host takes it.
  const bool wholeKey = !valuePath.empty() && valuePath.back() == '\\';
  std::string updated =
      wholeKey ? DeleteIniSectionText(*text, ref->key) : DeleteIniKeyText(*text, ref->key, ref->name);
  if (updated == *text) return false;  // nothing of that name
  return WriteFileAtomic(StorePath(), updated).empty();
}

std::optional<std::string> ReadWineRegValue(const std::string& regText, const std::string& keyPath,
                                            const std::string& name) {
  std::string_view wantedKey = keyPath;
  while (!wantedKey.empty() && wantedKey.front() == '\\') wantedKey.remove_prefix(1);
  while (!wantedKey.empty() && wantedKey.back() == '\\') wantedKey.remove_suffix(1);
  const bool wantDefault = name.empty() || name == "@";

  std::string_view text = regText;
  bool inKey = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;

    if (line.front() == '[') {
      std::size_t pos = 1;
      auto key = ReadEscaped(line, pos, ']');
      inKey = key && EqualsNoCase(*key, wantedKey);
      continue;
    }
    if (!inKey) continue;

    std::size_t pos = 0;
    bool isDefault = false;
    std::optional<std::string> valueName;
    if (line.front() == '@') {
      isDefault = true;
      pos = 1;
    } else if (line.front() == '"') {
      pos = 1;
      valueName = ReadEscaped(line, pos, '"');
      if (!valueName) continue;
    } else {
      continue;  // #time, #class, comments, continued hex data
    }
    if (pos >= line.size() || line[pos] != '=') continue;
    bool matches = wantDefault ? isDefault : (!isDefault && EqualsNoCase(*valueName, name));
    if (matches) return ReadWineData(line, pos + 1);
  }
  return std::nullopt;
}

std::string WinePathToNative(const std::string& winPath, const std::string& prefix) {
  const bool hasDrive =
      winPath.size() >= 2 && winPath[1] == ':' &&
      ((winPath[0] >= 'A' && winPath[0] <= 'Z') || (winPath[0] >= 'a' && winPath[0] <= 'z')) &&
      (winPath.size() == 2 || winPath[2] == '\\' || winPath[2] == '/');
  if (!hasDrive) return winPath;
  const char letter = LCase(std::string_view(winPath).substr(0, 1))[0];
  std::string native = WithoutTrailingSlash(prefix);
  native = letter == 'c' ? JoinPath(native, "drive_c")
                         : JoinPath(native, std::string("dosdevices/") + letter + ":");
  for (std::size_t i = 2; i < winPath.size(); ++i) {
    char c = winPath[i] == '\\' ? '/' : winPath[i];
    if (c == '/' && native.back() == '/') continue;  // "C:\\a" or "C:\a\\b": one separator
    native += c;
  }
  return native;
}

std::optional<std::string> ReadPoserAppPath() {
  if (auto stored = RegRead("HKLM\\" + std::string(kAppPathsKey) + "\\Path"); stored && !stored->empty()) {
    return WithoutTrailingSlash(*stored);
  }
  std::string prefix = WinePrefix();
  if (prefix.empty()) return std::nullopt;
  auto text = ReadWholeFile(JoinPath(prefix, "system.reg"));
  if (!text) return std::nullopt;
  for (std::string_view key : {kAppPathsKey, kAppPathsKey32}) {
    auto value = ReadWineRegValue(*text, std::string(key), "Path");
    if (!value || value->find_first_not_of(" \t") == std::string::npos) continue;
    std::string native = WithoutTrailingSlash(WinePathToNative(*value, prefix));
    // Windows paths ignore case; give the folder as it is stored when it exists.
    std::string stored = ResolvePathCase(native);
    return stored.empty() ? native : stored;
  }
  return std::nullopt;
}

}  // namespace vandrel
