// The open document as a user replaces it: another file opened over unsaved
// edits (each answer of the question), Esc in a load and then Save, and files
// dragged from a file manager onto the text boxes and the converter.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

#include "mainwindow/tool_windows.h"
#include "platform/files.h"
#include "tools/qt/frm_batch_converter.h"
#include "window_fixture.h"

namespace vandrel::test {
namespace {

constexpr auto npos = std::string::npos;

std::string DataBytes(const std::string& name) {
  return ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/" + name);
}

// Files dragged from a file manager onto `target` and let go there, Shift
// held (a move proposed). The drop's action; IgnoreAction when refused.
Qt::DropAction DropFiles(QWidget* target, const std::vector<std::string>& paths,
                         Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction) {
  QMimeData mime;
  QList<QUrl> urls;
  for (const std::string& p : paths) urls.append(QUrl::fromLocalFile(QString::fromStdString(p)));
  mime.setUrls(urls);
  mime.setText(urls.first().toString());
  QDragEnterEvent enter(QPoint(3, 3), offered, &mime, Qt::LeftButton, Qt::ShiftModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(3, 3), offered, &mime, Qt::LeftButton, Qt::ShiftModifier);
  QApplication::sendEvent(target, &drop);
  return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

// The progress window with Esc pressed once the read reaches `stage` (at
// once when it is empty).
class EscAtStage : public QuietHost {
 public:
  explicit EscAtStage(std::string stage) : stage_(std::move(stage)) {}
  void SetStage(const std::string& text) override { reached_ = reached_ || text == stage_; }
  bool CancelRequested() override { return reached_ || stage_.empty(); }

 private:
  std::string stage_;
  bool reached_ = false;
};

class ReplacingDocument : public WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    ConnectToolWindows(*window);
  }
  void Open(const char* entry, const std::string& path) {
    ui->AnswerOpen(path);
    Trigger(entry);
  }
  // The user types a new required version, which the saved pose carries.
  void EditVersion(const char* version) {
    QLineEdit* box = window->materials->TXT[0];
    ASSERT_TRUE(On(box));
    box->selectAll();
    for (const QChar c : QString(version)) {
      QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(box, &key);
    }
    ASSERT_TRUE(gState.Dirty);
  }
  std::string Caption() const { return window->windowTitle().toStdString(); }
};

TEST_F(ReplacingDocument, OpeningOverUnsavedEditsAsksAndEachAnswerKeepsWhatTheUserWanted) {
  const std::string pose = program.write("First.pz2", DataBytes("mainwindow/posed_doll.pz2"));
  const std::string light = program.write("Second.lt2", DataBytes("channels/light_own.lt2"));
  const std::string doll = program.write("Doll.cr2", DataBytes("windows/tall.cr2"));
  Open("mnuOpenPZ2", pose);
  EditVersion("5.5");

  // Cancel, from every open entry and from a drop: nothing else is asked or
  // shown, the edit stays, and the dropped path is not kept for the next open.
  for (const char* entry : {"mnuOpenPZ2", "mnuOpenLT2", "mnuOpenCR2", "mnuOpenCR2Props", "mnuMultiFigure",
                            "mnuOpenPP2", "mnuOpenHR2", ""}) {
    ui->clear();
    ui->AnswerMessage(MsgResult::Cancel);
    *entry ? Trigger(entry) : window->Form_OLEDragDrop(light);
    ASSERT_EQ(ui->requests().size(), 1u) << entry;
    EXPECT_EQ(ui->requests()[0].text, "Do you want to save the changes before opening another file?");
    EXPECT_EQ(ui->requests()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(Caption() == "Vandrel - [First.pz2]" && gState.Dirty && !gState.FileGiven) << entry;
    EXPECT_EQ(window->SharedDialog().FileName, pose);
  }

  // Yes saves a pose-type file in place before the dropped file opens; No
  // discards the next edit.
  ui->AnswerMessage(MsgResult::Yes);
  window->Form_OLEDragDrop(light);
  const std::string saved = ReadFileBytes(pose);
  EXPECT_NE(saved.find("number 5.5"), npos);
  EXPECT_EQ(Caption(), "Vandrel - [Second.lt2]");
  EditVersion("6.5");
  ui->AnswerMessage(MsgResult::No);
  window->Form_OLEDragDrop(pose);
  EXPECT_EQ(Caption(), "Vandrel - [First.pz2]");
  EXPECT_EQ(ReadFileBytes(pose), saved);
  EXPECT_EQ(ReadFileBytes(light), DataBytes("channels/light_own.lt2"));
  EXPECT_TRUE(ui->requestsOf(UiRequest::Save).empty());

  // A character file goes through Save as: cancelled, nothing opens; saved,
  // the chosen file opens.
  ui->AnswerMessage(MsgResult::No);  // no morphs
  Open("mnuOpenCR2", doll);
  EditVersion("7.5");
  const std::string copy = program.file("Doll pose.pz2");
  for (const bool cancel : {true, false}) {
    ui->clear();
    ui->AnswerMessage(MsgResult::Yes);
    cancel ? ui->CancelFileDialog() : ui->AnswerSave(copy);
    Open("mnuOpenPZ2", pose);
    EXPECT_EQ(ui->requestsOf(UiRequest::Open).size(), cancel ? 0u : 1u);
    EXPECT_EQ(Caption(), cancel ? "Vandrel - [Doll.cr2]" : "Vandrel - [First.pz2]");
  }
  EXPECT_NE(ReadFileBytes(copy).find("number 7.5"), npos);
  EXPECT_EQ(ReadFileBytes(doll), DataBytes("windows/tall.cr2"));

  // A load that also read the channels is no edit: the next open asks nothing.
  ui->clear();
  ui->AnswerMessage(MsgResult::Yes);  // morphs
  Open("mnuOpenCR2", doll);
  ASSERT_GT(window->channelsPane->lstActors->topLevelItemCount(), 0);
  Open("mnuOpenPZ2", pose);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);  // the morph question only
}

TEST_F(ReplacingDocument, AfterEscInALoadTheDocumentIsNotSavedOverItsFile) {
  const std::string pose = program.write("Pose.pz2", DataBytes("mainwindow/posed_doll.pz2"));
  const std::string doll = program.write("Doll.cr2", DataBytes("windows/tall.cr2"));
  const std::string original = ReadFileBytes(pose);
  window->MakeProgressHost = [] { return std::make_unique<EscAtStage>("Loading Morphs and Poses..."); };
  Open("mnuOpenPZ2", pose);
  EXPECT_EQ(window->materials->lstMaterials->count(), 2);
  EXPECT_EQ(window->channelsPane->lstActors->topLevelItemCount(), 0);
  EXPECT_EQ(Caption(), "Vandrel - [Pose.pz2] (read cancelled)");
  window->mnuSave->trigger();  // Ctrl+S

  // After an edit, Yes to the exit (or open) question goes to Save as;
  // cancelled, the window stays and the file is untouched.
  EditVersion("5.5");
  ui->AnswerMessage(MsgResult::Yes);
  ui->CancelFileDialog();
  EXPECT_FALSE(window->Form_Unload());
  EXPECT_EQ(ui->requestsOf(UiRequest::Save).size(), 1u);
  EXPECT_EQ(ReadFileBytes(pose), original);
  // Save as still works and makes the copy the document, which Save writes.
  const std::string copy = program.file("Copy.pz2");
  ui->AnswerSave(copy);
  Trigger("mnuSaveAs");
  EXPECT_EQ(Caption(), "Vandrel - [Copy.pz2]");
  Trigger("mnuSave");
  EXPECT_NE(ReadFileBytes(copy).find("number 5.5"), npos);
  EXPECT_EQ(ReadFileBytes(pose), original);

  // Esc in a character file's channel read; then in the chooser's look at a
  // character file, which is no damaged file to report.
  ui->AnswerMessage(MsgResult::Yes);  // morphs
  Open("mnuOpenCR2", doll);
  EXPECT_EQ(Caption(), "Vandrel - [Doll.cr2] (read cancelled)");
  window->MakeProgressHost = [] { return std::make_unique<EscAtStage>(""); };
  ui->clear();
  window->Form_OLEDragDrop(std::string(VANDREL_TEST_DATA) + "/tools/two_figures.cr2");
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
  // A complete read offers Save again.
  window->MakeProgressHost = nullptr;
  Open("mnuOpenPZ2", pose);
  EXPECT_EQ(Caption(), "Vandrel - [Pose.pz2]");
  EXPECT_TRUE(window->mnuSave->isEnabled());
}

TEST_F(ReplacingDocument, FilesDroppedOnTextBoxesOpenAsOnTheWindowAndAreNeverMoved) {
  const std::string first = program.write("First.pz2", DataBytes("mainwindow/posed_doll.pz2"));
  const std::string second = program.write("Second.pz2", DataBytes("mainwindow/posed_doll.pz2"));
  Open("mnuOpenPZ2", first);
  MaterialsPane& m = *window->materials;
  ChannelsPane& c = *window->channelsPane;
  // Each kind of box (a value box, the required version, the actor's and the
  // dial's boxes, the thigh length), then the window itself.
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
    const std::string name = targets[i]->objectName().toStdString();
    EXPECT_EQ(DropFiles(targets[i], {file}), Qt::CopyAction) << name;
    EXPECT_EQ(Caption(), "Vandrel - [" + FileNameOf(file) + "]") << name;
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
      EXPECT_FALSE(box->text().contains("file:")) << name;
  }
  // A source that offers only a move is refused.
  EXPECT_EQ(DropFiles(m.TXT[1], {second}, Qt::MoveAction), Qt::IgnoreAction);
  EXPECT_EQ(Caption(), "Vandrel - [First.pz2]");

  // A map box takes a dropped picture as the material's map, and the
  // converter lists dropped files; both as a copy.
  m.lstMaterials->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(DropFiles(m.TXT[8], {program.write("skin.jpg", "picture")}), Qt::CopyAction);
  EXPECT_TRUE(m.TXT[8]->text().contains("skin.jpg"));
  window->mnuBatchConvert->trigger();
  auto* converter = window->findChild<FrmBatchConverter*>("frmBatchConverter");
  ASSERT_NE(converter, nullptr);
  EXPECT_EQ(DropFiles(converter->ListView1->viewport(), {first, second}), Qt::CopyAction);
  EXPECT_EQ(converter->ListView1->topLevelItemCount(), 2);
}

}  // namespace
}  // namespace vandrel::test
