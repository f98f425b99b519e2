// Numbers and dates shown to a person, in the person's locale (the decimal
// sign, the short date and the long time format). Files never use this.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_facts.h"

namespace vandrel {

struct DisplayLocale {
  std::string decimalSign = ".";
  std::string dateFormat = "%m/%d/%Y";  // strftime form
  std::string timeFormat = "%H:%M:%S";
};

// The running program's locale (LC_NUMERIC and LC_TIME as set at start-up).
DisplayLocale UserDisplayLocale();

// numerator / denominator rounded to `decimals` decimals, halves to the even
// neighbour, computed exactly in integers; written in its shortest form (no
// trailing zeros, no decimal sign for a whole number) with the locale's sign.
std::string FormatRoundedQuotient(std::uint64_t numerator, std::uint64_t denominator, int decimals,
                                  const DisplayLocale& locale);

// The date in the short date format, a blank and the time in the long time
// format; the time is left out when it is exactly midnight.
std::string FormatDateTime(const LocalDateTime& when, const DisplayLocale& locale);

}  // namespace vandrel
