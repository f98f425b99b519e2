#include "platform/file_version.h"

#include <gtest/gtest.h>

#include "support/fake_pe.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::FakePeBytes;
using test::TempDir;

TEST(FileVersion, ReadsTheFixedVersion) {
  TempDir dir;
  EXPECT_EQ(GetFileVersion(dir.write("Poser.exe", FakePeBytes(4, 0, 3, 108))), "4.0.3.108");
  EXPECT_EQ(GetFileVersion(dir.write("Big.exe", FakePeBytes(65535, 1, 0, 65534))), "65535.1.0.65534");

  // A stray signature before the version block (say, in code) is not taken.
  std::string decoy = FakePeBytes(11, 0, 6, 3);
  decoy.replace(0x100, 16,
                std::string("\xBD\x04\xEF\xFE\x00\x00\x01\x00\x09\x00\x09\x00\x09\x00\x09\x00", 16));
  EXPECT_EQ(GetFileVersion(dir.write("Decoy.exe", decoy)), "11.0.6.3");
}

TEST(FileVersion, EmptyWhenThereIsNoVersion) {
  TempDir dir;
  EXPECT_EQ(GetFileVersion(dir.file("missing.exe")), "");
  EXPECT_EQ(GetFileVersion(dir.write("NoVersion.exe", FakePeBytes(1, 2, 3, 4, false))), "");
  EXPECT_EQ(GetFileVersion(dir.write("readme.txt", "MZ is how this text starts, but it is text.\r\n")), "");

  // MZ without the PE signature where e_lfanew points.
  std::string noPe = FakePeBytes(1, 2, 3, 4);
  noPe[0x80] = 'N';
  EXPECT_EQ(GetFileVersion(dir.write("NoPe.exe", noPe)), "");
  // e_lfanew pointing past the end of the file.
  std::string farPe = FakePeBytes(1, 2, 3, 4);
  farPe[0x3F] = '\x7F';
  EXPECT_EQ(GetFileVersion(dir.write("FarPe.exe", farPe)), "");
  // The key without the signature behind it, and a file cut inside the block.
  std::string noSignature = FakePeBytes(1, 2, 3, 4);
  noSignature[0x228] = 0;
  EXPECT_EQ(GetFileVersion(dir.write("NoSig.exe", noSignature)), "");
  EXPECT_EQ(GetFileVersion(dir.write("Cut.exe", FakePeBytes(1, 2, 3, 4).substr(0, 0x230))), "");
}

}  // namespace
}  // namespace vandrel
