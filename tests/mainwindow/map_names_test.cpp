// Map names as the saved pose must hold them: a path with a double quote is
// refused wherever a map enters a material, and names whose Windows-1252
// bytes also read as UTF-8 are found, stored and saved so that every saved
// path names its file.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <functional>

#include "mainwindow/materials_pane.h"
#include "mainwindow/window_fixture.h"
#include "maps/poser_paths.h"
#include "maps/qt/frm_choose_pic.h"
#include "platform/files.h"
#include "platform/qt/controls.h"

namespace vandrel {
namespace {

constexpr const char* kQuoteRefusal = "A map path cannot hold a double quote.";

class MapNames : public test::WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    textures = tree.mkdir("Poser/Runtime/Textures");
    NewRun(false, false);
  }
  // A run of the program with the given map check preferences.
  void NewRun(bool autoCorrect, bool setNoMap) {
    window.reset();
    ResetModel();
    ui->clear();
    gSettings.Poser = tree.file("Poser");
    gSettings.MainThumb = false;
    gSettings.AutoCorrect = autoCorrect;
    gSettings.SetNoMap = setNoMap;
    window = std::make_unique<FrmMain>();
  }
  MaterialsPane& Pane() { return *window->materials; }
  void Select(int row) {
    Pane().lstMaterials->clearSelection();
    Pane().lstMaterials->item(row)->setSelected(true);
  }
  void Press(int index) { Pane().cmd[static_cast<std::size_t>(index)]->click(); }
  QLineEdit* Box(int index) { return Pane().TXT[static_cast<std::size_t>(index)]; }
  bool Red(QLineEdit* box) { return box->palette().color(QPalette::Text) == QColor(255, 0, 0); }
  // Every map of every material, in order.
  static std::vector<std::string> AllMaps() {
    std::vector<std::string> maps;
    for (const ObjectRec& o : gObjects)
      for (const MaterialRec& m : o.Materials)
        for (const CompactText* p : {&m.TextureMap, &m.BumpMap, &m.ReflectionMap, &m.TransparencyMap})
          maps.push_back(p->str());
    return maps;
  }
  std::string SaveAs(const std::string& name) {
    const std::string path = program.file(name);
    ui->AnswerSave(path);
    Trigger("mnuSaveAs");
    return test::ReadFileBytes(path);
  }
  // The quoted texts of the lines that begin with `key` in a saved pose.
  static std::vector<std::string> Values(const std::string& pose, const std::string& key) {
    std::vector<std::string> values;
    for (std::size_t at = pose.find(key + " \""); at != std::string::npos;
         at = pose.find(key + " \"", at + 1)) {
      const std::size_t start = at + key.size() + 2;
      values.push_back(pose.substr(start, pose.find("\"\r\n", start) - start));
    }
    return values;
  }
  static std::string Pose(const std::vector<std::array<std::string, 3>>& materials) {
    std::string pose = "{\r\nversion\r\n\t{\r\n\tnumber 4.01\r\n\t}\r\nfigure\r\n\t{\r\n";
    int n = 0;
    for (const auto& maps : materials)
      pose += "\tmaterial M" + std::to_string(n++) + "\r\n\t\t{\r\n\t\tKdColor 1 1 1 1\r\n\t\ttextureMap \"" +
              maps[0] + "\"\r\n\t\tbumpMap \"" + maps[1] + "\"\r\n\t\treflectionMap \"" + maps[2] +
              "\"\r\n\t\t}\r\n";
    return pose + "\t}\r\n}\r\n";
  }
  // While the chooser is up, takes the file whose path holds a double quote.
  void ChooseQuotedWhenAsked(QTimer& timer, int& asked) {
    QObject::connect(&timer, &QTimer::timeout, [&asked] {
      auto* chooser = qobject_cast<FrmChoosePic*>(QApplication::activeModalWidget());
      if (!chooser) return;
      ++asked;
      for (std::size_t i = 0; i < gMapCandidates.size(); ++i)
        if (gMapCandidates[i].find('"') != std::string::npos)
          controls::setListIndex(chooser->cmbMaps, static_cast<int>(i));
      chooser->cmdOK->click();
    });
    timer.start(5);
  }

  test::TempDir tree;
  std::string textures;
};

TEST_F(MapNames, APathHoldingADoubleQuoteIsRefusedWhereverAMapEntersAndNothingChanges) {
  const std::string quoted = tree.write("Maps/it's \"best\".jpg", "x");
  tree.write("Poser/Runtime/Textures/Odd \"best\"/Lone.jpg", "x");
  tree.write("Poser/Runtime/Textures/A/Twin.jpg", "x");
  tree.write("Poser/Runtime/Textures/Odd \"best\"/Twin.jpg", "x");
  const std::string source =
      program.write("odd.pz2", Pose({{":Runtime:Textures:Gone:Lone.jpg", "NO_MAP", "NO_MAP"},
                                     {":Runtime:Textures:Gone:Twin.jpg", "NO_MAP", "NO_MAP"},
                                     {"NO_MAP", "NO_MAP", "NO_MAP"}}));
  window->Form_OLEDragDrop(source);
  const std::vector<std::string> before = AllMaps();
  QTimer chooser;
  int asked = 0;
  ChooseQuotedWhenAsked(chooser, asked);

  struct Entry {
    const char* how;
    int material;
    std::function<void()> act;
  };
  const Entry entries[] = {
      {"...", 2, [&] { ui->AnswerOpen(quoted), Press(10); }},
      {"Apply", 2, [&] { Box(8)->setText(QString::fromUtf8(quoted.c_str())), Press(18); }},
      {"a drop", 2, [&] { test::DropFile(Box(9), quoted); }},
      {"Fix, the one file found", 0, [&] { Press(25); }},
      {"Fix, the map chooser", 1, [&] { Press(25); }},
  };
  for (const Entry& e : entries) {
    ui->clear();
    Select(e.material);
    const QString bumpShown = Box(9)->text();
    e.act();
    const auto messages = ui->requestsOf(UiRequest::Message);
    ASSERT_EQ(messages.size(), 1u) << e.how;
    EXPECT_EQ(messages[0].text, kQuoteRefusal) << e.how;
    EXPECT_EQ(AllMaps(), before) << e.how;
    EXPECT_EQ(Box(9)->text(), bumpShown) << e.how;
  }
  EXPECT_EQ(asked, 1);
  EXPECT_NE(gState.LastMapFolder, tree.file("Maps"));

  // The load's map check knows both names from the cache now: with SetNoMap
  // on, each is refused once and stays as the file named it.
  NewRun(true, true);
  window->Form_OLEDragDrop(source);
  EXPECT_EQ(asked, 2);
  const auto messages = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(messages.size(), 2u);
  for (const UiRequest& m : messages) EXPECT_EQ(m.text, kQuoteRefusal);
  EXPECT_EQ(AllMaps(), before);
  const std::string saved = SaveAs("odd saved.pz2");
  EXPECT_EQ(Values(saved, "textureMap"),
            (std::vector<std::string>{":Runtime:Textures:Gone:Lone.jpg", ":Runtime:Textures:Gone:Twin.jpg"}));
}

// Names on disk (UTF-8) with their Windows-1252 bytes as Poser writes them.
struct Name {
  const char* what;
  std::string disk, windows;
  bool keptInUtf8;  // its Windows-1252 bytes would read back as other text
};
const Name kNames[] = {
    // C9 92 is also the UTF-8 of U+0252.
    {"a capital accent and a quote sign", "ANDR\xC3\x89\xE2\x80\x99S SKIN.jpg", "ANDR\xC9\x92S SKIN.jpg",
     true},
    // DF A0 is also the UTF-8 of U+07E0.
    {"sharp s and a no-break space",
     "Stra\xC3\x9F\xC2\xA0"
     "e.jpg",
     "Stra\xDF\xA0"
     "e.jpg",
     true},
    {"an accent alone",
     "P\xC3\xAA"
     "che.jpg",
     "P\xEA"
     "che.jpg",
     false},
};

TEST_F(MapNames, NamesInBothEncodingsAreFoundAndEverySavedPathNamesItsFile) {
  std::vector<std::array<std::string, 3>> materials;
  for (const Name& n : kNames) {
    tree.write("Poser/Runtime/Textures/" + n.disk, "x");
    // A colon path and a correct full path in Windows-1252, a colon path in UTF-8.
    materials.push_back(
        {":Runtime:Textures:" + n.windows, textures + "/" + n.windows, ":Runtime:Textures:" + n.disk});
  }
  const std::string source = program.write("names.pz2", Pose(materials));

  // The load's map check with "Use full map paths": nothing is judged
  // missing, full paths are Windows-1252 where the name can be read back
  // so, and the correct full path keeps its bytes.
  NewRun(true, true);
  controls::setChecked(Pane().chkTexture, true);
  window->Form_OLEDragDrop(source);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
  EXPECT_TRUE(ui->requestsOf(UiRequest::Folder).empty());
  std::string saved = SaveAs("full.pz2");
  const auto stored = [](const Name& n) { return n.keptInUtf8 ? n.disk : n.windows; };
  std::vector<std::string> full, kept;
  for (const Name& n : kNames) {
    full.push_back(textures + "/" + stored(n));
    kept.push_back(textures + "/" + n.windows);
  }
  EXPECT_EQ(Values(saved, "textureMap"), full);
  EXPECT_EQ(Values(saved, "bumpMap"), kept);
  EXPECT_EQ(Values(saved, "reflectionMap"), full);

  // Reopened without "Use full map paths": each name is shown as the disk
  // has it where it was stored so, never red; Fix makes colon paths again.
  NewRun(true, true);
  window->Form_OLEDragDrop(program.file("full.pz2"));
  for (std::size_t i = 0; i < std::size(kNames); ++i) {
    Select(static_cast<int>(i));
    EXPECT_EQ(Box(8)->text(), QString::fromUtf8((":Runtime:Textures:" + kNames[i].disk).c_str()))
        << kNames[i].what;
    for (int box : {8, 9, 10}) EXPECT_FALSE(Red(Box(box))) << kNames[i].what << box;
  }
  saved = SaveAs("colon.pz2");
  std::vector<std::string> colon;
  for (const Name& n : kNames) colon.push_back(":Runtime:Textures:" + stored(n));
  EXPECT_EQ(Values(saved, "textureMap"), colon);
  EXPECT_EQ(Values(saved, "bumpMap"), colon);

  // "..." picks each file: it is stored so that it reads back as its name.
  NewRun(false, false);
  window->Form_OLEDragDrop(source);
  for (std::size_t i = 0; i < std::size(kNames); ++i) {
    Select(static_cast<int>(i));
    ui->AnswerOpen(textures + "/" + kNames[i].disk);
    Press(11);
    EXPECT_EQ(Box(9)->text(), QString::fromUtf8((":Runtime:Textures:" + kNames[i].disk).c_str()))
        << kNames[i].what;
    EXPECT_FALSE(Red(Box(9))) << kNames[i].what;
  }
  saved = SaveAs("picked.pz2");
  EXPECT_EQ(Values(saved, "bumpMap"), colon);
  for (const std::string& map : Values(saved, "textureMap"))
    EXPECT_TRUE(FileExists(PoserPathToFilePath(map))) << map;
}

}  // namespace
}  // namespace vandrel
