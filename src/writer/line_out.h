// Appending one line of a written file: its TABs, its text and its line end.
#pragma once

#include <string>
#include <string_view>

namespace vandrel {

inline void PutLine(std::string& out, int tabs, std::string_view text, std::string_view eol) {
  out.append(static_cast<std::size_t>(tabs), '\t');
  out.append(text);
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
