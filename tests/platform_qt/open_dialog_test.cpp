// The real open dialog, shown offscreen: its preview follows the selection.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/qt_app.h"
#include "platform/cdlg_ex.h"
#include "platform/dialog_preview.h"
#include "platform/qt/qt_ui.h"
#include "platform/scoped_env.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::App;

// Lets events run until `done` holds or two seconds have passed.
bool WaitFor(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > 2000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

std::string WritePicture(const test::TempDir& dir, const char* name, int w, int h, QColor color,
                         const char* format = nullptr) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  const std::string path = dir.file(name);
  EXPECT_TRUE(image.save(QString::fromStdString(path), format));
  return path;
}

bool Near(QRgb pixel, QColor want) {
  return std::abs(qRed(pixel) - want.red()) < 12 && std::abs(qGreen(pixel) - want.green()) < 12 &&
         std::abs(qBlue(pixel) - want.blue()) < 12;
}

// Runs `inDialog` with the open dialog once it is up, then makes sure it closes.
void WhileDialogIsOpen(const std::function<void(QFileDialog*)>& inDialog) {
  QTimer::singleShot(0, [inDialog] {
    QPointer<QFileDialog> dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    inDialog(dialog);
    if (dialog && dialog->isVisible()) dialog->reject();
  });
}

class OpenDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    previous_ = SetUi(&ui_);
    gDlg = CdlgEx();
    gDlg.DialogTitle = "Open Character file";
    gDlg.Filter = "All files|*.*";
    gDlg.InitDir = dir.path();
    gDlg.flags = kOfnOpenDefault;
    gDlg.CancelError = true;
    gDlg.Left = 200;
    gDlg.Top = 200;
    gDlg.PreviewOn = true;
    gDlgSelectedFile.clear();
  }
  void TearDown() override {
    SetUi(previous_);
    gDlg = CdlgEx();
  }

  // Selects `path` as a typed name does, and waits for the dialog to take it.
  static bool Select(QFileDialog* dialog, const std::string& path) {
    // A name is put into the name box only while that box has no focus.
    if (auto* list = dialog->findChild<QListView*>("listView")) list->setFocus();
    dialog->selectFile(QString::fromStdString(path));
    return WaitFor([&] { return gDlgSelectedFile == path; });
  }

  test::TempDir dir;
  QtUi ui_;
  UiServices* previous_ = nullptr;
};

TEST_F(OpenDialog, PreviewFollowsTheSelection) {
  const std::string red = WritePicture(dir, "wide.png", 40, 20, Qt::red);
  const std::string blue = WritePicture(dir, "rock.bum", 10, 30, Qt::blue, "BMP");
  WritePicture(dir, "Figure.png", 30, 30, Qt::green);
  const std::string figure = dir.write("Figure.cr2", "{\n}\n");
  const std::string lonely = dir.write("Lonely.cr2", "{\n}\n");
  const std::string folder = dir.mkdir("textures");

  bool ran = false;
  WhileDialogIsOpen([&](QFileDialog* dialog) {
    ran = true;
    auto* picture = dialog->findChild<QLabel*>("Picture1(1)");
    auto* check = dialog->findChild<QCheckBox*>("chkPreview(1)");
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(picture->size(), QSize(95, 95));
    EXPECT_EQ(check->height(), 20);
    EXPECT_GE(check->width(), 95);
    EXPECT_TRUE(picture->isVisible());
    EXPECT_EQ(dialog->pos(), QPoint(200, 200));
    EXPECT_EQ(gWorkingThumbnails.Count(), 1u);  // "NA" while the dialog is up
    EXPECT_TRUE(picture->pixmap().isNull());

    // The centre of what the box shows.
    auto centre = [&] { return picture->pixmap().toImage().pixel(45, 45); };

    ASSERT_TRUE(Select(dialog, red));
    ASSERT_FALSE(picture->pixmap().isNull());
    EXPECT_EQ(picture->pixmap().size(), QSize(kPreviewDrawSide, kPreviewDrawSide));
    EXPECT_TRUE(Near(centre(), Qt::red));
    // Letterboxed on black: a wide picture leaves the top rows black.
    EXPECT_TRUE(Near(picture->pixmap().toImage().pixel(45, 2), Qt::black));

    ASSERT_TRUE(Select(dialog, blue));
    EXPECT_TRUE(Near(centre(), Qt::blue));

    ASSERT_TRUE(Select(dialog, figure));
    EXPECT_TRUE(Near(centre(), Qt::green));

    ASSERT_TRUE(Select(dialog, lonely));
    const QImage na = picture->pixmap().toImage();
    EXPECT_FALSE(Near(na.pixel(20, 45), Qt::green));
    EXPECT_TRUE(Near(na.pixel(20, 45), QColor(0x60, 0x60, 0x60)));

    // A folder is recorded but leaves the picture as it was.
    ASSERT_TRUE(Select(dialog, folder));
    EXPECT_EQ(picture->pixmap().toImage(), na);

    // Unticked: the picture goes, and selections draw nothing.
    check->setChecked(false);
    EXPECT_TRUE(picture->pixmap().isNull());
    ASSERT_TRUE(Select(dialog, red));
    EXPECT_TRUE(picture->pixmap().isNull());

    // Ticked again: the next selection draws.
    check->setChecked(true);
    ASSERT_TRUE(Select(dialog, figure));
    EXPECT_TRUE(Near(centre(), Qt::green));
    EXPECT_GE(gWorkingThumbnails.Count(), 4u);
  });
  EXPECT_TRUE(gDlg.ShowOpen());  // rejected: cancelled
  EXPECT_TRUE(ran);
  EXPECT_EQ(gDlg.FileName, "");
  EXPECT_EQ(gWorkingThumbnails.Count(), 0u);
}

TEST_F(OpenDialog, ButtonCaptionsAndTheChosenFile) {
  const std::string red = WritePicture(dir, "skin.png", 8, 8, Qt::red);
  gDlg.OKText = "Load";
  gDlg.CancelText = "Leave";
  gDlg.PreviewOn = false;
  gDlg.Left = gDlg.Top = 0;
  WhileDialogIsOpen([&](QFileDialog* dialog) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QStringList texts;
    for (QAbstractButton* b : buttons->buttons()) texts << b->text().remove('&');
    EXPECT_TRUE(texts.contains("Load")) << texts.join(",").toStdString();
    EXPECT_TRUE(texts.contains("Leave")) << texts.join(",").toStdString();
    auto* check = dialog->findChild<QCheckBox*>("chkPreview(1)");
    ASSERT_NE(check, nullptr);
    EXPECT_FALSE(check->isChecked());
    ASSERT_TRUE(Select(dialog, red));
    EXPECT_TRUE(dialog->findChild<QLabel*>("Picture1(1)")->pixmap().isNull());
    for (QAbstractButton* b : buttons->buttons())
      if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole) b->click();
  });
  EXPECT_FALSE(gDlg.ShowOpen());
  EXPECT_EQ(gDlg.FileName, red);
  EXPECT_EQ(gDlg.FileTitle, "skin.png");
}

// With no folder known, every kind of dialog starts in the home folder.
TEST_F(OpenDialog, WithNoFolderKnownDialogsStartInTheHomeFolder) {
  test::TempDir home;
  test::ScopedEnv homeEnv("HOME", home.path());
  gDlg.InitDir.clear();
  FileDialogRequest save;
  save.filter = "All files|*.*";
  const std::function<void()> shows[] = {[] { gDlg.ShowOpen(); }, [] { gDlg.ShowSave(); },
                                         [&save] { Ui().ShowSave(save); }, [&save] { Ui().ShowOpen(save); }};
  for (const auto& show : shows) {
    QString shown;
    WhileDialogIsOpen([&](QFileDialog* dialog) { shown = dialog->directory().absolutePath(); });
    show();
    EXPECT_EQ(shown.toStdString(), home.path());
  }
  QString browsed;
  QTimer::singleShot(0, [&browsed] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      browsed = dialog->directory().absolutePath();
      dialog->reject();
    }
  });
  Ui().BrowseFolder("Folder", "");
  EXPECT_EQ(browsed.toStdString(), home.path());
}

TEST_F(OpenDialog, EndFileDialogCancelsADialogStillOpen) {
  EXPECT_FALSE(EndFileDialog());
  bool ended = false;
  WhileDialogIsOpen([&](QFileDialog*) { ended = EndFileDialog(); });
  EXPECT_TRUE(gDlg.ShowOpen());
  EXPECT_TRUE(ended);
  EXPECT_FALSE(EndFileDialog());
}

}  // namespace
}  // namespace vandrel
