// A table that finds texts by their text: open-addressing slots holding the
// numbers of texts kept in a list elsewhere. It is made once, at a power of
// two at least twice the most texts it will hold, so that it never fills and
// never grows.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <string_view>
#include <vector>

namespace vandrel {

// The size of an open-addressing table for `most` keys.
inline std::size_t TableSize(std::size_t most) {
  std::size_t size = 16;
  while (size < 2 * most) size *= 2;
  return size;
}

template <class Index>
class TextSlots {
 public:
  static constexpr Index kFree = std::numeric_limits<Index>::max();

  // Room for `most` texts; called before the first Slot.
  void Reserve(std::size_t most) { slots_.assign(TableSize(most), kFree); }

  // The slot that holds the number of `text` among `texts`, or the free slot
  // where it would go.
  template <class Texts>
  Index& Slot(std::string_view text, const Texts& texts) {
    return slots_[SlotOf(text, texts)];
  }
  template <class Texts>
  Index Find(std::string_view text, const Texts& texts) const {
    return slots_[SlotOf(text, texts)];
  }

 private:
  template <class Texts>
  std::size_t SlotOf(std::string_view text, const Texts& texts) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = std::hash<std::string_view>{}(text)&mask;
    while (slots_[s] != kFree && texts[slots_[s]] != text) s = (s + 1) & mask;
    return s;
  }
  std::vector<Index> slots_;
};

}  // namespace vandrel
