// Builds the bytes of a tiny Windows executable that carries only what the
// version reader looks at: the MZ and PE headers and a version block.
#pragma once

#include <cstdint>
#include <string>

namespace vandrel::test {

// With `withVersion` false the file has its headers but no version block.
std::string FakePeBytes(uint16_t a, uint16_t b, uint16_t c, uint16_t d, bool withVersion = true);

}  // namespace vandrel::test
