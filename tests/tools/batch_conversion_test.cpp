#include "tools/batch_conversion.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "model/model.h"
#include "platform/scripted_ui.h"
#include "support/scripted_host.h"

namespace vandrel {
namespace {

// The step showed exactly one message, this one.
void ExpectOneMessage(ScopedScriptedUi& ui, const std::string& text, const std::string& title, MsgIcon icon) {
  const auto messages = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, text);
  EXPECT_EQ(messages[0].title, title);
  EXPECT_EQ(messages[0].icon, icon);
  ui->clear();
}

TEST(BatchConversion, CopyNamesAndPoseTypes) {
  struct Case {
    const char* path;
    const char* p5;
    const char* p4;
  };
  const Case cases[] = {
      {"/poses/a.pz2", "/poses/a_P5.pz2", "/poses/a_P4.pz2"},
      {"/poses/Smile.LT2", "/poses/Smile_P5.LT2", "/poses/Smile_P4.LT2"},
      {"/poses/a.b.cm2", "/poses/a.b_P5.cm2", "/poses/a.b_P4.cm2"},
      // No three-letter extension: the same rule cuts the last four characters.
      {"/poses/pose.p2", "/poses/po_P5.e.p2", "/poses/po_P4.e.p2"},
      {"/poses/posefile", "/poses/pos_P5.file", "/poses/pos_P4.file"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BatchCopyPath(c.path, true), c.p5) << c.path;
    EXPECT_EQ(BatchCopyPath(c.path, false), c.p4) << c.path;
  }
  for (const char* path : {"a.pz2", "b.CM2", "c.fc2", "d.hd2", "e.lt2"})
    EXPECT_TRUE(IsPoseTypeFile(path)) << path;
  for (const char* path : {"a.cr2", "b.pp2", "c.hr2", "d.txt", "pz2", ""})
    EXPECT_FALSE(IsPoseTypeFile(path)) << path;
}

TEST(BatchConversion, ListRefusesOtherTypesAndStopsAtADuplicate) {
  ScopedScriptedUi ui;
  UiHost shown;
  BatchList list;
  EXPECT_EQ(list.Add({"/p/a.pz2", "/p/figure.cr2", "/p/b.cm2"}, shown), 2);
  ExpectOneMessage(ui, "File /p/figure.cr2\r\nis not a pose file and cannot be converted", "Batch converter",
                   MsgIcon::Exclamation);
  list.SetOperation({1}, kBatchOperations[3].text);
  // A path already listed stops the selection: "c" after it is not added.
  EXPECT_EQ(list.Add({"/p/d.pz2", "/p/b.cm2", "/p/c.pz2"}, shown), 1);
  ExpectOneMessage(ui, "File /p/b.cm2\r\nis already in the list", "Duplicate file", MsgIcon::Exclamation);
  ASSERT_EQ(list.items().size(), 3u);
  EXPECT_EQ(list.items()[1].operation, "Save a copy in P4 format");
  EXPECT_EQ(list.items()[2].operation, "Convert into P5 format");  // new items always start so

  // Rows before a removed one keep their paths and operations; a removed
  // path may be added again.
  list.Remove({2});
  ASSERT_EQ(list.items().size(), 2u);
  EXPECT_EQ(list.items()[0].path, "/p/a.pz2");
  EXPECT_EQ(list.items()[0].operation, "Convert into P5 format");
  EXPECT_EQ(list.items()[1].operation, "Save a copy in P4 format");
  EXPECT_EQ(list.Add({"/p/d.pz2"}, shown), 1);
  list.Remove({2, 0});
  ASSERT_EQ(list.items().size(), 1u);
  EXPECT_EQ(list.items()[0].path, "/p/b.cm2");
  EXPECT_FALSE(list.Contains("/p/a.pz2"));
  EXPECT_TRUE(list.Contains("/p/b.cm2"));
}

// A document that records what the run asks of it. A file named in
// `failReads` / `failWrites` fails; one in `partial` reads with a partial
// material; one in `empty` reads with nothing to write: as from the reader,
// its one group holds an empty placeholder material whose switches are all
// off, and the materials are left out.
class FakeDocument : public BatchDocument {
 public:
  std::set<std::string> failReads, failWrites, partial, empty;
  std::vector<std::string> log;
  std::string current;
  bool busy = false;

  void BeginRun() override { busy = true; }
  void EndRun() override { busy = false; }
  bool Read(const std::string& path) override {
    EXPECT_TRUE(gState.FileGiven && busy);
    current = path;
    log.push_back("read " + path);
    ResetModel();
    if (failReads.count(path)) return false;
    MaterialRec material;
    for (int i = 0; i < MaterialRec::kSwitchCount; ++i)
      material.SwitchOn(i) = !empty.count(path) && (!partial.count(path) || i != 3);
    gObjects[0].Materials.Edit().push_back(material);
    return true;
  }
  bool MaterialsLeftOut() override { return empty.count(current) != 0; }
  bool NothingToSave() override { return NothingToWrite(MaterialsLeftOut(), false); }
  void SetPoser5(bool poser5) override { format = poser5 ? "P5" : "P4"; }
  bool Save() override {
    log.push_back("save " + format + " " + current);
    return !failWrites.count(current);
  }
  bool SaveCopy(const std::string& path) override {
    log.push_back("copy " + format + " " + path);
    return !failWrites.count(current);
  }
  void ResetAfterRun() override { log.push_back("reset"); }

 private:
  std::string format;
};

// A progress window that records its bar and texts.
struct ProgressLog {
  std::vector<std::string> events;
  BatchProgressFactory Factory() {
    return [this]() -> std::unique_ptr<Host> {
      struct Recorder : QuietHost {
        explicit Recorder(ProgressLog& log) : log(log) {}
        ~Recorder() override { log.events.push_back("closed"); }
        void SetStage(const std::string& t) override { log.events.push_back("stage " + t); }
        void SetItem(const std::string& t) override { log.events.push_back("item " + t); }
        void SetRange(long long m) override { log.events.push_back("range " + std::to_string(m)); }
        void SetValue(long long v) override { log.events.push_back("value " + std::to_string(v)); }
        ProgressLog& log;
      };
      return std::make_unique<Recorder>(*this);
    };
  }
};

std::vector<BatchItem> Items(const std::vector<std::pair<std::string, int>>& list) {
  std::vector<BatchItem> items;
  for (const auto& [path, op] : list)
    items.push_back({path, op < 0 ? "something else" : kBatchOperations[op].text});
  return items;
}

TEST(BatchRun, ConvertsEachFileByItsOperationAndResetsAtTheEnd) {
  ResetModel();
  ScopedScriptedUi ui;
  UiHost shown;
  FakeDocument doc;
  doc.empty = {"/p/empty.pz2"};
  ProgressLog progress;
  const auto result = RunBatch(Items({{"/p/a.pz2", 0},
                                      {"/p/b.pz2", 1},
                                      {"/p/c.cm2", 2},
                                      {"/p/d.pz2", 3},
                                      {"/p/e.pz2", -1},
                                      {"/p/empty.pz2", 0}}),
                               true, doc, progress.Factory(), shown);
  EXPECT_EQ(result.outcome, BatchOutcome::Completed);
  EXPECT_EQ(doc.log, (std::vector<std::string>{"read /p/a.pz2", "save P5 /p/a.pz2", "read /p/b.pz2",
                                               "save P4 /p/b.pz2", "read /p/c.cm2", "copy P5 /p/c_P5.cm2",
                                               "read /p/d.pz2", "copy P4 /p/d_P4.pz2", "read /p/e.pz2",
                                               "read /p/empty.pz2", "reset"}));
  EXPECT_FALSE(doc.busy);
  EXPECT_EQ(progress.events.front(), "stage Running batch conversion...");
  EXPECT_EQ(progress.events[1], "range 6");
  EXPECT_EQ(progress.events[3], "item a.pz2");
  EXPECT_EQ(progress.events.back(), "closed");
  // The file without materials is not asked about partial materials.
  ExpectOneMessage(
      ui, "Batch operations completed successfully.\r\nNot written (nothing to save):\r\n/p/empty.pz2",
      "Job finished", MsgIcon::Information);
}

TEST(BatchRun, AFailedReadOrWriteStopsTheRunAndLeavesLaterFiles) {
  for (const bool failWrite : {false, true}) {
    ResetModel();
    ScopedScriptedUi ui;
    UiHost shown;
    FakeDocument doc;
    (failWrite ? doc.failWrites : doc.failReads) = {"/p/b.pz2"};
    ProgressLog progress;
    const auto result = RunBatch(Items({{"/p/a.pz2", 2}, {"/p/b.pz2", 0}, {"/p/c.pz2", 0}}), true, doc,
                                 progress.Factory(), shown);
    EXPECT_EQ(result.outcome, BatchOutcome::Failed);
    EXPECT_EQ(result.failedPath, "/p/b.pz2");
    std::vector<std::string> expected{"read /p/a.pz2", "copy P5 /p/a_P5.pz2", "read /p/b.pz2"};
    if (failWrite) expected.push_back("save P5 /p/b.pz2");
    EXPECT_EQ(doc.log, expected);  // no reset, nothing for c
    EXPECT_FALSE(doc.busy);
    EXPECT_EQ(progress.events.back(), "closed");
    ExpectOneMessage(ui, "Could not complete requested operation for /p/b.pz2\r\nBatch operations aborted.",
                     "Error", MsgIcon::Exclamation);
  }
}

TEST(BatchRun, PartialMaterialsAskOnlyUnderAPoser5OptionAndYesSkips) {
  const auto items = Items({{"/p/a.pz2", 1}, {"/p/b.pz2", 0}, {"/p/c.pz2", 0}});
  // No Poser 5 option selected: nobody is asked, every file is written.
  {
    ResetModel();
    ScopedScriptedUi ui;
    UiHost shown;
    FakeDocument doc;
    doc.partial = {"/p/a.pz2", "/p/b.pz2", "/p/c.pz2"};
    RunBatch(items, false, doc, {}, shown);
    EXPECT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);  // Job finished only
    EXPECT_EQ(doc.log.size(), 7u);
  }
  // Yes skips a file before the last (a Poser 4 one too); No writes it; Yes
  // on the last ends the run without "Job finished", the window still reset.
  ResetModel();
  ScopedScriptedUi ui;
  UiHost shown;
  ui->AnswerMessage(MsgResult::Yes);
  ui->AnswerMessage(MsgResult::No);
  ui->AnswerMessage(MsgResult::Yes);
  FakeDocument doc;
  doc.partial = {"/p/a.pz2", "/p/b.pz2", "/p/c.pz2"};
  ProgressLog progress;
  const auto result = RunBatch(items, true, doc, progress.Factory(), shown);
  EXPECT_EQ(result.outcome, BatchOutcome::Stopped);
  EXPECT_EQ(doc.log, (std::vector<std::string>{"read /p/a.pz2", "read /p/b.pz2", "save P5 /p/b.pz2",
                                               "read /p/c.pz2", "reset"}));
  const auto messages = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].text,
            "File /p/a.pz2\r\ncontains partial materials which don't always work in Poser 5.\r\n"
            "Would you like to skip to the next file?");
  EXPECT_EQ(messages[0].title, "Partial MAT exclamation");
  EXPECT_EQ(messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(messages[0].icon, MsgIcon::None);
  EXPECT_NE(messages[2].text.find("Would you like to cancel the operation?"), std::string::npos);
  // The bar moved for the one file written only.
  std::vector<std::string> values;
  for (const auto& e : progress.events)
    if (e.rfind("value ", 0) == 0) values.push_back(e);
  EXPECT_EQ(values, (std::vector<std::string>{"value 0", "value 1"}));
}

// The converter's messages and questions go to the host its caller gives,
// and its answers decide: nothing reaches the dialogs.
TEST(BatchRun, MessagesAndAnswersGoThroughTheHostGiven) {
  ResetModel();
  ScopedScriptedUi ui;
  test::ScriptedHost host;
  BatchList list;
  EXPECT_EQ(list.Add({"/p/a.pz2", "/p/x.cr2", "/p/b.pz2", "/p/a.pz2"}, host), 2);
  host.Answer(MsgResult::Yes);  // skip the first file's partial materials
  FakeDocument doc;
  doc.partial = {"/p/a.pz2"};
  EXPECT_EQ(RunBatch(list.items(), true, doc, {}, host).outcome, BatchOutcome::Completed);
  EXPECT_EQ(doc.log,
            (std::vector<std::string>{"read /p/a.pz2", "read /p/b.pz2", "save P5 /p/b.pz2", "reset"}));
  EXPECT_EQ(host.Titles(), (std::vector<std::string>{"Batch converter", "Duplicate file",
                                                     "Partial MAT exclamation", "Job finished"}));
  EXPECT_EQ(host.shown[2].buttons, MsgButtons::YesNo);
  EXPECT_EQ(host.shown[3].text, "Batch operations completed successfully.");
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
}

}  // namespace
}  // namespace vandrel
