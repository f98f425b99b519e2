#include "platform/display_locale.h"

#include <langinfo.h>

#include <ctime>

namespace vandrel {

DisplayLocale UserDisplayLocale() {
  DisplayLocale locale;
  if (const char* radix = ::nl_langinfo(RADIXCHAR); radix != nullptr && *radix != '\0')
    locale.decimalSign = radix;
  if (const char* date = ::nl_langinfo(D_FMT); date != nullptr && *date != '\0') locale.dateFormat = date;
  if (const char* time = ::nl_langinfo(T_FMT); time != nullptr && *time != '\0') locale.timeFormat = time;
  return locale;
}

std::string FormatRoundedQuotient(std::uint64_t numerator, std::uint64_t denominator, int decimals,
                                  const DisplayLocale& locale) {
  std::uint64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  // numerator / (denominator / scale), the denominator a multiple of scale
  // as the callers use it (bytes / 1000 to one decimal, / 1000000 to two).
  const std::uint64_t unit = denominator / scale;
  std::uint64_t q = numerator / unit;
  const std::uint64_t r = numerator % unit;
  if (2 * r > unit || (2 * r == unit && q % 2 == 1)) ++q;
  std::string whole = std::to_string(q / scale);
  std::string fraction = std::to_string(q % scale);
  fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return fraction.empty() ? whole : whole + locale.decimalSign + fraction;
}

std::string FormatDateTime(const LocalDateTime& when, const DisplayLocale& locale) {
  std::tm tm{};
  tm.tm_year = when.year - 1900;
  tm.tm_mon = when.month - 1;
  tm.tm_mday = when.day;
  tm.tm_hour = when.hour;
  tm.tm_min = when.minute;
  tm.tm_sec = when.second;
  auto format = [&tm](const std::string& pattern) {
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, pattern.c_str(), &tm);
    return std::string(buffer, n);
  };
  std::string text = format(locale.dateFormat);
  if (when.hour != 0 || when.minute != 0 || when.second != 0) text += " " + format(locale.timeFormat);
  return text;
}

}  // namespace vandrel
