// Finding missing maps in the main window: a file whose maps name another
// drive and other folders opens with AutoCorrect on and is repaired; a
// second run finds the same maps through the cache files without a scan.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

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

}  // namespace
}  // namespace vandrel::test
