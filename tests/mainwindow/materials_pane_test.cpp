// The Materials pane driven through its real widgets: a file opened, objects
// and materials chosen, properties edited and switched, the pose saved.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <map>
#include <sstream>

#include "model/model.h"
#include "platform/qt/controls.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace vandrel::test {
namespace {

// The written pose as lines per material ("figure/skin" -> its lines), and
// the lines outside materials under "".
std::map<std::string, std::vector<std::string>> Blocks(const std::string& bytes) {
  std::map<std::string, std::vector<std::string>> blocks;
  std::string object, key;
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line, '\r')) {
    if (!line.empty() && line[0] == '\n') line.erase(0, 1);
    if (line.rfind("figure", 0) == 0 || line.rfind("prop ", 0) == 0) object = line;
    if (line.rfind("\tmaterial ", 0) == 0) key = object + "/" + line.substr(10);
    if (line == "\t}") key.clear();
    blocks[key].push_back(line);
  }
  return blocks;
}

class MaterialsPaneTest : public WindowTest {
 public:
  MaterialsPane& P() { return *window->materials; }
  void Open() {
    const std::string path = program.write(
        "lamp_scene.pz2", ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/mainwindow/lamp_scene.pz2"));
    window->Form_OLEDragDrop(path);
  }
  // A user's selection of rows, the first of them current.
  void Select(std::initializer_list<int> rows) {
    QItemSelection selection;
    for (int r : rows)
      selection.select(P().lstMaterials->model()->index(r, 0), P().lstMaterials->model()->index(r, 0));
    P().lstMaterials->setCurrentRow(*rows.begin(), QItemSelectionModel::NoUpdate);
    P().lstMaterials->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  }
  // The user chooses item k of the object list.
  void Choose(int k) {
    P().cmbFigures->setCurrentIndex(k);
    emit P().cmbFigures->activated(k);
  }
  void DoubleClick(QWidget* label) {
    QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(label, &e);
  }
  void Type(int box, const QString& text) {
    controls::setText(P().TXT[box], text);  // as typed: the box's change handling runs
  }
  std::string SaveAs(const std::string& name) {
    const std::string path = program.file(name);
    ui->AnswerSave(path);
    Trigger("mnuSaveAs");
    return ReadFileBytes(path);
  }
  MaterialRec& Mat(int group, int i) { return gObjects[group].Materials.Edit()[i]; }
};

TEST_F(MaterialsPaneTest, LoadShowsTheFirstMaterialAndSelectionsAndCheckBoxesFollowTheUser) {
  Open();
  EXPECT_EQ(P().cmbFigures->currentIndex(), 0);
  EXPECT_EQ(gObjectList, (ObjectList{"figure", "prop lamp_1", "actor BODY:1", "actor hip:1"}));
  ASSERT_EQ(P().lstMaterials->count(), 2);
  EXPECT_EQ(P().lstMaterials->currentRow(), 0);
  EXPECT_TRUE(P().lstMaterials->item(0)->isSelected());
  // The user's first tick is not ignored, and nothing is changed yet.
  EXPECT_FALSE(gState.Dirty);
  EXPECT_TRUE(gState.EventsOn);
  // skin: its values, its missing texture in red, its switches as faces.
  EXPECT_EQ(P().TXT[1]->text(), "71");
  EXPECT_EQ(P().SCR[0]->value(), 71);
  EXPECT_EQ(P().TXT[8]->text(), ":Runtime:textures:missing_skin.jpg");
  EXPECT_EQ(P().TXT[8]->palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(P().SwatchColor(0), QColor(204, 153, 128));
  EXPECT_TRUE(P().chkMultiplyThroughLights->isChecked());
  EXPECT_FALSE(P().PanelIsOff(kTextureMapPanel));
  EXPECT_TRUE(P().PanelIsOff(kTransparencyMinPanel));
  // An off panel still shows the material's own value.
  EXPECT_EQ(P().TXT[2]->text(), "0");
  EXPECT_TRUE(P().panels[kTransparencyMinPanel].caption->isHidden());

  // eyes: no texture map, black (drawn greyed while its row is off); its off face on the map row.
  Select({1});
  EXPECT_EQ(P().TXT[8]->text(), "NO_MAP");
  EXPECT_EQ(P().TXT[8]->palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 0));
  EXPECT_TRUE(P().PanelIsOff(kTextureMapPanel));
  EXPECT_EQ(P().TXT[5]->text(), "50");
  // A Ctrl-click that leaves the current item unselected shows the lowest selected one.
  Select({1, 0});
  EXPECT_EQ(P().lstMaterials->currentRow(), 1);
  P().lstMaterials->setCurrentRow(1, QItemSelectionModel::Deselect);
  EXPECT_EQ(P().lstMaterials->currentRow(), 0);
  EXPECT_EQ(P().TXT[1]->text(), "71");

  // Check boxes invert each selected material.
  gObjects[0].Materials.Edit()[1].MultiplyThroughLights = false;  // skin has it set
  Select({0, 1});
  P().chkMultiplyThroughLights->click();
  EXPECT_FALSE(Mat(0, 0).MultiplyThroughLights);
  EXPECT_TRUE(Mat(0, 1).MultiplyThroughLights);
  EXPECT_TRUE(gState.Dirty);
  // Showing a material ticks its boxes but changes no material.
  Select({1});
  EXPECT_TRUE(P().chkMultiplyThroughLights->isChecked());
  EXPECT_TRUE(Mat(0, 1).MultiplyThroughLights);
  const ColorRec kept = Mat(0, 1).ObjectColor;
  ui->AnswerColor(std::nullopt);
  P().SHP[0]->click();
  EXPECT_EQ(Mat(0, 1).ObjectColor, kept);
  EXPECT_EQ(ui->requestsOf(UiRequest::Color).back().color, (Rgb{0, 0, 255}));
  // A value outside its box's range shows the lower bound; the record keeps it.
  Mat(0, 1).HighlightSize = 150;
  Mat(0, 1).HighlightSizeOn = true;
  P().ShowMaterial();
  EXPECT_EQ(P().TXT[1]->text(), "1");
  EXPECT_EQ(P().SCR[0]->value(), 1);
  EXPECT_EQ(Mat(0, 1).HighlightSize, 150);

  // Number boxes validate what is typed and move their bars.
  gState.Dirty = false;
  struct Row {
    int box;
    const char* before;
    const char* typed;
    const char* text;
    int bar;
  } rows[] = {
      {1, "50", "abc", "1", 1},       {2, "50", "abc", "0", 0}, {6, "50", "abc", "0", 0},
      {1, "50", "5-", "1", 1},        {6, "50", "-", "-", 0},   {2, "50", "-", "0", 0},
      {1, "50", "101", "1", 1},       {1, "50", "0", "1", 1},   {6, "50", "-101", "-100", -100},
      {6, "50", "150", "-100", -100}, {4, "5", "12", "0", 0},   {4, "0", "2.5", "2.5", 250},
      {2, "2", "2.5", "2.5", 2},      {2, "3", "3.5", "4", 4},  {5, "7", " 12 ", " 12 ", 12},
  };
  for (const Row& r : rows) {
    Type(r.box, r.before);
    Type(r.box, r.typed);
    EXPECT_EQ(P().TXT[r.box]->text().toStdString(), r.text) << r.box << " " << r.typed;
    EXPECT_EQ(P().SCR[r.box - 1]->value(), r.bar) << r.box << " " << r.typed;
  }
  // A bar moved by the user writes its box.
  P().SCR[3]->setValue(75);
  EXPECT_EQ(P().TXT[4]->text(), QLocale().toString(0.75));
  P().SCR[0]->setValue(33);
  EXPECT_EQ(P().TXT[1]->text(), "33");
  // Typing changes no material and does not mark the document.
  EXPECT_FALSE(gState.Dirty);
  EXPECT_EQ(Mat(0, 0).HighlightSize, 71);
  EXPECT_EQ(Mat(0, 1).HighlightSize, 150);

  // The prop's materials replace the figure's.
  Choose(1);
  ASSERT_EQ(P().lstMaterials->count(), 3);
  EXPECT_EQ(P().lstMaterials->item(2)->text(), "Bulb");
  EXPECT_EQ(P().TXT[4]->text(), QLocale().toString(0.0));
}

TEST_F(MaterialsPaneTest, EditsReachEverySelectedMaterialAndTheSavedPose) {
  for (bool poser5 : {false, true}) {
    SetUp();
    Open();
    if (poser5) window->optPoserFormat[1]->click();
    const auto before = Blocks(SaveAs("before.pz2"));
    ASSERT_FALSE(before.empty());
    Choose(1);       // the lamp
    Select({0, 2});  // Shade and Bulb
    ui->AnswerColor(Rgb{0, 128, 255});
    P().SHP[0]->click();
    Type(1, "50");
    P().cmd[14]->click();
    Type(5, "050");
    P().cmd[22]->click();
    DoubleClick(P().panels[kHighlightColorPanel].caption);  // refused in Poser 5
    DoubleClick(P().panels[kTextureStrengthPanel].caption);
    EXPECT_TRUE(P().PanelIsOff(kTextureStrengthPanel));
    for (int i : {0, 2}) {
      EXPECT_EQ(Mat(1, i).ObjectColor, (ColorRec{0, 128, 255})) << i;
      EXPECT_EQ(Mat(1, i).HighlightSize, 50);
      EXPECT_EQ(Mat(1, i).TextureStrength, "50");
      EXPECT_FALSE(Mat(1, i).TextureStrengthOn);
    }
    EXPECT_EQ(Mat(1, 1).HighlightSize, 91);  // Stand is not selected
    EXPECT_TRUE(Mat(1, 1).TextureStrengthOn);
    EXPECT_EQ(Mat(1, 0).HighlightColorOn, poser5);
    EXPECT_EQ(P().PanelIsOff(kHighlightColorPanel), !poser5);
    if (poser5) {
      const std::string why =
          " color cannot be disabled in P5 MATs.\r\nIf no color is applied Poser 5 will use a random color.";
      EXPECT_EQ(ui->requestsOf(UiRequest::Message).back().text, "Highlight" + why);
      gState.Dirty = false;
      DoubleClick(P().panels[kObjectColorPanel].caption);
      const UiRequest refusal = ui->requestsOf(UiRequest::Message).back();
      EXPECT_EQ(refusal.text, "Object" + why);
      EXPECT_EQ(refusal.icon, MsgIcon::Exclamation);
      EXPECT_EQ(refusal.title, "");
      EXPECT_FALSE(gState.Dirty || P().PanelIsOff(kObjectColorPanel));
      gState.Dirty = true;
    }
    EXPECT_TRUE(gState.Dirty);

    const auto after = Blocks(SaveAs("after.pz2"));
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [key, lines] : before) {
      if (key.find("/Shade") != std::string::npos || key.find("/Bulb") != std::string::npos) continue;
      EXPECT_EQ(after.at(key), lines) << key << " P5 " << poser5;
    }
    if (!poser5) {
      // Shade's highlight colour and texture strength are off; Poser 4 takes both.
      const std::vector<std::string> shade = {"\tmaterial Shade",           "\t\t{",
                                              "\t\tKdColor 0 0.501961 1 1", "\t\tNsExponent 51",
                                              "\t\ttextureMap NO_MAP",      "\t\t}"};
      EXPECT_EQ(after.at("prop lamp_1/Shade"), shade);
      // Bulb: its colour and highlight size; its strength stays off.
      const std::vector<std::string> bulb = {"\tmaterial Bulb", "\t\t{", "\t\tKdColor 0 0.501961 1 1",
                                             "\t\tNsExponent 51", "\t\t}"};
      EXPECT_EQ(after.at("prop lamp_1/Bulb"), bulb);
    }

    // The highlight size off: its line is gone from both materials; on again,
    // the pose is written exactly as before.
    const std::string sizeLine = poser5 ? "Roughness" : "NsExponent";
    auto count = [&](const std::string& bytes) {
      std::size_t n = 0;
      for (std::size_t at = bytes.find(sizeLine); at != std::string::npos; at = bytes.find(sizeLine, at + 1))
        ++n;
      return n;
    };
    const std::string written = SaveAs("after_again.pz2");
    DoubleClick(P().panels[kHighlightSizePanel].caption);
    EXPECT_EQ(count(SaveAs("size_off.pz2")), count(written) - 2) << poser5;
    DoubleClick(P().panels[kHighlightSizePanel].disabled);
    EXPECT_FALSE(P().PanelIsOff(kHighlightSizePanel));
    EXPECT_EQ(SaveAs("size_on.pz2"), written) << poser5;
  }
}

TEST_F(MaterialsPaneTest, SelectInvertDeleteAndRemoveGroups) {
  Open();
  Choose(1);
  gState.Dirty = false;  // the panels took the lamp's switches
  P().cmd[0]->click();
  P().GetSelectedMaterials();
  EXPECT_EQ(P().selectedMaterialCount, 3);
  EXPECT_FALSE(gState.Dirty);  // selecting is no change
  Select({1});
  P().cmdInvertSel->click();
  P().GetSelectedMaterials();
  EXPECT_EQ(std::vector<int>(P().selectedMaterialRows.begin(),
                             P().selectedMaterialRows.begin() + P().selectedMaterialCount),
            (std::vector<int>{0, 2}));
  EXPECT_EQ(P().lstMaterials->currentRow(), 0);
  gState.Dirty = false;
  // Deleting Shade and Bulb keeps Stand, which is then shown.
  P().cmdDeleteMaterials->click();
  ASSERT_EQ(gObjects[1].Materials.size(), 1u);
  EXPECT_EQ(gObjects[1].Materials[0].Name, "Stand");
  EXPECT_TRUE(P().lstMaterials->item(0)->isSelected());
  EXPECT_EQ(P().TXT[1]->text(), "91");
  EXPECT_TRUE(gState.Dirty);
  // Every material selected: the whole group goes, and the figure is chosen.
  P().cmdDeleteMaterials->click();
  EXPECT_EQ(gObjects.size(), 1u);
  EXPECT_EQ(gObjectList, (ObjectList{"figure", "actor BODY:1", "actor hip:1"}));
  EXPECT_EQ(P().cmbFigures->count(), 3);
  EXPECT_EQ(P().cmbFigures->currentIndex(), 0);
  EXPECT_EQ(P().lstMaterials->item(0)->text(), "skin");
  // The last group: nothing of the materials is left to save.
  P().cmd[1]->click();
  EXPECT_EQ(P().cmbFigures->count(), 0);
  EXPECT_TRUE(gObjectList.empty());
  EXPECT_EQ(P().lstMaterials->count(), 0);
  EXPECT_TRUE(window->chkNoMaterialData->isChecked());
  EXPECT_FALSE(On(window->chkNoMaterialData));
  EXPECT_FALSE(window->mnuExportMTL->isEnabled());
  // Save stays while morphs and poses are saved.
  EXPECT_EQ(window->mnuSave->isEnabled(), !window->chkChannels->isChecked());
  // Nothing chosen: the buttons change nothing.
  P().cmd[1]->click();
  P().CMD_Click(14);
  EXPECT_EQ(gObjects.size(), 1u);
}

TEST_F(MaterialsPaneTest, NewMaterialsAndTheGroupOfAnActor) {
  Open();
  gState.Dirty = false;
  struct Answer {
    std::optional<std::string> text;
    const char* message;  // nullptr: no message
  } answers[] = {{std::nullopt, nullptr},
                 {"   ", nullptr},
                 {"SKIN", "A material with that name already exists"},
                 {"a{b", "A material name cannot contain \"{\", \"}\" or a line break"},
                 {" skin ", nullptr}};
  for (const Answer& a : answers) {
    ui->clear();
    ui->AnswerInput(a.text);
    P().cmdNewMat->click();
    const auto inputs = ui->requestsOf(UiRequest::Input);
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].text, "Enter a name for the new material");
    EXPECT_EQ(inputs[0].title, "New material");
    const auto messages = ui->requestsOf(UiRequest::Message);
    EXPECT_EQ(messages.size(), a.message ? 1u : 0u);
    if (a.message && !messages.empty()) {
      EXPECT_EQ(messages[0].text, a.message);
    }
  }
  ASSERT_EQ(gObjects[0].Materials.size(), 3u);
  const MaterialRec& added = gObjects[0].Materials[2];
  EXPECT_EQ(added.Name, " skin ");
  EXPECT_EQ(added.TextureMap, "NO_MAP");
  EXPECT_FALSE(added.TextureMapOn || added.ObjectColorOn);
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(P().lstMaterials->count(), 3);
  EXPECT_EQ(P().lstMaterials->currentRow(), 0);  // the first material stays shown

  // An actor without a group greys the editors; a new material creates its group.
  Choose(3);
  EXPECT_FALSE(On(P().lstMaterials));
  EXPECT_FALSE(On(P().TXT[1]));
  EXPECT_TRUE(On(P().cmdNewMat));
  EXPECT_EQ(P().lstMaterials->count(), 0);
  // Nothing of the material shown before stays in view.
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(P().SwatchColor(i).isValid()) << i;
  EXPECT_FALSE(P().chkApplyTextures->isChecked() || P().chkMultiplyThroughLights->isChecked() ||
               P().chkMultiplyThroughKdColor->isChecked());
  ui->AnswerInput(std::string("hipskin"));
  P().cmdNewMat->click();
  ASSERT_EQ(gObjects.size(), 3u);
  EXPECT_EQ(gObjects[2].Name, "hip:1");
  EXPECT_EQ(gObjectList, (ObjectList{"figure", "prop lamp_1", "actor hip:1", "actor BODY:1"}));
  EXPECT_EQ(P().cmbFigures->itemText(2), "actor hip:1");
  EXPECT_EQ(P().cmbFigures->currentIndex(), 2);
  ASSERT_EQ(P().lstMaterials->count(), 1);
  EXPECT_EQ(P().lstMaterials->item(0)->text(), "hipskin");
  EXPECT_TRUE(On(P().lstMaterials));
  EXPECT_TRUE(P().PanelIsOff(kHighlightSizePanel));  // every property of a new material is off
  // The new material, switched on, saves as a valid block.
  DoubleClick(P().panels[kTextureMapPanel].disabled);
  const std::string saved = SaveAs("new.pz2");
  EXPECT_NE(saved.find("\tmaterial hipskin\r\n\t\t{\r\n\t\ttextureMap NO_MAP\r\n\t\t}"), std::string::npos);

  // A table without groups: its nameless entry 0 is no group; the first
  // material made for an actor fills it and moves the actor's item to the top.
  gObjects.assign(1, ObjectRec{});
  gObjectList = {"actor BODY:1", "actor hip:1"};
  P().MirrorObjectList();
  Choose(0);
  EXPECT_FALSE(On(P().lstMaterials));
  Choose(1);
  ui->AnswerInput(std::string("hipskin"));
  P().cmdNewMat->click();
  ASSERT_EQ(gObjects.size(), 1u);
  EXPECT_EQ(gObjects[0].Name, "hip:1");
  EXPECT_EQ(gObjectList, (ObjectList{"actor hip:1", "actor BODY:1"}));
  EXPECT_EQ(P().cmbFigures->currentIndex(), 0);
  EXPECT_EQ(P().lstMaterials->count(), 1);
}

TEST_F(MaterialsPaneTest, DecimalCommaLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  Open();
  gObjects[0].Materials.Edit()[0].TextureStrength = "12.5";
  gObjects[0].Materials.Edit()[0].TransparencyFalloff = 0.25f;
  gObjects[0].Materials.Edit()[0].TransparencyFalloffOn = true;
  P().ShowMaterial();
  EXPECT_EQ(P().TXT[5]->text(), "12.5");  // the stored text, accepted as it is
  EXPECT_EQ(P().TXT[4]->text(), "0,25");
  EXPECT_EQ(P().SCR[3]->value(), 25);
  Type(5, "12,5");  // the bar stays at 12, so the typed fraction stays
  EXPECT_EQ(P().TXT[5]->text(), "12,5");
  Type(4, "0,5");
  EXPECT_EQ(P().SCR[3]->value(), 50);
  EXPECT_EQ(P().TXT[4]->text(), "0,5");
  P().cmd[22]->click();
  P().cmd[17]->click();
  EXPECT_EQ(gObjects[0].Materials[0].TextureStrength, "12.5");  // stored with "."
  EXPECT_FLOAT_EQ(gObjects[0].Materials[0].TransparencyFalloff, 0.5f);
  QLocale::setDefault(saved);
}

TEST_F(MaterialsPaneTest, WindowFitsALaptopScreenAndTheListShowsWholeRows) {
  window->show();
  window->materials->lstMaterials->addItem("skin");
  const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
  // 1366 x 768 less a panel or task bar and the title bar.
  EXPECT_LE(least.width(), 1366);
  EXPECT_LE(least.height(), 700);
  // It starts low enough for the title bar on a laptop, as it was elsewhere.
  EXPECT_EQ(FrmMain::StartSize({1366, 728}), QSize(900, 696));
  EXPECT_EQ(FrmMain::StartSize({1920, 1050}), QSize(900, 720));
  const QListWidget* list = window->materials->lstMaterials;
  const int rows = list->height() - 2 * list->frameWidth();
  EXPECT_EQ(rows % list->sizeHintForRow(0), 0) << rows;
}

}  // namespace
}  // namespace vandrel::test
