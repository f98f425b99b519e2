// Appending one line of a written file: its TABs, its text and its line end.
#pragma once

#include <string>
#include <string_view>

namespace vandrel {

// A CR or LF inside the text (a name read from a file with a stray line
// end) is left out, so that every line ends with the chosen line end only.
inline void PutLine(std::string& out, int tabs, std::string_view text, std::string_view eol) {
  out.append(static_cast<std::size_t>(tabs), '\t');
  if (text.find_first_of("\r\n") == std::string_view::npos) {
    out.append(text);
  } else {
    for (char c : text)
      if (c != '\r' && c != '\n') out += c;
  }
  out.append(eol);
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
