#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vandrel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Characters Val passes over wherever they stand.
bool IsValBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

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
// to fifteen digits gives.
bool FewDecimals(double value, std::string& out) {
  const double size = std::fabs(value);
  if (!(size >= 1e-4 && size < 1e15)) return false;
  static constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  for (int k = 0; k <= 8; ++k) {
    const double scaled = value * kPowers[k];
    if (std::fabs(scaled) >= 1e15) return false;
    const double whole = std::nearbyint(scaled);
    // Both are exact, so the division is the correctly rounded decimal.
    if (whole / kPowers[k] != value) continue;
    const long long n = static_cast<long long>(whole);
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n < 0 ? -n : n).ptr;
    std::string_view d(digits, static_cast<std::size_t>(end - digits));
    out.clear();
    if (n < 0) out += '-';
    if (k == 0) {
      out.append(d);
      return true;
    }
    const std::size_t decimals = static_cast<std::size_t>(k);
    if (d.size() <= decimals) {
      out += "0.";
      out.append(decimals - d.size(), '0');
      out.append(d);
    } else {
      out.append(d.substr(0, d.size() - decimals));
      out += '.';
      out.append(d.substr(d.size() - decimals));
    }
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    return true;
  }
  return false;
}

// printf("%.<precision>G") without the locale: `precision` significant digits,
// trailing zeros removed, "E+NN" form when the exponent is below -4 or not
// below the precision; "0" for both zeros.
std::string FormatSignificant(double value, int precision) {
  if (std::isnan(value)) return std::signbit(value) ? "-NAN" : "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";
  if (precision == 15) {
    std::string fixed;
    if (FewDecimals(value, fixed)) return fixed;
  }

  // d.ddd...e+XX rounded to `precision` digits from the exact binary value.
  char buf[64];
  const auto result =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision - 1);
  const std::string_view sci(buf, static_cast<std::size_t>(result.ptr - buf));

  const bool negative = sci.front() == '-';
  const std::size_t ePos = sci.find('e');
  std::string digits;
  for (std::size_t i = negative ? 1 : 0; i < ePos; ++i) {
    if (sci[i] != '.') digits += sci[i];
  }
  int exponent = 0;
  std::from_chars(sci.data() + ePos + (sci[ePos + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent < -4 || exponent >= precision) {
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1);
    }
    out += exponent < 0 ? "E-" : "E+";
    const int absExponent = exponent < 0 ? -exponent : exponent;
    if (absExponent < 10) out += '0';
    out += std::to_string(absExponent);
  } else if (exponent < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
  } else {
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out += digits;
      out.append(whole - digits.size(), '0');
    } else {
      out.append(digits, 0, whole);
      out += '.';
      out.append(digits, whole);
    }
  }
  return out;
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

  bool anyDigit = false;
  for (; i < n && IsDigit(text[i]); ++i) anyDigit = true;
  if (i < n && text[i] == '.') {
    for (++i; i < n && IsDigit(text[i]); ++i) anyDigit = true;
  }
  if (!anyDigit) return 0.0;

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

std::string FormatSingle(float value) {
  // A float widens to double exactly, so the digits are those of the float.
  return FormatSignificant(static_cast<double>(value), 7);
}

std::string FormatInt(long long value) {
  char buf[24];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

std::string CommaToPoint(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == ',') c = '.';
  }
  return out;
}

}  // namespace vandrel
