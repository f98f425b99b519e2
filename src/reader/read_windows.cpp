#include "reader/read_windows.h"

#include "common/text.h"
#include "reader/text_scan.h"

namespace vandrel {

std::size_t GrowingPrefixLength(std::size_t needed, std::size_t first, std::size_t step, std::size_t size) {
  std::size_t length = first;
  if (needed > first) length = first + (needed - first + step - 1) / step * step;
  return length < size ? length : size;
}

std::optional<std::size_t> HeaderPrefixLength(std::string_view text) {
  const std::size_t brace = InStr(text, "}");
  if (brace == 0) return std::nullopt;
  return GrowingPrefixLength(brace, 50, 50, text.size());
}

std::optional<std::size_t> HeadPrefixLength(std::string_view text) {
  const std::size_t brace = InStr(text, "}");
  if (brace == 0) return std::nullopt;
  return GrowingPrefixLength(brace, 1, 5, text.size());
}

std::size_t PropScanLength(std::string_view text, std::string_view objectLine) {
  const std::size_t first = InStr(text, objectLine);
  const std::size_t second = first == 0 ? 0 : InStr(first + 1, text, objectLine);
  if (second == 0) return text.size();
  return GrowingPrefixLength(second + objectLine.size() - 1, 100, 500, text.size());
}

std::optional<std::size_t> TailStart(std::string_view text, std::string_view key, std::size_t block) {
  const std::size_t n = text.size();
  if (n <= block) block = n == 0 ? 0 : n - 1;
  if (block == 0 || key.empty()) return std::nullopt;
  // The last occurrence that lies wholly before the last character.
  const std::size_t last = InStrRev(text, key, n - 1);
  if (last == 0) return std::nullopt;
  const std::size_t blocks = (n - last + block - 1) / block;
  return blocks * block >= n ? 1 : n - blocks * block;
}

}  // namespace vandrel
