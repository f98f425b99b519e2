// The figure chooser, the import window and the material copying window as a
// user meets them: opened from the main window, driven by their controls,
// checked in the tables, the main window's lists and the written file.
#include "mainwindow/tool_windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "mainwindow/channels_pane.h"
#include "mainwindow/frm_create_mat.h"
#include "mainwindow/frm_figure.h"
#include "mainwindow/frm_import.h"
#include "mainwindow/materials_pane.h"
#include "platform/files.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "reader/morph_pose_file.h"
#include "reader/poser_file_reader.h"
#include "tools/figure_read.h"
#include "tools/import.h"
#include "window_fixture.h"

namespace vandrel::test {
namespace {

std::string Data(const std::string& name) { return std::string(VANDREL_TEST_DATA) + "/" + name; }

QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

QStringList Items(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

class ToolWindows : public WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    ConnectToolWindows(*window);
  }
  std::vector<std::string> Groups() {
    std::vector<std::string> names;
    for (const ObjectRec& g : gObjects) names.push_back(g.Name);
    return names;
  }
  // Opens the two-figure file through the chooser as its figure `figure`.
  void OpenFigure(int figure, MsgResult morphs) {
    ui->AnswerOpen(Data("tools/two_figures.cr2"));
    ui->AnswerMessage(morphs);
    WhenShown<FrmFigure>([figure](FrmFigure& f) {
      EXPECT_EQ(f.windowTitle(), "Select Figure");
      EXPECT_EQ(Items(f.cmbFigure), QStringList({"Doll", "Robot"}));
      // A click on the option's label lists by geometry, as on its button.
      for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, QPointF(2, 2), f.Label1->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(f.Label1, &click);
      }
      EXPECT_TRUE(f.optGeom->isChecked());
      EXPECT_EQ(Items(f.cmbFigure), QStringList({"doll.obj", "robot.obj"}));
      f.cmbFigure->setCurrentIndex(figure);
      f.cmdOK->click();
    });
    Trigger("mnuMultiFigure");
  }
};

TEST_F(ToolWindows, TheChooserReadsTheChosenFigureFromTheMenuAndFromADrop) {
  OpenFigure(1, MsgResult::Yes);
  EXPECT_EQ(ui->requestsOf(UiRequest::Open).at(0).dialog.title, "Open Character file");
  ASSERT_EQ(gObjects.size(), 1u);
  std::vector<std::string> names;
  for (const MaterialRec& m : gObjects[0].Materials) names.push_back(m.Name.str());
  EXPECT_EQ(names, (std::vector<std::string>{"Metal", "Glass"}));
  EXPECT_EQ(Items(window->materials->lstMaterials), QStringList({"Metal", "Glass"}));
  ASSERT_EQ(window->channelsPane->lstActors->topLevelItemCount(), 2);
  EXPECT_EQ(window->channelsPane->lstActors->topLevelItem(0)->text(0), "BODY:2");
  EXPECT_EQ(window->windowTitle(), "Vandrel - [two_figures.cr2]");
  EXPECT_FALSE(gState.LoadProps || gState.FileGiven || gFigureBodyOnly);

  // Dropped: the same chooser; the first figure, without its channels.
  ui->clear();
  ui->AnswerMessage(MsgResult::No);
  WhenShown<FrmFigure>([](FrmFigure& f) { f.cmdOK->click(); });
  window->Form_OLEDragDrop(Data("tools/two_figures.cr2"));
  EXPECT_EQ(gObjects[0].Materials.at(0).Name, "Skin");
  EXPECT_EQ(window->channelsPane->lstActors->topLevelItemCount(), 0);

  // Not a character file the chooser can use: its message, and nothing read.
  ui->clear();
  window->Form_OLEDragDrop(Data("reader/figure_props.cr2"));
  ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);
  EXPECT_EQ(ui->requests()[0].text, kNotCharacterFile);
  EXPECT_EQ(ui->requests()[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(gObjects[0].Materials.at(0).Name, "Skin");
  EXPECT_FALSE(gState.FileGiven || gState.LoadProps);
}

// A file that is not Poser text gets the reader's own refusal in the import
// window and in the figure chooser, and the document stays as it was.
TEST_F(ToolWindows, FilesThatAreNoPoserTextGetTheReadersRefusal) {
  ui->AnswerOpen(Data("channels/figure_pose.pz2"));
  window->mnuOpenPZ2_Click();
  ASSERT_FALSE(gState.ReadError);
  const std::string body = gActors.at(0).Name.str();
  std::string random(3000, '\0');
  for (std::size_t i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 7919 + 13) % 251);
  const std::string gzip = std::string("\x1f\x8b\x08\x00", 4) + "figure";
  struct Case {
    std::string name, bytes;
    const char* why;
  };
  for (const Case& c : {Case{"random", random, kNotPoserText}, Case{"packed", gzip, kCompressedPoserFile}}) {
    for (const bool chooser : {false, true}) {
      ui->clear();
      const std::string path = program.write(c.name + (chooser ? ".cr2" : ".pz2"), c.bytes);
      if (chooser) {
        window->Form_OLEDragDrop(path);
      } else {
        ui->AnswerOpen(path);
        WhenShown<FrmImport>([](FrmImport& w) {
          w.optDataType[1]->click();  // morphs and poses
          w.optFileType[0]->click();  // of a pose file
          w.cmdImport->click();
        });
        Trigger("mnuImport");
      }
      const auto boxes = ui->requestsOf(UiRequest::Message);
      ASSERT_EQ(boxes.size(), 1u) << c.name << chooser;
      EXPECT_NE(boxes[0].text.find(c.why), std::string::npos) << boxes[0].text;
      EXPECT_EQ(boxes[0].text.find(kNoMorphData), std::string::npos) << boxes[0].text;
      EXPECT_EQ(boxes[0].text.find(kNotCharacterFile), std::string::npos) << boxes[0].text;
      EXPECT_EQ(gActors.at(0).Name.str(), body);
      EXPECT_EQ(window->windowTitle(), "Vandrel - [figure_pose.pz2]");
    }
  }
}

// A figure without any material block, chosen in the chooser: its actors are
// read (when wanted), it counts as a file without material data, and Save as
// writes its channels.
TEST_F(ToolWindows, AFigureWithoutMaterialsOpensWithItsActorsAndSavesThem) {
  struct Case {
    MsgResult morphs;
    int actors;
  };
  for (const Case c : {Case{MsgResult::No, 0}, Case{MsgResult::Yes, 2}}) {
    SCOPED_TRACE(c.actors);
    ui->clear();
    ui->AnswerOpen(Data("tools/bare_figure.cr2"));
    ui->AnswerMessage(c.morphs);
    WhenShown<FrmFigure>([](FrmFigure& f) {
      ASSERT_EQ(Items(f.cmbFigure), QStringList({"Doll", "Stick"}));
      f.cmbFigure->setCurrentIndex(1);
      f.cmdOK->click();
    });
    Trigger("mnuMultiFigure");
    const auto messages = ui->requestsOf(UiRequest::Message);
    ASSERT_EQ(messages.size(), 1u) << messages.front().text;
    EXPECT_EQ(messages[0].text, kFigureMorphQuestion);
    EXPECT_FALSE(gState.ReadError);
    EXPECT_EQ(window->windowTitle(), "Vandrel - [bare_figure.cr2]");
    EXPECT_TRUE(gObjects.size() == 1 && gObjects[0].Name.empty());
    EXPECT_TRUE(window->chkNoMaterialData->isChecked());
    EXPECT_FALSE(On(window->chkNoMaterialData));
    EXPECT_EQ(window->channelsPane->lstActors->topLevelItemCount(), c.actors);
  }
  const std::string saved = program.file("stick.pz2");
  ui->AnswerSave(saved);
  Trigger("mnuSaveAs");
  const std::string pose = ReadFileBytes(saved);
  for (const char* line : {"actor BODY:2", "valueParm Wave", "rotateX xrot", "k  0  20"})
    EXPECT_NE(pose.find(line), std::string::npos) << line << "\n" << pose;
  EXPECT_EQ(pose.find("material"), std::string::npos) << pose;
}

TEST_F(ToolWindows, MaterialsImportedFromAPropAndCopiedToAnActorAreSavedInsideItsBlock) {
  OpenFigure(0, MsgResult::Yes);  // the doll: BODY:1 and hip:1 without materials
  EXPECT_EQ(gObjectList, (ObjectList{"figure", "actor BODY:1", "actor hip:1"}));

  ui->AnswerOpen(Data("reader/ball.pp2"));
  WhenShown<FrmImport>([](FrmImport& w) {
    EXPECT_EQ(w.windowTitle(), "Import materials or morphs and poses");
    EXPECT_FALSE(w.chkBody->isEnabled());
    w.optDataType[1]->click();
    w.optFileType[7]->click();
    EXPECT_TRUE(w.chkBody->isEnabled());
    w.chkBody->click();
    w.optDataType[0]->click();  // materials: BODY only cleared and off
    EXPECT_FALSE(w.chkBody->isChecked() || w.chkBody->isEnabled());
    w.optFileType[8]->click();
    w.cmdImport->click();
  });
  Trigger("mnuImport");
  EXPECT_EQ(ui->requestsOf(UiRequest::Open).back().dialog.title, "Open Prop file");
  ASSERT_GE(gObjects.size(), 1u);
  EXPECT_EQ(gObjects[0].Materials.at(0).Name, "Rubber");
  EXPECT_EQ(gObjectList.back(), "actor hip:1");
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(window->windowTitle(), "Vandrel - [two_figures.cr2]");
  EXPECT_EQ(window->channelsPane->lstActors->topLevelItemCount(), 2);

  // Cancel drops the pending copies; adding into the source itself adds nothing.
  const std::vector<std::string> groups = Groups();
  gState.Dirty = false;
  WhenShown<FrmCreateMat>([](FrmCreateMat& w) {
    w.lstMaterials1->selectAll();
    controls::setListIndex(w.cmbFigures2, 0);
    w.cmdAdd->click();
    EXPECT_EQ(Items(w.lstMaterials2), QStringList({"Rubber", "Chrome"}));
    controls::setListIndex(w.cmbFigures2, w.cmbFigures2->findText("actor hip:1"));
    w.cmdAdd->click();
    w.cmdCancel->click();
  });
  window->materials->cmdCreateMat->click();
  EXPECT_EQ(Groups(), groups);
  EXPECT_EQ(gObjects[0].Materials.size(), 2u);
  EXPECT_FALSE(gState.Dirty);

  // Rubber to the hip, renamed; Chrome to the hip too, then removed again.
  WhenShown<FrmCreateMat>([](FrmCreateMat& w) {
    EXPECT_EQ(w.windowTitle(), "Import material(s)");
    EXPECT_EQ(Items(w.lstMaterials1), QStringList({"Rubber", "Chrome"}));
    const int hip = w.cmbFigures2->findText("actor hip:1");
    controls::setListIndex(w.cmbFigures2, hip);
    EXPECT_TRUE(Items(w.lstMaterials2).isEmpty());
    w.lstMaterials1->selectAll();
    w.cmdAdd->click();
    EXPECT_EQ(Items(w.lstMaterials2), QStringList({"Rubber", "Chrome"}));
    w.lstMaterials2->setCurrentRow(0);
    w.cmdRename->click();
    w.cmdRename->click();
    EXPECT_EQ(Items(w.lstMaterials2), QStringList({"Latex", "Chrome"}));
    w.lstMaterials2->clearSelection();
    w.lstMaterials2->item(1)->setSelected(true);
    w.cmdRemove->click();
    EXPECT_EQ(Items(w.lstMaterials2), QStringList({"Latex"}));
    w.cmdOK->click();
  });
  gState.Dirty = false;
  ui->clear();
  ui->AnswerInput(std::string("Chrome"));  // taken: refused
  ui->AnswerInput(std::string("Latex"));
  window->materials->cmdCreateMat->click();
  const auto asked = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].text, "A material with that name already exists");
  EXPECT_TRUE(gState.Dirty);
  // The hip's new group follows the old ones; item k is gObjects(k).
  ASSERT_EQ(gObjects.size(), gObjectList.size() - 1);
  EXPECT_EQ(gObjects.back().Name, "hip:1");
  EXPECT_EQ(gObjectList[gObjects.size() - 1], "actor hip:1");
  EXPECT_EQ(gObjectList.back(), "actor BODY:1");
  EXPECT_EQ(gObjects.back().Materials.at(0).ObjectColor, (ColorRec{255, 0, 0}));
  EXPECT_EQ(window->materials->cmbFigures->count(), static_cast<int>(gObjectList.size()));

  const std::string saved = program.file("Doll.pz2");
  ui->AnswerSave(saved);
  Trigger("mnuSaveAs");
  const std::string text = ReadFileBytes(saved);
  const std::size_t hip = text.find("actor hip:1");
  ASSERT_NE(hip, std::string::npos) << text;
  const std::size_t latex = text.find("material Latex", hip);
  ASSERT_NE(latex, std::string::npos) << text;
  // Inside the hip's block, which ends where the prop's begins.
  EXPECT_LT(latex, text.find("\nprop ball", hip)) << text;
  EXPECT_LT(text.find("customMaterial 1", hip), latex);
}

// Message boxes are the real Qt ones; every other dialog answers from the script.
class RealBoxesUi : public ScriptedUi {
 public:
  MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                       MsgIcon icon) override {
    asked.push_back(text);
    return qt.MessageBox(text, title, buttons, icon);
  }
  QtUi qt;
  std::vector<std::string> asked;
};

TEST_F(ToolWindows, TheBodyImportReplacesTheBodyAfterOKInTheRealBox) {
  ui->AnswerOpen(Data("channels/figure_pose.pz2"));
  window->mnuOpenPZ2_Click();
  ASSERT_FALSE(gState.ReadError);
  auto bodyDials = [] {
    std::string names = gActors[0].Name + ":";
    for (const DialRec& d : gActors[0].Dials) names += " " + d.Name;
    return names;
  };
  const std::string oldBody = bodyDials();
  EXPECT_EQ(oldBody, "BODY:1: PBMStomach PBMChest xTran");

  RealBoxesUi boxes;
  UiServices* const previous = SetUi(&boxes);
  for (const bool cancelDialog : {true, false}) {
    if (cancelDialog)
      boxes.CancelFileDialog();
    else
      boxes.AnswerOpen(Data("channels/doll.cr2"));
    QTimer ok;
    QObject::connect(&ok, &QTimer::timeout, [&ok] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;  // the import window is still up, or nothing yet
      ok.stop();
      box->button(QMessageBox::Ok)->click();
    });
    ok.start(5);
    WhenShown<FrmImport>([](FrmImport& w) {
      w.optDataType[1]->click();
      w.optFileType[5]->click();
      w.chkBody->click();
      w.cmdImport->click();
    });
    Trigger("mnuImport");
    EXPECT_EQ(boxes.asked, std::vector<std::string>{kReplaceBodyQuestion});
    boxes.asked.clear();
    // A cancelled dialog after OK keeps the old BODY; a character file replaces it.
    EXPECT_EQ(bodyDials(), cancelDialog ? oldBody : "BODY:1: Smile");
  }
  SetUi(previous);
  EXPECT_EQ(window->channelsPane->lstActors->topLevelItem(0)->text(0), "BODY:1");
  EXPECT_EQ(window->channelsPane->lstActors->topLevelItem(1)->text(0), "lHand:1");

  const std::string path = program.file("saved.pz2");
  ui->AnswerSave(path);
  ASSERT_TRUE(window->mnuSaveAs_Click());
  const std::string saved = ReadFileBytes(path);
  EXPECT_NE(saved.find("valueParm Smile"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("PBMStomach"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("actor BODY:1"), saved.rfind("actor BODY:1")) << saved;
}

}  // namespace
}  // namespace vandrel::test
