// Appending one line of a written file: its TABs, its text and its line end.
#pragma once

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "common/byte_scan.h"

namespace vandrel {

// Text without the CR and LF inside it (a name read from a file with a stray
// line end), written at `out`; returns the end.
inline char* PutText(char* out, std::string_view text) {
  if (!bytes::MayHoldByteBelow14(bytes::CopyWords(out, text.data(), text.size()))) return out + text.size();
  return std::copy_if(text.begin(), text.end(), out, [](char c) { return c != '\r' && c != '\n'; });
}

// Bytes as they are (a line end, or text known to hold none), written at `out`.
inline char* PutBytes(char* out, std::string_view bytes) {
  bytes::CopyWords(out, bytes.data(), bytes.size());
  return out + bytes.size();
}

// The room one line of these pieces needs: its TABs and every piece.
inline std::size_t LineRoom(int tabs, std::initializer_list<std::string_view> pieces) {
  std::size_t total = static_cast<std::size_t>(tabs);
  for (const std::string_view piece : pieces) total += piece.size();
  return total;
}

// One line written at `out`: the TABs, the text pieces without their CR and
// LF, and the line end (the last piece).
inline char* PutLineAt(char* out, int tabs, std::initializer_list<std::string_view> pieces) {
  out = std::fill_n(out, tabs, '\t');
  const std::string_view* eol = pieces.end() - 1;
  for (const std::string_view* piece = pieces.begin(); piece != eol; ++piece) out = PutText(out, *piece);
  return PutBytes(out, *eol);
}

// Written text gathered in a buffer of its own: a writer asks for room, writes
// through the pointer it gets and hands back the end. The room is not
// cleared first.
class LineBuffer {
 public:
  explicit LineBuffer(std::size_t capacity = 0) { Reserve(capacity); }

  char* Room(std::size_t bytes) {
    if (capacity_ - size_ < bytes) Reserve(std::max(size_ + bytes, 2 * capacity_));
    return data_.get() + size_;
  }
  void Commit(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }

  void Append(std::string_view bytes) { Commit(PutBytes(Room(bytes.size()), bytes)); }
  std::string_view View() const { return {data_.get(), size_}; }
  std::size_t size() const { return size_; }
  void clear() { size_ = 0; }

 private:
  void Reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) std::memcpy(bigger.get(), data_.get(), size_);
    data_ = std::move(bigger);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// One line of one or more pieces of text (joined without copying them first)
// and then the line end, the last argument. A CR or LF inside the text (a
// name read from a file with a stray line end) is left out, so that every
// line ends with the chosen line end only.
template <typename... Pieces>
inline void PutLine(LineBuffer& out, int tabs, std::string_view first, const Pieces&... rest) {
  const std::initializer_list<std::string_view> pieces = {first, std::string_view(rest)...};
  out.Commit(PutLineAt(out.Room(LineRoom(tabs, pieces)), tabs, pieces));
}
template <typename... Pieces>
inline void PutLine(std::string& out, int tabs, std::string_view first, const Pieces&... rest) {
  const std::initializer_list<std::string_view> pieces = {first, std::string_view(rest)...};
  const std::size_t start = out.size();
  out.resize(start + LineRoom(tabs, pieces));
  out.resize(static_cast<std::size_t>(PutLineAt(out.data() + start, tabs, pieces) - out.data()));
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
