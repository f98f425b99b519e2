// The delta removal and the morph and pose file's reads, transcribed.
#include "common/text.h"
#include "reader/channel_literal.h"
#include "reader/channel_literal_text.h"

namespace vandrel::literal {

std::string StripDeltas(const std::string& text) {
  std::string out;
  std::size_t start = 1;
  for (;;) {
    const std::size_t next = InStr(start + 1, text, "deltas");
    std::string piece = next == 0 ? Mid(text, start) : Mid(text, start, next - start);
    if (InStr(piece, "\r") != 0 && InStr(piece, "\r") != InStrRev(piece, "\r"))
      piece = Replace(piece, "\r", "\n");
    while (InStr(piece, "deltas \n") != 0) piece = Replace(piece, "deltas \n", "deltas\n");
    while (InStr(piece, "deltas \r") != 0) piece = Replace(piece, "deltas \r", "deltas\n");
    while (InStr(piece, "deltas\n") != 0) {
      const std::size_t p = InStr(piece, "deltas\n");
      const std::size_t q = InStr(p, piece, "}");
      if (q == 0) {
        piece = Left(piece, p - 1);
        break;
      }
      piece = Left(piece, p - 1) + Mid(piece, q + 1);
    }
    out += piece;
    if (next == 0) break;
    start = next;
  }
  return out;
}

std::string CleanFigureLines(const std::string& text) {
  // The blanks and TABs after a "figure" that ends its line go.
  std::string b = text;
  for (std::size_t q = InStr(b, "figure"); q != 0; q = InStr(q + 1, b, "figure")) {
    std::size_t i = q + 6;
    while (Mid(b, i, 1) == " " || Mid(b, i, 1) == "\t") ++i;
    if (Mid(b, i, 1) == "\n" && i > q + 6) b = Left(b, q + 5) + Mid(b, i);
  }
  while (InStr(b, "\tfigure\n") != 0 || InStr(b, " figure\n") != 0) {
    b = Replace(b, "\tfigure\n", "figure\n");
    b = Replace(b, " figure\n", "figure\n");
  }
  return b;
}

bool BodyOnlyBlock(const std::string& source, std::string& block) {
  // The buffer is the source from position `offset` + 1; a keyword counts
  // only at a line start of the source.
  std::size_t offset = 0;
  const auto first = [&](const std::string& buffer, const std::string& key) {
    for (std::size_t q = InStr(buffer, key); q != 0; q = InStr(q + 1, buffer, key))
      if (LineStartAt(source, offset + q, true)) return q;
    return std::size_t{0};
  };
  const auto last = [&](const std::string& buffer, const std::string& key) {
    for (std::size_t q = InStrRev(buffer, key); q != 0;
         q = q > 1 ? InStrRev(buffer, key, q + key.size() - 2) : 0)
      if (LineStartAt(source, offset + q, true)) return q;
    return std::size_t{0};
  };
  std::string buffer;
  std::size_t chunk = 500;
  std::size_t bodyPos = 0;
  bool exhausted = false;  // the last read reached the end of the source
  for (;;) {
    if (first(buffer, "actor BODY") != 0 && last(buffer, "actor ") != first(buffer, "actor BODY")) break;
    if (exhausted) return false;
    buffer = Mid(source, bodyPos + 1, chunk);
    offset = bodyPos;
    exhausted = bodyPos + chunk >= source.size();
    if (bodyPos == 0) {
      const std::size_t at = first(buffer, "actor BODY");
      if (at != 0) {
        bodyPos = at;
        buffer = Mid(buffer, at + 3);
        offset = at + 2;
        exhausted = false;
      }
    }
    chunk += 500;
  }
  const std::size_t lastBody = last(buffer, "actor BODY");
  const std::size_t lastActor = last(buffer, "actor ");
  block = lastActor > lastBody ? Mid(buffer, lastBody, lastActor - lastBody) : std::string();
  return true;
}

}  // namespace vandrel::literal
