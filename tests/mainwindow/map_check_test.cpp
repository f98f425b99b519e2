// Finding missing maps in the main window: a file whose maps name another
// drive and other folders opens with AutoCorrect on and is repaired; a
// second run finds the same maps through the cache files without a scan.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <filesystem>

#include "maps/picture_sizes.h"
#include "maps/poser_paths.h"
#include "maps/qt/thumbnails.h"
#include "platform/files.h"
#include "platform/qt/thumbnail_picture.h"
#include "mainwindow/controls.h"
#include "mainwindow/materials_pane.h"
#include "model/model.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace vandrel::test {
namespace {

class MapCheckTest : public WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    poser = tree.mkdir("Poser 5");
    textures = tree.mkdir("Poser 5/Runtime/Textures");
    for (const char* file : {"Props/Lamps/SHADE.JPG", "People/Vandrel/Skin.JPG", "People/Vandrel/Skin.BUM",
                             "People/Vandrel/Eyes.jpg", "People/Other/darkskin.jpg"})
      tree.write(std::string("Poser 5/Runtime/Textures/") + file, "x");
    source = program.write("travel.pz2", ReadFileBytes(VANDREL_TEST_DATA "/maps/travel.pz2"));
  }
  // A run of the program: the model as start-up leaves it, the preferences read.
  void NewRun() {
    window.reset();
    ResetModel();
    ui->clear();
    gSettings.Poser = poser;
    gSettings.AutoCorrect = true;
    window = std::make_unique<FrmMain>();
  }
  std::string SaveAs(const std::string& name) {
    const std::string path = program.file(name);
    ui->AnswerSave(path);
    Trigger("mnuSaveAs");
    return ReadFileBytes(path);
  }
  TempDir tree;
  std::string poser, textures, source;
};

// Records what long operations show in the progress window.
class ProgressRecord : public UiHost {
 public:
  explicit ProgressRecord(std::vector<std::string>& shown) : shown_(shown) {}
  void SetStage(const std::string& text) override { shown_.push_back(text); }
  void SetRange(long long max) override { shown_.push_back("range " + std::to_string(max)); }

 private:
  std::vector<std::string>& shown_;
};

TEST_F(MapCheckTest, AFileFromAnotherMachineIsRepairedOnOpenAndTheNextRunUsesTheCache) {
  NewRun();
  std::vector<std::string> shown;
  window->MakeProgressHost = [&shown] { return std::make_unique<ProgressRecord>(shown); };
  ui->AnswerFolder(textures);  // "Look for skin.jpg in:" (a reference on another drive)
  window->Form_OLEDragDrop(source);
  const auto folders = ui->requestsOf(UiRequest::Folder);
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_EQ(folders[0].title, "Look for skin.jpg in:");
  EXPECT_EQ(folders[0].startFolder, textures);
  EXPECT_TRUE(gState.Dirty);
  // Two objects, four buttons each; the scan's wait window, then the check goes on.
  const std::vector<std::string> check(std::find(shown.begin(), shown.end(), "Checking map references..."), shown.end());
  EXPECT_EQ(check, (std::vector<std::string>{"Checking map references...", "range 8", "range 0", "Scanning folders...",
                                             "Checking map references...", "range 8"}));
  // The first object is shown at the end, its map in the stored form.
  EXPECT_EQ(window->materials->cmbFigures->currentIndex(), 0);
  EXPECT_EQ(window->materials->TXT[8]->text().toStdString(), ":Runtime:Textures:People:Vandrel:Skin.JPG");

  const std::string saved = SaveAs("first.pz2");
  for (const char* line : {"textureMap \":Runtime:Textures:Props:Lamps:SHADE.JPG\"",
                           "textureMap \":Runtime:Textures:People:Vandrel:Skin.JPG\"",
                           "bumpMap \":Runtime:Textures:People:Vandrel:Skin.BUM\"",
                           "textureMap \":Runtime:Textures:People:Vandrel:Eyes.jpg\"",
                           "transparencyMap \":Runtime:Textures:People:Vandrel:Skin.JPG\""})
    EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
  EXPECT_EQ(saved.find("D:\\"), std::string::npos);
  EXPECT_EQ(saved.find("darkskin"), std::string::npos);
  EXPECT_NE(ReadFileBytes(program.file("Cache/bums.txt")).find("Skin.BUM\r\n*" + textures + "/People/Vandrel\r\n"),
            std::string::npos);

  // The next run: the cache files know every map, nothing is asked or scanned.
  NewRun();
  tree.write("Poser 5/Runtime/Textures/Late/shade.jpg", "x");  // a scan would offer it too
  window->Form_OLEDragDrop(source);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Folder).empty());
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
  EXPECT_EQ(SaveAs("second.pz2"), saved);

  // A file whose maps are all fine ends its load unchanged.
  window->Form_OLEDragDrop(program.file("second.pz2"));
  EXPECT_FALSE(gState.Dirty);

  // Fix with "Use full map paths": the selected materials' maps become full paths.
  MaterialsPane& pane = *window->materials;
  controls::setChecked(pane.chkTexture, true);
  pane.CMD_Click(0);
  pane.cmd[26]->click();
  EXPECT_EQ(gObjects[0].Materials[0].BumpMap, textures + "/People/Vandrel/Skin.BUM");
  EXPECT_EQ(pane.TXT[9]->text().toStdString(), textures + "/People/Vandrel/Skin.BUM");
  EXPECT_EQ(gObjects[0].Materials[1].BumpMap, "NO_MAP");
  EXPECT_TRUE(gState.Dirty);
}

TEST_F(MapCheckTest, EveryMapBelowThePoserFolderIsSavedAsAPathThatNamesIt) {
  // Maps in the texture folder, in a Downloads tree of its own, and in the
  // Poser folder itself; one found through the folder question.
  const std::string files[] = {
      textures + "/People/Vandrel/Skin.JPG",
      tree.write("Poser 5/Downloads/Runtime/Textures/Shirt.jpg", "x"),
      tree.write("Poser 5/Downloads/tex/shirt.jpg", "x"),
      tree.write("Poser 5/cover.jpg", "x"),
      tree.write("Poser 5/poster.jpg", "x"),
  };
  const std::string refs[] = {files[0], files[1], files[2], files[3], "D:\\Stuff\\poster.jpg"};
  std::string pose = "{\r\nversion\r\n\t{\r\n\tnumber 4.01\r\n\t}\r\nfigure\r\n\t{\r\n";
  for (int i = 0; i < 5; ++i)
    pose += "\tmaterial M" + std::to_string(i) + "\r\n\t\t{\r\n\t\tKdColor 1 1 1 1\r\n\t\ttextureMap \"" + refs[i] +
            "\"\r\n\t\t}\r\n";
  pose += "\t}\r\n}\r\n";
  const std::string source = program.write("downloads.pz2", pose);

  NewRun();
  ui->AnswerFolder(poser);  // "Look for poster.jpg in:"
  window->Form_OLEDragDrop(source);
  ASSERT_EQ(ui->requestsOf(UiRequest::Folder).size(), 1u);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(PoserPathToFilePath(gObjects[0].Materials[static_cast<std::size_t>(i)].TextureMap), files[i]) << i;
  EXPECT_EQ(gObjects[0].Materials[0].TextureMap, ":Runtime:Textures:People:Vandrel:Skin.JPG");
  const std::string saved = SaveAs("saved.pz2");
  for (int i = 1; i < 5; ++i) EXPECT_NE(saved.find("textureMap \"" + files[i] + "\""), std::string::npos) << saved;

  // Reopened: every map names its file, shown black.
  NewRun();
  window->Form_OLEDragDrop(program.file("saved.pz2"));
  EXPECT_FALSE(gState.Dirty);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Folder).empty());
  MaterialsPane& pane = *window->materials;
  for (int i = 0; i < 5; ++i) {
    pane.lstMaterials->clearSelection();
    pane.lstMaterials->item(i)->setSelected(true);
    EXPECT_EQ(PoserPathToFilePath(pane.TXT[8]->text().toStdString()), files[i]) << i;
    EXPECT_EQ(pane.TXT[8]->palette().color(QPalette::Text), QColor(0, 0, 0)) << i;
  }
  // "..." picking a file of the Downloads tree keeps its full path too.
  ui->AnswerOpen(files[2]);
  pane.cmd[10]->click();
  EXPECT_EQ(pane.TXT[8]->text().toStdString(), files[2]);
}

// With the thumbnails on, the check goes on while the pictures it found are
// made: it ends with a large map still on its way, its box showing
// "Loading", and the picture replaces it when it comes. A map found in a
// folder whose name is not valid UTF-8 is shown and opened by that name.
TEST_F(MapCheckTest, TheCheckNeverWaitsForThePicturesItFinds) {
  QImage big(4096, 4096, QImage::Format_RGB32);
  big.fill(0xFFD02010);
  const std::string bigFile = tree.file("Poser 5/Runtime/Textures/New/Big.png");
  std::filesystem::create_directories(FolderOf(bigFile));
  ASSERT_TRUE(big.save(QString::fromStdString(bigFile), "PNG"));
  const std::string latin = tree.file("Poser 5/Runtime/Textures/Caf\xe9/Small.jpg");
  std::filesystem::create_directories(FolderOf(latin));
  ASSERT_TRUE(big.scaled(64, 32).save(QString::fromStdString(tree.file("small.jpg")), "JPEG"));
  std::filesystem::rename(tree.file("small.jpg"), latin);
  std::string pose = "{\r\nversion\r\n\t{\r\n\tnumber 4.01\r\n\t}\r\nfigure\r\n\t{\r\n";
  for (const char* map : {"Big.png", "Small.jpg"})
    pose += std::string("\tmaterial M\r\n\t\t{\r\n\t\tKdColor 1 1 1 1\r\n\t\ttextureMap \":Runtime:Textures:Old:") + map +
            "\"\r\n\t\t}\r\n";
  pose += "\t}\r\n}\r\n";
  const std::string file = program.write("moved.pz2", pose);

  NewRun();
  gSettings.MainThumb = true;
  window->Form_OLEDragDrop(file);
  MaterialsPane& pane = *window->materials;
  ASSERT_EQ(gObjects[0].Materials.size(), 2u);
  EXPECT_EQ(PoserPathToFilePath(gObjects[0].Materials[0].TextureMap), bigFile);
  EXPECT_EQ(PoserPathToFilePath(gObjects[0].Materials[1].TextureMap), latin);
  EXPECT_TRUE(ThumbnailPending(bigFile));
  pane.lstMaterials->clearSelection();
  pane.lstMaterials->item(0)->setSelected(true);
  QLabel stock;
  ShowLoadingPicture(&stock);
  const QImage loading = stock.pixmap().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(pane.imgThumb[0]->pixmap().toImage().convertToFormat(QImage::Format_RGB32), loading);
  EXPECT_TRUE(pane.imgThumb[0]->isEnabled());

  QElapsedTimer timer;
  timer.start();
  while (ThumbnailPending(bigFile) && timer.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  ASSERT_FALSE(ThumbnailPending(bigFile));
  QCoreApplication::processEvents();
  const QImage shown = pane.imgThumb[0]->pixmap().toImage();
  EXPECT_EQ(shown.pixel(46, 46), ToQImage(*MapThumbnail(gObjects[0].Materials[0].TextureMap)).pixel(46, 46));
  EXPECT_NE(shown.convertToFormat(QImage::Format_RGB32), loading);
  EXPECT_EQ(PictureSizeOf(bigFile), "4096 X 4096");

  pane.lstMaterials->clearSelection();
  pane.lstMaterials->item(1)->setSelected(true);
  EXPECT_FALSE(pane.imgThumb[0]->pixmap().isNull());
  EXPECT_EQ(pane.TXT[8]->palette().color(QPalette::Text), QColor(0, 0, 0));
  pane.cmd[6]->click();  // Open
  const auto opened = ui->requestsOf(UiRequest::Shell);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].text, latin);
  const std::string saved = SaveAs("fixed.pz2");
  EXPECT_NE(saved.find(":Runtime:Textures:New:Big.png"), std::string::npos) << saved;
}

}  // namespace
}  // namespace vandrel::test
