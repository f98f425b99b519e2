#include "reader/channel_literal_text.h"

#include "common/numbers.h"
#include "common/text.h"
#include "reader/read_fault.h"

namespace vandrel::literal {

std::string Rest(const std::string& text, std::size_t p) { return Mid(text, p); }

// A number of the text; one too large for a double ends the read.
double Number(const std::string& text) { return FiniteNumber(LeadingNumber(text)); }

// Mid(text, from, to - from), empty for a negative length.
std::string Span(const std::string& text, std::size_t from, std::size_t to) {
  if (from == 0 || to <= from) return {};
  return Mid(text, from, to - from);
}

// Whether position `q` of `text` begins a line: only blanks and TABs between
// it and the line end (LF or CR) before it. Reaching the start of the text
// counts when the text was cut out at a line start (`startsLine`).
bool LineStartAt(const std::string& text, std::size_t q, bool startsLine) {
  for (std::size_t i = q - 1; i >= 1; --i) {
    const std::string c = Mid(text, i, 1);
    if (c == "\n" || c == "\r") return true;
    if (c != " " && c != "\t") return false;
  }
  return startsLine;
}

// First occurrence of an object keyword at or after `from` that begins a line.
std::size_t KeyAt(const std::string& text, const std::string& key, std::size_t from, bool startsLine) {
  for (std::size_t q = InStr(from, text, key); q != 0; q = InStr(q + 1, text, key))
    if (LineStartAt(text, q, startsLine)) return q;
  return 0;
}

// Whether the "{" or "}" at `q` opens or closes a block: only blanks and
// TABs stand before it on its line, or it is a "}" right after such a "{".
bool BraceAt(const std::string& text, std::size_t q) {
  const std::string c = Mid(text, q, 1);
  if (c != "{" && c != "}") return false;
  std::size_t i = q - 1;
  while (i >= 1 && (Mid(text, i, 1) == " " || Mid(text, i, 1) == "\t")) --i;
  if (i == 0 || Mid(text, i, 1) == "\n" || Mid(text, i, 1) == "\r") return true;
  return c == "}" && Mid(text, i, 1) == "{" && LineStartAt(text, i, true);
}

std::size_t FindBrace(const std::string& text, const std::string& brace, std::size_t from) {
  for (std::size_t q = InStr(from, text, brace); q != 0; q = InStr(q + 1, text, brace))
    if (BraceAt(text, q)) return q;
  return 0;
}

std::size_t FindBraceRev(const std::string& text, const std::string& brace, std::size_t limit) {
  for (std::size_t q = InStrRev(text, brace, limit); q != 0; q = q > 1 ? InStrRev(text, brace, q - 1) : 0)
    if (BraceAt(text, q)) return q;
  return 0;
}

// Whether `key` at `q` is its line's own key: at a line start and a whole
// word.
bool KeyOfLineAt(const std::string& text, std::size_t q, const std::string& key) {
  if (!LineStartAt(text, q, true)) return false;
  const std::string last = Right(key, 1);
  if (last == " " || last == "\n") return true;
  const std::string after = Mid(text, q + key.size(), 1);
  return after.empty() || after == " " || after == "\t" || after == "\r" || after == "\n";
}

std::size_t FindKey(const std::string& text, const std::string& key, std::size_t from) {
  for (std::size_t q = InStr(from, text, key); q != 0; q = InStr(q + 1, text, key))
    if (KeyOfLineAt(text, q, key)) return q;
  return 0;
}

// Whether `key` at `q` is a whole line: at a line start, then nothing but
// blanks, TABs and CRs up to a LF.
bool WholeLineAt(const std::string& text, std::size_t q, const std::string& key) {
  if (!LineStartAt(text, q, true)) return false;
  for (std::size_t i = q + key.size(); i <= text.size(); ++i) {
    const std::string c = Mid(text, i, 1);
    if (c == "\n") return true;
    if (c != " " && c != "\t" && c != "\r") return false;
  }
  return false;
}

std::size_t FindLine(const std::string& text, const std::string& key, std::size_t from) {
  for (std::size_t q = InStr(from, text, key); q != 0; q = InStr(q + 1, text, key))
    if (WholeLineAt(text, q, key)) return q;
  return 0;
}

// The last whole line `key` lying within characters 1..limit.
std::size_t FindLineRev(const std::string& text, const std::string& key, std::size_t limit) {
  for (std::size_t q = InStrRev(text, key, limit); q != 0;
       q = q + key.size() > 2 ? InStrRev(text, key, q + key.size() - 2) : 0)
    if (WholeLineAt(text, q, key)) return q;
  return 0;
}

// The text without the blanks, TABs and CRs at its end.
std::string RightTrimmed(std::string v) {
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.pop_back();
  return v;
}

std::string Key(const std::string& r) { return r == "none" ? "actor " : Left(r, InStr(r, "\n") - 1); }

std::string KeyRest(const std::string& part, const std::string& key, bool& found) {
  const std::size_t at = InStr(part, "\n" + key);
  found = at != 0;
  if (!found) return {};
  const std::size_t lf = InStr(at + 1, part, "\n");
  return Span(part, at + 1 + key.size(), lf == 0 ? part.size() + 1 : lf);
}

// First "<type> <name>" at or after `from` with only blanks, TABs and CR
// after it up to the line end or the end of the text.
std::size_t FindChannelLine(const std::string& text, const std::string& what, std::size_t from) {
  for (std::size_t t = InStr(from, text, what); t != 0; t = InStr(t + 1, text, what)) {
    if (!LineStartAt(text, t, true)) continue;
    std::size_t i = t + what.size();
    while (i <= text.size() && (Mid(text, i, 1) == " " || Mid(text, i, 1) == "\t" || Mid(text, i, 1) == "\r"))
      ++i;
    if (i > text.size() || Mid(text, i, 1) == "\n") return t;
  }
  return 0;
}

bool IsSpace(const std::string& c) { return c == " " || c == "\t" || c == "\r" || c == "\n"; }

// Whether the "{" at `q` opens an empty block standing directly inside the
// block opened at `open`, before `limit`; its "}" goes to `close`.
bool EmptyInnerBlockAt(const std::string& text, std::size_t open, std::size_t limit, std::size_t q,
                       std::size_t& close) {
  if (open == 0 || q <= open || q >= limit || Mid(text, q, 1) != "{" || !BraceAt(text, q)) return false;
  int depth = 1;
  for (std::size_t i = open + 1; i < q; ++i) {
    if (!BraceAt(text, i)) continue;
    if (Mid(text, i, 1) == "{") {
      std::size_t j = i + 1;
      while (j < limit && IsSpace(Mid(text, j, 1))) ++j;
      if (depth == 1 && Mid(text, j, 1) == "}" && j < limit) {
        i = j;
        continue;
      }
      ++depth;
    } else if (Mid(text, i, 1) == "}") {
      if (--depth == 0) return false;
    }
  }
  if (depth != 1) return false;
  std::size_t j = q + 1;
  while (j < limit && IsSpace(Mid(text, j, 1))) ++j;
  if (j >= limit || Mid(text, j, 1) != "}") return false;
  close = j;
  return true;
}

bool IsWholeLine(const std::string& part, const std::string& key) {
  const std::string p = part + "\n";
  for (std::size_t q = InStr(p, "\n" + key); q != 0; q = InStr(q + 1, p, "\n" + key)) {
    std::size_t i = q + 1 + key.size();
    while (Mid(p, i, 1) == " " || Mid(p, i, 1) == "\t") ++i;
    if (Mid(p, i, 1) == "\n") return true;
  }
  return false;
}

// NextObjectBlock of a text cut out of a longer one; `startsLine` tells
// whether it was cut at a line start.
std::string NextBlockOf(const std::string& text, bool checkEmpty, bool startsLine) {
  std::size_t start = 1;
again:
  std::size_t pos[4];
  for (int k = 0; k < 4; ++k) pos[k] = KeyAt(text, kKeys[k], start, startsLine);
  {
    std::size_t nearest = 0;
    for (int k = 0; k < 4; ++k) {
      if (pos[k] == 0) continue;
      if (nearest == 0) {
        nearest = pos[k];
        continue;
      }
      if (pos[k] < nearest) {
        if (checkEmpty) {
          const std::size_t open = InStr(pos[k], text, "{");
          if (open != 0) {
            std::string twenty = Mid(text, open, 20);
            if (InStr(twenty, "}") != 0) {
              twenty = Left(twenty, InStr(twenty, "}"));
              std::string cleaned;
              for (char c : twenty)
                if (c != '\n' && c != ' ' && c != '\t' && c != '\r') cleaned += c;
              if (cleaned == "{}") {
                const std::size_t lf = InStr(pos[k], text, "\n");
                start += (lf == 0 ? text.size() + 1 : lf) - pos[k];
                goto again;
              }
            }
          }
        }
        nearest = pos[k];
      }
    }
    if (nearest == 0) return "none";
    for (int k = 0; k < 4; ++k)
      if (pos[k] == nearest)
        return std::string(kKeys[k]) + "\n" + FormatInt(static_cast<long long>(start - 1));
  }
  return "none";
}

// NextObjectBlock of the text from `p` on.
std::string NextBlockFrom(const std::string& text, std::size_t p, bool checkEmpty) {
  return NextBlockOf(Rest(text, p), checkEmpty, LineStartAt(text, p, true));
}

}  // namespace vandrel::literal
