// Which of the loops that look at many characters at once are used. The
// 32-character (AVX2) loops are chosen once, at start, where the processor
// offers them; the 16-character (SSE2) loops serve every other x86-64
// machine. Both give the same answers.
#pragma once

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__)) && \
    (defined(__GNUC__) || defined(__clang__))
#define VANDREL_AVX2 1
// A function whose body may use AVX2; called only when gAvx2 is true.
#define VANDREL_TARGET_AVX2 __attribute__((target("avx2")))
#endif

namespace vandrel::simd {

// True when the 32-character loops are in use.
extern bool gAvx2;

// Turns the 32-character loops off, or back on where the processor offers
// them (so that tests can compare both on one machine). Not for use while
// other threads search.
void UseAvx2(bool on);

}  // namespace vandrel::simd
