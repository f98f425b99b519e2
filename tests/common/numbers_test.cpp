#include "common/numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace vandrel {
namespace {

enum class TestLocale { C, DecimalComma };

// Every number test runs twice: under "C" and under a locale that writes a
// decimal comma, as Qt sets up for a German or French user.
class NumbersTest : public ::testing::TestWithParam<TestLocale> {
 protected:
  void SetUp() override {
    if (GetParam() == TestLocale::C) return;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
      if (std::setlocale(LC_ALL, name) != nullptr) {
        locale_ = name;
        break;
      }
    }
    if (locale_.empty()) {
      FAIL() << "No decimal-comma locale is installed: generate de_DE.UTF-8 (scripts/test does it; by "
                "hand, enable de_DE.UTF-8 in /etc/locale.gen and run locale-gen).";
    }
    ASSERT_EQ(Printf("%.1f", 0.5), "0,5") << "locale " << locale_ << " does not write a decimal comma";
  }

  void TearDown() override { std::setlocale(LC_ALL, "C"); }

  // What printf-style code writes under the current locale.
  static std::string Printf(const char* format, double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
  }

  // What strtod reads under the current locale, from a text with "." as the
  // decimal sign.
  static double Strtod(std::string text) {
    const char point = *std::localeconv()->decimal_point;
    for (char& c : text) {
      if (c == '.') c = point;
    }
    return std::strtod(text.c_str(), nullptr);
  }

  std::string locale_;
};

INSTANTIATE_TEST_SUITE_P(Locale, NumbersTest, ::testing::Values(TestLocale::C, TestLocale::DecimalComma),
                         [](const ::testing::TestParamInfo<TestLocale>& info) {
                           return info.param == TestLocale::C ? "C" : "DecimalComma";
                         });

TEST_P(NumbersTest, LocaleDoesNotReachNumbersInFiles) {
  EXPECT_EQ(FormatDouble(0.5), "0.5");
  EXPECT_EQ(FormatSingle(0.5f), "0.5");
  EXPECT_EQ(Val("0.5"), 0.5);
  EXPECT_EQ(LeadingNumber("0.5"), 0.5);
  EXPECT_EQ(Val("0,5"), 0.0);
  EXPECT_EQ(FormatDouble(1234567.25), "1234567.25");
  EXPECT_EQ(CommaToPoint(Printf("%.2f", 1.25)), "1.25");
}

TEST_P(NumbersTest, ValSkipsBlanksAndStopsAtTheFirstOtherCharacter) {
  EXPECT_EQ(Val("30 40"), 3040);
  EXPECT_EQ(Val(" \t1\n2 . 5 "), 12.5);
  EXPECT_EQ(Val("1.5e2"), 150);
  EXPECT_EQ(Val("1.5E+2"), 150);
  EXPECT_EQ(Val("15e-1"), 1.5);
  EXPECT_EQ(Val("1.5D2"), 150);
  EXPECT_EQ(Val("2 e 3"), 2000);
  EXPECT_EQ(Val("-.5"), -0.5);
  EXPECT_EQ(Val("- 5"), -5);
  EXPECT_EQ(Val("+7"), 7);
  EXPECT_EQ(Val("5."), 5);
  EXPECT_EQ(Val("12abc"), 12);
  EXPECT_EQ(Val("1e"), 1);
  EXPECT_EQ(Val("1e+x"), 1);
  EXPECT_EQ(Val("1.2.3"), 1.2);
  EXPECT_EQ(Val("1,5"), 1);
  EXPECT_EQ(Val("1\r2"), 1);
  EXPECT_EQ(Val("0.000000000000000000001"), 1e-21);
  EXPECT_EQ(Val("123456789012345678901234567890"), 123456789012345678901234567890.0);
  for (const char* none : {"", "   ", "abc", "-", "+", ".", "-.", "e5", "--5", "+-5", ",5", "\r5"}) {
    EXPECT_EQ(Val(none), 0.0) << '"' << none << '"';
  }
}

TEST_P(NumbersTest, ValReadsHexAndOctalPrefixes) {
  EXPECT_EQ(Val("&H1F"), 31);
  EXPECT_EQ(Val("&hff"), 255);
  EXPECT_EQ(Val("&H1 F"), 31);
  EXPECT_EQ(Val("&HFFFF"), 65535);
  EXPECT_EQ(Val("&H1G"), 1);
  EXPECT_EQ(Val("&O17"), 15);
  EXPECT_EQ(Val("&o178"), 15);
  EXPECT_EQ(Val("&H"), 0);
  EXPECT_EQ(Val("&X1"), 0);
  EXPECT_EQ(Val("&"), 0);
}

TEST_P(NumbersTest, ValAgreesWithTheCLibraryOnCanonicalTexts) {
  std::mt19937_64 random(11);
  for (int i = 0; i < 20000; ++i) {
    const double value =
        std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 200) - 150);
    const std::string text = CommaToPoint(Printf(i % 2 ? "%.17G" : "%.12f", (i % 3 ? 1 : -1) * value));
    ASSERT_EQ(Val(text), Strtod(text)) << text;
    ASSERT_EQ(LeadingNumber(text), Strtod(text)) << text;
    // Short decimals as files hold them: up to 17 digits, the point anywhere,
    // leading zeros, a sign, a point with nothing after it.
    std::string shortText = i % 5 == 0 ? "-" : i % 7 == 0 ? "+" : "";
    const int length = 1 + static_cast<int>(random() % 17);
    const int point = static_cast<int>(random() % (length + 1));
    for (int d = 0; d < length; ++d) {
      if (d == point) shortText += '.';
      shortText += static_cast<char>('0' + (d == 0 && i % 3 == 0 ? 0 : random() % 10));
    }
    if (point == length && i % 4 == 0) shortText += '.';
    const double expected = Strtod(shortText);
    ASSERT_EQ(std::signbit(LeadingNumber(shortText)), std::signbit(expected)) << shortText;
    ASSERT_EQ(LeadingNumber(shortText), expected) << shortText;
  }
}

TEST_P(NumbersTest, ValGivesInfinityOrZeroOutOfRange) {
  EXPECT_EQ(Val("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(Val("-1e400"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(Val("0.01e311"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(Val("1" + std::string(400, '0')), std::numeric_limits<double>::infinity());
  EXPECT_EQ(Val("1e-400"), 0.0);
  EXPECT_EQ(Val("100000e-330"), 0.0);
  EXPECT_EQ(Val("1e99999999999999999999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(Val("1e-99999999999999999999"), 0.0);
  EXPECT_EQ(Val("0e99999"), 0.0);
}

TEST_P(NumbersTest, LeadingNumberStopsAtTheFirstCharacterThatCannotContinue) {
  EXPECT_EQ(LeadingNumber("12 5"), 12);
  EXPECT_EQ(LeadingNumber("   -1.25e1 x"), -12.5);
  EXPECT_EQ(LeadingNumber("+3"), 3);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("5."), 5);
  EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
  EXPECT_EQ(LeadingNumber("2e"), 2);
  EXPECT_EQ(LeadingNumber("2e+"), 2);
  EXPECT_EQ(LeadingNumber("2E-1]"), 0.2);
  EXPECT_EQ(LeadingNumber("2d1"), 2);
  EXPECT_EQ(LeadingNumber("7,5"), 7);
  EXPECT_EQ(LeadingNumber("4\r\n"), 4);
  for (const char* none : {"", "  ", "x1", "- 1", "+-1", ".", "\t1", "e1"}) {
    EXPECT_EQ(LeadingNumber(none), 0.0) << '"' << none << '"';
  }
}

TEST_P(NumbersTest, RoundingIsHalfToEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.5000001), 3);
  EXPECT_EQ(RoundHalfEven(-0.4), 0);
  // Halves that are exact in binary.
  EXPECT_EQ(RoundHalfEven(0.125, 2), 0.12);
  EXPECT_EQ(RoundHalfEven(0.375, 2), 0.38);
  EXPECT_EQ(RoundHalfEven(-0.625, 2), -0.62);
  EXPECT_EQ(RoundHalfEven(0.1234567, 6), 0.123457);
  EXPECT_EQ(RoundHalfEven(12.5, 0), 12);
  EXPECT_EQ(RoundHalfEven(1250, -2), 1200);
  EXPECT_EQ(RoundHalfEven(1350, -2), 1400);
  // Values too large to have decimals left stay as they are.
  EXPECT_EQ(RoundHalfEven(1e300, 6), 1e300);
  EXPECT_EQ(RoundHalfEven(123456789012.5, 6), 123456789012.5);
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity(), 2),
            std::numeric_limits<double>::infinity());
}

TEST_P(NumbersTest, FormatDoubleWritesUpToFifteenDigits) {
  EXPECT_EQ(FormatDouble(0), "0");
  EXPECT_EQ(FormatDouble(-0.0), "0");
  EXPECT_EQ(FormatDouble(1), "1");
  EXPECT_EQ(FormatDouble(-12.5), "-12.5");
  EXPECT_EQ(FormatDouble(100), "100");
  EXPECT_EQ(FormatDouble(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatDouble(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FormatDouble(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(FormatDouble(123456789012345), "123456789012345");
  EXPECT_EQ(FormatDouble(999999999999999.9), "1E+15");
  EXPECT_EQ(FormatDouble(1e15), "1E+15");
  EXPECT_EQ(FormatDouble(1e20), "1E+20");
  EXPECT_EQ(FormatDouble(-1.5e100), "-1.5E+100");
  EXPECT_EQ(FormatDouble(0.0001), "0.0001");
  EXPECT_EQ(FormatDouble(0.00012345), "0.00012345");
  EXPECT_EQ(FormatDouble(0.00001), "1E-05");
  EXPECT_EQ(FormatDouble(1e-7), "1E-07");
  EXPECT_EQ(FormatDouble(4.9e-324), "4.94065645841247E-324");
  EXPECT_EQ(FormatDouble(std::numeric_limits<double>::infinity()), "INF");
}

TEST_P(NumbersTest, FormatSingleWritesTheFloatWithSevenDigits) {
  EXPECT_EQ(FormatSingle(1.1f), "1.1");
  EXPECT_EQ(FormatSingle(0.1f + 0.2f), "0.3");
  EXPECT_EQ(FormatSingle(-0.0f), "0");
  EXPECT_EQ(FormatSingle(1234567.0f), "1234567");
  EXPECT_EQ(FormatSingle(16777216.0f), "1.677722E+07");
  EXPECT_EQ(FormatSingle(0.9f * 255.0f), "229.5");
  EXPECT_EQ(FormatSingle(3e-5f), "3E-05");
  // The double value of 1.1f has more digits than seven.
  EXPECT_EQ(FormatDouble(1.1f), "1.10000002384186");
}

// The reference: printf's %G under the current locale with its decimal sign
// turned back into a point.
TEST_P(NumbersTest, FormattingMatchesPrintfG) {
  std::mt19937_64 random(5);
  for (int i = 0; i < 100000; ++i) {
    const double value = std::bit_cast<double>(random());
    if (!std::isfinite(value)) continue;
    ASSERT_EQ(FormatDouble(value), CommaToPoint(Printf("%.15G", value == 0 ? 0.0 : value)));
    const float single = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    if (!std::isfinite(single)) continue;
    ASSERT_EQ(FormatSingle(single), CommaToPoint(Printf("%.7G", single == 0 ? 0.0 : single)));
  }
  // Values of ordinary size, near ties at the fifteenth digit.
  for (int i = 0; i < 20000; ++i) {
    const std::string text =
        std::to_string(random() % 1000000) + "." + std::to_string(random() % 10000000000) + "5";
    const double value = Strtod(text);
    ASSERT_EQ(FormatDouble(value), CommaToPoint(Printf("%.15G", value))) << text;
    ASSERT_EQ(FormatDouble(-value), CommaToPoint(Printf("%.15G", -value))) << text;
  }
  // Values with few digits, as files hold them (the digits that give the
  // value back are then the ones written).
  for (int i = 0; i < 20000; ++i) {
    std::uint64_t scale = 1;
    for (int d = static_cast<int>(random() % 16); d > 0; --d) scale *= 10;
    const std::string text =
        std::to_string(random() % scale) + "e" + std::to_string(static_cast<int>(random() % 60) - 30);
    const double value = Strtod(text);
    ASSERT_EQ(FormatDouble(value), CommaToPoint(Printf("%.15G", value))) << text;
    const float single = static_cast<float>(value);
    ASSERT_EQ(FormatSingle(single), CommaToPoint(Printf("%.7G", single))) << text;
  }
}

TEST_P(NumbersTest, FormatIntAndCommaToPoint) {
  EXPECT_EQ(FormatInt(0), "0");
  EXPECT_EQ(FormatInt(-12), "-12");
  EXPECT_EQ(FormatInt(1234567), "1234567");
  EXPECT_EQ(FormatInt(std::numeric_limits<long long>::min()), "-9223372036854775808");
  EXPECT_EQ(CommaToPoint("1,5"), "1.5");
  EXPECT_EQ(CommaToPoint("1,5,6"), "1.5.6");
  EXPECT_EQ(CommaToPoint("15"), "15");
}

}  // namespace
}  // namespace vandrel
