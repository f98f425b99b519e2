// The reader computes from one search the stretches of text that the
// step-by-step reads end with (growing prefixes, blocks put in front of each
// other from the end, prop lines removed until none is left). Here each loop
// is written out literally, slow, and compared with the fast form on crafted
// and random texts.
#include "reader/read_windows.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "reader/prop_entries.h"
#include "reader/read_fault.h"
#include "reader/text_scan.h"

namespace vandrel::test {
namespace {

// ---- Literal transcriptions -------------------------------------------------

// "Read prefixes of first, first + step, ... characters, each time from the
// start, until the prefix holds `what`"; a prefix cannot grow past the text.
std::optional<std::size_t> SlowPrefixUntil(const std::string& text, const std::string& what,
                                           std::size_t first, std::size_t step) {
  std::string held;
  std::size_t length = first;
  while (InStr(held, what) == 0) {
    if (held.size() == text.size() && length > first) return std::nullopt;  // the whole text, still none
    held = Left(text, length);
    length += step;
  }
  return held.size();
}

// The prop scan: prefixes of 100, 600, ... until the first and the last
// occurrence of the object line differ; the whole text when it never does.
std::size_t SlowPropScan(const std::string& text, const std::string& line) {
  std::string buffer;
  std::size_t length = 100;
  while (InStr(buffer, line) == InStrRev(buffer, line)) {
    if (buffer.size() == text.size() && length > 100) break;
    buffer = Left(text, length);
    length += 500;
  }
  return buffer.size();
}

// Blocks from the end, read from a file: positioned at (length - ReadLength),
// one block read there and put in front; a file shorter than ReadLength
// shortens the last block. A read that would start before the first
// character starts at it. Gives the first position of the stretch.
std::optional<std::size_t> SlowTailFromFile(const std::string& file, const std::string& key,
                                            std::size_t blockSize) {
  const long long n = static_cast<long long>(file.size());
  long long block = static_cast<long long>(blockSize);
  if (n <= block) block = n - 1;
  if (block <= 0) return std::nullopt;
  long long readLength = block;
  std::string buffer;
  long long first = n;  // first position read so far
  while (InStr(buffer, key) == 0) {
    if (first == 1) return std::nullopt;  // back at the start, still no key
    if (n < readLength) {
      block = n - (readLength - block);
      readLength = n;
    }
    long long position = n - readLength;  // 1-based
    long long count = block;
    if (position < 1) {
      count -= 1 - position;
      position = 1;
    }
    buffer = Mid(file, static_cast<std::size_t>(position), static_cast<std::size_t>(count)) + buffer;
    first = position;
    readLength += block;
  }
  return static_cast<std::size_t>(first);
}

// The same from a given text: Mid(Text, length - ReadLength, ReadLength).
std::optional<std::size_t> SlowTailFromText(const std::string& text, const std::string& key,
                                            std::size_t blockSize) {
  const long long n = static_cast<long long>(text.size());
  long long block = static_cast<long long>(blockSize);
  if (n <= block) block = n - 1;
  if (block <= 0) return std::nullopt;
  long long readLength = block;
  std::string buffer;
  while (InStr(buffer, key) == 0) {
    long long start = n - readLength;
    if (start < 1 && !buffer.empty() && buffer.size() == static_cast<std::size_t>(n - 1)) return std::nullopt;
    long long count = readLength;
    if (start < 1) {
      count -= 1 - start;
      start = 1;
    }
    buffer = Mid(text, static_cast<std::size_t>(start), static_cast<std::size_t>(count));
    readLength += block;
  }
  return n - buffer.size();
}

// Removes `name` where it stands as a whole line after an LF; `braceEnds`
// lets a "{" end the line too.
void SlowRemoveWholeLines(std::string& text, const std::string& name, bool braceEnds) {
  for (std::size_t p = InStr(text, "\n" + name); p != 0; p = InStr(p + 1, text, "\n" + name)) {
    std::size_t i = p + name.size();  // 0-based index after the name
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r')) ++i;
    if (i == text.size() || text[i] == '\n' || (braceEnds && text[i] == '{')) text.erase(p, name.size());
  }
}

// The prop scan's lines: while the buffer holds LF "prop ", take the last such
// line, clean it, and remove the name wherever it stands as a whole line.
std::vector<std::string> SlowPropScanEntries(std::string buffer, bool crIsLineEnd) {
  if (crIsLineEnd) CrToLf(buffer);
  std::vector<std::string> names;
  while (std::size_t p = InStrRev(buffer, "\nprop ")) {
    std::size_t lf = InStr(p + 1, buffer, "\n");
    if (lf == 0) lf = buffer.size() + 1;
    const std::string name = CleanLine(Mid(buffer, p + 1, lf - p - 1));
    names.push_back(name);
    SlowRemoveWholeLines(buffer, name, false);
    if (Mid(buffer, p, 6) == "\nprop ") buffer.erase(p, 1);  // a line whose cleaning changed it
  }
  return names;
}

// The pose file's prop groups: the same, each line read up to the next "{".
std::vector<std::string> SlowPoseGroupEntries(std::string work) {
  CrToLf(work);
  std::vector<std::string> names;
  while (std::size_t p = InStrRev(work, "\nprop ")) {
    const std::size_t brace = InStr(p + 1, work, "{");
    const std::string name = CleanLine(Mid(work, p + 1, brace - p - 1));
    names.push_back(name);
    SlowRemoveWholeLines(work, name, true);
    if (Mid(work, p, 6) == "\nprop ") work.erase(p, 1);
  }
  return names;
}

// "Replace `from` by `to` until none is left."
std::string SlowReplaceUntilNone(std::string text, const std::string& from, const std::string& to) {
  while (InStr(text, from) != 0) text = Replace(text, from, to);
  return text;
}

// ---- Random texts -----------------------------------------------------------

std::string RandomText(std::mt19937& rng, const std::vector<std::string>& pieces, std::size_t count) {
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += pieces[pick(rng)];
  return out;
}

// ---- Windows ------------------------------------------------------------------

TEST(ReadWindowsTest, HeaderAndHeadPrefixesOnCraftedTexts) {
  const std::string x49(49, 'x');
  EXPECT_EQ(HeaderPrefixLength(x49 + "}"), 50u);
  EXPECT_EQ(HeaderPrefixLength(x49 + "x}" + std::string(100, 'y')), 100u);
  EXPECT_EQ(HeaderPrefixLength("{version{number 4}}"), 19u);  // a short file is not refused
  EXPECT_EQ(HeaderPrefixLength(std::string(500, 'x')), std::nullopt);
  EXPECT_EQ(HeadPrefixLength("}"), 1u);
  EXPECT_EQ(HeadPrefixLength("xx}xxxxxxxx"), 6u);
  EXPECT_EQ(HeadPrefixLength("xxxxxx}xxxxxxxxxxx"), 11u);
}

TEST(ReadWindowsTest, PrefixLoopsMatchTheirLiteralFormOnRandomTexts) {
  std::mt19937 rng(7);
  const std::vector<std::string> pieces = {"x",       "ab",    "\n", "}",    "{",
                                           "actor a", "actor", " ",  "\r\n", "yyyyyyyyyyyyyyyyyyyyyyyy"};
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomText(rng, pieces, std::uniform_int_distribution<std::size_t>(0, 200)(rng));
    ASSERT_EQ(HeaderPrefixLength(text), SlowPrefixUntil(text, "}", 50, 50)) << text;
    ASSERT_EQ(HeadPrefixLength(text), SlowPrefixUntil(text, "}", 1, 5)) << text;
    ASSERT_EQ(PropScanLength(text, "actor a"), SlowPropScan(text, "actor a")) << text;
    ASSERT_EQ(PropScanLength(text, "ab"), SlowPropScan(text, "ab")) << text;
  }
}

TEST(ReadWindowsTest, TailBlocksOnCraftedTexts) {
  // A text of 2000 characters or fewer is read in blocks of its length minus 1.
  std::string small = "key" + std::string(50, '.');
  EXPECT_EQ(TailStart(small, "key"), 1u);
  // The text's last character is never read.
  EXPECT_EQ(TailStart(std::string(50, '.') + "key", "key"), std::nullopt);
  EXPECT_EQ(TailStart(std::string(50, '.') + "key.", "key"), 1u);
  // Larger texts: whole blocks of 2000 from the end.
  std::string big = std::string(5000, '.');
  big.replace(4100, 3, "key");
  EXPECT_EQ(TailStart(big, "key"), 3000u);  // one block: 3000..4999
  big.replace(2500, 3, "abc");
  EXPECT_EQ(TailStart(big, "abc"), 1000u);  // two blocks
  big.replace(500, 3, "def");
  EXPECT_EQ(TailStart(big, "def"), 1u);  // the third block reaches back past the start
  EXPECT_EQ(TailStart(big, "zzz"), std::nullopt);
}

TEST(ReadWindowsTest, TailBlocksMatchTheLiteralLoopsFromFileAndText) {
  std::mt19937 rng(11);
  const std::vector<std::string> pieces = {"x", "ke", "key", "\n", "abcdefghij", "k"};
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomText(rng, pieces, std::uniform_int_distribution<std::size_t>(0, 120)(rng));
    const std::size_t block = std::uniform_int_distribution<std::size_t>(1, 40)(rng);
    const std::optional<std::size_t> fast = TailStart(text, "key", block);
    ASSERT_EQ(fast, SlowTailFromFile(text, "key", block)) << text << " block " << block;
    ASSERT_EQ(fast, SlowTailFromText(text, "key", block)) << text << " block " << block;
  }
}

// ---- Prop lines ---------------------------------------------------------------

TEST(PropEntriesTest, PrefixNamesStayWhole) {
  const std::string buffer = "{\nprop ball_2\n{\n}\nprop ball\n{\n}\nprop ball_2\n{\n}\n";
  const std::vector<std::string> expected = {"prop ball_2", "prop ball"};
  EXPECT_EQ(PropScanEntries(buffer, buffer, true), expected);
  EXPECT_EQ(PoseGroupPropEntries(buffer), expected);

  // Removing every occurrence of the name's text, as a plain replacement does,
  // cuts "prop ball_2" down to "_2" and loses it.
  std::string literal = "{\nprop ball_2\n{\n}\nprop ball\n{\n}\n";
  std::vector<std::string> names;
  while (std::size_t p = InStrRev(literal, "\nprop ")) {
    const std::string name = CleanLine(Mid(literal, p + 1, InStr(p + 1, literal, "\n") - p - 1));
    names.push_back(name);
    literal = Replace(literal, name, "");
  }
  EXPECT_EQ(names, std::vector<std::string>{"prop ball"});
  EXPECT_EQ(PropScanEntries("{\nprop ball_2\n{\n}\nprop ball\n{\n}\n",
                            "{\nprop ball_2\n{\n}\nprop ball\n{\n}\n", true),
            (std::vector<std::string>{"prop ball", "prop ball_2"}));
}

TEST(PropEntriesTest, LinesCutByTheScanAreReadToTheirEnd) {
  const std::string whole = "{\nprop a\n{\n}\nprop ball_2\n{\n}\n";
  const std::string buffer = whole.substr(0, whole.find("ball_2") + 4);  // "...\nprop ba"
  EXPECT_EQ(PropScanEntries(buffer, whole, true), (std::vector<std::string>{"prop ball_2", "prop a"}));
  // A "prop " that the buffer cuts is not a line of the buffer.
  EXPECT_EQ(PropScanEntries(whole.substr(0, whole.find("ball_2") - 2), whole, true),
            std::vector<std::string>{"prop a"});
}

TEST(PropEntriesTest, CrLineEndsCountOnlyWhenTheyAreLineEnds) {
  const std::string text = "{\rprop a\rprop b\r{\r}";
  EXPECT_EQ(PropScanEntries(text, text, true), (std::vector<std::string>{"prop b", "prop a"}));
  EXPECT_TRUE(PropScanEntries(text, text, false).empty());
  EXPECT_EQ(PoseGroupPropEntries("{\rprop a \r{\r}\rprop b\r{}"),
            (std::vector<std::string>{"prop b", "prop a"}));
  EXPECT_THROW(PoseGroupPropEntries("{\nprop a\n"), ReadFault);  // no "{" after the line
}

TEST(PropEntriesTest, MatchTheLiteralLoopsOnRandomTexts) {
  std::mt19937 rng(3);
  const std::vector<std::string> names = {"prop a", "prop ab", "prop a_2", "prop b", "prop  a", "prop a\t"};
  const std::vector<std::string> noise = {"x", " ", "\t", "\r", "\n", "name prop a", "}", "proper"};
  for (int round = 0; round < 3000; ++round) {
    std::string scan = "{";
    std::string pose = "{";
    const std::size_t count = std::uniform_int_distribution<std::size_t>(0, 8)(rng);
    for (std::size_t i = 0; i < count; ++i) {
      const std::string& name = names[std::uniform_int_distribution<std::size_t>(0, names.size() - 1)(rng)];
      const std::string pad = RandomText(rng, {" ", "\t", ""}, 2);
      const std::string body = RandomText(rng, noise, std::uniform_int_distribution<std::size_t>(0, 6)(rng));
      const std::string end = RandomText(rng, {"\n", "\r\n", "\r"}, 1);
      scan += end + name + pad + end + body;
      pose += end + name + pad + end + "{" + body + "}";
    }
    scan += "\n";
    ASSERT_EQ(PropScanEntries(scan, scan, true), SlowPropScanEntries(scan, true)) << scan;
    ASSERT_EQ(PropScanEntries(scan, scan, false), SlowPropScanEntries(scan, false)) << scan;
    ASSERT_EQ(PoseGroupPropEntries(pose), SlowPoseGroupEntries(pose)) << pose;
  }
}

TEST(PropEntriesTest, ThousandsOfRepeatedLinesMatchTheLiteralLoops) {
  // Many names, short and long, each on several lines, some of them followed
  // by blanks: every name comes back once, in the literal loops' order.
  std::mt19937 rng(11);
  std::string scan = "{";
  std::string pose = "{";
  for (int i = 0; i < 3000; ++i) {
    const int n = std::uniform_int_distribution<int>(0, 499)(rng);
    const std::string name =
        "prop " + std::string(n % 3 == 0 ? "hair_of_a_long_name_" : "p") + std::to_string(n);
    const std::string pad = RandomText(rng, {" ", "\t", ""}, 1);
    scan += "\n" + name + pad + "\nx";
    pose += "\n" + name + pad + "\n{x}";
  }
  scan += "\n";
  const std::vector<std::string> fromScan = PropScanEntries(scan, scan, true);
  EXPECT_GT(fromScan.size(), 400u);
  EXPECT_EQ(fromScan, SlowPropScanEntries(scan, true));
  EXPECT_EQ(PoseGroupPropEntries(pose), SlowPoseGroupEntries(pose));
}

// ---- One-pass replacements ----------------------------------------------------

TEST(TextScanTest, OnePassReplacementsMatchReplacingUntilNoneIsLeft) {
  std::mt19937 rng(5);
  const std::vector<std::string> pieces = {"\n", "\t", " ", "\r", "x", "\r\n", "ab", "a"};
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomText(rng, pieces, std::uniform_int_distribution<std::size_t>(0, 40)(rng));
    ASSERT_EQ(RemoveRunsAfter(text, "\n", '\t'), SlowReplaceUntilNone(text, "\n\t", "\n"));
    ASSERT_EQ(RemoveRunsAfter(text, "\r\n", ' '), SlowReplaceUntilNone(text, "\r\n ", "\r\n"));
    ASSERT_EQ(RemoveIndentation(text),
              SlowReplaceUntilNone(SlowReplaceUntilNone(text, "\n\t", "\n"), "\n ", "\n"));
    std::string afterCr = text;
    RemoveIndentationAfterLoneCrInPlace(afterCr);
    ASSERT_EQ(afterCr, SlowReplaceUntilNone(SlowReplaceUntilNone(text, "\r\t", "\r"), "\r ", "\r")) << text;
    if (!text.empty()) {
      // Cutting out a stretch of the text wherever it occurs, in place.
      const std::size_t start = 1 + rng() % text.size();
      const std::size_t length = rng() % (text.size() - start + 2);
      std::string cut = text;
      RemoveStretchEverywhere(cut, start, length);
      ASSERT_EQ(cut, length == 0 ? text : Replace(text, text.substr(start - 1, length), "")) << text;
    }
    ASSERT_EQ(CleanLineContains(text, "xab"), InStr(CleanLine(text), "xab") != 0) << text;
    ASSERT_EQ(CleanLineStartsWith(text, "xab", false), StartsWith(CleanLine(text), "xab")) << text;
  }
}

TEST(TextScanTest, RemovingAllTakesLongPatternsLeftToRight) {
  const std::string unit(40, 'a');
  const std::string text = unit + unit + "a" + "b" + unit;
  EXPECT_EQ(Replace(text, unit, ""), "ab");
  EXPECT_EQ(Replace("xyz", "", ""), "xyz");
}

TEST(TextScanTest, LineStartsAndWholeLines) {
  const std::string text = "a material x\n\t material y\rmaterial z";
  EXPECT_EQ(FindAtLineStart(text, "material ", 1, 1, true), 16u);
  EXPECT_EQ(FindAtLineStart(text, "material ", 1, 3, true), 3u);  // right at the cut
  EXPECT_EQ(FindLastAtLineStart(text, "material ", 0, 1, true), 27u);
  EXPECT_EQ(FindLastAtLineStart(text, "material ", 0, 1, false), 16u);
  EXPECT_TRUE(WholeLineAt("prop a \t\r\nx", 1, "prop a", false, true));
  EXPECT_FALSE(WholeLineAt("prop a_2\n", 1, "prop a", false, true));
  EXPECT_TRUE(WholeLineAt("prop a{", 1, "prop a", true, true));
  EXPECT_EQ(LineAfter("} junk\nx", 1), 8u);
  EXPECT_EQ(LineAfter(CrToLfCopy("}\r\nx"), 1), 4u);
  EXPECT_EQ(LineAfter("}\nx", 1), 3u);
  EXPECT_EQ(LineAfter("}", 1), 2u);
}

}  // namespace
}  // namespace vandrel::test
