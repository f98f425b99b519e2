// Text helpers of the Poser reader. Each one is a single pass over the text,
// so that the reader stays linear on files of a hundred megabytes. Positions
// are 1-based as in common/text.h: 0 means "not found".
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vandrel {

// Mid that fails the way the original's does: a start below 1 or a negative
// length is an invalid procedure call (ReadFault 5).
std::string MidChecked(std::string_view text, long long start, long long length);
std::string MidChecked(std::string_view text, long long start);

// Every CR becomes LF (same length, so positions carry over).
void CrToLf(std::string& text);
std::string CrToLfCopy(std::string_view text);

// Replacing `lineEnd` followed by `c` with `lineEnd` until none is left, done
// in one pass: the run of `c` after every line end goes.
std::string RemoveRunsAfter(std::string_view text, std::string_view lineEnd, char c);
// The indentation removal of the reader: LF TAB until none is left, then LF
// blank until none is left.
std::string RemoveIndentation(std::string_view text);
// The same in place (the text only shrinks).
void RemoveIndentationInPlace(std::string& text);
// The same removal after every lone CR (a CR that no LF follows), in place:
// a text with CR line ends then loses the indentation that one with LF line
// ends lost in RemoveIndentationInPlace.
void RemoveIndentationAfterLoneCrInPlace(std::string& text);

// Removes every occurrence of the text's own stretch of `length` characters
// at `start` (1-based), left to right as Replace(text, stretch, "") does,
// in place and without searching the text for the stretch in full.
void RemoveStretchEverywhere(std::string& text, std::size_t start, std::size_t length);

// Whether CleanLine(text) holds / begins with `what`, without building it
// (`poll` is called every few megabytes). `lower` compares the lower-cased
// text.
bool CleanLineContains(std::string_view text, std::string_view what, const std::function<void()>& poll = {});
bool CleanLineStartsWith(std::string_view text, std::string_view what, bool lower);

// A position stands at a line start when only blanks and TABs lie between it
// and the preceding line end (LF; CR too when `crIsLineEnd`) or `base` (the
// first position of the text being cut out, 1-based).
bool AtLineStart(std::string_view text, std::size_t pos, std::size_t base, bool crIsLineEnd);
// First occurrence of `key` at or after `start` that stands at a line start.
std::size_t FindAtLineStart(std::string_view text, std::string_view key, std::size_t start, std::size_t base,
                            bool crIsLineEnd);
// Last such occurrence lying wholly within characters 1..`limit` (0 = all).
std::size_t FindLastAtLineStart(std::string_view text, std::string_view key, std::size_t limit,
                                std::size_t base, bool crIsLineEnd);

// Position of the line end (LF; CR too when `crIsLineEnd`) that directly
// precedes an occurrence of `key`: the first at or after `start`, or the last.
std::size_t FindLineEndKey(std::string_view text, std::string_view key, std::size_t start, bool crIsLineEnd);
std::size_t FindLastLineEndKey(std::string_view text, std::string_view key, bool crIsLineEnd);

// Whether the text at `pos` (1-based) holds `name` as a whole line: `name`,
// then only blanks and TABs up to a line end (LF; CR too when `crIsLineEnd`,
// otherwise a CR is passed over like a blank), a "{" (when `braceEnds`) or the
// end of the text.
bool WholeLineAt(std::string_view text, std::size_t pos, std::string_view name, bool braceEnds,
                 bool crIsLineEnd);
// The text of the line at `pos` (1-based) up to its line end (or "{" when
// `braceEnds`), without the blanks, TABs and CRs at its end: a name without
// blanks at its end stands there as a whole line (WholeLineAt) exactly when
// it equals this text.
std::string_view WholeLineText(std::string_view text, std::size_t pos, bool braceEnds, bool crIsLineEnd);

// First occurrence of `key` at or after `start` that only blanks, TABs and
// CRs follow up to a LF: the key ends its line, whatever blanks a hand or
// another tool left after it. 0 = none.
std::size_t FindEndingLine(std::string_view text, std::string_view key, std::size_t start);
// The last such occurrence; 0 = none.
std::size_t FindLastEndingLine(std::string_view text, std::string_view key);

// 1-based position where the line after the one holding `pos` begins: after
// the next LF, and after a second LF that follows it directly (a CR LF line
// end whose CR became LF). The text's length + 1 when there is none.
std::size_t LineAfter(std::string_view text, std::size_t pos);

}  // namespace vandrel
