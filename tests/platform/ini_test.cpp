#include "platform/ini.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::ReadFileBytes;
using test::TempDir;

TEST(IniRead, NamesIgnoreCaseAndFirstMatchWins) {
  const std::string text =
      "[Paths]\r\nRuntime=one\r\nRUNTIME=two\r\n"
      "[paths]\r\nRuntime=three\r\nOther=four\r\n";
  EXPECT_EQ(ReadIniText(text, "PATHS", "runtime"), "one");
  EXPECT_EQ(ReadIniText(text, "paths", "RunTime"), "one");
  // Only the first [Paths] counts: a key in a later section of the same name is not seen.
  EXPECT_EQ(ReadIniText(text, "Paths", "Other", "dflt"), "dflt");
}

TEST(IniRead, QuotesAndBlanks) {
  const std::string text =
      "[ S ]\n"
      "  a  =  plain value  \n"
      "\tb\t=\t\"  quoted, blanks kept  \"\t\n"
      "c='single'\n"
      "d=\"mixed'\n"
      "e=\"\n"
      "f=\"\"\n"
      "g=\"\"inner\"\"\n"
      "h=\n";
  EXPECT_EQ(ReadIniText(text, "S", "a"), "plain value");
  EXPECT_EQ(ReadIniText(text, "S", "b"), "  quoted, blanks kept  ");
  EXPECT_EQ(ReadIniText(text, "S", "c"), "single");
  EXPECT_EQ(ReadIniText(text, "S", "d"), "\"mixed'");
  EXPECT_EQ(ReadIniText(text, "S", "e"), "\"");
  EXPECT_EQ(ReadIniText(text, "S", "f"), "");
  EXPECT_EQ(ReadIniText(text, "S", "g"), "\"inner\"");  // one pair only
  EXPECT_EQ(ReadIniText(text, "S", "h", "dflt"), "");   // present but empty: not the default
  EXPECT_EQ(FindIniValueText(text, "S", "h"), std::optional<std::string>(""));
  EXPECT_EQ(FindIniValueText(text, "S", "zz"), std::nullopt);
}

TEST(IniRead, WhatIsNotAKey) {
  const std::string text =
      "orphan=before any section\n"
      "[S]\n"
      ";commented=1\n"
      "  ; also=2\n"
      "no equals sign here\n"
      "[broken header\n"
      "real=yes\n";
  EXPECT_EQ(ReadIniText(text, "", "orphan", "d"), "d");
  EXPECT_EQ(ReadIniText(text, "S", ";commented", "d"), "d");
  EXPECT_EQ(ReadIniText(text, "S", "; also", "d"), "d");
  EXPECT_EQ(ReadIniText(text, "S", "no equals sign here", "d"), "d");
  // A "[" line without "]" does not start a section.
  EXPECT_EQ(ReadIniText(text, "S", "real"), "yes");
  EXPECT_EQ(ReadIniText(text, "Missing", "real", "d"), "d");
}

TEST(IniRead, LineEnds) {
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    std::string text = std::string("[A]") + eol + "x=1" + eol + eol + "[B]" + eol + "x=2";  // no final end
    EXPECT_EQ(ReadIniText(text, "A", "x"), "1") << "line end " << int(eol[0]);
    EXPECT_EQ(ReadIniText(text, "B", "x"), "2") << "line end " << int(eol[0]);
  }
  EXPECT_EQ(ReadIniText("[A]\rx=1\n[B]\r\nx=2\r\n", "B", "x"), "2");
  EXPECT_EQ(ReadIniText("\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x"), "1");
}

TEST(IniWrite, ReplacesInPlaceAndKeepsOtherLines) {
  const std::string text =
      "; settings\n"
      "junk line\n"
      "[Main]\n"
      "  Thigh Length =  0.5  \n"
      "\n"
      "# not ours\n"
      "[Other]\r"
      "thigh length=7";
  EXPECT_EQ(WriteIniText(text, "MAIN", "thigh length", "0.75"),
            "; settings\r\n"
            "junk line\r\n"
            "[Main]\r\n"
            "Thigh Length=0.75\r\n"
            "\r\n"
            "# not ours\r\n"
            "[Other]\r\n"
            "thigh length=7\r\n");
  // The first of two equal keys is the one replaced.
  EXPECT_EQ(WriteIniText("[S]\r\nk=1\r\nK=2\r\n", "s", "k", "3"), "[S]\r\nk=3\r\nK=2\r\n");
}

TEST(IniWrite, WhereNewKeysAndSectionsGo) {
  // After the section's last non-blank line, before the blank lines that follow it.
  EXPECT_EQ(WriteIniText("[A]\na=1\n; note\n\n\n[B]\nb=1\n", "a", "new", "v"),
            "[A]\r\na=1\r\n; note\r\nnew=v\r\n\r\n\r\n[B]\r\nb=1\r\n");
  EXPECT_EQ(WriteIniText("[A]\n\n[B]\n", "A", "k", "v"), "[A]\r\nk=v\r\n\r\n[B]\r\n");
  EXPECT_EQ(WriteIniText("[A]\na=1\n[B]\nb=1", "B", "k", "v"), "[A]\r\na=1\r\n[B]\r\nb=1\r\nk=v\r\n");
  // Into the first of two sections of the same name.
  EXPECT_EQ(WriteIniText("[A]\na=1\n[a]\nk=old\n", "A", "k", "v"), "[A]\r\na=1\r\nk=v\r\n[a]\r\nk=old\r\n");
  // A missing section goes to the end of the file, a missing file starts with it.
  EXPECT_EQ(WriteIniText("[A]\na=1\n\n", " New ", " key ", " v "),
            "[A]\r\na=1\r\n\r\n[New]\r\nkey=\" v \"\r\n");
  EXPECT_EQ(WriteIniText("", "S", "k", "v"), "[S]\r\nk=v\r\n");
  EXPECT_EQ(WriteIniText("\xEF\xBB\xBF[S]\nk=1\n", "S", "k", "2"), "\xEF\xBB\xBF[S]\r\nk=2\r\n");
}

TEST(IniWrite, ValuesReadBackExactlyAsWritten) {
  for (const char* value : {"/home/u/Poser ", "  both  ", "\t", "\"/home/u/Poser \"", "'q'", "\"", "\"half",
                            "a \"b\" c", "\"\"", "plain", ""}) {
    const std::string text = WriteIniText("[S]\r\nk=old\r\n", "S", "k", value);
    EXPECT_EQ(ReadIniText(text, "S", "k"), value) << text;
    EXPECT_EQ(ReadIniText(WriteIniText("", "S", "new", value), "S", "new"), value);
  }
  EXPECT_EQ(WriteIniText("", "S", "k", "plain"), "[S]\r\nk=plain\r\n");  // no quotes where none are needed
}

TEST(IniWrite, RefusesEntriesThatWouldNotReadBack) {
  const std::string text = "[S]\nk=1\n";
  for (auto [section, key, value] :
       {std::tuple{"S", "k", "two\nlines"}, std::tuple{"S", "a=b", "v"}, std::tuple{"S", ";k", "v"},
        std::tuple{"S", "[k]", "v"}, std::tuple{"", "k", "v"}, std::tuple{"S", " ", "v"},
        std::tuple{"S\r", "k", "v"}}) {
    EXPECT_FALSE(IsWritableIniEntry(section, key, value)) << section << "/" << key;
    EXPECT_EQ(WriteIniText(text, section, key, value), text);
  }
}

TEST(IniWrite, DeletesKeysAndSections) {
  const std::string text = "[A]\nk=1\nK=2\n[B]\nx=1\n\n[C]\ny=1\n";
  EXPECT_EQ(DeleteIniKeyText(text, "a", "K"), "[A]\r\nK=2\r\n[B]\r\nx=1\r\n\r\n[C]\r\ny=1\r\n");
  EXPECT_EQ(DeleteIniKeyText(text, "A", "missing"), text);
  EXPECT_EQ(DeleteIniSectionText(text, "b"), "[A]\r\nk=1\r\nK=2\r\n[C]\r\ny=1\r\n");
  EXPECT_EQ(DeleteIniSectionText(text, "Z"), text);
}

TEST(IniFile, ReadWriteRoundTrip) {
  TempDir dir;
  const std::string ini = dir.file("Settings.ini");
  EXPECT_EQ(ReadIni("S", "k", ini, "dflt"), "dflt");  // missing file
  EXPECT_FALSE(std::filesystem::exists(ini));

  const std::string longValue(1000, 'x');
  ASSERT_TRUE(WriteIni("S", "long", longValue, ini));
  ASSERT_TRUE(WriteIni("S", "k", "v", ini));
  EXPECT_EQ(ReadIni("s", "LONG", ini), longValue);
  EXPECT_EQ(ReadFileBytes(ini), "[S]\r\nlong=" + longValue + "\r\nk=v\r\n");

  // Nothing but the file itself is left in the folder.
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1u);

  EXPECT_FALSE(WriteIni("S", "k", "bad\r\nvalue", ini));
  EXPECT_EQ(ReadIni("S", "k", ini), "v");
}

TEST(IniFile, FailedWriteKeepsTheOldFile) {
  TempDir dir;
  const std::string old = "[S]\r\nk=old\r\n";
  const std::string ini = dir.write("Settings.ini", old);
  // A folder in place of the file, or a file in place of the folder.
  EXPECT_FALSE(WriteIni("S", "k", "new", dir.mkdir("AFolder.ini")));
  EXPECT_FALSE(WriteIni("S", "k", "new", ini + "/inside.ini"));

  if (::geteuid() != 0) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    EXPECT_FALSE(WriteIni("S", "k", "new", ini));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(ini), old);
  }

  // A write that fails half-way (file size limit, which holds for root too).
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteIni("S", "k", std::string(200 * 1024, 'y'), ini);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFileBytes(ini), old);
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 2u);  // Settings.ini and AFolder.ini: no temporary file left behind
}

}  // namespace
}  // namespace vandrel
