#include "support/fake_pe.h"

namespace vandrel::test {

namespace {
void Put16(std::string& s, std::size_t at, uint16_t v) {
  s[at] = static_cast<char>(v & 0xff);
  s[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& s, std::size_t at, uint32_t v) {
  Put16(s, at, static_cast<uint16_t>(v & 0xffff));
  Put16(s, at + 2, static_cast<uint16_t>(v >> 16));
}
}  // namespace

std::string FakePeBytes(uint16_t a, uint16_t b, uint16_t c, uint16_t d, bool withVersion) {
  std::string s(0x400, '\0');
  s[0] = 'M';
  s[1] = 'Z';
  Put32(s, 0x3c, 0x80);  // e_lfanew
  s.replace(0x80, 4, std::string("PE\0\0", 4));
  Put16(s, 0x84, 0x14c);  // i386
  if (!withVersion) return s;
  // VS_VERSIONINFO at 0x200: wLength, wValueLength, wType, "VS_VERSION_INFO" in UTF-16, padding.
  const std::size_t block = 0x200;
  Put16(s, block, 0x5c);
  Put16(s, block + 2, 0x34);
  Put16(s, block + 4, 0);
  const std::string key = "VS_VERSION_INFO";
  for (std::size_t i = 0; i < key.size(); ++i) Put16(s, block + 6 + 2 * i, static_cast<uint16_t>(key[i]));
  const std::size_t fixed = block + 40;  // 6 + 32 bytes, aligned to 4
  Put32(s, fixed, 0xFEEF04BD);
  Put32(s, fixed + 4, 0x00010000);
  Put32(s, fixed + 8, (uint32_t(a) << 16) | b);
  Put32(s, fixed + 12, (uint32_t(c) << 16) | d);
  return s;
}

}  // namespace vandrel::test
