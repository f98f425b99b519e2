// libFuzzer target: see fuzz/entries.h.
#include <cstdio>
#include <cstdlib>

#include "fuzz/entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string finding = vandrel::fuzz::Encoding(data, size);
  if (!finding.empty()) {
    std::fprintf(stderr, "finding: %s\n", finding.c_str());
    std::abort();
  }
  return 0;
}
