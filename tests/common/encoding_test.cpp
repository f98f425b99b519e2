#include "common/encoding.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vandrel {
namespace {

// Poser text as read, what the screen shows, and the Poser text the shown
// text gives back when typed.
struct Conversion {
  const char* what;
  std::string poser;
  std::string shown;
  std::string typed;
};

TEST(Encoding, PoserTextShownAndTypedBothWays) {
  const Conversion table[] = {
      {"ASCII", "Skin.jpg", "Skin.jpg", "Skin.jpg"},
      {"Windows-1252 accents",
       "P\xEA"
       "che \xDC"
       "ber.jpg",
       "P\xC3\xAA"
       "che \xC3\x9C"
       "ber.jpg",
       "P\xEA"
       "che \xDC"
       "ber.jpg"},
      {"the euro sign", "\x80 5", "\xE2\x82\xAC 5", "\x80 5"},
      // A file written in UTF-8 reads right; typed again it becomes Windows-1252.
      {"UTF-8 input", "Caf\xC3\xA9", "Caf\xC3\xA9", "Caf\xE9"},
      {"a name only UTF-8 can hold", "\xD0\x92\xD0\xB8\xD1\x88\xD0\xBD\xD1\x8F \xC3\xA9",
       "\xD0\x92\xD0\xB8\xD1\x88\xD0\xBD\xD1\x8F \xC3\xA9",
       "\xD0\x92\xD0\xB8\xD1\x88\xD0\xBD\xD1\x8F \xC3\xA9"},
      // Not UTF-8 (a lone lead byte, an overlong form, a surrogate): Windows-1252.
      {"invalid UTF-8", "\xC3 \xC0\xAF \xED\xA0\x80",
       "\xC3\x83 \xC3\x80\xC2\xAF \xC3\xAD\xC2\xA0\xE2\x82\xAC", "\xC3 \xC0\xAF \xED\xA0\x80"},
      // The unassigned bytes keep their own code points.
      {"unassigned bytes", "\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D",
       "\x81\x8D\x8F\x90\x9D"},
  };
  for (const Conversion& c : table) {
    EXPECT_EQ(PoserTextToUtf8(c.poser), c.shown) << c.what;
    EXPECT_EQ(Utf8ToPoserText(c.shown), c.typed) << c.what;
  }
  // Bytes that are no UTF-8 entering Poser text stay as they are.
  EXPECT_EQ(Utf8ToPoserText("P\xEA"
                            "che"),
            "P\xEA"
            "che");
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x82\xAC\xC5\x93"), "\x80\x9C");
  EXPECT_EQ(Utf8ToWindows1252("\xD0\x92"), std::nullopt);

  // Every byte of Poser text survives being shown and typed again, unless
  // the text as a whole reads as UTF-8.
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_FALSE(IsMultiByteUtf8(all));
  EXPECT_EQ(Utf8ToPoserText(PoserTextToUtf8(all)), all);
  EXPECT_FALSE(IsMultiByteUtf8("plain"));
  EXPECT_TRUE(IsMultiByteUtf8("\xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsMultiByteUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF

  // Names compare in one form: Unicode, ASCII letters in any case.
  EXPECT_EQ(FileNameKey("P\xEA"
                        "che.JPG"),
            FileNameKey("p\xC3\xAA"
                        "che.jpg"));
  EXPECT_NE(FileNameKey("P\xEA"
                        "che.jpg"),
            FileNameKey("P\xC3\x8A"
                        "CHE.jpg"));  // only ASCII folds
}

// The one UTF-8 decoder: what it takes and what it refuses (the desktop
// entries and the screen conversions both stand on it).
TEST(Encoding, NextCodePointTakesOnlyValidUtf8) {
  const struct {
    std::string bytes;
    std::optional<char32_t> cp;
  } table[] = {
      {"A", U'A'},
      {"\xC3\xA9", U'\u00E9'},
      {"\xE2\x82\xAC", U'\u20AC'},
      {"\xF0\x9F\x98\x80", U'\U0001F600'},
      {"\xF4\x8F\xBF\xBF", U'\U0010FFFF'},
      {"\xC0\x80", std::nullopt},          // overlong
      {"\xE0\x80\x80", std::nullopt},      // overlong
      {"\xED\xA0\x80", std::nullopt},      // a surrogate
      {"\xF4\x90\x80\x80", std::nullopt},  // above U+10FFFF
      {"\xC3", std::nullopt},              // cut short
      {"\xC3"
       "A",
       std::nullopt},          // not a continuation byte
      {"\x80", std::nullopt},  // a lone continuation byte
  };
  for (const auto& row : table) {
    std::size_t pos = 0;
    EXPECT_EQ(NextCodePoint(row.bytes, pos), row.cp) << row.bytes;
    EXPECT_EQ(pos, row.cp ? row.bytes.size() : 0u) << row.bytes;  // past the sequence, or left alone
  }
}

}  // namespace
}  // namespace vandrel
