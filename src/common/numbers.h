// Number primitives: reading and writing numbers independently of the locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vandrel {

// Reads a number the way the original's Val does: blanks, TABs and line
// feeds are skipped wherever they stand ("30 40" reads 3040); a sign, digits,
// one "." and an exponent (E or D) are taken; reading stops at the first other
// character (a CR and a "," included); no number gives 0. "&H" and "&O"
// prefixes read hex and octal digits as a positive value. A number too large
// for a double gives +-infinity, one too small +-0.
double Val(std::string_view text);

// Reads only the leading number of `text` after leading blanks (character 32):
// a sign, digits, one "." and an "E" exponent, stopping at the first character
// that cannot continue it (a blank included: "12 5" reads 12); none gives 0.
double LeadingNumber(std::string_view text);

// Half-to-even rounding to a whole number (the default rounding mode).
double RoundHalfEven(double value);
// Rounds to `decimals` decimals, halves to even, the way the original's Round
// does (scale, round half to even, scale back).
double RoundHalfEven(double value, int decimals);

// The shortest form of a double with at most 15 significant digits, as the
// original writes a Double: no trailing zeros, "E+NN" exponent form for very
// large or small values, "0" for zero and minus zero, "." as decimal sign.
// This is printf("%.15G") without the locale ("INF", "NAN" likewise).
std::string FormatDouble(double value);
// The same for a single-precision value, 7 significant digits.
std::string FormatSingle(float value);

// Whole number text ("-12").
std::string FormatInt(long long value);

// The room FormatDoubleTo and FormatIntTo need at most.
inline constexpr std::size_t kNumberRoom = 32;
// FormatDouble and FormatInt written at `out`, which has kNumberRoom bytes of
// room; they return the end of the text.
char* FormatDoubleTo(char* out, double value);
char* FormatIntTo(char* out, long long value);

// A number text with any "," turned into "." (numbers written to files).
std::string CommaToPoint(std::string_view text);

}  // namespace vandrel
