// Importing materials, morphs and poses and the BODY actor from a second file.
#include "tools/import.h"

#include <gtest/gtest.h>

#include "core_calls.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace vandrel::test {
namespace {

ActorRec Actor(const std::string& name, const std::string& kind = "actor") {
  ActorRec a;
  a.Name = name;
  a.Kind = kind;
  a.Dials.assign(1, DialRec{});
  return a;
}

class Import : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModel();
    // A figure whose BODY and hip carry materials, a light with its own, a
    // head without any.
    MaterialRec glow;
    glow.Name = "Glow";
    gObjects = {ObjectRec{"figure", {glow}}, ObjectRec{"BODY:1", {glow}}, ObjectRec{"hip:1", {glow}},
                ObjectRec{"Spot", {glow}}};
    gObjectList = {"figure", "actor BODY:1", "actor hip:1", "light Spot", "actor head:1"};
    gActors = {Actor("BODY:1"), Actor("hip:1"), Actor("head:1"), Actor("Spot", "light")};
    gActorList = {{"BODY:1", "actor"}, {"hip:1", "actor"}, {"head:1", "actor"}, {"Spot", "light"}};
    gState.FileName = "/poses/doll.cr2";
  }
  void TearDown() override { ResetModel(); }

  ScopedScriptedUi ui;
  UiHost shown;
  CoreCalls calls;
};

TEST_F(Import, MaterialsReplaceTheGroupsWhileTheActorsOwnStayWithTheirEntries) {
  ui->AnswerOpen(std::string(VANDREL_TEST_DATA) + "/reader/ball.pp2");
  RunImport(ImportData::Materials, 8, false, calls, shown);
  EXPECT_EQ(ui->requests()[0].dialog.title, "Open Prop file");
  std::vector<std::string> groups;
  for (const ObjectRec& g : gObjects) groups.push_back(g.Name);
  EXPECT_EQ(groups, (std::vector<std::string>{"prop ball", "BODY:1", "hip:1", "Spot"}));
  EXPECT_EQ(MaterialNames(gObjects[0]), (std::vector<std::string>{"Rubber", "Chrome"}));
  EXPECT_EQ(gObjectList,
            (ObjectList{"prop ball", "actor BODY:1", "actor hip:1", "light Spot", "actor head:1"}));
  EXPECT_EQ(gState.FileName, "/poses/doll.cr2");
  EXPECT_EQ(gActors.size(), 4u);
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(calls.objectListShown, 1);

  // Then the materials of the second figure of a multi-figure file, without its morphs.
  ui->clear();
  ui->AnswerOpen(ToolData("two_figures.cr2"));
  calls.chosen = 1;
  RunImport(ImportData::Materials, 7, false, calls, shown);
  EXPECT_EQ(MaterialNames(gObjects[0]), (std::vector<std::string>{"Metal", "Glass"}));
  EXPECT_EQ(gObjectList, (ObjectList{"figure", "actor BODY:1", "actor hip:1", "light Spot", "actor head:1"}));
  EXPECT_EQ(gActors.size(), 4u);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
  EXPECT_FALSE(gImportMode || gFigureMaterialsOnly || gState.LoadProps);
}

TEST_F(Import, AnImportThatBringsNothingLeavesTheDocumentAsItWas) {
  const auto objects = gObjects;
  const auto list = gObjectList;
  TempDir dir;
  const std::string bare =
      dir.write("bare.pp2", "{\nversion\n\t{\n\tnumber 4.01\n\t}\nprop x\n\t{\n\t}\n}\n");
  const std::string broken = dir.write("broken.pp2", "nothing of a prop\n");
  for (const std::string& file : {bare, broken}) {
    SCOPED_TRACE(file);
    ui->clear();
    calls.fileName = "/poses/doll.cr2";
    ui->AnswerOpen(file);
    RunImport(ImportData::Materials, 8, false, calls, shown);
    ASSERT_FALSE(ui->requestsOf(UiRequest::Message).empty());  // it says so
    EXPECT_EQ(gObjects.size(), objects.size());
    EXPECT_EQ(gObjects[1].Name, "BODY:1");
    EXPECT_EQ(gObjectList, list);
    EXPECT_EQ(gActors.size(), 4u);
    EXPECT_EQ(gState.FileName, "/poses/doll.cr2");
    EXPECT_FALSE(gState.Dirty);
    EXPECT_EQ(calls.fileName, "/poses/doll.cr2");  // the shared dialog's name too
  }
  // A cancelled dialog: nothing at all.
  ui->clear();
  RunImport(ImportData::Materials, 0, false, calls, shown);
  EXPECT_EQ(gObjectList, list);
  EXPECT_EQ(calls.objectListShown, 0);
}

TEST_F(Import, EachFileTypeHasItsDialogAndItsWayWithTheActorTable) {
  gSettings.PZ2 = "/prefs/poses";
  gSettings.LT2 = "/prefs/lights";
  gState.LastLightFolder = "/last/lights";
  gSettings.HR2 = kNone;
  struct Row {
    int index;
    const char* title;
    const char* ext;
    const char* filterStart;
    const char* folder;
  };
  const Row rows[] = {
      {0, "Open Pose file", "pz2", "Poses|*.pz2|Camera files|*.cm2|Hand", "/prefs/poses"},
      {4, "Open Light file", "lt2", "Light files|*.lt2|Poses|*.pz2|Camera", "/last/lights"},
      {7, "Open Character file", "cr2", "Characters|*.cr2|All files|*.*", ""},
      {9, "Open Hair file", "hr2", "Hair|*.hr2|All files|*.*", ""},
  };
  for (const Row& r : rows) {
    const FileDialogRequest request = ImportDialogRequest(r.index);
    EXPECT_EQ(request.title, r.title);
    EXPECT_EQ(request.defaultExt, r.ext);
    EXPECT_EQ(request.filter.rfind(r.filterStart, 0), 0u) << request.filter;
    EXPECT_EQ(request.initDir, r.folder);
  }
  EXPECT_FALSE(BodyOnlyAllowed(4));
  EXPECT_TRUE(BodyOnlyAllowed(5) && BodyOnlyAllowed(7));

  // A light file adds its blocks; a pose file replaces the table.
  ui->AnswerOpen(std::string(VANDREL_TEST_DATA) + "/reader/light.lt2");
  RunImport(ImportData::MorphsAndPoses, 4, false, calls, shown);
  EXPECT_GT(gActors.size(), 4u);
  EXPECT_EQ(gActors[0].Name, "BODY:1");
  ui->AnswerOpen(ToolData("two_figures.cr2"));
  RunImport(ImportData::MorphsAndPoses, 0, false, calls, shown);
  EXPECT_EQ(gState.LastPoseFolder + "/", ToolData(""));
  EXPECT_FALSE(ActorExists("head:1"));  // replaced
  EXPECT_TRUE(ActorExists("BODY:2"));
}

// The import's own question goes to the host the caller gives: its Cancel
// ends the import before any dialog.
TEST_F(Import, TheBodyQuestionGoesToTheHostGiven) {
  ScriptedHost host;
  host.Answer(MsgResult::Cancel);
  RunImport(ImportData::MorphsAndPoses, 7, true, calls, host);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].text, kReplaceBodyQuestion);
  EXPECT_EQ(host.shown[0].buttons, MsgButtons::OKCancel);
  EXPECT_TRUE(ui->requests().empty());
  EXPECT_EQ(ActorNames(), (std::vector<std::string>{"BODY:1", "hip:1", "head:1", "Spot"}));
}

TEST_F(Import, TheBodyActorIsReplacedOnlyOnceANewOneWasRead) {
  // Cancel at the question, then at the dialog: the BODY stays.
  ui->AnswerMessage(MsgResult::Cancel);
  RunImport(ImportData::MorphsAndPoses, 5, true, calls, shown);
  ui->AnswerMessage(MsgResult::OK);
  ui->CancelFileDialog();
  RunImport(ImportData::MorphsAndPoses, 5, true, calls, shown);
  EXPECT_EQ(ActorNames(), (std::vector<std::string>{"BODY:1", "hip:1", "head:1", "Spot"}));
  EXPECT_EQ(ui->requests()[0].text, kReplaceBodyQuestion);
  EXPECT_EQ(ui->requests()[0].buttons, MsgButtons::OKCancel);
  EXPECT_EQ(calls.channelReads, 0);

  // From a plain character file.
  ui->clear();
  ui->AnswerMessage(MsgResult::OK);
  ui->AnswerOpen(std::string(VANDREL_TEST_DATA) + "/channels/doll.cr2");
  const ObjectList list = gObjectList;
  RunImport(ImportData::MorphsAndPoses, 5, true, calls, shown);
  ASSERT_EQ(gActors.size(), 4u);
  EXPECT_EQ(gActors[0].Name, "BODY:1");
  EXPECT_EQ(DialNames(gActors[0]), std::vector<std::string>{"Smile"});
  EXPECT_EQ(gState.FileType, kCr2);
  // The new BODY's own materials add no second BODY group (its block would
  // be written with both): the document's group and entries stay.
  std::vector<std::string> groups;
  for (const ObjectRec& g : gObjects) groups.push_back(g.Name);
  EXPECT_EQ(groups, (std::vector<std::string>{"figure", "BODY:1", "hip:1", "Spot"}));
  EXPECT_EQ(gObjectList, list);

  // From the second figure of a multi-figure file.
  ui->clear();
  ui->AnswerMessage(MsgResult::OK);
  ui->AnswerOpen(ToolData("two_figures.cr2"));
  calls.chosen = 1;
  RunImport(ImportData::MorphsAndPoses, 7, true, calls, shown);
  EXPECT_EQ(ActorNames(), (std::vector<std::string>{"BODY:2", "hip:1", "head:1", "Spot"}));
  EXPECT_EQ(DialNames(gActors[0]), std::vector<std::string>{"Blink"});
  EXPECT_EQ(gState.LastCharacterFolder, ToolData("").substr(0, ToolData("").size() - 1));
  EXPECT_FALSE(gFigureBodyOnly || gFigureMorphsOnly);
}

}  // namespace
}  // namespace vandrel::test
