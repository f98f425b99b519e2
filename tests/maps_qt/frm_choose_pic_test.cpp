// The map chooser driven as a user meets it: thumbnails, the info lines,
// "NO_MAP", the thumbnail switch, and OK as the only way to choose.
#include "maps/qt/frm_choose_pic.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "app/qt_app.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/qt/controls.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

std::string Info(const FrmChoosePic& w) { return w.txtMapInfo->toPlainText().toStdString(); }

TEST(FrmChoosePic, ShowsEachCandidateWithItsThumbnailAndInfoAndChoosesOnlyByOK) {
  test::App();
  ResetModel();
  test::TempDir tree;
  tree.mkdir("A"), tree.mkdir("B");
  const std::string a = tree.file("A/skin.jpg"), b = tree.file("B/Skin.jpg");
  QImage wide(200, 100, QImage::Format_RGB32);
  wide.fill(Qt::red);
  ASSERT_TRUE(wide.save(QString::fromStdString(a), "JPEG"));
  ASSERT_TRUE(wide.save(QString::fromStdString(b), "JPEG"));
  std::filesystem::resize_file(b, 1500000);  // a JPEG reader stops at its end marker
  gMapCandidates = {a, b, "NO_MAP/skin.jpg"};

  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  FrmChoosePic window(nullptr);
  EXPECT_EQ(window.windowTitle(), "Choose the right map file");
  for (const char* entry : {"skin.jpg 1", "skin.jpg 2", "NO_MAP"}) controls::addItem(window.cmbMaps, entry);
  window.RedimListed();
  controls::setListIndex(window.cmbMaps, 0);
  EXPECT_EQ(Info(window), "File Path: " + tree.file("A"));  // not ticked yet
  window.show();                                            // activated: the thumbnail switch ticks itself
  EXPECT_TRUE(window.chkThumbNail->isChecked());
  EXPECT_FALSE(window.imgMapThumb->pixmap().isNull());
  EXPECT_EQ(Info(window).substr(0, Info(window).find("\nCreated: ")),
            "File Path: " + tree.file("A") + "\nDimensions: 200 X 100 pixels\nSize: 0 MB");

  controls::setListIndex(window.cmbMaps, 1);
  const std::string info = Info(window);
  EXPECT_NE(info.find("\nSize: 1,5 MB\nCreated: "), std::string::npos) << info;
  EXPECT_TRUE(window.cmdOK->isEnabled());
  EXPECT_EQ(ImageList1(1).Count(), 2u);

  controls::setListIndex(window.cmbMaps, 2);
  EXPECT_EQ(Info(window), "File Path: NO_MAP");
  // Back to a file already shown: its thumbnail comes from the list, not read again.
  controls::setListIndex(window.cmbMaps, 0);
  EXPECT_EQ(ImageList1(1).Count(), 2u);
  EXPECT_NE(Info(window).find("Dimensions: 200 X 100 pixels"), std::string::npos);

  window.chkThumbNail->click();
  EXPECT_TRUE(window.imgMapThumb->pixmap().isNull());
  EXPECT_FALSE(window.imgMapThumb->isEnabled());
  controls::setListIndex(window.cmbMaps, 1);
  EXPECT_EQ(Info(window), "File Path: " + tree.file("B"));
  QLocale::setDefault(QLocale::c());

  window.close();  // the close box chooses nothing
  EXPECT_EQ(gChosenMapIndex, -1);
  EXPECT_EQ(ImageList1(1).Count(), 0u);
  EXPECT_EQ(gMapCandidates, std::vector<std::string>(1));

  // Modal: OK takes the entry chosen; Esc after choosing one takes none.
  for (const bool ok : {true, false}) {
    gMapCandidates = {a, b, "NO_MAP/skin.jpg"};
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&answer, ok] {
      auto* chooser = qobject_cast<FrmChoosePic*>(QApplication::activeModalWidget());
      if (!chooser) return;  // not up yet
      answer.stop();
      controls::setListIndex(chooser->cmbMaps, 2);
      if (ok) {
        chooser->cmdOK->click();
      } else {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(chooser, &esc);
      }
    });
    answer.start(5);
    EXPECT_EQ(ChooseMapFile(nullptr, {"skin.jpg 1", "skin.jpg 2", "NO_MAP"}), ok ? 2 : -1);
  }
  ResetModel();
}

}  // namespace
}  // namespace vandrel
