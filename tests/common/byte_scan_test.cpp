#include "common/byte_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace vandrel::bytes {
namespace {

constexpr std::size_t npos = std::string::npos;

// The texts every loop runs over: each piece alone and at every place of a
// filler of 0 to 49 bytes (so that it falls at every offset of a 16-byte
// block, at the start and at the end), and random texts of the bytes the
// loops look for.
std::vector<std::string> Texts() {
  std::vector<std::string> texts;
  const std::vector<std::string> pieces = {"\n",     "\r", "\r\n",  "\t", "\n\t\t  x", "\n \t",
                                           "actor ", " a", "\xE9p", "ab", "\rx"};
  for (const std::string& piece : pieces) {
    texts.push_back(piece);
    for (std::size_t length = 0; length < 50; ++length)
      for (std::size_t at = 0; at <= length; ++at)
        texts.push_back(std::string(length, 'x').insert(at, piece));
  }
  std::mt19937 random(11);
  const std::string letters = "ab \t\r\n\xE9";
  for (int round = 0; round < 200; ++round) {
    std::string text(random() % 90, ' ');
    for (char& c : text) c = letters[random() % letters.size()];
    texts.push_back(text);
  }
  return texts;
}

const std::vector<std::string>& AllTexts() {
  static const std::vector<std::string> texts = Texts();
  return texts;
}

constexpr Loop kLoops[] = {Loop::Wide, Loop::Plain};

TEST(ByteScanTest, SearchesAgreeWithPlainDefinitionsOnBothLoops) {
  const std::string needles[] = {"ab", "\r\n", "actor ", "xxxxxxxxxxxxxxxxa", std::string(31, 'x') + "\n"};
  for (const Loop loop : kLoops) {
    for (const std::string& text : AllTexts()) {
      const auto label = [&] { return testing::Message() << (loop == Loop::Wide) << " [" << text << "]"; };
      for (const std::string& what : needles)
        for (std::size_t from = 0; from + what.size() <= text.size(); ++from)
          ASSERT_EQ(FindShort(text, what, from, loop), text.find(what, from)) << label() << what << from;
      ASSERT_EQ(HoldsTabOrLineEnd(text, loop), text.find_first_of("\t\r\n") != npos) << label();
      std::size_t lone = npos;
      for (std::size_t i = 0; i < text.size() && lone == npos; ++i)
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) lone = i;
      ASSERT_EQ(FirstLoneCr(text, loop), lone) << label();
      for (std::size_t from = 0; from <= text.size(); ++from) {
        std::vector<std::size_t> want, got;
        for (std::size_t i = from; i < text.size(); ++i)
          if (text[i] == '\n' || text[i] == '\r') want.push_back(i);
        ForEachLineEnd(
            text, from, [&](std::size_t i) { got.push_back(i); }, loop);
        ASSERT_EQ(got, want) << label() << from;
      }
    }
  }
}

// The candidates for a word at a line start, over every stretch that starts
// and ends in the text's first and last bytes and at its middle.
TEST(ByteScanTest, WordStartsAfterBlanksAgreeOnBothLoops) {
  const std::array<char, 4> four = {'a', 'p', 'l', 'c'};
  const std::array<char, 8> eight = {'a', 'p', 'l', 'c', 'x', 'b', 'a', 'a'};
  for (const Loop loop : kLoops) {
    for (const std::string& text : AllTexts()) {
      const std::size_t n = text.size();
      for (const std::size_t from : {std::size_t{0}, std::size_t{1}, n / 2, n}) {
        for (const std::size_t to : {from, n / 2, n - std::min<std::size_t>(n, 1), n}) {
          if (to < from) continue;
          const auto check = [&](const auto& set) {
            std::vector<std::size_t> want, got;
            for (std::size_t i = from; i < to; ++i)
              if (std::find(set.begin(), set.end(), text[i]) != set.end() &&
                  (i == 0 || static_cast<unsigned char>(text[i - 1]) <= ' ' ||
                   static_cast<unsigned char>(text[i - 1]) >= 0x80))
                want.push_back(i);
            ForEachAfterBlank(
                text, from, to, set, [&](std::size_t i) { got.push_back(i); }, loop);
            ASSERT_EQ(got, want) << (loop == Loop::Wide) << " [" << text << "] " << from << " " << to;
          };
          check(four);
          check(eight);
        }
      }
    }
  }
}

TEST(ByteScanTest, ChangesInPlaceAgreeWithPlainDefinitionsOnBothLoops) {
  for (const Loop loop : kLoops) {
    for (const std::string& text : AllTexts()) {
      std::string lf = text;
      CrToLf(lf.data(), lf.size(), loop);
      std::string want = text;
      std::replace(want.begin(), want.end(), '\r', '\n');
      ASSERT_EQ(lf, want) << (loop == Loop::Wide) << " [" << text << "]";
      // LF TAB until none is left, then LF blank until none is left.
      want.clear();
      for (std::size_t i = 0; i < text.size();) {
        want += text[i];
        if (text[i++] != '\n') continue;
        while (i < text.size() && text[i] == '\t') ++i;
        while (i < text.size() && text[i] == ' ') ++i;
      }
      std::string moved = text;
      moved.resize(RemoveTabsThenBlanksAfterLf(moved.data(), moved.size(), loop));
      ASSERT_EQ(moved, want) << (loop == Loop::Wide) << " [" << text << "]";
    }
  }
}

// Word copies of every length up to 40, to new memory and (up to 16 bytes)
// to a place before their own; a byte below 14 always marks what they give.
TEST(ByteScanTest, WordCopiesCopyEveryLengthAndMarkLowBytes) {
  for (std::size_t n = 0; n <= 40; ++n) {
    for (std::size_t low = 0; low <= n; ++low) {
      std::string from(n, 'q');
      for (std::size_t i = 0; i < n; ++i) from[i] = static_cast<char>('A' + i);
      if (low < n) from[low] = "\t\r\n\x01"[low % 4];
      std::string to(n + 8, '#');
      const std::uint64_t words = CopyWords(to.data(), from.data(), n);
      EXPECT_EQ(to, from + std::string(8, '#')) << n << " " << low;
      EXPECT_TRUE(low == n || MayHoldByteBelow14(words)) << n << " " << low;
      if (n > 16) continue;
      for (std::size_t back = 1; back <= 8; ++back) {
        std::string room = std::string(back, '#') + from;
        CopyWords(room.data(), room.data() + back, n);
        EXPECT_EQ(room.substr(0, n), from) << n << " " << back;
      }
    }
  }
  EXPECT_FALSE(MayHoldByteBelow14(0x2020202020202020u));
  EXPECT_TRUE(MayHoldByteBelow14(0x20202020200D2020u));
}

}  // namespace
}  // namespace vandrel::bytes
