// The document session without a window: "-s" as it reads and writes, and
// the open of a shown document that a cancel or a cut-off read leaves.
#include "tools/document_session.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "model/data_not_kept.h"
#include "model/model.h"
#include "platform/cdlg_ex.h"
#include "platform/files.h"
#include "platform/scripted_ui.h"
#include "support/temp_dir.h"
#include "tools/command_line.h"

namespace vandrel {
namespace {

std::string Data(const std::string& name) {
  return test::ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/" + name);
}

// A host that asks to cancel at every poll.
class CancellingHost : public QuietHost {
 public:
  bool CancelRequested() override { return true; }
};

class DocumentSession : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModel();
    gDlg = CdlgEx{};
  }
  void TearDown() override { ResetModel(); }

  test::TempDir library_;
  ScopedScriptedUi ui_;
};

// "-s" on a pose, a character file, a file that is not Poser text and a pose
// that holds what the tables do not keep: what the read asks of the window,
// the save choices it leaves, the message and the file written. Then a shown
// document waits aside while another file is read: Esc in the channels keeps
// the materials read and says so; a read that ends cut off puts the shown
// document back as it was; a read that shows something lets the window go of
// the shown document first.
TEST_F(DocumentSession, OpensReadsAndSaves) {
  const std::string keptPose = Data("inplace/kept.pz2");
  const struct {
    const char* name;
    std::string bytes;
    SessionOutcome outcome;
    bool channelsOff;     // "Don't save morphs or poses" ticked and disabled by the read
    bool channelsSaved;   // the save choices keep the channels
    std::string message;  // the one message, "" for none
    bool written;
    std::string writtenBytes;  // the file beside it afterwards ("" : not checked)
  } cases[] = {
      {"kept.pz2", keptPose, SessionOutcome::Read, false, true, "", true, Data("inplace/kept_written.pz2")},
      {"figure.cr2", Data("reader/figure_props.cr2"), SessionOutcome::Read, true, false, "", true, ""},
      {"packed.pz2", std::string("\x1f\x8b\x08\x00pose", 8), SessionOutcome::Refused, false, false,
       "This is a compressed Poser file; uncompress it first", false, ""},
      {"wave.pz2", Data("inplace/wave.hd2"), SessionOutcome::Read, false, true,
       "holds animation keys that a material pose does not keep.\r\nIt was not replaced.", false,
       Data("inplace/wave.hd2")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetModel();
    ui_->clear();
    gSilentSaveWritten = false;
    // The first start's preferences: Poser 4 format, DOS line ends.
    gSettings.SaveAsType = gSettings.FileSystem = true;
    const std::string path = library_.write(c.name, c.bytes);
    const std::string beside = SilentSavePath(path);
    UiHost host;
    WindowlessDocument document(host);
    document.Start();
    gState.FileGiven = true;
    gState.FileType = CommandLineFileType("-s " + path);
    int templatesChosen = 0;
    const SessionResult result = document.Open("-s " + path, {}, [&templatesChosen] { ++templatesChosen; });
    const bool silentSaveAfterRead = gState.SilentSave;  // the read itself takes the request back
    document.Save(result);

    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.read.channelsOff, c.channelsOff);
    EXPECT_EQ(!document.choices().noChannels, c.channelsSaved);
    EXPECT_EQ(templatesChosen, c.outcome == SessionOutcome::Read ? 1 : 0);
    EXPECT_EQ(gSilentSaveWritten, c.written);
    EXPECT_EQ(gOpenCancelled, c.outcome == SessionOutcome::Refused);
    EXPECT_FALSE(silentSaveAfterRead || gState.SilentSave);
    if (c.outcome == SessionOutcome::Read) {
      EXPECT_EQ(result.read.silentSavePath, beside);
      EXPECT_EQ(result.read.dialogFileName, beside);
      EXPECT_EQ(result.requiredVersionText, gState.RequiredVersion);
      EXPECT_FALSE(gState.Dirty);
    }
    ASSERT_EQ(ui_->requests().size(), c.message.empty() ? 0u : 1u);
    if (!c.message.empty()) {
      EXPECT_NE(ui_->requests()[0].text.find(c.message), std::string::npos);
    }
    if (c.written) {
      const std::string written = test::ReadFileBytes(beside);
      if (!c.writtenBytes.empty()) {
        EXPECT_EQ(written, c.writtenBytes);
      }
      // Materials always; channels only where the choices keep them.
      EXPECT_NE(written.find("material "), std::string::npos);
      EXPECT_EQ(written.find("actor ") != std::string::npos, c.channelsSaved);
    } else if (!c.writtenBytes.empty()) {
      EXPECT_EQ(test::ReadFileBytes(path), c.writtenBytes);
    } else {
      EXPECT_EQ(test::ReadFileBytes(path), c.bytes);
      EXPECT_TRUE(beside == path || !FileExists(beside));
    }
  }

  const std::string pose = Data("reader/actors_figure.pz2");
  const std::string cutOff = pose.substr(0, pose.find("k  0  1") + 7);
  const struct {
    const char* name;
    std::string bytes;
    bool cancel;
    SessionOutcome outcome;
    bool readCancelled;
    bool replaced;  // the window was asked to let go of the shown document
  } shownCases[] = {
      {"read.pz2", pose, false, SessionOutcome::Read, false, true},
      {"cancelled.pz2", pose, true, SessionOutcome::Read, true, true},
      {"cut.pz2", cutOff, false, SessionOutcome::KeptShown, false, false},
  };
  for (const auto& c : shownCases) {
    SCOPED_TRACE(c.name);
    ResetModel();
    ui_->clear();
    // The shown document.
    gObjects[0].Name = "figure";
    gObjectList = {"figure"};
    gState.FileName = "/poses/shown.pz2";
    gState.Dirty = true;
    SessionRequest request;
    request.fileType = kPz2;
    request.path = library_.write(c.name, c.bytes);
    request.shown = SessionRequest::Shown::SetAside;
    std::string seenWhenReplaced;
    SessionHooks hooks;
    hooks.runRead = [&c](const std::function<void(Host&)>& read) {
      CancellingHost cancelling;
      QuietHost quiet;
      read(c.cancel ? static_cast<Host&>(cancelling) : quiet);
    };
    hooks.replaceShown = [&seenWhenReplaced] { seenWhenReplaced = gState.FileName; };
    QuietHost refuse;
    const SessionResult result = OpenDocument(request, refuse, hooks);

    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.readCancelled, c.readCancelled);
    EXPECT_EQ(result.channelsRead, c.outcome == SessionOutcome::Read && !c.cancel);
    EXPECT_EQ(seenWhenReplaced, c.replaced ? "/poses/shown.pz2" : "");
    if (c.outcome == SessionOutcome::KeptShown) {
      EXPECT_EQ(gState.FileName, "/poses/shown.pz2");
      EXPECT_EQ(gObjectList, ObjectList{"figure"});
      EXPECT_TRUE(gState.Dirty);
      EXPECT_TRUE(gState.ReadError && gOpenCancelled);
    } else {
      EXPECT_EQ(gState.FileName, request.path);
      EXPECT_EQ(gObjects[0].Materials.empty(), false);
      // The channels read stay unless Esc was pressed.
      EXPECT_EQ(gActorList.empty(), c.cancel);
    }
  }

  // A one-line field keeps 32767 characters as the screen counts them: a
  // character beyond the first 65536 code points counts twice, and its first
  // half alone reads back as "?".
  EXPECT_EQ(OneLineText(std::string(40000, '7')), std::string(32767, '7'));
  const std::string smile = "\xF0\x9F\x98\x80";
  EXPECT_EQ(OneLineText(std::string(32765, 'a') + smile + "b"), std::string(32765, 'a') + smile);
  EXPECT_EQ(OneLineText(std::string(32766, 'a') + smile), std::string(32766, 'a') + "?");
  EXPECT_EQ(RequiredVersionOfText("5.0"), "5");
}

}  // namespace
}  // namespace vandrel
