#include "platform/file_version.h"

#include <cstdint>
#include <string_view>

#include "platform/files.h"

namespace vandrel {

namespace {

constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
  auto b = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i]));
  };
  return b(0) | (b(1) << 8) | (b(2) << 16) | (b(3) << 24);
}

// "VS_VERSION_INFO" and its terminating zero in UTF-16LE.
std::string VersionKey() {
  std::string key;
  for (char c : std::string_view("VS_VERSION_INFO")) {
    key += c;
    key += '\0';
  }
  key.append(2, '\0');
  return key;
}

}  // namespace

// The version resource starts with VS_VERSIONINFO: wLength, wValueLength and
// wType (three 16-bit words), the key "VS_VERSION_INFO" (16 UTF-16 units with
// its zero), padding to a 32-bit boundary, then VS_FIXEDFILEINFO: signature,
// struct version, FileVersionMS, FileVersionLS, ... So the fixed information
// starts 40 bytes after the block, 34 bytes after the key.
std::string GetFileVersion(const std::string& path) {
  auto file = ReadWholeFile(path);
  if (!file) return {};
  std::string_view bytes = *file;
  if (bytes.size() < 0x40 || bytes.substr(0, 2) != "MZ") return {};
  std::uint32_t peOffset = Le32(bytes, 0x3C);
  if (peOffset > bytes.size() - 4 || bytes.substr(peOffset, 4) != std::string_view("PE\0\0", 4)) return {};

  const std::string key = VersionKey();
  constexpr std::size_t kKeyToFixed = 34;
  constexpr std::size_t kFixedSize = 52;
  for (std::size_t at = bytes.find(key, peOffset + 4); at != std::string_view::npos;
       at = bytes.find(key, at + 2)) {
    if (at < 6 || at + kKeyToFixed + kFixedSize > bytes.size()) continue;
    std::size_t fixed = at + kKeyToFixed;
    if (Le32(bytes, fixed) != kFixedInfoSignature) continue;
    std::uint32_t ms = Le32(bytes, fixed + 8);
    std::uint32_t ls = Le32(bytes, fixed + 12);
    return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) +
           "." + std::to_string(ls & 0xFFFF);
  }
  return {};
}

}  // namespace vandrel
