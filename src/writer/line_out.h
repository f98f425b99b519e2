// Appending one line of a written file: its TABs, its text and its line end.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace vandrel {

// One line of one or more pieces of text (joined without copying them first)
// and then the line end, the last argument. A CR or LF inside the text (a
// name read from a file with a stray line end) is left out, so that every
// line ends with the chosen line end only.
template <typename... Pieces>
inline void PutLine(std::string& out, int tabs, std::string_view first, const Pieces&... rest) {
  const std::string_view pieces[] = {first, std::string_view(rest)...};
  constexpr std::size_t kCount = sizeof...(Pieces);  // the last piece is the line end
  // The line is made in place: the text grows once by the whole line and
  // every piece is copied into it.
  std::size_t total = static_cast<std::size_t>(tabs);
  for (const std::string_view piece : pieces) total += piece.size();
  const std::size_t start = out.size();
  out.resize(start + total);
  char* p = out.data() + start;
  p = std::fill_n(p, tabs, '\t');
  for (std::size_t i = 0; i < kCount; ++i) {
    const std::string_view text = pieces[i];
    if (std::none_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }))
      p = std::copy(text.begin(), text.end(), p);
    else
      p = std::copy_if(text.begin(), text.end(), p, [](char c) { return c != '\r' && c != '\n'; });
  }
  p = std::copy(pieces[kCount].begin(), pieces[kCount].end(), p);
  out.resize(static_cast<std::size_t>(p - out.data()));
}

// Text between double quotes.
inline std::string Quoted(std::string_view text) {
  std::string q;
  q.reserve(text.size() + 2);
  q += '"';
  q.append(text);
  q += '"';
  return q;
}

}  // namespace vandrel
