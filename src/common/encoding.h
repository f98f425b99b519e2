// The two encodings Vandrel meets. Poser text (inside Poser files and our
// own Poser-style files) is Windows-1252 bytes, or UTF-8 where a name has no
// Windows-1252 form; the screen, file names on disk and the HTML report are
// Unicode in UTF-8. Every boundary between the two converts here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vandrel {

// Appends the UTF-8 form of one code point (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t cp);

// The code point of the UTF-8 sequence starting at `pos` (`pos` is advanced
// past it), or nullopt when the bytes there are no valid UTF-8 (overlong
// forms, surrogates and code points above U+10FFFF included; `pos` is then
// left as it was). `pos` must be below the text's size.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos);

// True when `bytes` is valid UTF-8 holding at least one multi-byte sequence
// (plain ASCII is not).
bool IsMultiByteUtf8(std::string_view bytes);

// Windows-1252 bytes as UTF-8. Every byte has a form: the five bytes the code
// page leaves unassigned keep their own code points (0x81 is U+0081), so the
// way back gives the same bytes.
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-8 as Windows-1252 bytes; nullopt when the text is not valid UTF-8 or
// holds a character the code page has no form for.
std::optional<std::string> Utf8ToWindows1252(std::string_view utf8);

// Poser text as Unicode, for the screen, the disk and the report: the bytes
// as they stand when they are valid UTF-8 holding a multi-byte sequence (a
// file written in UTF-8), else decoded as Windows-1252.
std::string PoserTextToUtf8(std::string_view text);

// Unicode text entering Poser text (typed, picked, dropped, a name found on
// disk): Windows-1252 when every character has a form there, else the UTF-8
// as it is (a Cyrillic name cannot be written any other way). Bytes that are
// not valid UTF-8 are kept as they stand. The result always reads back
// (PoserTextToUtf8) as the text given: where the Windows-1252 bytes would
// also be valid UTF-8 ("ANDRÉ’S" gives C9 92, the UTF-8 of "ɒ"), the UTF-8
// form is kept.
std::string Utf8ToPoserText(std::string_view utf8);

// The second reading of Poser text that PoserTextToUtf8 takes as UTF-8: the
// same bytes decoded as Windows-1252 (a name Poser wrote whose accented
// letter and following sign happen to form a UTF-8 sequence); nullopt for
// text that has only one reading. Lookups of a name try both.
std::optional<std::string> OtherReading(std::string_view text);

// The one form file names are compared in: the Unicode form (as
// PoserTextToUtf8 gives it) with ASCII letters in lower case. Names from
// Poser text and names from the disk compare equal when they name the same
// file without regard to ASCII case ("P\xEAche.jpg" and "p\xC3\xAAche.JPG").
std::string FileNameKey(std::string_view name);

// Whether every byte is below 128.
bool IsAscii(std::string_view text);

}  // namespace vandrel
