// The stretches of a Poser file that the staged reading looks at. The reader
// reads a file's head in growing prefixes and its tail in blocks put in front
// of each other from the end; these functions give the same stretch of text
// from one search over the text read once, clamped to the text, so that a
// valid short file is never refused for its size.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace vandrel {

// The length of the prefix of `size` characters that the loop "read first,
// first + step, first + 2 step, ... characters until the prefix holds what
// ends at position `needed`" stops at, clamped to `size`.
std::size_t GrowingPrefixLength(std::size_t needed, std::size_t first, std::size_t step, std::size_t size);

// Header: prefixes of 50, 100, 150, ... characters until one holds "}";
// nullopt when the text holds none.
std::optional<std::size_t> HeaderPrefixLength(std::string_view text);

// Head of the quick read: prefixes of 1, 6, 11, ... characters until one
// holds "}"; nullopt when the text holds none.
std::optional<std::size_t> HeadPrefixLength(std::string_view text);

// Prop scan: prefixes of 100, 600, 1100, ... characters until the object line
// occurs twice in one; the whole text when it never does.
std::size_t PropScanLength(std::string_view text, std::string_view objectLine);

// Quick read from the end: blocks of `block` characters (the text's length
// minus 1 for a text of `block` characters or fewer) put in front of each
// other from the end until they hold `key`; the text's last character is
// never read. Gives the 1-based first position of the stretch, which ends at
// the text's next-to-last character; nullopt when `key` is not in it.
std::optional<std::size_t> TailStart(std::string_view text, std::string_view key, std::size_t block = 2000);

}  // namespace vandrel
