// The batch converter driven as a user drives it: files added through the
// dialog and by dropping, operations chosen, the run, and the files written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <filesystem>
#include <functional>

#include "platform/files.h"
#include "platform/qt/qt_ui.h"
#include "tools/qt/frm_batch_converter.h"
#include "window_fixture.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;

class BatchConverter : public test::WindowTest {
 protected:
  FrmBatchConverter* Open() {
    window->mnuBatchConvert->trigger();
    auto* converter = window->findChild<FrmBatchConverter*>("frmBatchConverter");
    EXPECT_NE(converter, nullptr);
    return converter;
  }
  static void Drop(FrmBatchConverter* converter, const std::vector<std::string>& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& p : paths) urls.append(QUrl::fromLocalFile(QString::fromStdString(p)));
    mime.setUrls(urls);
    // The drop goes to the widget that accepted the drag's entering.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(converter->ListView1->viewport(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(converter->ListView1->viewport(), &drop);
  }
  static void Select(FrmBatchConverter* converter, std::initializer_list<int> rows) {
    converter->ListView1->clearSelection();
    for (int row : rows) converter->ListView1->topLevelItem(row)->setSelected(true);
  }
  // Select all, Remove: the list left empty.
  static void Empty(FrmBatchConverter* converter) {
    converter->Command3->click();
    converter->Command2->click();
  }
  // Convert: the run shows exactly one message, this one.
  void Run(FrmBatchConverter* converter, const std::string& text, const char* title) {
    ui->clear();
    converter->Command4->click();
    const auto messages = ui->requestsOf(UiRequest::Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, text);
    EXPECT_EQ(messages[0].title, title);
  }
  static std::string Data(const std::string& name) {
    return ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/" + name);
  }

  test::TempDir library;
};

TEST_F(BatchConverter, AddChooseRunAndTheWindowLeftEmpty) {
  const std::string a = library.write("a.pz2", Data("reader/props_first.pz2"));
  const std::string b = library.write("b.pz2", Data("writer/round_trip/input.pz2"));
  const std::string c = library.write("c.lt2", Data("reader/light.lt2"));
  const std::string figure = library.write("figure.cr2", Data("reader/figure_props.cr2"));
  const std::string bOld = ReadFileBytes(b);
  gSettings.PZ2 = library.path();

  FrmBatchConverter* converter = Open();
  ASSERT_NE(converter, nullptr);
  EXPECT_EQ(converter->windowTitle(), "P4 <-> P5 batch converter");
  EXPECT_TRUE(converter->Option[0]->isChecked());
  for (QWidget* w :
       std::initializer_list<QWidget*>{converter->Command2, converter->Command3, converter->Command4,
                                       converter->Option[0], converter->Option[3]})
    EXPECT_FALSE(w->isEnabled());
  EXPECT_TRUE(converter->Command1->isEnabled() && converter->Command5->isEnabled());
  EXPECT_EQ(Open(), converter);  // one at a time

  // The dialog: a character file is refused, the others are added.
  ui->AnswerOpenFiles({a, figure, b});
  converter->Command1->click();
  const auto dialogs = ui->requestsOf(UiRequest::Open);
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].dialog.filter, "Pose files|*.pz2;*.cm2;*.lt2;*.hd2;*.fc2|All files|*.*");
  EXPECT_EQ(dialogs[0].dialog.initDir, library.path());
  EXPECT_TRUE(dialogs[0].dialog.flags & kOfnAllowMultiSelect);
  ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message)[0].text,
            "File " + figure + "\r\nis not a pose file and cannot be converted");
  // A drop adds c; a dropped duplicate is refused with its message, a dropped folder as a folder.
  Drop(converter, {c});
  Drop(converter, {a});
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).back().title, "Duplicate file");
  const std::string folder = library.mkdir("Poses.pz2");
  Drop(converter, {folder});
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).back().text,
            folder + "\r\nis a folder, not a pose file, and cannot be converted");
  ASSERT_EQ(converter->ListView1->topLevelItemCount(), 3);
  EXPECT_EQ(converter->ListView1->headerItem()->text(0), "File name");
  EXPECT_EQ(converter->ListView1->headerItem()->text(1), "Operation");
  EXPECT_TRUE(converter->Command4->isEnabled() && converter->Option[3]->isEnabled());

  // b is copied in Poser 4 format, c converted in place to Poser 4; the
  // Poser 4 option selected at the run asks nothing about partial materials.
  Select(converter, {1});
  // A click on the option's label chooses it, as on its button.
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent click(type, QPointF(2, 2), converter->lblOption[3]->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(converter->lblOption[3], &click);
  }
  EXPECT_TRUE(converter->Option[3]->isChecked());
  Select(converter, {2});
  converter->Option[1]->click();
  EXPECT_EQ(converter->ListView1->topLevelItem(0)->text(1), "Convert into P5 format");
  EXPECT_EQ(converter->ListView1->topLevelItem(1)->text(1), "Save a copy in P4 format");
  // The reads of a run report to a host that shows nothing: the window's
  // progress window is never made.
  int progressWindows = 0;
  window->MakeProgressHost = [&progressWindows]() -> std::unique_ptr<Host> {
    ++progressWindows;
    return std::make_unique<QuietHost>();
  };
  Run(converter, "Batch operations completed successfully.", "Job finished");
  EXPECT_EQ(progressWindows, 0);
  window->MakeProgressHost = nullptr;
  EXPECT_NE(ReadFileBytes(a).find("shaderTree"), std::string::npos);  // now Poser 5
  EXPECT_EQ(ReadFileBytes(b), bOld);
  EXPECT_TRUE(FileExists(library.file("b_P4.pz2")));
  EXPECT_EQ(ReadFileBytes(library.file("b_P4.pz2")).find("shaderTree"), std::string::npos);
  // The main window holds no document; the converter keeps its list.
  EXPECT_EQ(window->windowTitle(), "Vandrel");
  EXPECT_TRUE(window->chkNoMaterialData->isChecked() && !window->chkNoMaterialData->isEnabled());
  EXPECT_TRUE(window->chkChannels->isChecked() && !window->chkChannels->isEnabled());
  EXPECT_EQ(window->materials->cmbFigures->count(), 0);
  EXPECT_EQ(window->materials->lstMaterials->count(), 0);
  EXPECT_FALSE(window->mnuFileInfo->isEnabled());
  EXPECT_FALSE(window->IsBusy());
  EXPECT_TRUE(gDlg.FileName.empty());
  EXPECT_FALSE(window->BatchRun());
  EXPECT_EQ(converter->list().items().size(), 3u);

  // A read-only file stops the run there: it and the files after it stay.
  ASSERT_EQ(::chmod(a.c_str(), 0444), 0);
  const std::string aNow = ReadFileBytes(a), cNow = ReadFileBytes(c);
  Select(converter, {0, 1, 2});
  converter->Option[1]->click();
  Run(converter, "Could not complete requested operation for " + a + "\r\nBatch operations aborted.",
      "Error");
  EXPECT_EQ(ReadFileBytes(a), aNow);
  EXPECT_EQ(ReadFileBytes(c), cNow);
  EXPECT_FALSE(window->BatchRun());

  // Removing a later row keeps the rows above it. A file without materials
  // is converted under a Poser 5 option without the partial-materials question.
  const std::string camera = library.write("camera.cm2", Data("reader/camera.cm2"));
  Empty(converter);
  Drop(converter, {camera, c});
  Select(converter, {1});
  converter->Command2->click();
  ASSERT_EQ(converter->ListView1->topLevelItemCount(), 1);
  EXPECT_EQ(converter->ListView1->topLevelItem(0)->text(0).toStdString(), camera);
  EXPECT_EQ(converter->ListView1->topLevelItem(0)->text(1), "Convert into P5 format");
  Select(converter, {0});
  converter->Option[0]->click();
  Run(converter, "Batch operations completed successfully.", "Job finished");

  // A file that is not Poser text is a file that could not be read: no
  // question about it first, and it stays as it was.
  const std::string packed = library.write("packed.pz2", std::string("\x1f\x8b\x08\x00\x00", 5) + "rest");
  Empty(converter);
  Drop(converter, {packed});
  Select(converter, {0});
  converter->Option[1]->click();
  Run(converter, "Could not complete requested operation for " + packed + "\r\nBatch operations aborted.",
      "Error");
  EXPECT_EQ(ReadFileBytes(packed), std::string("\x1f\x8b\x08\x00\x00", 5) + "rest");

  // Removing every file disables all but Add and Cancel; Esc closes.
  Empty(converter);
  EXPECT_EQ(converter->ListView1->topLevelItemCount(), 0);
  EXPECT_FALSE(converter->Command4->isEnabled() || converter->Option[0]->isEnabled());
  QPointer<FrmBatchConverter> alive = converter;
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(converter, &esc);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull());
}

// The converter is a tool window of the main window, kept above it, and its
// dialog and messages are its own: each comes up over the converter, which
// is where the window system returns when they close.
TEST_F(BatchConverter, StaysAboveTheMainWindowAndOwnsItsDialogsAndMessages) {
  const std::string a = library.write("a.pz2", Data("reader/props_first.pz2"));
  gSettings.PZ2 = library.path();
  window->show();
  FrmBatchConverter* converter = Open();
  ASSERT_NE(converter, nullptr);
  EXPECT_EQ(converter->windowType(), Qt::Tool);  // what X11 keeps above its parent
  ASSERT_NE(converter->windowHandle(), nullptr);
  EXPECT_EQ(converter->windowHandle()->transientParent(), window->windowHandle());

  QtUi real(window.get());
  UiServices* scripted = SetUi(&real);
  // Answers the next dialog or box once it is up, noting whose it is and
  // what it says.
  std::vector<std::pair<QWidget*, QString>> shown;
  const auto answer = [&](std::function<void(QWidget*)> act) {
    auto* poll = new QTimer(converter);
    QObject::connect(poll, &QTimer::timeout, [poll, act, &shown] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      poll->stop();
      poll->deleteLater();
      auto* box = qobject_cast<QMessageBox*>(modal);
      // A disabled box takes no answer from the user.
      shown.emplace_back(modal->isEnabled() ? modal->parentWidget() : nullptr, box ? box->text() : QString());
      act(modal);
    });
    poll->start(10);
  };
  const auto ok = [](QWidget* box) { static_cast<QDialog*>(box)->accept(); };
  answer([&a](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    ASSERT_NE(files, nullptr);
    files->selectFile(QString::fromStdString(a));
    static_cast<QDialog*>(files)->accept();  // QFileDialog hides it, QDialog does not
  });
  converter->Command1->click();
  answer(ok);  // "Duplicate file"
  Drop(converter, {a});
  Select(converter, {0});
  converter->Option[1]->click();
  answer(ok);  // "Job finished"
  converter->Command4->click();
  SetUi(scripted);

  ASSERT_EQ(shown.size(), 3u);
  for (const auto& [owner, text] : shown) EXPECT_EQ(owner, converter) << text.toStdString();
  EXPECT_EQ(shown[1].second, QString::fromStdString("File " + a + "\nis already in the list"));
  EXPECT_EQ(shown[2].second, "Batch operations completed successfully.");
  EXPECT_EQ(converter->list().items().size(), 1u);
}

// A Poser 4 pose converted to Poser 5 and back gives the Poser 4 output of
// the original, byte for byte, with either line ending.
TEST_F(BatchConverter, Poser5AndBackGivesThePoser4OutputOfTheOriginal) {
  std::vector<std::string> originals;
  for (const fs::path& root : {fs::path(VANDREL_TEST_DATA), fs::path(VANDREL_TEST_DATA) / "../../examples"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      const std::string path = entry.path().string();
      if (!entry.is_regular_file() || !IsPoseTypeFile(path)) continue;
      const std::string text = ReadFileBytes(path);
      // Each read lists props in reverse file order, so files with several props are left out.
      std::size_t props = 0;
      for (std::size_t at = text.find("\nprop "); at != std::string::npos; at = text.find("\nprop ", at + 1))
        ++props;
      if (props > 1 || text.find("material ") == std::string::npos) continue;
      const std::string name = std::to_string(originals.size()) + "-" + entry.path().filename().string();
      originals.push_back(library.write(name, text));
    }
  }
  ASSERT_GE(originals.size(), 8u);

  FrmBatchConverter* converter = Open();
  ASSERT_NE(converter, nullptr);
  for (const int lineEnding : {0, 1}) {
    window->optFileSystem[lineEnding]->click();
    // First the Poser 5 copies (the run started under a Poser 4 option: no questions).
    Empty(converter);
    Drop(converter, originals);
    converter->Command3->click();
    converter->Option[2]->click();
    converter->ListView1->clearSelection();
    converter->Option[3]->click();
    converter->Command4->click();
    // Then Poser 4 copies of the originals and of their Poser 5 copies.
    Empty(converter);
    std::vector<std::string> again = originals;
    for (const std::string& o : originals) again.push_back(BatchCopyPath(o, true));
    Drop(converter, again);
    converter->Command3->click();
    converter->Option[3]->click();
    Run(converter, "Batch operations completed successfully.", "Job finished");
    if (HasFailure()) return;
    for (const std::string& o : originals) {
      const std::string direct = ReadFileBytes(BatchCopyPath(o, false));
      ASSERT_FALSE(direct.empty()) << o;
      EXPECT_EQ(ReadFileBytes(BatchCopyPath(BatchCopyPath(o, true), false)), direct)
          << o << " ending " << lineEnding;
      EXPECT_EQ(direct.find('\n') != std::string::npos, lineEnding == 0) << o;  // CR LF or a lone CR
    }
  }
}

}  // namespace
}  // namespace vandrel
