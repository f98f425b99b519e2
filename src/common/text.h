// Text primitives on Poser bytes. Positions are 1-based as the documented
// procedures count them: 0 means "not found".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vandrel {

// Position of the first occurrence of `what` in `text` at or after `start`
// (1-based; 0 counts as 1), or 0. An empty `what` is found at `start` when
// start <= len+1.
std::size_t InStr(std::size_t start, std::string_view text, std::string_view what);
inline std::size_t InStr(std::string_view text, std::string_view what) { return InStr(1, text, what); }

// Position of the last occurrence of `what` lying wholly within characters
// 1..`start` of `text` (start 0 or beyond the end = the whole text), or 0.
// An empty `what` is found at that last character (0 in an empty text).
std::size_t InStrRev(std::string_view text, std::string_view what, std::size_t start = 0);

// Characters start.. (1-based; 0 counts as 1) of `text`, at most `length` of
// them; empty past the end. npos length = to the end. Left and Right give at
// most the whole text.
std::string Mid(std::string_view text, std::size_t start, std::size_t length = std::string_view::npos);
std::string Left(std::string_view text, std::size_t length);
std::string Right(std::string_view text, std::size_t length);

// ASCII-only case mapping; keeps the length, so positions carry over.
std::string LCase(std::string_view text);
std::string UCase(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);

// Trimming removes blanks (character 32) only.
std::string Trim(std::string_view text);
std::string LTrim(std::string_view text);
std::string RTrim(std::string_view text);

// Removes every TAB, CR and LF, then trims blanks.
std::string CleanLine(std::string_view text);
// The same into `out`, whose memory is used again.
void CleanLineInto(std::string_view text, std::string& out);

// Replaces every occurrence of `what` by `with` in one left-to-right pass;
// replaced text is not searched again. An empty `what` changes nothing.
std::string Replace(std::string_view text, std::string_view what, std::string_view with);

// Removes every occurrence of the character `c`.
std::string RemoveChar(std::string_view text, char c);

// The markup characters & < > " of a text made harmless in HTML and XML.
std::string HtmlEscape(std::string_view text);

}  // namespace vandrel
