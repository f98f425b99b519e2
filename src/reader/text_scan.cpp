#include "reader/text_scan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/byte_scan.h"
#include "common/text.h"
#include "platform/files.h"
#include "reader/read_fault.h"

namespace vandrel {
namespace {

constexpr std::size_t npos = std::string_view::npos;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsLineEnd(char c, bool crIsLineEnd) { return c == '\n' || (crIsLineEnd && c == '\r'); }

}  // namespace

std::string MidChecked(std::string_view text, long long start, long long length) {
  if (start < 1 || length < 0) throw InvalidCallFault();
  return Mid(text, static_cast<std::size_t>(start), static_cast<std::size_t>(length));
}

std::string MidChecked(std::string_view text, long long start) {
  if (start < 1) throw InvalidCallFault();
  return Mid(text, static_cast<std::size_t>(start));
}

void CrToLf(std::string& text) { bytes::CrToLf(text.data(), text.size()); }

std::string CrToLfCopy(std::string_view text) {
  std::string out(text);
  CrToLf(out);
  return out;
}

std::string RemoveRunsAfter(std::string_view text, std::string_view lineEnd, char c) {
  // Removing a run never makes a new line end, because `c` is not part of one.
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t found = InStr(i + 1, text, lineEnd);  // 1-based
    const std::size_t hit = found == 0 ? npos : found - 1;
    const std::size_t stop = hit == npos ? text.size() : hit + lineEnd.size();
    out.append(text, i, stop - i);
    i = stop;
    if (hit == npos) break;
    while (i < text.size() && text[i] == c) ++i;
  }
  return out;
}

std::string RemoveIndentation(std::string_view text) {
  std::string out = CopyOfLargeText(text);
  RemoveIndentationInPlace(out);
  return out;
}

void RemoveIndentationInPlace(std::string& text) {
  // The first replacement never makes a new LF blank, nor the second a new
  // LF TAB that the first would have taken: one pass does both.
  text.resize(bytes::RemoveTabsThenBlanksAfterLf(text.data(), text.size()));
}

void RemoveIndentationAfterLoneCrInPlace(std::string& text) {
  char* t = text.data();
  const std::size_t n = text.size();
  // Nothing before the first lone CR changes.
  const std::size_t first = bytes::FirstLoneCr(text);
  if (first == npos) return;
  std::size_t to = first;
  std::size_t from = first;
  while (from < n) {
    const void* cr = std::memchr(t + from, '\r', n - from);
    const std::size_t stop =
        cr == nullptr ? n : static_cast<std::size_t>(static_cast<const char*>(cr) - t) + 1;
    if (to != from) std::memmove(t + to, t + from, stop - from);
    to += stop - from;
    from = stop;
    if (cr == nullptr) break;
    if (from < n && t[from] == '\n') continue;
    while (from < n && t[from] == '\t') ++from;
    while (from < n && t[from] == ' ') ++from;
  }
  text.resize(to);
}

void RemoveStretchEverywhere(std::string& text, std::size_t start, std::size_t length) {
  const std::size_t n = text.size();
  if (length == 0 || start == 0 || start - 1 + length > n) return;
  const std::size_t s = start - 1;
  const char* t = text.data();
  // An occurrence before the stretch itself is rare: look for one through a
  // short comparison at each earlier place, and only then search in full.
  const std::size_t probe = std::min<std::size_t>(length, 64);
  for (std::size_t i = 0; i < s; ++i) {
    if (std::memcmp(t + i, t + s, probe) == 0) {
      const std::string what = text.substr(s, length);
      text = Replace(text, what, "");
      return;
    }
  }
  // The stretch is the first occurrence; later ones follow it.
  std::vector<std::size_t> at{s};
  for (std::size_t from = s + length; n - from >= length;) {
    const void* hit = ::memmem(t + from, n - from, t + s, length);
    if (hit == nullptr) break;
    const std::size_t h = static_cast<std::size_t>(static_cast<const char*>(hit) - t);
    at.push_back(h);
    from = h + length;
  }
  std::size_t to = at[0];
  for (std::size_t k = 0; k < at.size(); ++k) {
    const std::size_t from = at[k] + length;
    const std::size_t stop = k + 1 < at.size() ? at[k + 1] : n;
    std::memmove(text.data() + to, t + from, stop - from);
    to += stop - from;
  }
  text.resize(to);
}

namespace {

// Walks CleanLine(text) without building it: TAB, CR and LF are skipped
// everywhere and leading blanks once. Calls `take(c)` for each character until
// it returns false.
template <class Take>
void WalkCleanLine(std::string_view text, bool lower, Take take) {
  bool leading = true;
  for (char c : text) {
    if (c == '\t' || c == '\r' || c == '\n') continue;
    if (leading && c == ' ') continue;
    leading = false;
    if (!take(lower ? Lower(c) : c)) return;
  }
}

}  // namespace

bool CleanLineContains(std::string_view text, std::string_view what, const std::function<void()>& poll) {
  if (what.empty()) return true;
  // Knuth-Morris-Pratt over the filtered characters; patterns are short.
  std::string fail(what.size(), '\0');
  std::size_t k = 0;
  for (std::size_t i = 1; i < what.size(); ++i) {
    while (k > 0 && what[i] != what[k]) k = static_cast<unsigned char>(fail[k - 1]);
    if (what[i] == what[k]) ++k;
    fail[i] = static_cast<char>(k);
  }
  // Trailing blanks that CleanLine trims could only end a match that ends
  // in blanks; the reader's patterns do not.
  bool found = false;
  k = 0;
  std::size_t walked = 0;
  WalkCleanLine(text, false, [&](char c) {
    if (++walked % (std::size_t{1} << 22) == 0 && poll) poll();
    while (k > 0 && c != what[k]) k = static_cast<unsigned char>(fail[k - 1]);
    if (c == what[k]) ++k;
    if (k == what.size()) {
      found = true;
      return false;
    }
    return true;
  });
  return found;
}

bool CleanLineStartsWith(std::string_view text, std::string_view what, bool lower) {
  std::size_t n = 0;
  bool same = true;
  WalkCleanLine(text, lower, [&](char c) {
    if (n == what.size()) return false;
    if (c != what[n]) {
      same = false;
      return false;
    }
    ++n;
    return true;
  });
  return same && n == what.size();
}

bool AtLineStart(std::string_view text, std::size_t pos, std::size_t base, bool crIsLineEnd) {
  std::size_t i = pos;  // 1-based; looks at character i - 1
  while (true) {
    if (i <= base || i <= 1) return true;
    const char c = text[i - 2];
    if (IsLineEnd(c, crIsLineEnd)) return true;
    if (c != ' ' && c != '\t') return false;
    --i;
  }
}

std::size_t FindAtLineStart(std::string_view text, std::string_view key, std::size_t start, std::size_t base,
                            bool crIsLineEnd) {
  for (std::size_t p = InStr(start, text, key); p != 0; p = InStr(p + 1, text, key))
    if (AtLineStart(text, p, base, crIsLineEnd)) return p;
  return 0;
}

std::size_t FindLastAtLineStart(std::string_view text, std::string_view key, std::size_t limit,
                                std::size_t base, bool crIsLineEnd) {
  std::size_t p = InStrRev(text, key, limit);
  while (p != 0) {
    if (AtLineStart(text, p, base, crIsLineEnd)) return p;
    if (p + key.size() - 2 == 0) return 0;
    p = InStrRev(text, key, p + key.size() - 2);
  }
  return 0;
}

std::size_t FindLineEndKey(std::string_view text, std::string_view key, std::size_t start, bool crIsLineEnd) {
  if (start == 0) start = 1;
  for (std::size_t p = InStr(start + 1, text, key); p != 0; p = InStr(p + 1, text, key))
    if (p >= 2 && p - 1 >= start && IsLineEnd(text[p - 2], crIsLineEnd)) return p - 1;
  return 0;
}

std::size_t FindLastLineEndKey(std::string_view text, std::string_view key, bool crIsLineEnd) {
  std::size_t p = InStrRev(text, key);
  while (p != 0) {
    if (p >= 2 && IsLineEnd(text[p - 2], crIsLineEnd)) return p - 1;
    if (p + key.size() - 2 == 0) return 0;
    p = InStrRev(text, key, p + key.size() - 2);
  }
  return 0;
}

bool WholeLineAt(std::string_view text, std::size_t pos, std::string_view name, bool braceEnds,
                 bool crIsLineEnd) {
  if (pos == 0 || pos > text.size() + 1 || text.substr(pos - 1, name.size()) != name) return false;
  for (std::size_t i = pos - 1 + name.size(); i < text.size(); ++i) {
    const char c = text[i];
    if (IsLineEnd(c, crIsLineEnd) || (braceEnds && c == '{')) return true;
    if (c != ' ' && c != '\t' && c != '\r') return false;
  }
  return true;
}

std::string_view WholeLineText(std::string_view text, std::size_t pos, bool braceEnds, bool crIsLineEnd) {
  std::size_t stop = pos - 1;
  while (stop < text.size() && !IsLineEnd(text[stop], crIsLineEnd) && !(braceEnds && text[stop] == '{'))
    ++stop;
  std::size_t last = stop;
  while (last > pos - 1 && (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r'))
    --last;
  return text.substr(pos - 1, last - (pos - 1));
}

namespace {
// Whether only blanks, TABs and CRs stand from 0-based `from` up to a LF.
bool BlankUpToLf(std::string_view text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == '\n') return true;
    if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r') return false;
  }
  return false;
}
}  // namespace

std::size_t FindEndingLine(std::string_view text, std::string_view key, std::size_t start) {
  for (std::size_t p = InStr(start, text, key); p != 0; p = InStr(p + 1, text, key))
    if (BlankUpToLf(text, p - 1 + key.size())) return p;
  return 0;
}

std::size_t FindLastEndingLine(std::string_view text, std::string_view key) {
  for (std::size_t p = InStrRev(text, key); p != 0;
       p = p + key.size() > 2 ? InStrRev(text, key, p + key.size() - 2) : 0)
    if (BlankUpToLf(text, p - 1 + key.size())) return p;
  return 0;
}

std::size_t LineAfter(std::string_view text, std::size_t pos) {
  const std::size_t lf = InStr(pos, text, "\n");
  if (lf == 0) return text.size() + 1;
  std::size_t next = lf + 1;
  if (next <= text.size() && text[next - 1] == '\n') ++next;
  return next;
}

}  // namespace vandrel
