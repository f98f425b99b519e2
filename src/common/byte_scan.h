// The loops that look at many bytes at once: sixteen at a time with SSE2
// where the compiler offers it (every x86-64 machine), eight at a time in a
// 64-bit word, and the short copies by whole words. Each loop that has a
// wide form takes a `Loop` argument, so that a test can run the plain form
// of the same loop on the same machine; both give the same answers.
// Positions here are 0-based.
#pragma once

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vandrel::bytes {

enum class Loop {
  Wide,   // many bytes at a time where the machine allows
  Plain,  // one byte at a time
};

// Whether one of the eight bytes of `word` may be below 14, as TAB, LF and
// CR are: such a byte is never missed (a borrow out of it marks it), and a
// byte after one may be marked too, so a marked word is looked at closely.
inline bool MayHoldByteBelow14(std::uint64_t word) {
  constexpr std::uint64_t kOnes = ~std::uint64_t{0} / 0xFF;
  return ((word - kOnes * 14) & ~word & (kOnes << 7)) != 0;
}

// Copies `n` bytes with a few moves of whole words (the last one ending with
// the bytes, overlapping the one before it). Up to 16 bytes every word is
// read before any is written, so the bytes may move to a place at or before
// their own. Returns the copied words and-ed together, all-one bytes filling
// a word not used: a byte below 14 leaves a byte below 14 in it
// (MayHoldByteBelow14).
inline std::uint64_t CopyWords(char* to, const char* from, std::size_t n) {
  using Word = std::uint64_t;
  const auto load = [](const char* at, auto part) {
    std::memcpy(&part, at, sizeof part);
    return part;
  };
  const auto store = [](char* at, auto part) { std::memcpy(at, &part, sizeof part); };
  if (n > 16) {
    Word all = ~Word{0};
    for (std::size_t i = 0; i + sizeof(Word) < n; i += sizeof(Word)) {
      const Word w = load(from + i, Word{});
      store(to + i, w);
      all &= w;
    }
    const Word last = load(from + n - sizeof(Word), Word{});
    store(to + n - sizeof(Word), last);
    return all & last;
  }
  if (n >= 8) {
    const Word head = load(from, Word{}), tail = load(from + n - 8, Word{});
    store(to, head);
    store(to + n - 8, tail);
    return head & tail;
  }
  if (n >= 4) {
    const auto head = load(from, std::uint32_t{}), tail = load(from + n - 4, std::uint32_t{});
    store(to, head);
    store(to + n - 4, tail);
    return head | Word{tail} << 32;
  }
  if (n >= 2) {
    const auto head = load(from, std::uint16_t{}), tail = load(from + n - 2, std::uint16_t{});
    store(to, head);
    store(to + n - 2, tail);
    return head | Word{tail} << 16 | ~Word{0} << 32;
  }
  if (n == 1) {
    *to = *from;
    return static_cast<unsigned char>(*from) | ~Word{0xFF};
  }
  return ~Word{0};
}

// The first place at or after `from` where `what` (2 to 32 bytes) stands,
// where from + what.size() <= text.size(); npos when there is none. The wide
// loop tests sixteen places at a time for the first and the last byte and
// compares only those that have both.
std::size_t FindShort(std::string_view text, std::string_view what, std::size_t from, Loop loop = Loop::Wide);

// Whether the text holds a TAB, CR or LF.
bool HoldsTabOrLineEnd(std::string_view text, Loop loop = Loop::Wide);

// The first CR that no LF follows; npos when every CR is part of a CR LF.
std::size_t FirstLoneCr(std::string_view text, Loop loop = Loop::Wide);

// Every CR of the `n` bytes at `t` becomes LF.
void CrToLf(char* t, std::size_t n, Loop loop = Loop::Wide);

// Removes, after every LF of the `n` bytes at `t`, the TABs that follow it
// and then the blanks that follow those, moving the rest forward in place;
// returns the new length.
std::size_t RemoveTabsThenBlanksAfterLf(char* t, std::size_t n, Loop loop = Loop::Wide);

// Calls `atLineEnd(i)` for every i at or after `from` where `text` holds a
// LF or a CR, in order.
template <typename AtLineEnd>
void ForEachLineEnd(std::string_view text, std::size_t from, AtLineEnd atLineEnd, Loop loop = Loop::Wide) {
  const char* t = text.data();
  const std::size_t n = text.size();
  std::size_t i = from;
#ifdef __SSE2__
  if (loop == Loop::Wide) {
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; i + 16 <= n; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
      unsigned mask = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
      while (mask != 0) {
        atLineEnd(i + static_cast<std::size_t>(__builtin_ctz(mask)));
        mask &= mask - 1;
      }
    }
  }
#endif
  for (; i < n; ++i)
    if (t[i] == '\n' || t[i] == '\r') atLineEnd(i);
}

// A byte that may stand between words: a blank, TAB, line end or other
// control character, or a byte from 0x80 (compared as signed, below "!").
inline bool MayBeBlank(char c) { return static_cast<signed char>(c) < '!'; }

// Calls `at(i)` for every i in from..to-1 where `text[i]` is one of the
// bytes of `set` and stands at the start of the text or after a byte that
// MayBeBlank, in order: the candidates for a word at the start of a line.
template <std::size_t N, typename At>
void ForEachAfterBlank(std::string_view text, std::size_t from, std::size_t to,
                       const std::array<char, N>& set, At at, Loop loop = Loop::Wide) {
  const char* t = text.data();
  std::size_t i = from;
  const auto inSet = [&set](char c) {
    for (const char s : set)
      if (c == s) return true;
    return false;
  };
#ifdef __SSE2__
  if (loop == Loop::Wide && i + 16 <= to) {
    __m128i wanted[N];
    for (std::size_t k = 0; k < N; ++k) wanted[k] = _mm_set1_epi8(set[k]);
    const __m128i bang = _mm_set1_epi8('!');
    unsigned afterBlank = i == 0 || MayBeBlank(t[i - 1]) ? 1u : 0u;
    for (; i + 16 <= to; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
      const unsigned blanks = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(bang, v)));
      __m128i any = _mm_cmpeq_epi8(v, wanted[0]);
      for (std::size_t k = 1; k < N; ++k) any = _mm_or_si128(any, _mm_cmpeq_epi8(v, wanted[k]));
      const unsigned hits =
          static_cast<unsigned>(_mm_movemask_epi8(any)) & (((blanks << 1) | afterBlank) & 0xFFFFu);
      for (unsigned c = hits; c != 0; c &= c - 1) at(i + static_cast<std::size_t>(__builtin_ctz(c)));
      afterBlank = (blanks >> 15) & 1u;
    }
  }
#endif
  for (; i < to; ++i)
    if (inSet(t[i]) && (i == 0 || MayBeBlank(t[i - 1]))) at(i);
}

}  // namespace vandrel::bytes
