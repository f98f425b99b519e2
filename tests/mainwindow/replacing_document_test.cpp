// The open document as a user replaces it: opening another file over unsaved
// edits (each answer of the question), Esc in a load and then saving, and
// files dragged from a file manager onto the text boxes and the converter.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

#include "mainwindow/controls.h"
#include "mainwindow/frm_figure.h"
#include "mainwindow/tool_windows.h"
#include "platform/files.h"
#include "tools/figure_file.h"
#include "tools/qt/frm_batch_converter.h"
#include "window_fixture.h"

namespace vandrel::test {
namespace {

std::string DataBytes(const std::string& name) {
  return ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/" + name);
}

// The user selects a box's text and types over it.
void Type(QLineEdit* box, const QString& text) {
  box->selectAll();
  for (const QChar c : text) {
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(box, &key);
  }
}

struct DropOutcome {
  bool accepted = false;
  Qt::DropAction action = Qt::IgnoreAction;
};

// Files dragged from a file manager onto `target` and let go there, the user
// holding Shift: the file manager proposes a move.
DropOutcome DropFiles(QWidget* target, const std::vector<std::string>& paths,
                      Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction) {
  QMimeData mime;
  QList<QUrl> urls;
  for (const std::string& p : paths) urls.append(QUrl::fromLocalFile(QString::fromStdString(p)));
  mime.setUrls(urls);
  mime.setText(urls.isEmpty() ? QString() : urls.first().toString());
  QDragEnterEvent enter(QPoint(3, 3), offered, &mime, Qt::LeftButton, Qt::ShiftModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(3, 3), offered, &mime, Qt::LeftButton, Qt::ShiftModifier);
  QApplication::sendEvent(target, &drop);
  return {drop.isAccepted(), drop.dropAction()};
}

// The progress window with Esc pressed once the read reaches `stage` (at
// once when it is empty).
class EscAtStage : public Host {
 public:
  explicit EscAtStage(std::string stage) : stage_(std::move(stage)), reached_(stage_.empty()) {}
  void SetStage(const std::string& text) override { reached_ = reached_ || text == stage_; }
  bool CancelRequested() override { return reached_; }
  MsgResult Message(const std::string& text, const std::string& title, MsgButtons buttons,
                    MsgIcon icon) override {
    return Ui().MessageBox(text, title, buttons, icon);
  }

 private:
  std::string stage_;
  bool reached_;
};

class ReplacingDocument : public WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    ConnectToolWindows(*window);
  }
  void OpenPose(const std::string& path) {
    ui->AnswerOpen(path);
    Trigger("mnuOpenPZ2");
    ASSERT_FALSE(gState.ReadError);
  }
  // The edit the tests make: a new required version, which the saved pose carries.
  void EditVersion(const char* version) {
    QLineEdit* box = window->materials->TXT[0];
    ASSERT_TRUE(On(box));
    Type(box, version);
    ASSERT_TRUE(gState.Dirty);
  }
  std::string Caption() const { return window->windowTitle().toStdString(); }
};

TEST_F(ReplacingDocument, OpeningOverUnsavedEditsAsksAndEachAnswerKeepsWhatTheUserWanted) {
  const std::string pose = program.write("First.pz2", DataBytes("mainwindow/posed_doll.pz2"));
  const std::string light = program.write("Second.lt2", DataBytes("channels/light_own.lt2"));
  const std::string doll = program.write("Doll.cr2", DataBytes("windows/tall.cr2"));
  const std::string original = ReadFileBytes(pose);
  OpenPose(pose);
  EditVersion("5.5");

  // Cancel, from every open entry and from a drop: no dialog, no chooser,
  // the document and its edit stay, and the drop's path is not kept for the
  // next open.
  for (const char* entry : {"mnuOpenPZ2", "mnuOpenLT2", "mnuOpenCR2", "mnuOpenCR2Props", "mnuMultiFigure",
                            "mnuOpenPP2", "mnuOpenHR2", ""}) {
    ui->clear();
    ui->AnswerMessage(MsgResult::Cancel);
    if (*entry)
      Trigger(entry);
    else
      window->Form_OLEDragDrop(light);
    const auto asked = ui->requestsOf(UiRequest::Message);
    ASSERT_EQ(asked.size(), 1u) << entry;
    EXPECT_EQ(asked[0].text, "Do you want to save the changes before opening another file?");
    EXPECT_EQ(asked[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(asked[0].icon, MsgIcon::None);
    EXPECT_EQ(ui->requests().size(), 1u) << entry;
    EXPECT_EQ(Caption(), "Vandrel - [First.pz2]");
    EXPECT_TRUE(gState.Dirty);
    EXPECT_FALSE(gState.FileGiven);
    EXPECT_EQ(window->SharedDialog().FileName, pose);
  }

  // Yes on a pose-type file saves it in place, then opens the other file.
  ui->clear();
  ui->AnswerMessage(MsgResult::Yes);
  window->Form_OLEDragDrop(light);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Save).empty());
  const std::string saved = ReadFileBytes(pose);
  EXPECT_NE(saved.find("number 5.5"), std::string::npos);
  EXPECT_NE(saved.find("Skin"), std::string::npos);
  EXPECT_EQ(Caption(), "Vandrel - [Second.lt2]");
  EXPECT_FALSE(gState.Dirty);

  // No discards the edit: the next file opens and nothing is written.
  EditVersion("6.5");
  ui->clear();
  ui->AnswerMessage(MsgResult::No);
  window->Form_OLEDragDrop(pose);
  EXPECT_EQ(Caption(), "Vandrel - [First.pz2]");
  EXPECT_EQ(ReadFileBytes(pose), saved);
  EXPECT_EQ(ReadFileBytes(light), DataBytes("channels/light_own.lt2"));
  EXPECT_FALSE(gState.Dirty);

  // A character file is saved through Save as: cancelled, nothing opens.
  ui->clear();
  ui->AnswerOpen(doll);
  ui->AnswerMessage(MsgResult::No);  // no morphs
  Trigger("mnuOpenCR2");
  EditVersion("7.5");
  ui->clear();
  ui->AnswerMessage(MsgResult::Yes);
  ui->CancelFileDialog();
  Trigger("mnuOpenPZ2");
  EXPECT_EQ(ui->requestsOf(UiRequest::Save).size(), 1u);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Open).empty());
  EXPECT_EQ(Caption(), "Vandrel - [Doll.cr2]");
  EXPECT_TRUE(gState.Dirty);
  // Saved as a new pose, then the chosen file opens.
  const std::string copy = program.file("Doll pose.pz2");
  ui->AnswerMessage(MsgResult::Yes);
  ui->AnswerSave(copy);
  ui->AnswerOpen(pose);
  Trigger("mnuOpenPZ2");
  EXPECT_NE(ReadFileBytes(copy).find("number 7.5"), std::string::npos);
  EXPECT_EQ(Caption(), "Vandrel - [First.pz2]");
  EXPECT_EQ(ReadFileBytes(doll), DataBytes("windows/tall.cr2"));

  // A load that also read the channels is no edit: the next open asks nothing.
  ui->clear();
  ui->AnswerOpen(doll);
  ui->AnswerMessage(MsgResult::Yes);  // morphs
  Trigger("mnuOpenCR2");
  ASSERT_GT(window->channelsPane->lstActors->topLevelItemCount(), 0);
  ui->AnswerOpen(pose);
  Trigger("mnuOpenPZ2");
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);  // the morph question only
  EXPECT_EQ(Caption(), "Vandrel - [First.pz2]");
  EXPECT_NE(original, saved);
}

TEST_F(ReplacingDocument, AfterEscInALoadTheDocumentIsNotSavedOverItsFile) {
  const std::string pose = program.write("Pose.pz2", DataBytes("mainwindow/posed_doll.pz2"));
  const std::string original = ReadFileBytes(pose);
  window->MakeProgressHost = [] { return std::make_unique<EscAtStage>("Loading Morphs and Poses..."); };
  OpenPose(pose);
  EXPECT_GT(window->materials->lstMaterials->count(), 0);
  EXPECT_EQ(window->channelsPane->lstActors->topLevelItemCount(), 0);
  EXPECT_EQ(Caption(), "Vandrel - [Pose.pz2] (read cancelled)");
  EXPECT_FALSE(window->mnuSave->isEnabled());
  EXPECT_TRUE(window->mnuSaveAs->isEnabled());
  window->mnuSave->trigger();  // Ctrl+S

  // Closing after an edit asks, and Yes goes to Save as; its cancel keeps
  // the window, and the file is untouched.
  EditVersion("5.5");
  ui->AnswerMessage(MsgResult::Yes);
  ui->CancelFileDialog();
  EXPECT_FALSE(window->Form_Unload());
  EXPECT_EQ(ui->requestsOf(UiRequest::Save).size(), 1u);
  // So does the open question.
  ui->AnswerMessage(MsgResult::Yes);
  ui->CancelFileDialog();
  Trigger("mnuOpenPZ2");
  EXPECT_EQ(ui->requestsOf(UiRequest::Save).size(), 2u);
  EXPECT_EQ(ReadFileBytes(pose), original);

  // Save as still works, and makes the new file the document.
  const std::string copy = program.file("Copy.pz2");
  ui->AnswerSave(copy);
  Trigger("mnuSaveAs");
  EXPECT_NE(ReadFileBytes(copy).find("Skin"), std::string::npos);
  EXPECT_EQ(Caption(), "Vandrel - [Copy.pz2]");
  EXPECT_TRUE(window->mnuSave->isEnabled());
  EXPECT_EQ(ReadFileBytes(pose), original);

  // A complete read offers Save again.
  window->MakeProgressHost = nullptr;
  OpenPose(pose);
  EXPECT_EQ(Caption(), "Vandrel - [Pose.pz2]");
  EXPECT_TRUE(window->mnuSave->isEnabled());
  EXPECT_GT(window->channelsPane->lstActors->topLevelItemCount(), 0);

  // Esc in a character file's channel read, and in the chooser's look at a
  // character file: no claim on the file, and a cancel is no damaged file.
  const std::string doll = program.write("Doll.cr2", DataBytes("windows/tall.cr2"));
  window->MakeProgressHost = [] { return std::make_unique<EscAtStage>("Loading Morphs and Poses..."); };
  ui->clear();
  ui->AnswerOpen(doll);
  ui->AnswerMessage(MsgResult::Yes);
  Trigger("mnuOpenCR2");
  EXPECT_EQ(Caption(), "Vandrel - [Doll.cr2] (read cancelled)");
  window->MakeProgressHost = [] { return std::make_unique<EscAtStage>(""); };
  ui->clear();
  window->Form_OLEDragDrop(std::string(VANDREL_TEST_DATA) + "/tools/two_figures.cr2");
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
  EXPECT_EQ(Caption(), "Vandrel - [Doll.cr2] (read cancelled)");
}

TEST_F(ReplacingDocument, FilesDroppedOnTextBoxesOpenAsOnTheWindowAndAreNeverMoved) {
  const std::string first = program.write("First.pz2", DataBytes("mainwindow/posed_doll.pz2"));
  const std::string second = program.write("Second.pz2", DataBytes("mainwindow/posed_doll.pz2"));
  OpenPose(first);
  MaterialsPane& m = *window->materials;
  ChannelsPane& c = *window->channelsPane;
  // Each kind of box: a value box, the required version, the actor's and
  // the dial's boxes, the thigh length; then the window itself.
  const std::vector<QWidget*> targets = {m.TXT[1],
                                         m.TXT[0],
                                         c.txtActorProperties[0],
                                         c.txtActorProperties[1],
                                         c.txtDialProperties[0],
                                         c.txtDialProperties[1],
                                         c.txtThighLength,
                                         window.get()};
  for (std::size_t i = 0; i < targets.size(); ++i) {
    const std::string& file = i % 2 == 0 ? second : first;
    const DropOutcome drop = DropFiles(targets[i], {file});
    const std::string name = targets[i]->objectName().toStdString();
    EXPECT_TRUE(drop.accepted) << name;
    EXPECT_EQ(drop.action, Qt::CopyAction) << name;
    EXPECT_EQ(Caption(), "Vandrel - [" + FileNameOf(file) + "]") << name;
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
      EXPECT_FALSE(box->text().contains("file:")) << name;
  }
  // A source that offers only a move is refused; dragged text still goes into a box.
  EXPECT_FALSE(DropFiles(m.TXT[1], {second}, Qt::MoveAction).accepted);
  EXPECT_EQ(Caption(), "Vandrel - [First.pz2]");
  QMimeData text;
  text.setText("0.25");
  QDragEnterEvent enter(QPoint(3, 3), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(m.TXT[0], &enter);
  QDropEvent typed(QPointF(3, 3), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(m.TXT[0], &typed);
  EXPECT_TRUE(m.TXT[0]->text().contains("0.25"));

  // A map box takes a dropped picture as the material's map, as a copy.
  const std::string picture = program.write("skin.jpg", "not really a picture");
  m.lstMaterials->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
  const DropOutcome map = DropFiles(m.TXT[8], {picture});
  EXPECT_EQ(map.action, Qt::CopyAction);
  EXPECT_TRUE(m.TXT[8]->text().contains("skin.jpg"));
  EXPECT_EQ(Caption(), "Vandrel - [First.pz2]");

  // The converter lists dropped files as a copy too.
  window->mnuBatchConvert->trigger();
  auto* converter = window->findChild<FrmBatchConverter*>("frmBatchConverter");
  ASSERT_NE(converter, nullptr);
  const DropOutcome listed = DropFiles(converter->ListView1->viewport(), {first, second});
  EXPECT_EQ(listed.action, Qt::CopyAction);
  EXPECT_EQ(converter->ListView1->topLevelItemCount(), 2);
  EXPECT_TRUE(FileExists(first) && FileExists(second));
}

}  // namespace
}  // namespace vandrel::test
