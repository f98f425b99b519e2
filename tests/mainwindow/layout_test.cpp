// The window as it is first shown, before any file is read.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>
#include <map>

#include "window_fixture.h"

namespace vandrel::test {
namespace {

using FirstState = WindowTest;

QString CaptionOf(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  return {};
}

struct Expected {
  const char* name;
  const char* caption;  // nullptr = not checked
  const char* tip;      // nullptr = not checked
  bool enabled;
};

TEST_F(FirstState, ControlsCarryTheirNamesCaptionsToolTipsAndEnabledStates) {
  const Expected table[] = {
      {"lblObject", "Object", nullptr, false},
      {"cmbFigures", nullptr, "Choose the object (figure, prop, hair or body part) you want to modify",
       false},
      {"cmd(1)", "Delete", "Remove selected object from the pose", false},
      {"cmdNewMat", "Create new material", "Create a new material from scratch", false},
      {"cmdCreateMat", "Add materials to object", nullptr, false},
      {"lblMaterials", "Materials", nullptr, false},
      {"lstMaterials", nullptr, "Select the material(s) you want to edit", false},
      {"cmd(0)", "Select all", "Select all materials", false},
      {"cmdInvertSel", "Invert sel", nullptr, false},
      {"cmdDeleteMaterials", "Delete", "Delete selected materials", false},
      {"lblTemplate", "Template", nullptr, false},
      {"lblSelGroup", "Sel. grp.", nullptr, false},
      {"Combo1", nullptr, "Choose a material selection template", false},
      {"Combo2", nullptr, "Choose a selection group", false},
      {"cmdEditTemplate", "Edit", nullptr, false},
      {"cmdDelTemplate", "Delete", "Delete selected template", false},
      {"TXT(1)", "100", "Type a value between 1 and 100", false},
      {"TXT(2)", "0", "Type a value between 0 and 100", false},
      {"TXT(3)", "0", nullptr, false},
      {"TXT(4)", "0", "Type a value between 0 and 10", false},
      {"TXT(5)", "100", nullptr, false},
      {"TXT(6)", "100", "Type a value between -100 and 100", false},
      {"TXT(7)", "100", nullptr, false},
      {"TXT(0)", "", nullptr, false},
      {"TXT(8)", "", "Type path and name of the Texture Map for selected material(s)", false},
      {"TXT(11)", "", "Type path and name of the Transparency Map for selected material(s)", false},
      {"cmd(2)", "No Map", "Do not use a Texture Map with selected material(s)", false},
      {"cmd(9)", "Open", "Open the Transparency Map with the associated program", false},
      {"cmd(11)", "...", "Browse a Bump Map for selected material(s)", false},
      {"cmd(14)", "Apply", "Apply Highlight Size for selected material(s)", false},
      {"cmd(20)", "Apply", "Apply ReflectionMap for selected material(s)", false},
      {"cmd(24)", "Apply", "Apply Reflection Strength for selected material(s)", false},
      {"cmd(27)", "Fix", "Try to correct a false path or toggle formatting between full and shortened path",
       false},
      {"SHP(2)", nullptr, "Select Ambient Color for selected material(s)", false},
      {"chkApplyTextures", nullptr,
       "Check to apply texture to highlight. In P5 the image map node will be connected to specular color",
       false},
      {"chkMultiplyThroughLights", nullptr, nullptr, false},
      {"chkMultiplyThroughKdColor", nullptr, nullptr, false},
      {"chkTexture", nullptr,
       "Use absolute file references with textures, bumps, reflection maps and transparency maps", true},
      {"lblUseFullPath", "Use full map paths", nullptr, true},
      {"lblThumb(0)", "Texture map", nullptr, false},
      {"lblThumb(3)", "Transparency map", nullptr, false},
      {"lblObjectColor", "Object Color", "Double-click to disable", false},
      {"lblCloseObjectColor", "Object Color Disabled", "Double-click to enable", false},
      {"lblHighlightSub", "Highlight Size", nullptr, false},
      {"lblCloseHighlight", "Highlight Size Disabled", nullptr, false},
      {"lblCloseMultiplyThroughKd", "Multiply through Object Color Disabled", nullptr, false},
      {"lblCloseApplyToHighlight", "Apply texture to highlight Disabled", nullptr, false},
      // Channels pane.
      {"fraActors", "Actors", nullptr, true},
      {"lstActors", nullptr, "Select actor(s)", false},
      {"cmdSelectAllActors", "Select All", "Select all actors", false},
      {"cmdDeleteActors", "Delete", "Delete selected Actor(s)", false},
      {"fraChannels", "Channels", nullptr, true},
      {"lstDials", nullptr, "Select dial(s)", false},
      {"cmdSelectAllDials", "Select All", "Select all Dials", false},
      {"cmdDeleteDials", "Delete", "Delete selected Dial(s)", false},
      {"fraActorProperties", "Actor's properties", nullptr, true},
      {"lblActorProperty(0)", "Ext. name", nullptr, true},
      {"lblActorProperty(6)", "LightOn", nullptr, true},
      {"txtActorProperties(0)", "", "This is the actor's name that's visible in Poser", false},
      {"cmbActorProperties(0)", nullptr, "Toggle visibility of the actor", false},
      {"chkEnable(3)", nullptr, "If checked this property's value will be saved with the pose", false},
      {"lblDisable(3)", "Enabled", nullptr, true},
      {"cmdApplyProperty(5)", "Apply", nullptr, false},
      {"fraDialValue", "Channel's properties", nullptr, true},
      {"lblDialProperty(0)", "Dial value", nullptr, true},
      {"lblDialProperty(2)", "Hidden", nullptr, true},
      {"txtDialProperties(0)", "", "Type a value between -10000 and 10000", false},
      {"cmbDialProperties", nullptr, "Toggle visibility of channel's dial controls", false},
      {"cmdApplyDial(1)", "Apply", "Apply value for selected Dial(s)", false},
      {"fraThighLength", "Figure's ThighLength", nullptr, true},
      {"txtThighLength", "", nullptr, false},
      {"chkDisableThighLength", nullptr, "Disable ThighLength property. Usually you can disable it.", false},
      {"lblDisableThighLength", "Disable ThighLength", nullptr, true},
      {"fraDeleteChannels", "Delete channels from selected actors", nullptr, true},
      {"lblChannels(0)", "Rotate", nullptr, true},
      {"lblChannels(22)", "KdBlue", nullptr, true},
      {"lblChannels(23)", "Common channels:", nullptr, true},
      {"lblChannels(25)", "Light channels:", nullptr, true},
      {"cmdCheckAll(1)", "Check all", "Check/uncheck all camera channels", false},
      {"cmdDelChannels", "Delete", "Delete checked channels from selected actors", false},
      {"cmdCreateDial", "Create new Morph channel...", nullptr, false},
      {"cmdZerAll", "Zero everything", "Set every dial value of every actor to 0.", false},
      // Save options pane.
      {"fraFileSystem", "File system", nullptr, true},
      {"lblFileSystem(0)", "DOS/Windows", nullptr, true},
      {"lblFileSystem(1)", "UNIX/Macintosh", nullptr, true},
      {"optFileSystem(0)", "", nullptr, true},
      {"optFileSystem(1)", "", nullptr, true},
      {"fraPoserFormat", "File format", nullptr, true},
      {"lblPoserFormat(0)", "Poser 4 / Pro Pack", nullptr, true},
      {"lblPoserFormat(1)", "Poser 5", nullptr, true},
      {"lblPoserFormat(2)", "Poser 5 files contain shader tree nodes and some other additional properties",
       nullptr, true},
      {"optPoserFormat(0)", "", nullptr, true},
      {"optPoserFormat(1)", "", nullptr, true},
      {"lblPoserVersion", "Required Poser version", nullptr, true},
      {"chkNoMaterialData", nullptr, "Check if you don't want to include material data in the pose", false},
      {"lblNoMaterialData", "Don't save materials", nullptr, true},
      {"chkChannels", nullptr, "Check if you don't want to include pose or morph data in the pose file",
       false},
      {"lblEnableChannels", "Don't save morphs or poses", nullptr, true},
  };
  for (const Expected& e : table) {
    QWidget* w = Control(e.name);
    if (!w) continue;
    if (e.caption) {
      EXPECT_EQ(CaptionOf(w), e.caption) << e.name;
    }
    if (e.tip) {
      EXPECT_EQ(w->toolTip(), e.tip) << e.name;
    }
    EXPECT_EQ(On(w), e.enabled) << e.name;
  }
  EXPECT_TRUE(Control<QLabel>("lblFileSystem(2)")->text().startsWith("The default file system for Poser"));
}

TEST_F(FirstState, EveryArrayElementExistsAndEveryEditingControlIsOff) {
  for (int i = 0; i <= 28; ++i)
    EXPECT_NE(window->findChild<QWidget*>(QString("cmd(%1)").arg(i)), nullptr) << i;
  for (int i = 0; i <= 11; ++i)
    EXPECT_NE(window->findChild<QWidget*>(QString("TXT(%1)").arg(i)), nullptr) << i;
  for (int i = 0; i <= 6; ++i)
    EXPECT_NE(window->findChild<QScrollBar*>(QString("SCR(%1)").arg(i)), nullptr) << i;
  for (int i = 0; i <= 22; ++i)
    EXPECT_NE(window->findChild<QCheckBox*>(QString("chkDelChannels(%1)").arg(i)), nullptr) << i;
  // Every button, box, list and bar of the panes is off, but the full-path
  // box and the option buttons.
  for (QWidget* pane : window->picOptions) {
    for (QWidget* w : pane->findChildren<QWidget*>()) {
      const bool editing = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                           qobject_cast<QListWidget*>(w) || qobject_cast<QTreeWidget*>(w) ||
                           qobject_cast<QComboBox*>(w) || qobject_cast<QScrollBar*>(w);
      if (!editing || w->objectName().isEmpty()) continue;
      const bool expected = w->objectName() == "chkTexture" || qobject_cast<QRadioButton*>(w);
      EXPECT_EQ(On(w), expected) << w->objectName().toStdString();
    }
  }
  EXPECT_TRUE(Control<QRadioButton>("optFileSystem(0)")->isChecked());
  EXPECT_TRUE(Control<QRadioButton>("optPoserFormat(0)")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>("chkNoMaterialData")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>("chkChannels")->isChecked());
  EXPECT_EQ(Control<QScrollBar>("SCR(0)")->value(), 100);
  EXPECT_EQ(Control<QScrollBar>("SCR(3)")->maximum(), 1000);
  EXPECT_EQ(Control<QScrollBar>("SCR(5)")->minimum(), -100);
  EXPECT_EQ(Control<QComboBox>("cmbFigures")->count(), 0);
  EXPECT_EQ(Control<QListWidget>("lstMaterials")->count(), 0);
  EXPECT_EQ(Control<QTreeWidget>("lstActors")->headerItem()->text(1), "Type");
}

TEST_F(FirstState, PanelsShowTheirOnFaceAndTwoButtonsAreNeverInView) {
  for (const PropertyPanel& p : window->materials->panels) {
    EXPECT_FALSE(p.caption->isHidden()) << p.caption->objectName().toStdString();
    EXPECT_TRUE(p.disabled->isHidden()) << p.disabled->objectName().toStdString();
    EXPECT_FALSE(On(p.disabled));
    EXPECT_TRUE(p.disabled->font().bold());
    for (QWidget* e : p.editors) EXPECT_FALSE(e->isHidden());
  }
  window->show();
  Trigger("mnuOpenPZ2");  // a cancelled dialog changes nothing
  for (const char* name : {"cmdCreateDial", "cmdZerAll", "Picture1(0)", "chkPreview(0)"}) {
    EXPECT_TRUE(Control(name)->isHidden()) << name;
  }
  Control<QTabBar>("tbsOptions")->setCurrentIndex(1);
  for (const char* name : {"cmdCreateDial", "cmdZerAll"}) {
    EXPECT_FALSE(Control(name)->isVisible()) << name;
  }
}

TEST_F(FirstState, TabsAndTheFirstPane) {
  auto* tabs = Control<QTabBar>("tbsOptions");
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(0), "Materials");
  EXPECT_EQ(tabs->tabText(1), "Morph and Pose channels");
  EXPECT_EQ(tabs->tabText(2), "Save Options");
  EXPECT_EQ(tabs->tabToolTip(0), "Click this tab to edit materials");
  EXPECT_EQ(tabs->tabToolTip(1), "Click this tab to edit morph and pose channels");
  EXPECT_EQ(tabs->tabToolTip(2), "Click this tab to select what will be included in the pose");
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(window->paneStack->currentWidget()->objectName(), "picOptions(0)");
  EXPECT_EQ(window->windowTitle(), "Vandrel");
  EXPECT_TRUE(window->acceptDrops());

  // Right after start the Save Options tab shows both boxes ticked and greyed.
  window->show();
  tabs->setCurrentIndex(2);  // as the user's click does
  EXPECT_EQ(window->paneStack->currentWidget()->objectName(), "picOptions(2)");
  auto* materials = Control<QCheckBox>("chkNoMaterialData");
  auto* channels = Control<QCheckBox>("chkChannels");
  EXPECT_TRUE(materials->isVisible() && materials->isChecked() && !materials->isEnabled());
  EXPECT_TRUE(channels->isVisible() && channels->isChecked() && !channels->isEnabled());
}

struct MenuEntry {
  const char* name;
  const char* caption;
  const char* shortcut;
  bool enabled;
  const char* parent;
};

TEST_F(FirstState, MenuBarHoldsEveryEntryInOrder) {
  const MenuEntry entries[] = {
      {"mnuFile", "&File", "", true, ""},
      {"mnuOpen", "Open", "", true, "mnuFile"},
      {"mnuPoseFile", "Pose File", "", true, "mnuOpen"},
      {"mnuOpenPZ2", "Pose File", "", true, "mnuPoseFile"},
      {"mnuOpenCM2", "Camera File", "", true, "mnuPoseFile"},
      {"mnuOpenFC2", "Face File", "", true, "mnuPoseFile"},
      {"mnuOpenHD2", "Hand File", "", true, "mnuPoseFile"},
      {"mnuOpenLT2", "Light File", "", true, "mnuPoseFile"},
      {"mnuOpenCR2", "Character File", "", true, "mnuOpen"},
      {"mnuOpenCR2Props", "Character File with Props", "", true, "mnuOpen"},
      {"mnuMultiFigure", "Multi-Figure Character File", "", false, "mnuOpen"},  // chooser not built yet
      {"mnuOpenPP2", "Prop File", "", true, "mnuOpen"},
      {"mnuOpenHR2", "Hair File", "", true, "mnuOpen"},
      {"mnuSave", "&Save", "Ctrl+S", false, "mnuFile"},
      {"mnuSaveAs", "S&ave as ...", "", false, "mnuFile"},
      {"mnuSelSets", "Selection templates", "", false, "mnuFile"},
      {"mnuExportMTL", "Export materials (.mtl)", "", false, "mnuFile"},
      {"mnuImport", "Import data", "", false, "mnuFile"},
      {"mnuFileInfo", "File Information", "", false, "mnuFile"},
      {"mnuBatchConvert", "P4 <-> P5 batch converter", "", true, "mnuFile"},
      {"mnuEmpty", "", "", true, "mnuFile"},
      {"mnuExit", "E&xit", "Ctrl+X", true, "mnuFile"},
      {"mnuSettings", "Se&ttings", "", true, ""},
      {"mnuPreferences", "Preferences", "", false, "mnuSettings"},
      {"mnuPoser", "Run Poser", "", false, "mnuSettings"},
      {"mnuHelp", "&Help", "", true, ""},
      {"mnuReadme", "License agreement", "F1", true, "mnuHelp"},
      {"mnuWebSite", "Online Help", "F2", true, "mnuHelp"},
      {"mnuVHistory", "Version History", "F3", true, "mnuHelp"},
      {"mnuEmpty2", "", "", true, "mnuHelp"},
      {"mnuAbout", "About", "Ctrl+A", true, "mnuHelp"},
  };
  std::map<std::string, std::vector<std::string>> children;
  for (const MenuEntry& e : entries) {
    QAction* a = Menu(e.name);
    if (!a) continue;
    EXPECT_EQ(a->text(), e.caption) << e.name;
    EXPECT_EQ(a->shortcut().toString(), e.shortcut) << e.name;
    EXPECT_EQ(a->isEnabled(), e.enabled) << e.name;
    children[e.parent].push_back(e.name);
  }
  EXPECT_TRUE(Menu("mnuEmpty")->isSeparator());
  // The order within each menu.
  for (const auto& [parent, names] : children) {
    QList<QAction*> actions;
    if (*parent.c_str() == 0)
      actions = window->menuBar()->actions();
    else
      actions = window->findChild<QMenu*>(parent.c_str())->actions();
    std::vector<std::string> got;
    for (QAction* a : actions) got.push_back(a->objectName().toStdString());
    EXPECT_EQ(got, names) << parent;
  }
  // A window that appears later enables its entry.
  window->SetOtherWindow(OtherWindow::Templates, [] {});
  EXPECT_TRUE(Menu("mnuSelSets")->isEnabled());
  window->SetOtherWindow(OtherWindow::FileInfo, [] {});
  EXPECT_FALSE(Menu("mnuFileInfo")->isEnabled());  // still waits for a read
}

}  // namespace
}  // namespace vandrel::test
