// The fuzz targets' work, one function per target, shared by the libFuzzer
// programs and by the regression test that replays the findings kept in
// tests/data/fuzz/<target>/. Each returns "" when the input was handled
// soundly, otherwise what went wrong (a finding); crashes and sanitizer
// reports are findings too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vandrel::fuzz {

// The reader of the eight types. First byte: bits 0-2 the type, bit 3 read
// from a file (else from the given text), bit 4 with props, bit 5 the Poser 5
// format option, bit 6 batch mode. The rest is the file.
std::string PoserFile(const std::uint8_t* data, std::size_t size);

// The morph and pose read with delta removal and cancelling, and the channel
// reader and delta removal against their literal transcriptions. First byte:
// bit 0 BODY only, bit 1 append, bits 2-3 the extension (.cr2 .pz2 .pp2
// .hr2), bit 4 from a file; second byte: cancel at that poll (0 = never).
std::string Channels(const std::uint8_t* data, std::size_t size);

// The material block parser on the whole input.
std::string MaterialBlock(const std::uint8_t* data, std::size_t size);

// Read, write, read, write: first byte bit 0 Poser 5, bit 1 lone CR, bits
// 2-4 the type of the input file.
std::string RoundTrip(const std::uint8_t* data, std::size_t size);

// Names between the disk and Poser text, on the whole input: every text
// stored reads back as itself, and a picture named by the input's UTF-8
// reading is found under every form Poser text may hold its name in (the
// Windows-1252 bytes, the UTF-8 bytes, what "..." stores) by the path rules,
// the map list lookup and Fix, which keeps a full path naming its file.
std::string Encoding(const std::uint8_t* data, std::size_t size);

}  // namespace vandrel::fuzz
