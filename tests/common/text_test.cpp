#include "common/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vandrel {
namespace {

TEST(TextTest, InStrCountsFromOneAndGivesZeroWhenMissing) {
  EXPECT_EQ(InStr("abcabc", "bc"), 2u);
  EXPECT_EQ(InStr(3, "abcabc", "bc"), 5u);
  EXPECT_EQ(InStr(5, "abcabc", "bc"), 5u);
  EXPECT_EQ(InStr(6, "abcabc", "bc"), 0u);
  EXPECT_EQ(InStr("abcabc", "x"), 0u);
  EXPECT_EQ(InStr("ab", "abc"), 0u);
  EXPECT_EQ(InStr(0, "abc", "a"), 1u);
  EXPECT_EQ(InStr(99, "abc", "a"), 0u);
  // An empty search text is found at the start while the start is within len+1.
  EXPECT_EQ(InStr(2, "abc", ""), 2u);
  EXPECT_EQ(InStr(4, "abc", ""), 4u);
  EXPECT_EQ(InStr(5, "abc", ""), 0u);
  EXPECT_EQ(InStr("", ""), 1u);
}

// The searches that look at many characters at once, against the plain
// definitions: texts of few letters (so that needles nearly match often),
// needles of 1 to 34 characters (past the short-needle path), every start.
TEST(TextTest, InStrAndCleanLineAgreeWithPlainDefinitionsOnRandomTexts) {
  std::mt19937 random(7);
  const std::string letters = "ab \t\r\n";
  const auto pick = [&](std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += letters[random() % letters.size()];
    return text;
  };
  for (int round = 0; round < 300; ++round) {
    // Long enough for several 64-character steps and the tail after them.
    const std::string text = pick(random() % 260);
    const std::size_t m = 1 + random() % 34;
    // A needle taken from the text itself when it is long enough.
    const std::string needle =
        text.size() > m && round % 2 == 0 ? text.substr(random() % (text.size() - m), m) : pick(m);
    for (std::size_t start = 1; start <= text.size() + 1; ++start) {
      const std::size_t plain = text.find(needle, start - 1);
      ASSERT_EQ(InStr(start, text, needle), plain == std::string::npos ? 0 : plain + 1)
          << round << " " << start;
    }
    // The text as it is, and letters with a single TAB, CR or LF (or none)
    // somewhere, as most lines hold.
    std::string line(random() % 40, 'x');
    if (!line.empty() && round % 4 != 0) line[random() % line.size()] = "\t\r\n"[round % 3];
    for (const std::string& piece : {text, line}) {
      std::string clean;
      for (char c : piece)
        if (c != '\t' && c != '\r' && c != '\n') clean += c;
      ASSERT_EQ(CleanLine(piece), Trim(clean)) << round;
    }
  }
}

TEST(TextTest, InStrRevFindsTheLastMatchLyingWhollyBeforeTheLimit) {
  EXPECT_EQ(InStrRev("abcabc", "bc"), 5u);
  EXPECT_EQ(InStrRev("abcabc", "bc", 6), 5u);
  // The match at 5 spans 5..6, so it is not within 1..5.
  EXPECT_EQ(InStrRev("abcabc", "bc", 5), 2u);
  EXPECT_EQ(InStrRev("abcabc", "bc", 3), 2u);
  EXPECT_EQ(InStrRev("abcabc", "bc", 2), 0u);
  EXPECT_EQ(InStrRev("abcabc", "bc", 99), 5u);
  EXPECT_EQ(InStrRev("a:b:c", ":"), 4u);
  EXPECT_EQ(InStrRev("abc", "x"), 0u);
  EXPECT_EQ(InStrRev("ab", "abc"), 0u);
  EXPECT_EQ(InStrRev("aaaa", "aa", 3), 2u);
  EXPECT_EQ(InStrRev("abc", ""), 3u);
  EXPECT_EQ(InStrRev("abc", "", 2), 2u);
  EXPECT_EQ(InStrRev("", ""), 0u);
}

// Long and short search texts take paths of their own; compare both
// directions with a plain search over texts full of near-matches.
TEST(TextTest, LongSearchTextsAgreeWithAPlainSearch) {
  std::mt19937 random(7);
  const auto make = [&random](std::size_t length) {
    std::string s;
    for (std::size_t i = 0; i < length; ++i) s += (random() % 8 == 0) ? 'b' : 'a';
    return s;
  };
  const auto matchesAt = [](const std::string& text, const std::string& what, std::size_t i) {
    return text.compare(i, what.size(), what) == 0;
  };
  for (int round = 0; round < 200; ++round) {
    const std::string what = make(1 + random() % 28);
    std::string text = make(150);
    text.insert(random() % 100, what);  // at least one occurrence
    for (std::size_t start = 0; start <= text.size() + 1; ++start) {
      std::size_t forward = 0;
      for (std::size_t i = (start == 0 ? 0 : start - 1); i + what.size() <= text.size(); ++i) {
        if (matchesAt(text, what, i)) {
          forward = i + 1;
          break;
        }
      }
      ASSERT_EQ(InStr(start, text, what), forward) << text << " / " << what << " from " << start;

      const std::size_t limit = (start == 0 || start > text.size()) ? text.size() : start;
      std::size_t backward = 0;
      for (std::size_t i = 0; i + what.size() <= limit; ++i) {
        if (matchesAt(text, what, i)) backward = i + 1;
      }
      ASSERT_EQ(InStrRev(text, what, start), backward) << text << " / " << what << " up to " << start;
    }
  }
}

TEST(TextTest, MidLeftRightClampToTheText) {
  EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid("abcdef", 4), "def");
  EXPECT_EQ(Mid("abcdef", 5, 10), "ef");
  EXPECT_EQ(Mid("abcdef", 6), "f");
  EXPECT_EQ(Mid("abcdef", 7), "");
  EXPECT_EQ(Mid("abcdef", 0, 2), "ab");
  EXPECT_EQ(Mid("abcdef", 2, 0), "");
  EXPECT_EQ(Left("abc", 2), "ab");
  EXPECT_EQ(Left("abc", 9), "abc");
  EXPECT_EQ(Right("abc", 2), "bc");
  EXPECT_EQ(Right("abc", 9), "abc");
  EXPECT_EQ(Right("abc", 0), "");
}

TEST(TextTest, CaseMappingIsAsciiOnlyAndKeepsPositions) {
  // 0xC4 and 0xE4 are Windows-1252 letters; they stay as they are.
  const std::string text = "Skin\xC4.JPG \xE4z@[`{";
  EXPECT_EQ(LCase(text), "skin\xC4.jpg \xE4z@[`{");
  EXPECT_EQ(UCase(text), "SKIN\xC4.JPG \xE4Z@[`{");
  EXPECT_EQ(LCase(text).size(), text.size());
  EXPECT_EQ(InStr(LCase(text), ".jpg"), InStr(text, ".JPG"));

  EXPECT_TRUE(EqualsNoCase("Figure 1", "FIGURE 1"));
  EXPECT_FALSE(EqualsNoCase("Figure 1", "Figure 12"));
  EXPECT_FALSE(EqualsNoCase("\xC4", "\xE4"));
  EXPECT_FALSE(EqualsNoCase("@", "`"));
  EXPECT_TRUE(StartsWith("actor hip", "actor"));
  EXPECT_FALSE(StartsWith("act", "actor"));
  EXPECT_FALSE(StartsWith("Actor", "actor"));
  EXPECT_TRUE(EndsWith("skin.jpg", ".jpg"));
  EXPECT_FALSE(EndsWith("skin.JPG", ".jpg"));
}

TEST(TextTest, TrimRemovesBlanksOnlyAndCleanLineAlsoTabsAndLineEnds) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(LTrim("  a b  "), "a b  ");
  EXPECT_EQ(RTrim("  a b  "), "  a b");
  EXPECT_EQ(Trim("\t a \t"), "\t a \t");
  EXPECT_EQ(Trim("    "), "");
  EXPECT_EQ(LTrim("   "), "");
  EXPECT_EQ(RTrim("   "), "");
  EXPECT_EQ(CleanLine("\t\tkd 1.5\r\n"), "kd 1.5");
  EXPECT_EQ(CleanLine(" \tmaterial\tskin \r"), "materialskin");
  EXPECT_EQ(CleanLine("\r\n"), "");
}

TEST(TextTest, ReplaceWorksInOnePassWithoutRescanning) {
  EXPECT_EQ(Replace("a.b.c", ".", ":"), "a:b:c");
  EXPECT_EQ(Replace("aaa", "aa", "a"), "aa");
  EXPECT_EQ(Replace("aaaa", "aa", "a"), "aa");
  EXPECT_EQ(Replace("ab", "a", "aa"), "aab");
  EXPECT_EQ(Replace("\r\n\r\n", "\r\n", "\r"), "\r\r");
  EXPECT_EQ(Replace("abc", "", "x"), "abc");
  EXPECT_EQ(Replace("abc", "abc", ""), "");
  EXPECT_EQ(Replace("", "a", "b"), "");

  const std::string longWhat(40, 'x');
  EXPECT_EQ(Replace("1" + longWhat + longWhat + "x2" + longWhat, longWhat, "-"), "1--x2-");

  EXPECT_EQ(RemoveChar("\"C:\\a b\"", '"'), "C:\\a b");
  EXPECT_EQ(RemoveChar("aaa", 'a'), "");
  EXPECT_EQ(RemoveChar(std::string("a\0b", 3), '\0'), "ab");
}

}  // namespace
}  // namespace vandrel
