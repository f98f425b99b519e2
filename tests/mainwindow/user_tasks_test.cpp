// Whole tasks in the main window as a user meets them: a damaged file after a
// good one, clicks on the captions of boxes and options, panels that keep
// their places, an import between switching a property off and on, template
// groups below the visible rows and a map check without a Poser folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <map>

#include "mainwindow/frm_import.h"
#include "mainwindow/tool_windows.h"
#include "platform/files.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "window_fixture.h"

namespace vandrel::test {
namespace {

std::string Data(const std::string& name) { return std::string(VANDREL_TEST_DATA) + "/" + name; }

void Mouse(QWidget* w, QEvent::Type type) {
  const QPointF at(3, 3);
  QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}
void Click(QWidget* w) { Mouse(w, QEvent::MouseButtonPress), Mouse(w, QEvent::MouseButtonRelease); }
// A double-click as the mouse makes it: a click, then the double-click and its release.
void DoubleClick(QWidget* w) {
  Click(w), Mouse(w, QEvent::MouseButtonDblClick), Mouse(w, QEvent::MouseButtonRelease);
}

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QApplication::processEvents();
  }
}

// The place of every control in view in `root`, by name.
std::map<QString, QRect> Places(QWidget* root) {
  std::map<QString, QRect> places;
  for (QWidget* w : root->findChildren<QWidget*>())
    if (!w->objectName().isEmpty() && w->isVisibleTo(root))
      places[w->objectName()] = QRect(w->mapTo(root, QPoint(0, 0)), w->size());
  return places;
}

// The names of controls in view in both pictures whose place differs.
std::vector<std::string> Moved(const std::map<QString, QRect>& before,
                               const std::map<QString, QRect>& after) {
  std::vector<std::string> moved;
  for (const auto& [name, rect] : before) {
    const auto it = after.find(name);
    if (it != after.end() && it->second != rect) moved.push_back(name.toStdString());
  }
  return moved;
}

class UserTasks : public WindowTest {
 public:
  MaterialsPane& M() { return *window->materials; }
  ChannelsPane& C() { return *window->channelsPane; }
  void Open(const char* menu, const std::string& path, MsgResult morphs) {
    ui->AnswerOpen(path);
    ui->AnswerMessage(morphs);
    Trigger(menu);
  }
  // The user selects one row of the material list.
  void Select(int row) {
    M().lstMaterials->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    Settle();
  }
  PropertyPanel& Panel(int panel) { return M().panels[static_cast<std::size_t>(panel)]; }
  std::string SaveAs(const std::string& name) {
    const std::string path = program.file(name);
    ui->AnswerSave(path);
    EXPECT_TRUE(window->mnuSaveAs_Click());
    return ReadFileBytes(path);
  }
};

// The lines of one material's block in a written pose.
std::string Block(const std::string& pose, const std::string& material) {
  const std::size_t start = pose.find("material " + material + "\r");
  if (start == std::string::npos) return {};
  return pose.substr(start, pose.find("\t\t}", start) - start);
}

TEST_F(UserTasks, ADamagedFileAfterAGoodOneLeavesNothingOfEither) {
  const std::string tall = Data("windows/tall.cr2");
  Open("mnuOpenCR2Props", tall, MsgResult::Yes);
  ASSERT_FALSE(gState.ReadError);
  ASSERT_EQ(M().lstMaterials->count(), 10);
  ASSERT_EQ(C().lstActors->topLevelItemCount(), 2);
  window->show();
  window->tbsOptions->setCurrentIndex(1);
  Settle();
  EXPECT_EQ(C().txtActorProperties[0]->text(), "Body");
  EXPECT_EQ(C().txtDialProperties[0]->text(), "0.75");
  // Whole names in the Name columns; Type takes the rest.
  for (QTreeWidget* view : {C().lstActors, C().lstDials}) {
    const int name = view->fontMetrics().horizontalAdvance(view->topLevelItem(0)->text(0));
    EXPECT_GE(view->header()->sectionSize(0), name) << view->objectName().toStdString();
    EXPECT_EQ(view->header()->sectionSize(0) + view->header()->sectionSize(1), view->viewport()->width());
  }
  C().lstActors->setCurrentItem(C().lstActors->topLevelItem(1));
  emit C().lstActors->itemClicked(C().lstActors->topLevelItem(1), 0);
  EXPECT_EQ(C().txtActorProperties[0]->text(), "Right Forearm Twist");
  EXPECT_GE(C().lstActors->header()->sectionSize(0),
            C().lstActors->fontMetrics().horizontalAdvance("rightForeArmTwist:1"));

  // A new load: the boxes are usable again but hold nothing of the actor shown before.
  Open("mnuOpenCR2Props", tall, MsgResult::Yes);
  EXPECT_EQ(C().lstActors->topLevelItemCount(), 2);
  for (QLineEdit* box : {C().txtActorProperties[0], C().txtActorProperties[1], C().txtDialProperties[1]})
    EXPECT_TRUE(box->text().isEmpty() && On(box)) << box->objectName().toStdString();
  for (QComboBox* list : C().cmbActorProperties) EXPECT_EQ(list->currentIndex(), -1);
  EXPECT_EQ(C().cmbDialProperties->currentIndex(), -1);

  // The damaged file: its error, no morph question, and an empty window named after it.
  ui->clear();
  ui->AnswerOpen(Data("windows/cut_off.cr2"));
  Trigger("mnuOpenCR2");
  EXPECT_TRUE(gState.ReadError);
  const auto messages = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text.rfind("Error in the OpenFile function", 0), 0u) << messages[0].text;
  EXPECT_EQ(window->windowTitle(), "Vandrel - [cut_off.cr2]");
  // Figures, materials, actors and dials.
  EXPECT_EQ((std::vector<int>{M().cmbFigures->count(), M().lstMaterials->count(),
                              C().lstActors->topLevelItemCount(), C().lstDials->topLevelItemCount()}),
            (std::vector<int>{0, 0, 0, 0}));
  EXPECT_TRUE(C().txtActorProperties[0]->text().isEmpty());
  EXPECT_TRUE(window->chkNoMaterialData->isChecked() && !On(window->chkNoMaterialData));
  EXPECT_FALSE(Menu("mnuSave")->isEnabled() || Menu("mnuSaveAs")->isEnabled());
}

TEST_F(UserTasks, AClickOnTheCaptionOfEveryBoxAndOptionWorksItsButton) {
  gState.EventsOn = false;  // the boxes' own handling is not what is tested here
  std::vector<std::pair<QLabel*, QAbstractButton*>> pairs;
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    if (!qobject_cast<QCheckBox*>(button) && !qobject_cast<QRadioButton*>(button)) continue;
    if (button->objectName() == "chkPreview(0)") continue;  // the open dialog's, never in view
    QLabel* caption = nullptr;
    for (QLabel* label : window->findChildren<QLabel*>())
      if (label->buddy() == button) caption = label;
    ASSERT_NE(caption, nullptr) << button->objectName().toStdString();
    pairs.emplace_back(caption, button);
  }
  EXPECT_EQ(pairs.size(), 3u + 1u + 4u + 2u + 7u + 3u + 1u + 23u);
  // Twice round, so that every option is clicked while it is not chosen.
  for (int round = 0; round < 2; ++round) {
    for (auto [caption, button] : pairs) {
      button->setEnabled(true);
      caption->setEnabled(true);
      const bool before = button->isChecked();
      Click(caption);
      if (qobject_cast<QRadioButton*>(button))
        EXPECT_TRUE(button->isChecked()) << button->objectName().toStdString();
      else
        EXPECT_NE(button->isChecked(), before) << button->objectName().toStdString();
    }
  }
}

TEST_F(UserTasks, PanelsKeepTheirPlacesWhenTheyFlipOrAnotherMaterialIsShown) {
  Open("mnuOpenCR2", Data("windows/tall.cr2"), MsgResult::Yes);
  window->resize(FrmMain::StartSize(QSize(1366, 768 - 40)));
  window->show();
  Settle();
  Select(1);  // Skin: every property on
  const std::map<QString, QRect> skin = Places(&M());
  Select(3);  // Nails: only the object colour
  const std::map<QString, QRect> nails = Places(&M());
  EXPECT_TRUE(Panel(kHighlightSizePanel).disabled->isVisible());
  EXPECT_EQ(Moved(skin, nails), std::vector<std::string>{});
  // Each Disabled label lies on its panel's row.
  for (const PropertyPanel& p : M().panels) {
    if (!p.disabled->isVisible()) continue;
    const QRect caption = skin.at(p.caption->objectName());
    const QRect disabled = nails.at(p.disabled->objectName());
    EXPECT_TRUE(disabled.top() <= caption.center().y() && caption.center().y() <= disabled.bottom())
        << p.disabled->objectName().toStdString();
  }
  Select(1);
  EXPECT_EQ(Moved(skin, Places(&M())), std::vector<std::string>{});
  EXPECT_EQ(Places(&M()).size(), skin.size());
  DoubleClick(Panel(kHighlightSizePanel).caption);
  Settle();
  EXPECT_EQ(Moved(skin, Places(&M())), std::vector<std::string>{});

  // Greyed out, a missing map's path box draws its text as every disabled box does.
  ASSERT_EQ(M().TXT[8]->palette().color(QPalette::Active, QPalette::Text), QColor(255, 0, 0));
  Click(window->lblNoMaterialData);
  ASSERT_FALSE(On(M().TXT[8]));
  EXPECT_EQ(M().TXT[8]->palette().color(QPalette::Disabled, QPalette::Text),
            QApplication::palette(M().TXT[8]).color(QPalette::Disabled, QPalette::Text));
}

TEST_F(UserTasks, PropertiesSwitchOffAndOnAroundAnImportAndTheSaveFollows) {
  ConnectToolWindows(*window);
  Open("mnuOpenCR2", Data("windows/tall.cr2"), MsgResult::No);
  window->show();
  Select(1);  // Skin
  PropertyPanel& size = Panel(kHighlightSizePanel);
  PropertyPanel& lights = Panel(kMultiplyThroughLightsPanel);
  DoubleClick(size.caption);  // Highlight Size off
  ASSERT_FALSE(gObjects[0].Materials[1].HighlightSizeOn);
  // A click on a box's caption ticks or clears it; a double-click only switches it off.
  ASSERT_TRUE(M().chkMultiplyThroughLights->isChecked());
  Click(lights.caption);
  EXPECT_FALSE(gObjects[0].Materials[1].MultiplyThroughLights);
  Click(lights.caption);
  DoubleClick(lights.caption);
  EXPECT_TRUE(gObjects[0].Materials[1].MultiplyThroughLights);
  EXPECT_FALSE(gObjects[0].Materials[1].MultiplyThroughLightsOn);
  EXPECT_TRUE(lights.disabled->isVisible());

  // The prop's materials come in place of the figure's.
  ui->AnswerOpen(Data("reader/ball.pp2"));
  QTimer::singleShot(0, [] {
    auto* w = qobject_cast<FrmImport*>(QApplication::activeModalWidget());
    ASSERT_NE(w, nullptr);
    w->optFileType[8]->click();
    w->cmdImport->click();
  });
  Trigger("mnuImport");
  ASSERT_EQ(M().lstMaterials->count(), 2);
  // Every panel shows a usable label, whatever material is in view.
  auto usable = [this] {
    for (const PropertyPanel& p : M().panels) {
      QLabel* shown = p.caption->isHidden() ? p.disabled : p.caption;
      EXPECT_TRUE(On(shown) && !shown->isHidden()) << shown->objectName().toStdString();
    }
  };
  usable();
  Select(0);  // Rubber, with its highlight size
  usable();
  ASSERT_FALSE(size.caption->isHidden());
  // Off, on and off again.
  for (QLabel* label : {size.caption, size.disabled, size.caption}) DoubleClick(label);
  Select(1);  // Chrome, without one
  usable();
  ASSERT_FALSE(size.disabled->isHidden());
  // On, off and on again.
  for (QLabel* label : {size.disabled, size.caption, size.disabled}) DoubleClick(label);
  EXPECT_FALSE(gObjects[0].Materials[0].HighlightSizeOn);
  EXPECT_TRUE(gObjects[0].Materials[1].HighlightSizeOn);

  const std::string pose = SaveAs("after_import.pz2");
  ASSERT_FALSE(Block(pose, "Rubber").empty()) << pose;
  EXPECT_EQ(Block(pose, "Rubber").find("NsExponent"), std::string::npos) << pose;
  EXPECT_NE(Block(pose, "Chrome").find("NsExponent"), std::string::npos) << pose;
}

TEST_F(UserTasks, TemplateGroupsAndTheInputBoxShowWhole) {
  program.write("Templates/Face.cfg", "Back rows\r\n{\r\nLashes\r\nBrows\r\n}\r\n");
  Open("mnuOpenCR2", Data("windows/tall.cr2"), MsgResult::No);
  window->show();
  Settle();
  for (QComboBox* combo : {M().Combo1, M().Combo2}) {
    combo->setCurrentIndex(0);
    emit combo->activated(0);
  }
  QListWidget* list = M().lstMaterials;
  ASSERT_TRUE(list->item(8)->isSelected() && list->item(9)->isSelected());
  EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(8))));

  QtUi real(window.get());
  QTimer::singleShot(0, [] {
    auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_GE(box->width(), 2 * box->fontMetrics().horizontalAdvance("Create new group") + 100);
    box->setTextValue("Eyes");
    box->accept();
  });
  EXPECT_EQ(real.InputBox("Enter selection group's name", "Create new group", ""), "Eyes");
}

TEST_F(UserTasks, AMissingPoserFolderIsReportedOncePerCheckAndPerFix) {
  gSettings.AutoCorrect = true;
  gSettings.Poser = "";
  Open("mnuOpenCR2", Data("windows/tall.cr2"), MsgResult::No);
  const std::string warning = "The Default Poser\r\nfolder preference hasn't been set up correctly.";
  auto warnings = [&] {
    const auto messages = ui->requestsOf(UiRequest::Message);
    return std::count_if(messages.begin(), messages.end(), [&](const auto& m) { return m.text == warning; });
  };
  EXPECT_EQ(warnings(), 1);
  ui->clear();
  M().cmd[0]->click();   // every material
  M().cmd[26]->click();  // the bump maps' Fix
  EXPECT_EQ(warnings(), 1);
}

}  // namespace
}  // namespace vandrel::test
