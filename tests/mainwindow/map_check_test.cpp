// Finding missing maps in the main window: a file whose maps name another
// drive and other folders opens with AutoCorrect on and is repaired; a
// second run finds the same maps through the cache files without a scan.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "mainwindow/materials_pane.h"
#include "maps/picture_sizes.h"
#include "maps/poser_paths.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/qt/controls.h"
#include "platform/qt/thumbnail_picture.h"
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
  const std::vector<std::string> check(std::find(shown.begin(), shown.end(), "Checking map references..."),
                                       shown.end());
  EXPECT_EQ(check,
            (std::vector<std::string>{"Checking map references...", "range 8", "range 0",
                                      "Scanning folders...", "Checking map references...", "range 8"}));
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
  EXPECT_NE(
      ReadFileBytes(program.file("Cache/bums.txt")).find("Skin.BUM\r\n*" + textures + "/People/Vandrel\r\n"),
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
    pose += "\tmaterial M" + std::to_string(i) + "\r\n\t\t{\r\n\t\tKdColor 1 1 1 1\r\n\t\ttextureMap \"" +
            refs[i] + "\"\r\n\t\t}\r\n";
  pose += "\t}\r\n}\r\n";
  const std::string source = program.write("downloads.pz2", pose);

  NewRun();
  ui->AnswerFolder(poser);  // "Look for poster.jpg in:"
  window->Form_OLEDragDrop(source);
  ASSERT_EQ(ui->requestsOf(UiRequest::Folder).size(), 1u);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(PoserPathToFilePath(gObjects[0].Materials[static_cast<std::size_t>(i)].TextureMap.str()),
              files[i])
        << i;
  EXPECT_EQ(gObjects[0].Materials[0].TextureMap, ":Runtime:Textures:People:Vandrel:Skin.JPG");
  const std::string saved = SaveAs("saved.pz2");
  for (int i = 1; i < 5; ++i)
    EXPECT_NE(saved.find("textureMap \"" + files[i] + "\""), std::string::npos) << saved;

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
    pose += std::string(
                "\tmaterial M\r\n\t\t{\r\n\t\tKdColor 1 1 1 1\r\n\t\ttextureMap \":Runtime:Textures:Old:") +
            map + "\"\r\n\t\t}\r\n";
  pose += "\t}\r\n}\r\n";
  const std::string file = program.write("moved.pz2", pose);

  NewRun();
  gSettings.MainThumb = true;
  window->Form_OLEDragDrop(file);
  MaterialsPane& pane = *window->materials;
  ASSERT_EQ(gObjects[0].Materials.size(), 2u);
  EXPECT_EQ(PoserPathToFilePath(gObjects[0].Materials[0].TextureMap.str()), bigFile);
  EXPECT_EQ(PoserPathToFilePath(gObjects[0].Materials[1].TextureMap.str()), latin);
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
  while (ThumbnailPending(bigFile) && timer.elapsed() < 60000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  ASSERT_FALSE(ThumbnailPending(bigFile));
  QCoreApplication::processEvents();
  const QImage shown = pane.imgThumb[0]->pixmap().toImage();
  EXPECT_EQ(shown.pixel(46, 46),
            ToQImage(*MapThumbnail(gObjects[0].Materials[0].TextureMap.str())).pixel(46, 46));
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

// Answers each map chooser that comes up with its entry `entry`, keeping the
// entries it offered.
class ChooserAnswers {
 public:
  explicit ChooserAnswers(int entry) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this, entry] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr || modal->objectName() != "frmChoosePic" || modal->property("answered").toBool())
        return;
      auto* ok = modal->findChild<QPushButton*>("cmdOK");
      if (!ok->isEnabled()) return;  // a thumbnail is loading
      modal->setProperty("answered", true);
      auto* maps = modal->findChild<QComboBox*>("cmbMaps");
      QStringList items;
      for (int i = 0; i < maps->count(); ++i) items << maps->itemText(i);
      offered.push_back(items);
      maps->setCurrentIndex(entry);
      ok->click();
    });
    timer_.start();
  }
  std::vector<QStringList> offered;

 private:
  QTimer timer_;
};

// A cache that cannot be written, or a cache file that cannot be read: one
// message for the whole check and one for a Fix click, and a name that the
// check's own scan found in two folders is offered in the chooser.
TEST_F(MapCheckTest, ABrokenCacheIsToldOncePerCheckOrClickAndTheScanItselfFeedsTheChooser) {
  const std::string lib = tree.mkdir("Downloads"), rocks = tree.mkdir("Rocks");
  tree.write("Downloads/A/face.jpg", "x");
  const std::string chosen = tree.write("Downloads/B/face.jpg", "x");
  const std::string rock = tree.write("Rocks/rock.jpg", "x");
  std::string pose = "{\r\nversion\r\n\t{\r\n\tnumber 4.01\r\n\t}\r\nfigure\r\n\t{\r\n";
  const char* refs[] = {"D:\\Old\\face.jpg", ":Runtime:Textures:Lost:shade.jpg", "E:\\Else\\rock.jpg",
                        ":Runtime:Textures:none.jpg"};
  for (int i = 0; i < 4; ++i)
    pose += "\tmaterial M" + std::to_string(i) + "\r\n\t\t{\r\n\t\tKdColor 1 1 1 1\r\n\t\ttextureMap \"" +
            refs[i] + "\"\r\n\t\t}\r\n";
  pose += "\t}\r\n}\r\n";
  const std::string source = program.write("three scans.pz2", pose);
  const auto cacheMessages = [&] {
    int n = 0;
    for (const UiRequest& r : ui->requestsOf(UiRequest::Message))
      n += r.text.find("map cache") != std::string::npos || r.text.find("FindFile") != std::string::npos;
    return n;
  };

  for (const bool unreadable : {false, true}) {
    SCOPED_TRACE(unreadable ? "jpgs.txt cannot be read" : "the cache cannot be written");
    ::unlink(program.file("Cache/jpgs.txt").c_str());
    ::unlink(program.file("Cache").c_str());
    if (unreadable) {
      // Reading the process's own memory at offset 0 fails, for every user.
      program.mkdir("Cache");
      ASSERT_EQ(::symlink("/proc/self/mem", program.file("Cache/jpgs.txt").c_str()), 0);
    } else {
      std::filesystem::remove_all(program.file("Cache"));
      program.write("Cache", "a file where the folder belongs");
    }
    NewRun();
    ui->AnswerFolder(lib);    // "Look for face.jpg in:"
    ui->AnswerFolder(rocks);  // "Look for rock.jpg in:"
    ChooserAnswers chooser(1);
    window->Form_OLEDragDrop(source);
    EXPECT_EQ(ui->requestsOf(UiRequest::Folder).size(), 2u);
    EXPECT_EQ(cacheMessages(), 1);
    ASSERT_EQ(chooser.offered.size(), 1u);
    EXPECT_EQ(chooser.offered[0], QStringList({"face.jpg 1", "face.jpg 2", "NO_MAP"}));
    const std::vector<MaterialRec>& m = gObjects[0].Materials;
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0].TextureMap, chosen);
    EXPECT_EQ(m[1].TextureMap, ":Runtime:Textures:Props:Lamps:SHADE.JPG");
    EXPECT_EQ(m[2].TextureMap, rock);
    EXPECT_EQ(m[3].TextureMap, ":Runtime:Textures:none.jpg");

    // A Fix click on the map found nowhere: a lookup, a scan, a lookup again.
    ui->clear();
    MaterialsPane& pane = *window->materials;
    pane.lstMaterials->clearSelection();
    pane.lstMaterials->item(3)->setSelected(true);
    pane.cmd[25]->click();
    EXPECT_EQ(cacheMessages(), 1);
    EXPECT_EQ(gObjects[0].Materials[3].TextureMap, ":Runtime:Textures:none.jpg");
  }
  std::filesystem::remove_all(program.file("Cache"));
}

}  // namespace
}  // namespace vandrel::test
