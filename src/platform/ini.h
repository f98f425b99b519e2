// Our own INI engine with the Windows profile-file rules: section and key
// names compared without regard to case (ASCII), the first matching section
// and the first matching key in it win, names and values trimmed of blanks
// and TABs and one pair of matching outer quotes ("..." or '...') removed
// from a value; a missing file, section or key gives the default. Lines end
// in CR LF, LF or a lone CR. A line whose first non-blank character is ";"
// is a comment, never a key; a line without "=" is no key either.
//
// Writing replaces a value in place (the line becomes "key=value" with the
// key's written name; a value with blanks at either end or in matching outer
// quotes is written inside quotes, so that it reads back as it was), appends a new key after the last
// non-blank line of its section and a new section ("[Section]" then "key=value") at the end of the file,
// keeps every other line as it was, ends every line with CR LF and replaces the file atomically. Values of
// any length. A UTF-8 byte order mark at the start of the file is skipped when reading and kept when writing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vandrel {

std::string ReadIni(std::string_view section, std::string_view key, const std::string& iniFile,
                    std::string_view defaultValue = {});

// Returns false when the file could not be written (callers that ignore
// errors may drop the result). The file is created when missing. An entry that
// could not be read back as written is refused (false, file untouched): an
// empty section or key name, a line break in a name or the value, a key name
// holding "=" or starting with ";" or "[".
bool WriteIni(std::string_view section, std::string_view key, std::string_view value,
              const std::string& iniFile);

// The same rules on text already in memory, for the registry store and tests.
std::string ReadIniText(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view defaultValue = {});
// The value, or nullopt when the section or key is missing (tells a missing
// key from an empty value).
std::optional<std::string> FindIniValueText(std::string_view text, std::string_view section,
                                            std::string_view key);
// The text with the entry written (every line ending CR LF); the text
// unchanged when WriteIni would refuse the entry.
std::string WriteIniText(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);
// True when WriteIni accepts the entry (see above).
bool IsWritableIniEntry(std::string_view section, std::string_view key, std::string_view value);
// Removes a key (the whole line); text unchanged when it is absent.
std::string DeleteIniKeyText(std::string_view text, std::string_view section, std::string_view key);
// Removes the first matching section: its header and every line up to the
// next section header. Text unchanged when it is absent.
std::string DeleteIniSectionText(std::string_view text, std::string_view section);

// One INI file read once, edited in memory and written back at most once:
// a write that leaves a key's value as it reads is no change, and Save
// replaces the file (atomically) only when something changed.
class IniFileEdit {
 public:
  // Reads the file; a missing one starts empty. `loaded()` is false when an
  // existing file could not be read (Save then refuses to replace it).
  explicit IniFileEdit(std::string path);

  bool loaded() const { return loaded_; }
  bool changed() const { return changed_; }
  const std::string& text() const { return text_; }

  std::string Read(std::string_view section, std::string_view key, std::string_view defaultValue = {}) const;
  // Sets the value unless the key already reads as it; false when WriteIni
  // would refuse the entry or the file could not be read.
  bool Write(std::string_view section, std::string_view key, std::string_view value);
  // Replaces the whole text (a new file's first lines).
  void SetText(std::string text);
  // Writes the file when something changed; an error text, empty on success
  // or when nothing changed.
  std::string Save();

 private:
  std::string path_;
  std::string text_;
  bool loaded_ = true;
  bool changed_ = false;
};

}  // namespace vandrel
