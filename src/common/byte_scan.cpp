#include "common/byte_scan.h"

#include <algorithm>

namespace vandrel::bytes {
namespace {

constexpr std::size_t npos = std::string_view::npos;

}  // namespace

std::size_t FindShort(std::string_view text, std::string_view what, std::size_t from, Loop loop) {
  const char* t = text.data();
  const std::size_t n = text.size();
  const std::size_t m = what.size();
  std::size_t i = from;
#ifdef __SSE2__
  if (loop == Loop::Wide) {
    const __m128i first = _mm_set1_epi8(what[0]);
    const __m128i last = _mm_set1_epi8(what[m - 1]);
    for (; i + m - 1 + 16 <= n; i += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + m - 1));
      unsigned mask = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
      while (mask != 0) {
        const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
        if (std::memcmp(t + at + 1, what.data() + 1, m - 2) == 0) return at;
        mask &= mask - 1;
      }
    }
  }
#endif
  for (; i + m <= n; ++i)
    if (t[i] == what[0] && std::memcmp(t + i, what.data(), m) == 0) return i;
  return npos;
}

bool HoldsTabOrLineEnd(std::string_view text, Loop loop) {
  const auto stray = [](char c) { return c == '\t' || c == '\r' || c == '\n'; };
  std::size_t i = 0;
  if (loop == Loop::Wide) {
    // Eight bytes at a time are passed when none may be a TAB, LF or CR;
    // only a word that may hold one is looked at one byte at a time.
    for (; i + 8 <= text.size(); i += 8) {
      std::uint64_t w;
      std::memcpy(&w, text.data() + i, sizeof w);
      if (MayHoldByteBelow14(w) && std::any_of(text.begin() + i, text.begin() + i + 8, stray)) return true;
    }
  }
  return std::any_of(text.begin() + i, text.end(), stray);
}

std::size_t FirstLoneCr(std::string_view text, Loop loop) {
  const char* t = text.data();
  const std::size_t n = text.size();
  std::size_t i = 0;
#ifdef __SSE2__
  if (loop == Loop::Wide) {
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 17 <= n; i += 16) {
      const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
      const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + 1));
      const unsigned lone = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(here, cr))) &
                            ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(next, lf)));
      if (lone != 0) return i + static_cast<std::size_t>(__builtin_ctz(lone));
    }
  }
#endif
  for (; i < n; ++i)
    if (t[i] == '\r' && (i + 1 == n || t[i + 1] != '\n')) return i;
  return npos;
}

void CrToLf(char* t, std::size_t n, Loop loop) {
  std::size_t i = 0;
#ifdef __SSE2__
  if (loop == Loop::Wide) {
    // A CR becomes LF by flipping the bits in which the two differ.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i flip = _mm_set1_epi8('\r' ^ '\n');
    for (; i + 16 <= n; i += 16) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
      v = _mm_xor_si128(v, _mm_and_si128(_mm_cmpeq_epi8(v, cr), flip));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(t + i), v);
    }
  }
#endif
  for (; i < n; ++i) t[i] = t[i] == '\r' ? '\n' : t[i];
}

std::size_t RemoveTabsThenBlanksAfterLf(char* t, std::size_t n, Loop loop) {
  // In one pass, a line at a time. The place a line goes to lies at or
  // before the place it comes from, so no byte is written over before it
  // is read.
  std::size_t to = 0;
  std::size_t from = 0;
  const auto skipIndentation = [&] {
    while (from < n && t[from] == '\t') ++from;
    while (from < n && t[from] == ' ') ++from;
  };
#ifdef __SSE2__
  if (loop == Loop::Wide) {
    // Sixteen bytes at a time up to the next LF: a stretch without one moves
    // whole, and the line up to its LF by words read before any is written.
    const __m128i lfs = _mm_set1_epi8('\n');
    while (from + 16 <= n) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + from));
      const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lfs)));
      if (mask == 0) {
        if (to != from) _mm_storeu_si128(reinterpret_cast<__m128i*>(t + to), v);
        to += 16;
        from += 16;
        continue;
      }
      const std::size_t length = static_cast<std::size_t>(__builtin_ctz(mask)) + 1;
      if (to != from) CopyWords(t + to, t + from, length);
      to += length;
      from += length;
      skipIndentation();
    }
  }
#endif
  while (from < n) {
    const void* lf = std::memchr(t + from, '\n', n - from);
    const std::size_t stop =
        lf == nullptr ? n : static_cast<std::size_t>(static_cast<const char*>(lf) - t) + 1;
    if (to != from) std::memmove(t + to, t + from, stop - from);
    to += stop - from;
    from = stop;
    if (lf == nullptr) break;
    skipIndentation();
  }
  return to;
}

}  // namespace vandrel::bytes
