#include "platform/registry.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/program_folder.h"
#include "platform/scoped_env.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::ReadFileBytes;
using test::ScopedEnv;
using test::TempDir;

const std::string kPoserKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Poser.exe\\";

// A Wine registry in the form Wine saves it: key names and strings with "\"
// doubled, a timestamp after each key, metadata lines starting with "#".
const std::string kSystemReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\Other.exe] 1700000000\n"
    "#time=1d9f0c0e6a2b3c4\n"
    "@=\"C:\\\\Other\\\\Other.exe\"\n"
    "\"Path\"=\"C:\\\\Other\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\POSER.EXE] "
    "1700000001\n"
    "#time=1d9f0c0e6a2b3c5\n"
    "@=\"C:\\\\Program Files (x86)\\\\Smith Micro\\\\Poser 11\\\\Poser.exe\"\n"
    "\"PATH\"=\"C:\\\\PROGRAM FILES (X86)\\\\smith micro\\\\Poser 11\\\\\"\n"
    "\n"
    "[Software\\\\Vandrel Test] 1700000002\n"
    "\"Quote\"=\"say \\\"hi\\\" \\\\ back\"\n"
    "\"Expand\"=str(2):\"%ProgramFiles%\\\\Poser\"\n"
    "\"Count\"=dword:0000002a\n"
    "\"Bytes\"=hex:01,02,\\\n"
    "  03\n"
    "\"Accent\"=\"Caf\\x00e9\"\n";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { SetProgramFolder(dir_.path()); }
  void TearDown() override { SetProgramFolder(""); }
  TempDir dir_;
};

TEST_F(RegistryTest, StoreRoundTrip) {
  EXPECT_EQ(RegRead(kPoserKey + "Path"), std::nullopt);  // no store yet

  ASSERT_TRUE(RegWrite("HKEY_LOCAL_MACHINE\\Software\\Vandrel\\Name", "value"));
  ASSERT_TRUE(RegWrite("HKLM\\Software\\Vandrel\\", "default"));
  ASSERT_TRUE(RegWrite("HKCU\\Software\\Vandrel\\Spaced", "  \"blanks and quotes\"  "));
  ASSERT_TRUE(RegWrite("HKCU\\Software\\Vandrel\\Empty", ""));
  ASSERT_TRUE(RegWrite("HKCU\\Software\\Vandrel\\Quoted", "'quoted'"));
  EXPECT_EQ(RegRead("hklm\\SOFTWARE\\vandrel\\NAME"), "value");
  EXPECT_EQ(RegRead("HKEY_LOCAL_MACHINE\\Software\\Vandrel\\"), "default");
  EXPECT_EQ(RegRead("HKEY_CURRENT_USER\\Software\\Vandrel\\Spaced"), "  \"blanks and quotes\"  ");
  EXPECT_EQ(RegRead("HKCU\\Software\\Vandrel\\Empty"), "");
  EXPECT_EQ(RegRead("HKCU\\Software\\Vandrel\\Quoted"), "'quoted'");
  EXPECT_EQ(RegRead("HKCU\\Software\\Vandrel\\Missing"), std::nullopt);

  const std::string store = ReadFileBytes(dir_.file("Registry.ini"));
  EXPECT_NE(store.find("[HKLM\\Software\\Vandrel]\r\nName=value\r\n@=default\r\n"), std::string::npos)
      << store;

  ASSERT_TRUE(RegWrite("HKLM\\Software\\Vandrel\\name", "changed"));
  EXPECT_EQ(RegRead("HKLM\\Software\\Vandrel\\Name"), "changed");

  EXPECT_TRUE(RegDelete("HKLM\\Software\\Vandrel\\Name"));
  EXPECT_EQ(RegRead("HKLM\\Software\\Vandrel\\Name"), std::nullopt);
  EXPECT_FALSE(RegDelete("HKLM\\Software\\Vandrel\\Name"));
  EXPECT_EQ(RegRead("HKLM\\Software\\Vandrel\\"), "default");
  EXPECT_TRUE(RegDelete("HKCU\\Software\\Vandrel\\"));  // the whole key
  EXPECT_EQ(RegRead("HKCU\\Software\\Vandrel\\Spaced"), std::nullopt);
  EXPECT_EQ(RegRead("HKLM\\Software\\Vandrel\\"), "default");
}

TEST_F(RegistryTest, RefusesWhatCannotBeStored) {
  EXPECT_FALSE(RegWrite("HKEY_NOWHERE\\Software\\X\\Name", "v"));
  EXPECT_FALSE(RegWrite("NoKeyAtAll", "v"));
  EXPECT_FALSE(RegWrite("HKLM\\Software\\X\\a=b", "v"));
  EXPECT_FALSE(RegWrite("HKLM\\Software\\X\\Name", "two\nlines"));
  EXPECT_EQ(RegRead("HKEY_NOWHERE\\Software\\X\\Name"), std::nullopt);
  EXPECT_FALSE(FileExists(dir_.file("Registry.ini")));
}

TEST(WineRegistry, ReadsValuesWithEscapesAndTypes) {
  const std::string key = "Software\\Vandrel Test";
  EXPECT_EQ(ReadWineRegValue(kSystemReg, key, "quote"), "say \"hi\" \\ back");
  EXPECT_EQ(ReadWineRegValue(kSystemReg, key, "Expand"), "%ProgramFiles%\\Poser");
  EXPECT_EQ(ReadWineRegValue(kSystemReg, key, "Count"), "42");
  EXPECT_EQ(ReadWineRegValue(kSystemReg, key, "Bytes"), std::nullopt);
  EXPECT_EQ(ReadWineRegValue(kSystemReg, key, "Accent"), "Caf\xC3\xA9");
  EXPECT_EQ(ReadWineRegValue(kSystemReg, "SOFTWARE\\VANDREL TEST\\", "COUNT"), "42");

  const std::string other = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Other.exe";
  EXPECT_EQ(ReadWineRegValue(kSystemReg, other, ""), "C:\\Other\\Other.exe");
  EXPECT_EQ(ReadWineRegValue(kSystemReg, other, "@"), "C:\\Other\\Other.exe");
  // Values belong to their key only; a key name must match whole.
  EXPECT_EQ(ReadWineRegValue(kSystemReg, other, "Quote"), std::nullopt);
  EXPECT_EQ(ReadWineRegValue(kSystemReg, other.substr(0, other.size() - 4), "Path"), std::nullopt);
}

TEST(WineRegistry, WindowsPathsMapIntoThePrefix) {
  EXPECT_EQ(WinePathToNative("C:\\Program Files\\Poser", "/p/"), "/p/drive_c/Program Files/Poser");
  EXPECT_EQ(WinePathToNative("c:\\\\a\\", "/p"), "/p/drive_c/a/");
  EXPECT_EQ(WinePathToNative("C:", "/p"), "/p/drive_c");
  EXPECT_EQ(WinePathToNative("E:\\Content", "/p"), "/p/dosdevices/e:/Content");
  EXPECT_EQ(WinePathToNative("/usr/share/poser", "/p"), "/usr/share/poser");
  EXPECT_EQ(WinePathToNative("\\\\server\\share", "/p"), "\\\\server\\share");
  EXPECT_EQ(WinePathToNative("Cx\\Poser", "/p"), "Cx\\Poser");
}

TEST_F(RegistryTest, PoserAppPathFromStoreThenWine) {
  TempDir prefix;
  ScopedEnv wine("WINEPREFIX", prefix.path());
  EXPECT_EQ(ReadPoserAppPath(), std::nullopt);  // no system.reg

  prefix.write("system.reg", kSystemReg);
  // The folder exists in another case than the registry gives: it comes back as stored.
  const std::string poser = prefix.mkdir("drive_c/Program Files (x86)/Smith Micro/Poser 11");
  EXPECT_EQ(ReadPoserAppPath(), poser);

  // A folder that is not there is still given, mapped but as written.
  prefix.write("system.reg",
               "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\Poser.exe] 1\n"
               "\"Path\"=str(2):\"D:\\\\Poser\\\\\"\n");
  EXPECT_EQ(ReadPoserAppPath(), prefix.path() + "/dosdevices/d:/Poser");

  ASSERT_TRUE(RegWrite(kPoserKey + "Path", "/opt/poser/"));
  EXPECT_EQ(ReadPoserAppPath(), "/opt/poser");
}

TEST_F(RegistryTest, PoserAppPathWineDefaultsToHome) {
  TempDir home;
  ScopedEnv wine("WINEPREFIX", std::nullopt);
  ScopedEnv homeVar("HOME", home.path());
  EXPECT_EQ(ReadPoserAppPath(), std::nullopt);
  home.write(".wine/system.reg", kSystemReg);
  EXPECT_EQ(ReadPoserAppPath(), home.path() + "/.wine/drive_c/PROGRAM FILES (X86)/smith micro/Poser 11");
}

}  // namespace
}  // namespace vandrel
