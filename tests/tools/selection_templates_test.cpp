#include "tools/selection_templates.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/program_folder.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::ReadFileBytes;
using test::TempDir;

// The program folder of one test.
struct ProgramFolderScope {
  TempDir dir;
  ProgramFolderScope() { SetProgramFolder(dir.path()); }
  ~ProgramFolderScope() { SetProgramFolder(""); }
};

SelectionTemplate GoldenGroups() {
  SelectionTemplate t;
  t.Groups = {{"Skin", {"Face", "Body"}},
              {"Eyes", {"Iris"}},
              {"Nothing yet", {}},
              {"Odd names", {"Arm}", "Lip \"gloss\"", "{"}}};
  return t;
}

void ExpectSameGroups(const SelectionTemplate& a, const SelectionTemplate& b) {
  ASSERT_EQ(a.Groups.size(), b.Groups.size());
  for (std::size_t i = 0; i < a.Groups.size(); ++i) {
    EXPECT_EQ(a.Groups[i].Name, b.Groups[i].Name);
    EXPECT_EQ(a.Groups[i].Members, b.Groups[i].Members) << a.Groups[i].Name;
  }
}

TEST(SelectionTemplates, FileMatchesTheHandWrittenOneAndReadsBack) {
  const std::string golden = ReadFileBytes(VANDREL_TEST_DATA "/templates/groups.cfg");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(FormatTemplate(GoldenGroups()), golden);
  SelectionTemplate read;
  ASSERT_EQ(ParseTemplate(golden, read), "");
  ExpectSameGroups(read, GoldenGroups());

  // Saving creates the missing Templates folder; reading gives the same groups.
  ProgramFolderScope program;
  const std::string path = TemplateFile("Figure");
  ASSERT_EQ(WriteTemplateFile(path, GoldenGroups()), "");
  EXPECT_EQ(ReadFileBytes(path), golden);
  SelectionTemplate again;
  ASSERT_EQ(ReadTemplateFile(path, again), "");
  ExpectSameGroups(again, GoldenGroups());

  // No groups: an empty file, read back as no groups.
  ASSERT_EQ(WriteTemplateFile(path, SelectionTemplate{}), "");
  EXPECT_EQ(ReadFileBytes(path), "");
  ASSERT_EQ(ReadTemplateFile(path, again), "");
  EXPECT_TRUE(again.Groups.empty());
}

TEST(SelectionTemplates, ReadingToleratesLineFeedsAndRefusesDamage) {
  struct Case {
    const char* text;
    bool ok;
    std::size_t groups;
    std::size_t membersOfFirst;
  } cases[] = {
      {"", true, 0, 0},
      {"Skin\n{\nFace\n}\n", true, 1, 1},                   // LF line ends
      {"Skin\r\n{\r\nFace\r\nFace\r\n}", true, 1, 1},       // duplicate member, last line without ending
      {"\r\nSkin\r\n{\r\n}\r\n\r\nEyes\r\n{\r\n}\r\n", true, 2, 0},  // blank lines between groups
      {"Skin", false, 0, 0},                                // no line break
      {"Skin\r\nFace\r\n}\r\n", false, 0, 0},               // no "{"
      {"Skin\r\n{\r\nFace\r\n", false, 0, 0},               // no "}"
  };
  for (const Case& c : cases) {
    SelectionTemplate t = GoldenGroups();
    const std::string error = ParseTemplate(c.text, t);
    EXPECT_EQ(error.empty(), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(t.Groups.size(), c.groups) << c.text;
      if (c.groups > 0) {
        EXPECT_EQ(t.Groups[0].Members.size(), c.membersOfFirst) << c.text;
      }
    } else {
      ExpectSameGroups(t, GoldenGroups());  // a bad file changes nothing
    }
  }
  ProgramFolderScope program;
  SelectionTemplate t;
  EXPECT_NE(ReadTemplateFile(TemplateFile("gone"), t), "");
  // A name the file cannot hold is refused and nothing is written.
  t.Groups = {{"Skin", {"}"}}};
  EXPECT_NE(WriteTemplateFile(TemplateFile("bad"), t), "");
  t.Groups = {{"Two\r\nlines", {}}};
  EXPECT_NE(WriteTemplateFile(TemplateFile("bad"), t), "");
  EXPECT_FALSE(FileExists(TemplateFile("bad")));
}

TEST(SelectionTemplates, ListingSortsWithoutCaseAndTakesAnyCaseOfTheExtension) {
  ProgramFolderScope program;
  EXPECT_TRUE(TemplateNames().empty());
  EXPECT_TRUE(FolderExists(TemplatesFolder()));
  EXPECT_TRUE(FolderExists(program.dir.file("Cache")));
  for (const char* name : {"b.cfg", "A.CFG", "aa.Cfg", "notes.txt", "cfg", "a.cfg"})
    program.dir.write(std::string("Templates/") + name, "");
  program.dir.mkdir("Templates/folder.cfg");
  EXPECT_EQ(TemplateNames(), (std::vector<std::string>{"A", "a", "aa", "b"}));
}

TEST(SelectionTemplates, SaveNameRules) {
  // ".cfg" alone is four characters: kept; in "a.cfg.cfg" the first ".cfg" is not the ending.
  for (const auto& [typed, base] : {std::pair{"Skin.CFG", "Skin"}, {"Skin.cfg", "Skin"}, {".cfg", ".cfg"},
                                    {"a.cfg.cfg", "a.cfg.cfg"}, {"Skin", "Skin"}})
    EXPECT_EQ(TemplateBaseName(typed), base) << typed;
  for (const char* bad : {"a:b", "a/b", "a\\b", "a*", "a?", "a\"b", "<a", "a>", "a|b"})
    EXPECT_TRUE(HasForbiddenTemplateChar(bad)) << bad;
  EXPECT_FALSE(HasForbiddenTemplateChar(" skin {1} .x"));

  ProgramFolderScope program;
  bool exists = true;
  EXPECT_EQ(TemplateSavePath("Skin", exists), TemplateFile("Skin"));
  EXPECT_FALSE(exists);
  program.dir.write("Templates/SKIN.cfg", "");
  EXPECT_EQ(TemplateSavePath("Skin", exists), TemplateFile("SKIN"));
  EXPECT_TRUE(exists);
  program.dir.write("Templates/Skin.cfg", "");
  EXPECT_EQ(TemplateSavePath("Skin", exists), TemplateFile("Skin"));  // the exact name first
}

TEST(SelectionTemplates, EditingAndSelectingAGroup) {
  SelectionTemplate t;
  EXPECT_TRUE(t.AddGroup("Skin"));
  EXPECT_FALSE(t.AddGroup("SKIN"));
  EXPECT_TRUE(t.AddGroup("  "));
  t.AddMembers(0, {"Face", "Body", "Face"});
  t.AddMembers(0, {"Body", "Lips"});
  EXPECT_EQ(t.Groups[0].Members, (std::vector<std::string>{"Face", "Body", "Lips"}));
  t.RemoveMembers(0, {"Body", "None"});
  EXPECT_EQ(t.Groups[0].Members, (std::vector<std::string>{"Face", "Lips"}));
  t.DeleteGroup(0);
  ASSERT_EQ(t.Groups.size(), 1u);
  EXPECT_EQ(t.Groups[0].Name, "  ");

  // Groups equal but for case, as a file may hold them, become the first one.
  t.Groups = {{"Skin", {"Face", "Body"}}, {"Eyes", {"Iris"}}, {"SKIN", {"Body", "Lips"}}, {"skin", {"Nose"}}};
  t.MergeGroupsEqualButForCase();
  ASSERT_EQ(t.Groups.size(), 2u);
  EXPECT_EQ(t.Groups[0].Name, "Skin");
  EXPECT_EQ(t.Groups[0].Members, (std::vector<std::string>{"Face", "Body", "Lips", "Nose"}));
  EXPECT_EQ(t.Groups[1].Members, std::vector<std::string>{"Iris"});

  const SelectionGroup group{"Skin", {"Face", "lips", "Body 2", "Nowhere"}};
  EXPECT_EQ(GroupSelection(group, {"Face", "Lips", "Body", "Body 2", "Face"}),
            (std::vector<bool>{true, false, false, true, true}));
  EXPECT_EQ(GroupSelection(SelectionGroup{"Empty", {}}, {"Face"}), std::vector<bool>{false});
}

}  // namespace
}  // namespace vandrel
