#include "common/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace vandrel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Characters Val passes over wherever they stand.
bool IsValBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

char* Put(char* out, std::string_view text) { return std::copy(text.begin(), text.end(), out); }

// Parses a canonical decimal text: optional "-", digits with at most one ".",
// at least one digit, then optionally "e", an optional sign and digits.
// Too large gives +-infinity, too small +-0.
double ParseDecimal(std::string_view s) {
  double value = 0.0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  (void)end;
  if (ec == std::errc()) return value;
  if (ec != std::errc::result_out_of_range) return 0.0;

  // Out of range: decide between overflow and underflow from the position of
  // the first significant digit and the exponent.
  const bool negative = !s.empty() && s.front() == '-';
  long long magnitude = 0;  // decimal exponent of the first significant digit
  long long place = 0;      // digits read after the point
  bool significant = false;
  bool fraction = false;
  std::size_t i = negative ? 1 : 0;
  for (; i < s.size() && s[i] != 'e'; ++i) {
    if (s[i] == '.') {
      fraction = true;
      continue;
    }
    if (fraction) ++place;
    if (!significant && s[i] != '0') {
      significant = true;
      magnitude = fraction ? -place : 0;
    } else if (significant && !fraction) {
      ++magnitude;
    }
  }
  if (!significant) return negative ? -0.0 : 0.0;
  long long exponent = 0;
  if (i < s.size()) {
    ++i;
    bool minus = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) minus = s[i++] == '-';
    for (; i < s.size(); ++i) {
      if (exponent < 1000000) exponent = exponent * 10 + (s[i] - '0');
    }
    if (minus) exponent = -exponent;
  }
  const bool overflow = magnitude + exponent > 0;
  const double result = overflow ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -result : result;
}

// A value that is a whole number of hundred-millionths or coarser (most values in
// files are) and written without an exponent at fifteen digits: its digits
// as an integer and a count of decimals, found by scaling. A decimal of at
// most fifteen digits that gives the value back is what rounding the value
// to fifteen digits gives. Writes the text at `out` and returns its end, or
// nullptr when the value is not of that kind.
char* FewDecimals(double value, char* out) {
  const double size = std::fabs(value);
  if (!(size >= 1e-4 && size < 1e15)) return nullptr;
  static constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  for (int k = 0; k <= 8; ++k) {
    const double scaled = value * kPowers[k];
    if (std::fabs(scaled) >= 1e15) return nullptr;
    const double whole = std::nearbyint(scaled);
    // Both are exact, so the division is the correctly rounded decimal.
    if (whole / kPowers[k] != value) continue;
    const long long n = static_cast<long long>(whole);
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n < 0 ? -n : n).ptr;
    const std::string_view d(digits, static_cast<std::size_t>(end - digits));
    char* p = out;
    if (n < 0) *p++ = '-';
    if (k == 0) return Put(p, d);
    const std::size_t decimals = static_cast<std::size_t>(k);
    if (d.size() <= decimals) {
      p = Put(p, "0.");
      p = std::fill_n(p, decimals - d.size(), '0');
      p = Put(p, d);
    } else {
      p = Put(p, d.substr(0, d.size() - decimals));
      *p++ = '.';
      p = Put(p, d.substr(d.size() - decimals));
    }
    while (p[-1] == '0') --p;
    if (p[-1] == '.') --p;
    return p;
  }
  return nullptr;
}

// printf("%.<precision>G") without the locale: `precision` significant digits,
// trailing zeros removed, "E+NN" form when the exponent is below -4 or not
// below the precision; "0" for both zeros. Written at `out` (kNumberRoom
// bytes of room); returns the end.
char* FormatSignificant(double value, int precision, char* out) {
  if (std::isnan(value)) return Put(out, std::signbit(value) ? "-NAN" : "NAN");
  if (std::isinf(value)) return Put(out, value < 0 ? "-INF" : "INF");
  if (value == 0.0) return Put(out, "0");
  if (precision == 15) {
    if (char* end = FewDecimals(value, out)) return end;
  }

  // d.ddd...e+XX rounded to `precision` digits from the exact binary value.
  char buf[64];
  const auto result =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision - 1);
  const std::string_view sci(buf, static_cast<std::size_t>(result.ptr - buf));

  const bool negative = sci.front() == '-';
  const std::size_t ePos = sci.find('e');
  char digitBuf[32];
  std::size_t count = 0;
  for (std::size_t i = negative ? 1 : 0; i < ePos; ++i) {
    if (sci[i] != '.') digitBuf[count++] = sci[i];
  }
  int exponent = 0;
  std::from_chars(sci.data() + ePos + (sci[ePos + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);
  while (count > 1 && digitBuf[count - 1] == '0') --count;
  const std::string_view digits(digitBuf, count);

  char* p = out;
  if (negative) *p++ = '-';
  if (exponent < -4 || exponent >= precision) {
    *p++ = digits[0];
    if (digits.size() > 1) {
      *p++ = '.';
      p = Put(p, digits.substr(1));
    }
    p = Put(p, exponent < 0 ? "E-" : "E+");
    const int absExponent = exponent < 0 ? -exponent : exponent;
    if (absExponent < 10) *p++ = '0';
    p = std::to_chars(p, p + 8, absExponent).ptr;
  } else if (exponent < 0) {
    p = Put(p, "0.");
    p = std::fill_n(p, -exponent - 1, '0');
    p = Put(p, digits);
  } else {
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      p = Put(p, digits);
      p = std::fill_n(p, whole - digits.size(), '0');
    } else {
      p = Put(p, digits.substr(0, whole));
      *p++ = '.';
      p = Put(p, digits.substr(whole));
    }
  }
  return p;
}

std::string FormatSignificant(double value, int precision) {
  char buf[kNumberRoom];
  return std::string(buf, FormatSignificant(value, precision, buf));
}

}  // namespace

double Val(std::string_view text) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < n && IsValBlank(text[i])) ++i;
  };
  skipBlanks();

  if (i < n && text[i] == '&') {
    ++i;
    skipBlanks();
    if (i >= n) return 0.0;
    int radix = 0;
    if (text[i] == 'H' || text[i] == 'h') radix = 16;
    if (text[i] == 'O' || text[i] == 'o') radix = 8;
    if (radix == 0) return 0.0;
    ++i;
    double value = 0.0;
    for (skipBlanks(); i < n; ++i, skipBlanks()) {
      const char c = text[i];
      int digit = 0;
      if (IsDigit(c)) {
        digit = c - '0';
      } else if (radix == 16 && c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
      } else if (radix == 16 && c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
      } else {
        break;
      }
      if (digit >= radix) break;
      value = value * radix + digit;
    }
    return value;
  }

  // Gather the number without its blanks, then read it in one go.
  std::string number;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number += '-';
    ++i;
    skipBlanks();
  }
  bool anyDigit = false;
  for (; i < n && IsDigit(text[i]); ++i, skipBlanks()) {
    number += text[i];
    anyDigit = true;
  }
  if (i < n && text[i] == '.') {
    number += '.';
    for (++i, skipBlanks(); i < n && IsDigit(text[i]); ++i, skipBlanks()) {
      number += text[i];
      anyDigit = true;
    }
  }
  if (!anyDigit) return 0.0;

  if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::string exponent = "e";
    ++i;
    skipBlanks();
    if (i < n && (text[i] == '+' || text[i] == '-')) {
      exponent += text[i];
      ++i;
      skipBlanks();
    }
    bool expDigit = false;
    for (; i < n && IsDigit(text[i]); ++i, skipBlanks()) {
      exponent += text[i];
      expDigit = true;
    }
    if (expDigit) number += exponent;
  }
  return ParseDecimal(number);
}

double LeadingNumber(std::string_view text) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n && text[i] == ' ') ++i;
  const std::size_t start = i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;

  // The digits as a whole number with the count of those after the point:
  // a number of up to 15 digits (nearly every value in a file) is that
  // number divided by a power of ten, both exact in a double, so the one
  // rounded division gives the nearest double, as the full parse would.
  bool anyDigit = false;
  std::uint64_t digits = 0;
  int count = 0;
  int after = 0;
  for (; i < n && IsDigit(text[i]); ++i, ++count) {
    anyDigit = true;
    digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  if (i < n && text[i] == '.') {
    for (++i; i < n && IsDigit(text[i]); ++i, ++count, ++after) {
      anyDigit = true;
      digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
  }
  if (!anyDigit) return 0.0;
  if (count <= 15 && (i == n || (text[i] != 'E' && text[i] != 'e'))) {
    static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double value = static_cast<double>(digits) / kTens[after];
    return text[start] == '-' ? -value : value;
  }

  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    std::size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < n && IsDigit(text[j])) {
      while (j < n && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  std::string_view number = text.substr(start, i - start);
  if (number.front() == '+') number.remove_prefix(1);  // the parser takes no "+"
  return ParseDecimal(number);
}

double RoundHalfEven(double value) { return std::nearbyint(value); }

double RoundHalfEven(double value, int decimals) {
  if (!std::isfinite(value)) return value;
  if (decimals < 0) {
    const double scale = std::pow(10.0, -decimals);
    return std::nearbyint(value / scale) * scale;
  }
  const double scale = std::pow(10.0, decimals);
  const double scaled = value * scale;
  // At 2^52 and beyond a double has no fraction left to round.
  if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0) return value;
  return std::nearbyint(scaled) / scale;
}

std::string FormatDouble(double value) { return FormatSignificant(value, 15); }

char* FormatDoubleTo(char* out, double value) { return FormatSignificant(value, 15, out); }

std::string FormatSingle(float value) {
  // A float widens to double exactly, so the digits are those of the float.
  return FormatSignificant(static_cast<double>(value), 7);
}

std::string FormatInt(long long value) {
  char buf[kNumberRoom];
  return std::string(buf, FormatIntTo(buf, value));
}

char* FormatIntTo(char* out, long long value) { return std::to_chars(out, out + kNumberRoom, value).ptr; }

std::string CommaToPoint(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == ',') c = '.';
  }
  return out;
}

}  // namespace vandrel
