// The states the reset and enabling procedures and the save options take
// the window through, as tables.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <functional>
#include <map>

#include "platform/files.h"
#include "platform/qt/controls.h"
#include "window_fixture.h"

namespace vandrel::test {
namespace {

class States : public WindowTest {
 public:
  // "on", "off" or "mixed" for a group of controls.
  static std::string Group(const std::vector<QWidget*>& widgets) {
    int on = 0;
    for (QWidget* w : widgets) on += On(w) ? 1 : 0;
    return on == 0 ? "off" : on == static_cast<int>(widgets.size()) ? "on" : "mixed";
  }
  static std::string Box(QCheckBox* box) {
    return std::string(box->isChecked() ? "ticked" : "unticked") + (On(box) ? ",on" : ",off");
  }

  std::map<std::string, std::string> Snapshot() {
    FrmMain& w = *window;
    std::vector<QWidget*> editors(w.materials->cmd.begin(), w.materials->cmd.end());
    editors.insert(editors.end(), w.materials->SCR.begin(), w.materials->SCR.end());
    editors.insert(editors.end(), w.materials->TXT.begin(), w.materials->TXT.end());
    editors.insert(editors.end(), w.materials->SHP.begin(), w.materials->SHP.end());
    std::vector<QWidget*> captions{w.materials->lblObject, w.materials->lblMaterials,
                                   w.materials->lblTemplate, w.materials->lblSelGroup};
    for (const PropertyPanel& p : w.materials->panels) captions.push_back(p.caption);
    std::vector<QWidget*> thumbs(w.materials->imgThumb.begin(), w.materials->imgThumb.end());
    thumbs.insert(thumbs.end(), w.materials->lblThumb.begin(), w.materials->lblThumb.end());
    std::vector<QWidget*> channels{w.channelsPane->lstActors,
                                   w.channelsPane->lstDials,
                                   w.channelsPane->cmdSelectAllActors,
                                   w.channelsPane->cmdSelectAllDials,
                                   w.channelsPane->txtDialProperties[0],
                                   w.channelsPane->cmdApplyDial[0],
                                   w.channelsPane->chkDisableThighLength,
                                   w.channelsPane->cmdZerAll,
                                   w.channelsPane->cmdCreateDial,
                                   w.channelsPane->cmdDelChannels,
                                   w.channelsPane->cmbDialProperties};
    channels.insert(channels.end(), w.channelsPane->cmbActorProperties.begin(),
                    w.channelsPane->cmbActorProperties.end());
    channels.insert(channels.end(), w.channelsPane->chkDelChannels.begin(),
                    w.channelsPane->chkDelChannels.end());
    const bool menus = w.mnuSave->isEnabled() || w.mnuSaveAs->isEnabled() || w.mnuExportMTL->isEnabled();
    return {
        {"editors", Group(editors)},
        {"material list", Group({w.materials->lstMaterials})},
        {"object tools", Group({w.materials->cmbFigures, w.materials->cmdCreateMat, w.materials->cmdNewMat})},
        {"material boxes", Group({w.materials->chkApplyTextures, w.materials->chkMultiplyThroughKdColor,
                                  w.materials->chkMultiplyThroughLights})},
        {"captions", Group(captions)},
        {"Combo1", Group({w.materials->Combo1})},
        {"thumbnails", Group(thumbs)},
        {"selection tools", Group({w.materials->cmdDeleteMaterials, w.materials->cmdInvertSel})},
        {"document menus", menus ? "some on" : "off"},
        {"channel pane", Group(channels)},
        {"no materials", Box(w.chkNoMaterialData)},
        {"no channels", Box(w.chkChannels)},
    };
  }

  // A read of a small document, as the open path runs it around the reader.
  void Load(int fileType) {
    window->BeginLoad("/poses/Test." + std::string(FileTypeExtension(fileType)), fileType);
    gObjects.assign(1, ObjectRec{"figure", {MaterialRec{}}});
    gObjects[0].Materials.Edit()[0].Name = "skin";
    gObjectList = {"figure"};
    gState.RequiredVersion = "4.01";
    window->EndLoad(fileType);
    gState.EventsOn = true;
  }
  void ReadChannels() {
    gActors.assign(1, ActorRec{});
    gActors[0].Name = "BODY:1";
    gActors[0].Kind = "actor";
    gActorList = {{"BODY:1", "actor"}};
    window->ShowChannelsRead();
  }
};

struct Row {
  const char* state;
  std::function<void(States&)> enter;
  std::map<std::string, std::string> expected;  // only the groups named
};

TEST_F(States, ResetAndEnablingTakeTheWindowThroughItsStates) {
  const std::vector<Row> rows = {
      {"fresh",
       [](States&) {},
       {{"editors", "off"},
        {"material list", "off"},
        {"object tools", "off"},
        {"captions", "off"},
        {"Combo1", "off"},
        {"channel pane", "off"},
        {"document menus", "off"},
        {"no materials", "ticked,off"},
        {"no channels", "ticked,off"}}},
      {"reset",
       [](States& t) { t.window->ResetMainWindow(); },
       {{"editors", "off"},
        {"material list", "off"},
        {"object tools", "off"},
        {"material boxes", "off"},
        {"Combo1", "on"},
        {"thumbnails", "off"},
        {"document menus", "off"},
        {"channel pane", "off"},
        {"no materials", "ticked,off"},
        {"no channels", "ticked,off"}}},
      {"character file chosen",
       [](States& t) { t.Load(kCr2); },
       {{"editors", "on"},
        {"material list", "on"},
        {"object tools", "on"},
        {"material boxes", "on"},
        {"captions", "on"},
        {"Combo1", "on"},
        {"channel pane", "off"},
        {"document menus", "some on"},
        {"no materials", "unticked,on"},
        {"no channels", "ticked,off"}}},
      {"pose file chosen",
       [](States& t) { t.Load(kPz2); },
       {{"editors", "on"}, {"no materials", "unticked,on"}, {"no channels", "ticked,off"}}},
      {"channels read",
       [](States& t) {
         t.Load(kCr2);
         t.ReadChannels();
       },
       {{"editors", "on"},
        {"channel pane", "on"},
        {"no materials", "unticked,on"},
        {"no channels", "unticked,on"}}},
      {"materials off",
       [](States& t) {
         t.Load(kPz2);
         t.ReadChannels();
         t.window->chkNoMaterialData->click();
       },
       {{"editors", "off"},
        {"material list", "off"},
        {"object tools", "off"},
        {"material boxes", "off"},
        {"captions", "off"},
        {"Combo1", "off"},
        {"thumbnails", "off"},
        {"selection tools", "off"},
        {"channel pane", "on"},
        {"no materials", "ticked,on"}}},
      {"materials on again",
       [](States& t) {
         t.Load(kPz2);
         t.ReadChannels();
         t.window->chkNoMaterialData->click();
         t.window->chkNoMaterialData->click();
       },
       {{"editors", "on"},
        {"material list", "on"},
        {"object tools", "on"},
        {"captions", "on"},
        {"Combo1", "on"},
        {"selection tools", "off"},
        {"no materials", "unticked,on"}}},
      {"after a batch run",
       [](States& t) {
         t.Load(kPz2);
         FrmMain& w = *t.window;
         w.materials->DisableMaterialControls();
         for (QWidget* c : std::initializer_list<QWidget*>{w.materials->cmbFigures, w.materials->cmdCreateMat,
                                                           w.materials->cmdNewMat})
           c->setEnabled(false);
         w.ResetMainWindow();
         gState.EventsOn = false;
         controls::setChecked(w.chkNoMaterialData, true);
         controls::setChecked(w.chkChannels, true);
         w.chkNoMaterialData->setEnabled(false);
         w.chkChannels->setEnabled(false);
       },
       {{"editors", "off"},
        {"object tools", "off"},
        {"Combo1", "on"},
        {"channel pane", "off"},
        {"document menus", "off"},
        {"no materials", "ticked,off"},
        {"no channels", "ticked,off"}}},
  };
  for (const Row& row : rows) {
    SetUp();  // a fresh window and model per row
    row.enter(*this);
    const auto got = Snapshot();
    for (const auto& [group, value] : row.expected)
      EXPECT_EQ(got.at(group), value) << row.state << ": " << group;
  }
}

TEST_F(States, TwoFlipsLeaveAPanelAsItWasAndResetReturnsEveryPanelToItsOnFace) {
  Load(kPz2);
  ReadChannels();
  // Two flips: the off face, then the panel as it was, the document marked.
  const PropertyPanel& texture = window->materials->panels[kTextureMapPanel];
  window->materials->TogglePanel(kTextureMapPanel);
  EXPECT_FALSE(texture.disabled->isHidden());
  EXPECT_TRUE(On(texture.disabled));
  for (QWidget* e : texture.editors) EXPECT_TRUE(e->isHidden() && !On(e));
  EXPECT_FALSE(window->materials->imgThumb[0]->isHidden());  // the thumbnail is not part of the panel
  gState.Dirty = false;
  window->materials->TogglePanel(kTextureMapPanel);
  EXPECT_TRUE(gState.Dirty);
  EXPECT_TRUE(texture.disabled->isHidden());
  for (QWidget* e : texture.editors) EXPECT_TRUE(!e->isHidden() && On(e));

  // The reset empties the document and turns every panel back on.
  gIsHairFile = true;
  gState.ReadVersion = "5";
  window->materials->TogglePanel(kObjectColorPanel);
  window->materials->TogglePanel(kTransparencyMinPanel);
  EXPECT_TRUE(window->materials->PanelIsOff(kObjectColorPanel));
  EXPECT_TRUE(window->materials->panels[kObjectColorPanel].caption->isHidden());
  controls::setText(window->channelsPane->txtDialProperties[0], "1.5");

  window->ResetMainWindow();
  for (int p = 0; p < kPanelCount; ++p) {
    EXPECT_FALSE(window->materials->PanelIsOff(p)) << p;
    EXPECT_TRUE(window->materials->panels[p].disabled->isHidden()) << p;
    EXPECT_FALSE(window->materials->panels[p].caption->isHidden()) << p;
  }
  // Flipping the panels marked the document after the reset cleared it.
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(gObjects.size(), 1u);
  EXPECT_TRUE(gObjects[0].Name.empty());
  EXPECT_EQ(gActors.size(), 1u);
  EXPECT_TRUE(gActors[0].Name.empty());
  EXPECT_FALSE(gIsHairFile);
  EXPECT_TRUE(gState.FileName.empty() && gState.RequiredVersion.empty() && gState.ReadVersion.empty());
  EXPECT_EQ(window->channelsPane->lstActors->topLevelItemCount(), 0);
  EXPECT_EQ(window->channelsPane->txtDialProperties[0]->text(), "");
  // The object list keeps the old entries, greyed, until the next read.
  EXPECT_EQ(window->materials->cmbFigures->count(), 1);
  EXPECT_FALSE(On(window->materials->cmbFigures));

  // Without panels in their off face the reset leaves the document unmarked.
  window->ResetMainWindow();
  EXPECT_FALSE(gState.Dirty);
}

TEST_F(States, ClearingListsLeavesTheRequiredVersionAndEnabledStates) {
  Load(kPz2);
  controls::addItem(window->materials->lstMaterials, "skin");
  controls::setText(window->materials->TXT[8], ":Runtime:textures:skin.jpg");
  window->materials->ClearMaterialPanel();
  EXPECT_EQ(window->materials->lstMaterials->count(), 0);
  EXPECT_EQ(window->materials->TXT[8]->text(), "");
  EXPECT_EQ(window->materials->TXT[0]->text(), "4.01");
  EXPECT_TRUE(On(window->materials->lstMaterials));
  ReadChannels();
  window->channelsPane->ClearActorAndDialLists();
  EXPECT_EQ(window->channelsPane->lstActors->topLevelItemCount(), 0);
  EXPECT_EQ(gActors[0].Name, "BODY:1");
}

TEST_F(States, TemplateListShowsTheTemplateFilesSortedAndChoosesTheDefault) {
  program.write("Templates/zeta.cfg", "");
  program.write("Templates/Alpha.CFG", "");
  program.write("Templates/notes.txt", "");
  gSettings.DefaultTemplate = "ZETA";
  Load(kPz2);
  ASSERT_EQ(window->materials->Combo1->count(), 2);
  EXPECT_EQ(window->materials->Combo1->itemText(0), "Alpha");
  EXPECT_EQ(window->materials->Combo1->itemText(1), "zeta");
  EXPECT_EQ(window->materials->Combo1->currentIndex(), 1);
  // The default template's groups are listed (it has none), no group chosen.
  EXPECT_TRUE(On(window->materials->Combo2));
  EXPECT_EQ(window->materials->Combo2->count(), 0);
  EXPECT_TRUE(On(window->materials->cmdEditTemplate));
  EXPECT_TRUE(FolderExists(program.file("Cache")));
}

}  // namespace
}  // namespace vandrel::test
