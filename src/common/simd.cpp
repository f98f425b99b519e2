#include "common/simd.h"

namespace vandrel::simd {
namespace {

bool ProcessorHasAvx2() {
#ifdef VANDREL_AVX2
  __builtin_cpu_init();  // this may run before the library's own detection
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

}  // namespace

// A search run by another file's static initializer before this one is set
// sees false and takes the 16-character loops, which answer the same.
bool gAvx2 = ProcessorHasAvx2();

void UseAvx2(bool on) { gAvx2 = on && ProcessorHasAvx2(); }

}  // namespace vandrel::simd
