#include "common/encoding.h"

#include <algorithm>
#include <cstdint>

#include "common/text.h"

namespace vandrel {

namespace {

// Code points of the bytes 0x80..0x9F; the unassigned five keep their own.
constexpr char32_t kHighC1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<unsigned char> Windows1252Byte(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  for (unsigned char i = 0; i < 32; ++i)
    if (kHighC1[i] == cp) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

}  // namespace

std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int extra = 0;
  char32_t cp = 0, least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, cp = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, cp = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, cp = lead & 0x07, least = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() - pos <= static_cast<std::size_t>(extra)) return std::nullopt;
  for (int i = 1; i <= extra; ++i) {
    const unsigned char next = byte(pos + static_cast<std::size_t>(i));
    if ((next & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  pos += static_cast<std::size_t>(extra) + 1;
  return cp;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsMultiByteUtf8(std::string_view bytes) {
  bool multiByte = false;
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::optional<char32_t> cp = NextCodePoint(bytes, pos);
    if (!cp) return false;
    if (*cp >= 0x80) multiByte = true;
  }
  return multiByte;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighC1[b - 0x80] : b);
  }
  return out;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::optional<char32_t> cp = NextCodePoint(utf8, pos);
    if (!cp) return std::nullopt;
    const std::optional<unsigned char> b = Windows1252Byte(*cp);
    if (!b) return std::nullopt;
    out += static_cast<char>(*b);
  }
  return out;
}

std::string PoserTextToUtf8(std::string_view text) {
  if (IsAscii(text) || IsMultiByteUtf8(text)) return std::string(text);
  return Windows1252ToUtf8(text);
}

std::string Utf8ToPoserText(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::optional<std::string> single = Utf8ToWindows1252(utf8);
  // Windows-1252 bytes that are valid UTF-8 as well ("\xC9\x92" for "É’")
  // would be read back as other text: such a name keeps its UTF-8 form.
  if (single && !IsMultiByteUtf8(*single)) return std::move(*single);
  return std::string(utf8);
}

std::optional<std::string> OtherReading(std::string_view text) {
  if (!IsMultiByteUtf8(text)) return std::nullopt;
  return Windows1252ToUtf8(text);
}

std::string FileNameKey(std::string_view name) {
  // Most names are ASCII: one copy (the map lists hold many thousands).
  return IsAscii(name) ? LCase(name) : LCase(PoserTextToUtf8(name));
}

}  // namespace vandrel
