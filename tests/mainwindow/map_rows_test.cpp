// The four map rows of the Materials pane driven as a user does: browse,
// type and apply, drop, "No Map" and "Open", then the saved pose.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <filesystem>

#include "common/text.h"
#include "mainwindow/materials_pane.h"
#include "mainwindow/window_fixture.h"
#include "platform/files.h"

namespace vandrel {
namespace {

class MapRows : public test::WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    gSettings.Poser = poser.path() + "/Poser";
    gSettings.MainThumb = true;
    gSettings.Map = poser.file("Maps");
    skin = poser.file("Poser/Runtime/Textures/Vandrel/Skin.jpg");
    std::filesystem::create_directories(FolderOf(skin));
    QImage picture(32, 16, QImage::Format_RGB32);
    picture.fill(Qt::darkRed);
    ASSERT_TRUE(picture.save(QString::fromStdString(skin), "JPEG"));
    ui->AnswerOpen(std::string(VANDREL_TEST_DATA) + "/maps/three_skins.pz2");
    window->mnuOpenPZ2_Click();
    ASSERT_FALSE(gState.ReadError);
    ui->clear();
  }
  void Press(int index) {
    QPushButton* button = Control<QPushButton>(QString("cmd(%1)").arg(index).toUtf8().constData());
    ASSERT_TRUE(button && button->isEnabled()) << index;
    button->click();
  }
  QLineEdit* Box(int index) { return Control<QLineEdit>(QString("TXT(%1)").arg(index).toUtf8().constData()); }
  std::vector<std::string> Maps(CompactText MaterialRec::*field) const {
    std::vector<std::string> paths;
    for (const MaterialRec& m : gObjects[0].Materials) paths.push_back((m.*field).str());
    return paths;
  }
  void Drop(QLineEdit* box, QMimeData* data) {
    // A drop reaches the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);
  }
  bool Red(QLineEdit* box) { return box->palette().color(QPalette::Text) == QColor(255, 0, 0); }

  test::TempDir poser;
  std::string skin;
};

TEST_F(MapRows, EveryRowWritesTheSelectedMaterialsAndTheSavedPoseAndNothingSelectedChangesNoMap) {
  MaterialsPane& pane = *window->materials;
  pane.lstMaterials->item(0)->setSelected(true);
  pane.lstMaterials->item(2)->setSelected(true);
  gState.Dirty = false;

  // "..." on the texture row: the documented dialog, a colon path for both materials.
  ui->AnswerOpen(LCase(skin));  // typed in any case, it is stored as the file is named
  Press(10);
  const auto open = ui->requestsOf(UiRequest::Open);
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].dialog.title, "Load Texture Map");
  EXPECT_EQ(open[0].dialog.defaultExt, "jpg");
  EXPECT_EQ(open[0].dialog.filter,
            "All image files|*.jpg;*.tif;*.bmp;*.psd;*.bum|JPG Image|*.jpg|TIF Image|*.tif|BMP Image|*.bmp|"
            "PSD Image|*.psd|BUM Image|*.bum|All files|*.*");
  EXPECT_EQ(open[0].dialog.flags, 6148);
  EXPECT_EQ(open[0].dialog.initDir, gSettings.Map);
  EXPECT_EQ(Maps(&MaterialRec::TextureMap),
            (std::vector<std::string>{":Runtime:Textures:Vandrel:Skin.jpg", "NO_MAP",
                                      ":Runtime:Textures:Vandrel:Skin.jpg"}));
  EXPECT_EQ(Box(8)->text(), ":Runtime:Textures:Vandrel:Skin.jpg");
  EXPECT_EQ(gState.LastMapFolder, FolderOf(skin));
  EXPECT_TRUE(gState.Dirty);
  EXPECT_TRUE(pane.imgThumb[0]->isEnabled());
  EXPECT_FALSE(pane.imgThumb[0]->pixmap().isNull());

  // A cancelled "..." on the bump row changes nothing; the next one starts in the last folder.
  ui->CancelFileDialog();
  Press(11);
  EXPECT_EQ(ui->requestsOf(UiRequest::Open).back().dialog.initDir, FolderOf(skin));
  EXPECT_EQ(ui->requestsOf(UiRequest::Open).back().dialog.defaultExt, "bum");
  EXPECT_EQ(Maps(&MaterialRec::BumpMap), (std::vector<std::string>(3, "NO_MAP")));

  // A typed full path becomes the colon path; with "Use full map paths" it stays full.
  Box(10)->setText(QString::fromStdString(skin));
  Press(20);
  EXPECT_EQ(Box(10)->text(), ":Runtime:Textures:Vandrel:Skin.jpg");
  pane.chkTexture->setChecked(true);
  Box(9)->setText(QString::fromStdString(LCase(skin)));
  Press(19);
  EXPECT_EQ(Maps(&MaterialRec::BumpMap), (std::vector<std::string>{skin, "NO_MAP", skin}));
  pane.chkTexture->setChecked(false);

  // A missing file is stored and shown red, and black once it is there.
  const std::string late = poser.file("Poser/Runtime/Textures/Late.jpg");
  Box(11)->setText(":late.jpg");
  Press(21);
  EXPECT_EQ(Maps(&MaterialRec::TransparencyMap)[2], ":late.jpg");
  EXPECT_TRUE(Red(Box(11)));
  std::filesystem::copy_file(skin, late);
  Press(21);
  EXPECT_FALSE(Red(Box(11)));

  // A path holding a line break is refused.
  Box(11)->setText(":a.jpg\n:b.jpg");
  Press(21);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).back().text, "A map path cannot hold a line break.");
  EXPECT_EQ(Maps(&MaterialRec::TransparencyMap)[0], ":late.jpg");

  // "Open" reports the opener's result and changes nothing.
  gState.Dirty = false;
  ui->AnswerShell(ShellResult::NoAssociation);
  Press(6);
  EXPECT_EQ(ui->requestsOf(UiRequest::Shell).back().text, skin);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).back().text, "No association for file extension");
  EXPECT_FALSE(gState.Dirty);

  // "No Map" on the reflection row.
  Press(4);
  EXPECT_EQ(Maps(&MaterialRec::ReflectionMap), (std::vector<std::string>(3, "NO_MAP")));
  EXPECT_EQ(Box(10)->text(), "NO_MAP");
  EXPECT_TRUE(gState.Dirty);

  // Two files dropped on the bump box: the first is applied; text alone is not a file.
  QMimeData files, text;
  files.setUrls(
      {QUrl::fromLocalFile(QString::fromStdString(late)), QUrl::fromLocalFile(QString::fromStdString(skin))});
  Drop(Box(9), &files);
  EXPECT_EQ(Maps(&MaterialRec::BumpMap),
            (std::vector<std::string>{":Runtime:Textures:Late.jpg", "NO_MAP", ":Runtime:Textures:Late.jpg"}));
  text.setText("https://example.org/x.jpg");
  Drop(Box(9), &text);
  EXPECT_EQ(Box(9)->text(), ":Runtime:Textures:Late.jpg");

  const std::string saved = program.file("Saved.pz2");
  ui->AnswerSave(saved);
  ASSERT_TRUE(window->mnuSaveAs_Click());
  const std::string bytes = ReadWholeFile(saved).value_or("");
  EXPECT_NE(bytes.find(":Runtime:Textures:Vandrel:Skin.jpg"), std::string::npos);
  EXPECT_NE(bytes.find(":Runtime:Textures:Late.jpg"), std::string::npos);
  EXPECT_NE(bytes.find(":late.jpg"), std::string::npos);
  EXPECT_EQ(bytes.find("a.jpg"), std::string::npos);
  // The Lips material, never selected, kept every map.
  const MaterialRec& lips = gObjects[0].Materials[1];
  for (const CompactText* map : {&lips.TextureMap, &lips.BumpMap, &lips.ReflectionMap, &lips.TransparencyMap})
    EXPECT_EQ(*map, "NO_MAP");

  // With nothing selected only browsing marks the document, and no map changes
  // (the file offered is not the one the rows hold).
  pane.lstMaterials->clearSelection();
  gState.Dirty = false;
  gState.LastMapFolder.clear();
  const std::vector<std::string> textures = Maps(&MaterialRec::TextureMap);
  Press(2);
  Box(8)->setText(QString::fromStdString(late));
  Press(18);
  EXPECT_FALSE(gState.Dirty);
  // With MapThumb the dialog is the shared one with its preview ticked, at 200, 200.
  gSettings.MapThumb = true;
  ui->AnswerOpen(late);
  Press(10);
  const UiRequest thumb = ui->requestsOf(UiRequest::Open).back();
  EXPECT_TRUE(thumb.dialog.previewPane && thumb.dialog.preview);
  EXPECT_EQ(QPoint(thumb.dialog.left, thumb.dialog.top), QPoint(200, 200));
  EXPECT_EQ(thumb.dialog.title, "Load Texture Map");
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(gState.LastMapFolder, FolderOf(late));
  EXPECT_EQ(Maps(&MaterialRec::TextureMap), textures);
}

}  // namespace
}  // namespace vandrel
