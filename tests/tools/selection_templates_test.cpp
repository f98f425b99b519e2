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

// Every group name and member, for exact comparison.
std::string Dump(const SelectionTemplate& t) {
  std::string out;
  for (const SelectionGroup& g : t.Groups) {
    out += "[" + g.Name + "]";
    for (const std::string& m : g.Members) out += " <" + m + ">";
    out += "\n";
  }
  return out;
}

TEST(SelectionTemplates, FileMatchesTheHandWrittenOneAndReadsBack) {
  const std::string golden = ReadFileBytes(VANDREL_TEST_DATA "/templates/groups.cfg");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(FormatTemplate(GoldenGroups()), golden);
  SelectionTemplate read;
  ASSERT_EQ(ParseTemplate(golden, read), "");
  EXPECT_EQ(Dump(read), Dump(GoldenGroups()));

  // Saving creates the missing Templates folder; reading gives the same
  // groups. No groups: an empty file, read back as no groups.
  ProgramFolderScope program;
  const std::string path = TemplateFile("Figure");
  for (const SelectionTemplate& t : {GoldenGroups(), SelectionTemplate{}}) {
    ASSERT_EQ(WriteTemplateFile(path, t), "");
    EXPECT_EQ(ReadFileBytes(path), t.Groups.empty() ? "" : golden);
    SelectionTemplate again = GoldenGroups();
    ASSERT_EQ(ReadTemplateFile(path, again), "");
    EXPECT_EQ(Dump(again), Dump(t));
  }
}

TEST(SelectionTemplates, ReadingToleratesLineFeedsAndRefusesDamage) {
  const struct {
    const char* text;
    const char* groups;  // nullptr: refused
  } cases[] = {
      {"", ""},
      {"Skin\n{\nFace\n}\n", "[Skin] <Face>\n"},              // LF line ends
      {"Skin\r\n{\r\nFace\r\nFace\r\n}", "[Skin] <Face>\n"},  // duplicate member, last line without ending
      {"\r\nSkin\r\n{\r\n}\r\n\r\nEyes\r\n{\r\n}\r\n", "[Skin]\n[Eyes]\n"},  // blank lines between groups
      {"Arms\r\r\n{\r\r\nSk\rin\r\nSkin\r\n}\r\r\n", "[Arms] <Skin>\n"},     // stray CRs dropped
      {"Skin", nullptr},                                                     // no line break
      {"Skin\r\nFace\r\n}\r\n", nullptr},                                    // no "{"
      {"Skin\r\n{\r\nFace\r\n", nullptr},                                    // no "}"
  };
  for (const auto& c : cases) {
    SelectionTemplate t = GoldenGroups();
    const std::string error = ParseTemplate(c.text, t);
    EXPECT_EQ(error.empty(), c.groups != nullptr) << c.text;
    EXPECT_EQ(Dump(t), c.groups ? c.groups : Dump(GoldenGroups())) << c.text;  // a bad file changes nothing
  }
  ProgramFolderScope program;
  SelectionTemplate t;
  EXPECT_NE(ReadTemplateFile(TemplateFile("gone"), t), "");
  // A template read with stray CRs saves again.
  ASSERT_EQ(ParseTemplate("Arms\r\r\n{\r\nSkin\r\r\n}\r\n", t), "");
  EXPECT_EQ(WriteTemplateFile(TemplateFile("arms"), t), "");
  // A name the file cannot hold is refused and nothing is written.
  for (const SelectionGroup& bad : {SelectionGroup{"Skin", {"}"}}, SelectionGroup{"Two\r\nlines", {}}}) {
    t.Groups = {bad};
    EXPECT_NE(WriteTemplateFile(TemplateFile("bad"), t), "") << bad.Name;
  }
  EXPECT_FALSE(FileExists(TemplateFile("bad")));
}

TEST(SelectionTemplates, ListingAndSaveNames) {
  ProgramFolderScope program;
  EXPECT_TRUE(TemplateNames().empty());
  EXPECT_TRUE(FolderExists(TemplatesFolder()));
  EXPECT_TRUE(FolderExists(program.dir.file("Cache")));
  // Sorted without case, any case of the extension.
  for (const char* name : {"b.cfg", "A.CFG", "aa.Cfg", "notes.txt", "cfg", "a.cfg"})
    program.dir.write(std::string("Templates/") + name, "");
  program.dir.mkdir("Templates/folder.cfg");
  EXPECT_EQ(TemplateNames(), (std::vector<std::string>{"A", "a", "aa", "b"}));

  // ".cfg" alone is four characters: kept; in "a.cfg.cfg" the first ".cfg" is not the ending.
  for (const auto& [typed, base] : {std::pair{"Skin.CFG", "Skin"},
                                    {"Skin.cfg", "Skin"},
                                    {".cfg", ".cfg"},
                                    {"a.cfg.cfg", "a.cfg.cfg"},
                                    {"Skin", "Skin"}})
    EXPECT_EQ(TemplateBaseName(typed), base) << typed;
  for (const char* bad : {"a:b", "a/b", "a\\b", "a*", "a?", "a\"b", "<a", "a>", "a|b"})
    EXPECT_TRUE(HasForbiddenTemplateChar(bad)) << bad;
  EXPECT_FALSE(HasForbiddenTemplateChar(" skin {1} .x"));

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
  EXPECT_EQ(Dump(t), "[Skin] <Face> <Body> <Lips>\n[  ]\n");
  t.RemoveMembers(0, {"Body", "None"});
  EXPECT_EQ(Dump(t), "[Skin] <Face> <Lips>\n[  ]\n");
  t.DeleteGroup(0);
  EXPECT_EQ(Dump(t), "[  ]\n");

  // Groups equal but for case, as a file may hold them, become the first one.
  t.Groups = {{"Skin", {"Face", "Body"}}, {"Eyes", {"Iris"}}, {"SKIN", {"Body", "Lips"}}, {"skin", {"Nose"}}};
  t.MergeGroupsEqualButForCase();
  EXPECT_EQ(Dump(t), "[Skin] <Face> <Body> <Lips> <Nose>\n[Eyes] <Iris>\n");

  const SelectionGroup group{"Skin", {"Face", "lips", "Body 2", "Nowhere"}};
  EXPECT_EQ(GroupSelection(group, {"Face", "Lips", "Body", "Body 2", "Face"}),
            (std::vector<bool>{true, false, false, true, true}));
  EXPECT_EQ(GroupSelection(SelectionGroup{"Empty", {}}, {"Face"}), std::vector<bool>{false});
}

}  // namespace
}  // namespace vandrel
