// A file rewritten in place keeps what the tables do not: Save asks first and
// the batch converter leaves such a file, each driven as a user does it.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "platform/files.h"
#include "tools/qt/frm_batch_converter.h"
#include "window_fixture.h"

namespace vandrel::test {
namespace {

std::string Data(const std::string& name) {
  return ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/inplace/" + name);
}

class InPlaceSave : public WindowTest {
 protected:
  void Open(const char* menu, const std::string& path) {
    ui->AnswerOpen(path);
    Trigger(menu);
    ASSERT_FALSE(gState.ReadError) << path;
  }
  TempDir library;
};

TEST_F(InPlaceSave, SaveAsksBeforeItDropsWhatTheFileHolds) {
  const struct {
    const char* menu;
    const char* name;
    const char* holds;
  } files[] = {
      {"mnuOpenLT2", "spot.lt2", "bend, parent, initValue and other data"},
      {"mnuOpenCM2", "main.cm2", "parent, hither, yon"},
      {"mnuOpenHD2", "wave.hd2", "animation keys"},
  };
  for (const auto& f : files) {
    const std::string original = Data(f.name);
    const std::string path = library.write(f.name, original);
    Open(f.menu, path);
    // No, then a cancelled Save as: nothing is written, and the caller learns it.
    ui->clear();
    ui->AnswerMessage(MsgResult::No);
    ui->CancelFileDialog();
    EXPECT_FALSE(window->mnuSave_Click());
    const auto messages = ui->requestsOf(UiRequest::Message);
    ASSERT_EQ(messages.size(), 1u) << f.name;
    EXPECT_EQ(messages[0].text, "File " + path + "\r\nholds " + f.holds +
                                    " that a material pose does not keep.\r\nReplace it anyway?");
    EXPECT_EQ(messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui->requestsOf(UiRequest::Save).size(), 1u) << f.name;
    EXPECT_EQ(ReadFileBytes(path), original) << f.name;
  }

  // No, then Save as elsewhere: the copy is the document's file from then on,
  // and Save writes it without a question.
  const std::string wave = library.file("wave.hd2");
  const std::string copy = library.file("wave copy.pz2");
  ui->clear();
  ui->AnswerMessage(MsgResult::No);
  ui->AnswerSave(copy);
  Trigger("mnuSave");
  EXPECT_EQ(ReadFileBytes(wave), Data("wave.hd2"));
  EXPECT_EQ(ReadFileBytes(copy).find("k  15"), std::string::npos);
  EXPECT_EQ(gState.FileName, copy);
  ui->clear();
  Trigger("mnuSave");
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());

  // Yes replaces the file; it then holds only what is kept, and asks no more.
  Open("mnuOpenHD2", wave);
  ui->clear();
  ui->AnswerMessage(MsgResult::Yes);
  EXPECT_TRUE(window->mnuSave_Click());
  EXPECT_EQ(ReadFileBytes(wave), ReadFileBytes(copy));
  ui->clear();
  EXPECT_TRUE(window->mnuSave_Click());
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());

  // A file of kept data only is saved at once.
  const std::string kept = library.write("kept.pz2", Data("kept.pz2"));
  Open("mnuOpenPZ2", kept);
  ui->clear();
  EXPECT_TRUE(window->mnuSave_Click());
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
  EXPECT_NE(ReadFileBytes(kept).find("k  0  -12.5"), std::string::npos);
}

TEST_F(InPlaceSave, TheConverterLeavesSuchFilesAndSaysWhy) {
  const std::string spot = library.write("spot.lt2", Data("spot.lt2"));
  const std::string camera = library.write("main.cm2", Data("main.cm2"));
  const std::string wave = library.write("wave.hd2", Data("wave.hd2"));
  const std::string kept = library.write("kept.pz2", Data("kept.pz2"));
  window->mnuBatchConvert->trigger();
  auto* converter = window->findChild<FrmBatchConverter*>("frmBatchConverter");
  ASSERT_NE(converter, nullptr);
  ui->AnswerOpenFiles({spot, camera, wave, kept});
  converter->Command1->click();
  ASSERT_EQ(converter->ListView1->topLevelItemCount(), 4);
  // All converted into Poser 4 in place, but the light copied.
  converter->Command3->click();
  converter->Option[1]->click();
  converter->ListView1->clearSelection();
  converter->ListView1->topLevelItem(0)->setSelected(true);
  converter->Option[3]->click();
  ui->clear();
  converter->Command4->click();

  const auto messages = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Job finished");
  EXPECT_EQ(messages[0].text,
            "Batch operations completed.\r\nLeft unchanged (they hold data that a material pose does not "
            "keep):\r\n" +
                camera + " (parent, hither, yon)\r\n" + wave + " (animation keys)");
  EXPECT_EQ(ReadFileBytes(spot), Data("spot.lt2"));
  EXPECT_EQ(ReadFileBytes(camera), Data("main.cm2"));
  EXPECT_EQ(ReadFileBytes(wave), Data("wave.hd2"));
  EXPECT_NE(ReadFileBytes(library.file("spot_P4.lt2")).find("light LIGHT_1"), std::string::npos);
  EXPECT_NE(ReadFileBytes(kept), Data("kept.pz2"));  // written in Vandrel's own layout
  EXPECT_FALSE(window->BatchRun());
}

}  // namespace
}  // namespace vandrel::test
