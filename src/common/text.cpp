#include "common/text.h"

#include <string.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/byte_scan.h"

namespace vandrel {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// Backward searches of patterns up to this length compare at every place the
// first character stands, at most this many comparisons per character;
// longer ones fall back on KMP so that no text makes a search quadratic.
constexpr std::size_t kShortPattern = 16;

// Knuth-Morris-Pratt: the first i >= from where the pattern matches, reading
// text and pattern through accessors (so the same code searches backwards on
// reversed indices). O(n + m).
template <class TextAt, class PatAt>
std::size_t KmpFind(TextAt t, std::size_t n, PatAt p, std::size_t m, std::size_t from) {
  std::vector<std::size_t> fail(m, 0);
  for (std::size_t i = 1, k = 0; i < m; ++i) {
    while (k > 0 && p(i) != p(k)) k = fail[k - 1];
    if (p(i) == p(k)) ++k;
    fail[i] = k;
  }
  for (std::size_t i = from, k = 0; i < n; ++i) {
    while (k > 0 && t(i) != p(k)) k = fail[k - 1];
    if (t(i) == p(k)) ++k;
    if (k == m) return i + 1 - m;
  }
  return npos;
}

// 0-based position of the first match at or after `from`; `what` not empty.
// One character (a line end, a blank, a brace) is looked for with memchr;
// needles too long for bytes::FindShort with glibc's memmem, which is linear
// whatever the pattern and needs no table.
inline std::size_t FindForward(std::string_view text, std::string_view what, std::size_t from) {
  // Also keeps an empty text (whose data may be null) away from memchr and memmem.
  if (from > text.size() || text.size() - from < what.size()) return npos;
  if (what.size() == 1) {
    const void* hit = std::memchr(text.data() + from, what[0], text.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : npos;
  }
  if (what.size() <= 32) return bytes::FindShort(text, what, from);
  const void* hit = ::memmem(text.data() + from, text.size() - from, what.data(), what.size());
  return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : npos;
}

// 0-based position of the last match starting at or before `last`, where
// last + what.size() <= text.size(); `what` not empty.
std::size_t FindBackward(std::string_view text, std::string_view what, std::size_t last) {
  // The first character is looked for with memrchr and the rest compared. A
  // longer pattern hands over to KMP from where a text of many near matches
  // makes the comparisons cost more than a few per character passed.
  const char* t = text.data();
  const std::size_t m = what.size();
  std::size_t end = last + 1, compared = 0;
  while (end > 0) {
    const void* hit = ::memrchr(t, what[0], end);
    if (hit == nullptr) return npos;
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - t);
    if (std::memcmp(t + at, what.data(), m) == 0) return at;
    end = at;
    compared += m;
    if (m > kShortPattern && compared > 4 * (last + 1 - end) + 64) break;
  }
  if (end == 0) return npos;
  const std::size_t n = text.size();
  // A match at i <= end - 1 in the text is a match of the reversed pattern
  // at n - i - m in the reversed text.
  const std::size_t r = KmpFind([text, n](std::size_t i) { return text[n - 1 - i]; }, n,
                                [what, m](std::size_t i) { return what[m - 1 - i]; }, m, n - (end - 1) - m);
  return r == npos ? npos : n - r - m;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::size_t InStr(std::size_t start, std::string_view text, std::string_view what) {
  if (start == 0) start = 1;
  if (start > text.size() + 1) return 0;
  if (what.empty()) return start;
  const std::size_t pos = FindForward(text, what, start - 1);
  return pos == npos ? 0 : pos + 1;
}

std::size_t InStrRev(std::string_view text, std::string_view what, std::size_t start) {
  const std::size_t limit = (start == 0 || start > text.size()) ? text.size() : start;
  if (what.empty()) return limit;
  if (what.size() > limit) return 0;
  const std::size_t pos = FindBackward(text, what, limit - what.size());
  return pos == npos ? 0 : pos + 1;
}

std::string Mid(std::string_view text, std::size_t start, std::size_t length) {
  if (start == 0) start = 1;
  if (start > text.size()) return {};
  return std::string(text.substr(start - 1, length));
}

std::string Left(std::string_view text, std::size_t length) { return std::string(text.substr(0, length)); }

std::string Right(std::string_view text, std::size_t length) {
  if (length >= text.size()) return std::string(text);
  return std::string(text.substr(text.size() - length));
}

std::string LCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

std::string UCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.starts_with(prefix); }
bool EndsWith(std::string_view text, std::string_view suffix) { return text.ends_with(suffix); }

std::string LTrim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == npos ? std::string() : std::string(text.substr(first));
}

std::string RTrim(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

void CleanLineInto(std::string_view text, std::string& out) {
  // Blanks, TABs and line ends at either end all go; only the text between
  // is looked at for TABs and line ends inside it.
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t b = 0, e = text.size();
  while (b < e && space(text[b])) ++b;
  while (e > b && space(text[e - 1])) --e;
  const std::string_view inner = text.substr(b, e - b);
  if (!bytes::HoldsTabOrLineEnd(inner)) {
    out.assign(inner);
    return;
  }
  const auto stray = [](char c) { return c == '\t' || c == '\r' || c == '\n'; };
  out.clear();
  for (char c : inner)
    if (!stray(c)) out += c;
}

std::string CleanLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  CleanLineInto(text, out);
  return out;
}

std::string Replace(std::string_view text, std::string_view what, std::string_view with) {
  if (what.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t pos = FindForward(text, what, 0); pos != npos; pos = FindForward(text, what, from)) {
    out.append(text, from, pos - from);
    out.append(with);
    from = pos + what.size();
  }
  out.append(text, from);
  return out;
}

std::string RemoveChar(std::string_view text, char c) {
  std::string out;
  out.reserve(text.size());
  for (char t : text) {
    if (t != c) out += t;
  }
  return out;
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace vandrel
