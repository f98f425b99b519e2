// The Morph and Pose channels pane driven as a user meets it: real clicks and
// keys on the list views, the property rows, deletion and new morphs, and the
// pose file the window writes afterwards.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <clocale>

#include "common/text.h"
#include "model/channel_edits.h"
#include "platform/files.h"
#include "platform/qt/controls.h"
#include "window_fixture.h"

namespace vandrel::test {
namespace {

std::string DataFile(const std::string& name) { return std::string(VANDREL_TEST_DATA) + "/" + name; }

class ChannelsPaneTest : public WindowTest {
 public:
  ChannelsPane& P() { return *window->channelsPane; }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    WindowTest::TearDown();
  }

  // Opens a pose file through the File menu and brings the pane to the front.
  void Open(const std::string& path) {
    ui->AnswerOpen(path);
    window->mnuOpenPZ2_Click();
    ASSERT_FALSE(gState.ReadError);
    window->show();
    window->tbsOptions->setCurrentIndex(1);
    QApplication::processEvents();
  }
  std::string SaveAs(const std::string& name) {
    const std::string path = program.file(name);
    ui->AnswerSave(path);
    EXPECT_TRUE(window->mnuSaveAs_Click());
    return ReadFileBytes(path);
  }

  // A mouse click on row `row` (0-based) as the user makes it.
  static void Click(QTreeWidget* view, int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    view->scrollToItem(view->topLevelItem(row));
    const QPointF at = view->visualItemRect(view->topLevelItem(row)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, mods);
      QApplication::sendEvent(view->viewport(), &event);
    }
  }
  static void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &event);
  }
  static std::vector<int> Selected(const QTreeWidget* view) {
    std::vector<int> rows;
    const std::vector<bool> flags = controls::selectedRows(view);
    for (std::size_t i = 0; i < flags.size(); ++i)
      if (flags[i]) rows.push_back(static_cast<int>(i) + 1);
    return rows;
  }
  static std::vector<std::string> Texts(const QTreeWidget* view) {
    std::vector<std::string> texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
      texts.push_back((view->topLevelItem(i)->text(0) + "/" + view->topLevelItem(i)->text(1)).toStdString());
    return texts;
  }
  // Typed into a box (its own change handling runs as for typing).
  static void Type(QLineEdit* box, const char* text) {
    box->setText(text);
    emit box->textEdited(box->text());
  }
};

// Names, types and values of every channel of every actor.
std::string Tables() {
  std::string out;
  for (const ActorRec& a : gActors) {
    out += a.Name + "[" + a.Props().ExtName + "]:";
    for (const DialRec& d : a.Dials) out += " " + d.ChannelType + " " + d.Name + "=" + DialValueText(d.Value);
    out += "\n";
  }
  return out;
}

TEST_F(ChannelsPaneTest, ListsFollowClicksKeysAndSelectAll) {
  Open(DataFile("channels/figure_pose.pz2"));
  QTreeWidget* actors = P().lstActors;
  QTreeWidget* dials = P().lstDials;
  // The tab brought the first actor in: its channels, row 1 selected, its first value.
  EXPECT_EQ(Texts(dials),
            (std::vector<std::string>{"PBMStomach/valueParm", "PBMChest/valueParm", "xTran/translateX"}));
  EXPECT_EQ(Selected(dials), std::vector<int>{1});
  EXPECT_EQ(P().txtDialProperties[0]->text(), "0.5");
  EXPECT_EQ(P().txtActorProperties[0]->text(), "BODY");
  EXPECT_EQ(P().cmbActorProperties[0]->currentText(), "On (visible)");
  EXPECT_EQ(P().cmbActorProperties[2]->currentText(), "True");  // locked 1

  Click(actors, 1);  // lHand: off, doShadow, depthMapSize 256
  EXPECT_EQ(gCurrentActor, 2);
  EXPECT_EQ(Texts(dials), std::vector<std::string>{"Fist/targetGeom"});
  EXPECT_EQ(P().txtDialProperties[0]->text(), "-0.25");
  EXPECT_EQ(P().cmbActorProperties[0]->currentText(), "Off (invisible)");
  EXPECT_EQ(P().txtActorProperties[1]->text(), "256");
  EXPECT_FALSE(P().cmdDeleteDials->isEnabled());
  Click(dials, 0);
  EXPECT_EQ(P().txtDialProperties[1]->text(), "Fist");
  EXPECT_EQ(P().cmbDialProperties->currentText(), "True");
  EXPECT_TRUE(P().cmdDeleteDials->isEnabled());

  // The prop has no channels: an empty dial list, the value box keeps its text.
  Click(actors, 2);
  EXPECT_EQ(dials->topLevelItemCount(), 0);
  EXPECT_EQ(P().txtDialProperties[0]->text(), "-0.25");
  EXPECT_FALSE(P().cmdDeleteDials->isEnabled());
  P().cmdSelectAllDials->click();  // nothing to select: nothing happens
  EXPECT_EQ(Selected(actors), std::vector<int>{3});

  // Select All actors: every actor, the last one current.
  P().cmdSelectAllActors->click();
  EXPECT_EQ(Selected(actors), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(gCurrentActor, 5);
  EXPECT_EQ(Texts(dials), std::vector<std::string>{"focal/focal"});
  // A dial click with several actors selected keeps only the current one.
  Click(dials, 0);
  EXPECT_EQ(Selected(actors), std::vector<int>{5});

  // Keyboard: Home and Down run the item click as a mouse click does; Ctrl+A is Select All.
  actors->setFocus();
  Key(actors, Qt::Key_Home);
  EXPECT_EQ(gCurrentActor, 1);
  Key(actors, Qt::Key_Down);
  EXPECT_EQ(gCurrentActor, 2);
  EXPECT_EQ(Texts(dials), std::vector<std::string>{"Fist/targetGeom"});
  Key(actors, Qt::Key_End);
  EXPECT_EQ(gCurrentActor, 5);
  Key(actors, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Selected(actors).size(), 5u);

  // Several dials, one deselected with Ctrl: the first remaining becomes current.
  Click(actors, 0);
  P().cmdSelectAllDials->click();
  EXPECT_EQ(Selected(dials), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(gCurrentDial, 3);
  EXPECT_EQ(P().txtDialProperties[0]->text(), "0");
  Click(dials, 1, Qt::ControlModifier);
  EXPECT_EQ(Selected(dials), (std::vector<int>{1, 3}));
  EXPECT_EQ(gCurrentDial, 1);
  EXPECT_EQ(P().txtDialProperties[0]->text(), "0.5");
  Key(dials, Qt::Key_End);
  EXPECT_EQ(gCurrentDial, 3);
  Key(dials, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Selected(dials).size(), 3u);
  // A Ctrl-click on a selected actor leaves it selected.
  Click(actors, 0, Qt::ControlModifier);
  EXPECT_EQ(Selected(actors), std::vector<int>{1});
}

TEST_F(ChannelsPaneTest, PropertiesAreShownSwitchedAndApplied) {
  Open(DataFile("channels/figure_pose.pz2"));
  QTreeWidget* actors = P().lstActors;
  QTreeWidget* dials = P().lstDials;
  Click(actors, 0);
  Click(actors, 1, Qt::ShiftModifier);  // BODY and lHand selected, lHand current
  ASSERT_EQ(Selected(actors), (std::vector<int>{1, 2}));
  P().cmbActorProperties[3]->setCurrentIndex(0);
  P().cmdApplyProperty[4]->click();  // DoShadow False in both
  EXPECT_EQ(gActors[0].Props().DoShadow, 1);
  EXPECT_EQ(gActors[1].Props().DoShadow, 1);
  P().cmbActorProperties[0]->setCurrentIndex(-1);
  P().cmdApplyProperty[1]->click();  // no item chosen: absent
  EXPECT_EQ(gActors[0].Props().OnOff, 0);

  // DepthMapSize: 512 stores 513; 1.5 stores 2 and shows 1; beyond 16 bits nothing changes.
  for (const auto& [typed, stored, shown] : std::vector<std::tuple<const char*, int, const char*>>{
           {"512", 513, "512"}, {"1.5", 2, "1"}, {"40000", 2, "1"}}) {
    Type(P().txtActorProperties[1], typed);
    P().cmdApplyProperty[5]->click();
    EXPECT_EQ(gActors[1].Props().DepthMapSize, stored) << typed;
    Click(actors, 1);
    EXPECT_EQ(P().txtActorProperties[1]->text(), shown) << typed;
  }

  // A switch turned off applies to the selected actors; an actor left with
  // nothing to write (the prop, not even selected) goes, and the first is shown.
  gState.Dirty = false;
  P().chkEnable[4]->click();
  EXPECT_FALSE(gActors[0].PropertyOn[4] || gActors[1].PropertyOn[4]);
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(Texts(actors), (std::vector<std::string>{"BODY:1/actor", "lHand:1/actor", "Light1/light",
                                                     "MAIN_CAMERA/camera"}));
  EXPECT_EQ(Selected(actors), std::vector<int>{1});
  EXPECT_FALSE(P().chkEnable[4]->isChecked());
  EXPECT_FALSE(P().cmdApplyProperty[4]->isEnabled());
  EXPECT_FALSE(P().cmbActorProperties[3]->isEnabled());
  P().chkEnable[4]->click();
  EXPECT_TRUE(gActors[0].PropertyOn[4]);
  EXPECT_TRUE(P().cmdApplyProperty[4]->isEnabled());
  EXPECT_TRUE(P().cmbActorProperties[3]->isEnabled());

  // Dial value: accepted and refused texts, "." for a decimal-comma user too.
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  Click(actors, 0);
  Click(dials, 0);
  Click(dials, 1, Qt::ControlModifier);
  for (const char* refused : {"", "1.50", "+5", "0,5", "10001"}) {
    ui->clear();
    Type(P().txtDialProperties[0], refused);
    P().cmdApplyDial[0]->click();
    ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u) << refused;
    EXPECT_EQ(ui->requestsOf(UiRequest::Message)[0].text, "Use a value between -10000 and 10000");
  }
  EXPECT_EQ(gActors[0].Dials[0].Value, 0.5);
  ui->clear();
  Type(P().txtDialProperties[0], ".75");
  P().cmdApplyDial[0]->click();
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
  EXPECT_EQ(gActors[0].Dials[0].Value, 0.75);
  EXPECT_EQ(gActors[0].Dials[1].Value, 0.75);
  EXPECT_EQ(gActors[0].Dials[2].Value, 0);  // not selected
  Click(dials, 1);
  EXPECT_EQ(P().txtDialProperties[0]->text(), "0.75");
  Type(P().txtDialProperties[1], "Belly");
  P().cmdApplyDial[1]->click();
  EXPECT_EQ(gActors[0].Dials[1].ExtName, "Belly");

  // A dial switch turned off: xTran (value "0.000000", so not switched on)
  // has nothing to write and goes, though it is not selected.
  Click(dials, 0);
  ASSERT_TRUE(P().chkEnableDial[1]->isChecked());
  P().chkEnableDial[1]->click();
  EXPECT_FALSE(gActors[0].Dials[0].ExtNameOn);
  EXPECT_EQ(Texts(dials), (std::vector<std::string>{"PBMStomach/valueParm", "PBMChest/valueParm"}));
  EXPECT_EQ(gActors[0].Dials.size(), 2u);
}

TEST_F(ChannelsPaneTest, DeletionByTypeDialsAndActors) {
  Open(DataFile("pane/morphs.pz2"));
  QTreeWidget* actors = P().lstActors;
  QTreeWidget* dials = P().lstDials;
  // The Delete button follows the boxes while an actor is selected.
  P().chkDelChannels[12]->click();
  P().chkDelChannels[12]->click();
  EXPECT_FALSE(P().cmdDelChannels->isEnabled());
  P().cmdCheckAll[1]->click();
  EXPECT_EQ(P().cmdCheckAll[1]->text(), "Check none");
  EXPECT_TRUE(P().chkDelChannels[10]->isChecked() && P().chkDelChannels[14]->isChecked());
  EXPECT_FALSE(P().chkDelChannels[9]->isChecked() || P().chkDelChannels[15]->isChecked());
  EXPECT_TRUE(P().cmdDelChannels->isEnabled());
  P().cmdCheckAll[1]->click();
  EXPECT_EQ(P().cmdCheckAll[1]->text(), "Check all");
  EXPECT_FALSE(P().cmdDelChannels->isEnabled());

  // Nothing of the ticked type: nothing changes.
  P().chkDelChannels[10]->click();
  P().cmdDelChannels->click();
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).back().text, "0 channels were deleted.");
  P().chkDelChannels[10]->click();

  // A dial switch leaves an actor with nothing to write while another actor
  // is selected too: only that actor goes.
  gActors[3].PropertyOn.fill(false);
  Click(actors, 3);
  Click(dials, 0);
  Click(actors, 2, Qt::ControlModifier);
  Click(actors, 3, Qt::ControlModifier);  // neck current again, lHand still selected
  ASSERT_EQ(Selected(actors), (std::vector<int>{3, 4}));
  ASSERT_TRUE(P().chkEnableDial[0]->isChecked());
  P().chkEnableDial[0]->click();
  EXPECT_EQ(Texts(actors), (std::vector<std::string>{"BODY:1/actor", "head:1/actor", "lHand:1/actor"}));

  // Morphs and rotations of head and lHand: lHand, left with nothing to write, goes.
  const std::string before = Tables();
  Click(actors, 1);
  Click(actors, 2, Qt::ControlModifier);
  gActors[2].PropertyOn.fill(false);
  P().chkDelChannels[3]->click();
  P().chkDelChannels[0]->click();
  gState.Dirty = false;
  P().cmdDelChannels->click();
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).back().text, "5 channels and\r\n1 actors were deleted.");
  EXPECT_EQ(Texts(actors), (std::vector<std::string>{"BODY:1/actor", "head:1/actor"}));
  EXPECT_EQ(gActorList.size(), 2u);
  EXPECT_EQ(Selected(actors), std::vector<int>{1});
  EXPECT_EQ(gActors[1].Dials.size(), 1u);  // head keeps its name: one blank channel
  EXPECT_TRUE(gActors[1].Dials[0].Name.empty());
  EXPECT_TRUE(gState.Dirty);
  EXPECT_NE(Tables(), before);

  // Deleting the second of two dials, then all dials of an actor with something to write.
  Click(dials, 1);
  P().cmdDeleteDials->click();
  EXPECT_EQ(Texts(dials), std::vector<std::string>{"PBMFat/valueParm"});
  EXPECT_EQ(Selected(dials), std::vector<int>{1});
  P().cmdDeleteDials->click();
  EXPECT_EQ(dials->topLevelItemCount(), 0);
  EXPECT_EQ(gActors[0].Dials.size(), 1u);

  // Every actor deleted with materials off: the emptied state.
  window->chkNoMaterialData->click();
  ASSERT_TRUE(window->chkNoMaterialData->isChecked());
  P().cmdSelectAllActors->click();
  P().cmdDeleteActors->click();
  EXPECT_EQ(gActors.size(), 1u);
  EXPECT_TRUE(gActors[0].Name.empty());
  EXPECT_TRUE(gActorList.empty());
  EXPECT_EQ(actors->topLevelItemCount() + dials->topLevelItemCount(), 0);
  EXPECT_TRUE(window->chkChannels->isChecked());
  EXPECT_FALSE(window->chkChannels->isEnabled());
  EXPECT_FALSE(P().lstActors->isEnabled());
  EXPECT_FALSE(window->mnuSave->isEnabled() || window->mnuSaveAs->isEnabled());
  EXPECT_EQ(gCurrentActor, 0);
}

TEST_F(ChannelsPaneTest, EditedPoseIsSavedExactlyAsChangedAndReadsBack) {
  const std::string input = DataFile("pane/morphs.pz2");
  Open(input);
  const std::string untouched = SaveAs("untouched.pz2");
  QTreeWidget* actors = P().lstActors;
  QTreeWidget* dials = P().lstDials;

  Click(actors, 0);
  Type(P().txtDialProperties[0], "-0.5");
  P().cmdApplyDial[0]->click();  // PBMFat
  Click(actors, 3);
  Type(P().txtDialProperties[0], "2.5");
  P().cmdApplyDial[0]->click();  // zrot
  Click(actors, 1);
  Type(P().txtActorProperties[0], "Face");
  P().cmdApplyProperty[0]->click();
  Click(actors, 2, Qt::ControlModifier);
  P().chkDelChannels[3]->click();
  P().cmdDelChannels->click();  // Smile, Blink and Fist go
  // A new morph for BODY, switched on so that it is saved.
  Click(actors, 0);
  ui->AnswerInput("Grin");
  P().cmdCreateDial->click();
  EXPECT_EQ(Texts(dials).back(), "Grin/valueParm");
  Click(dials, 2);
  P().chkEnableDial[0]->click();

  const std::string tables = Tables();
  const std::string saved = SaveAs("edited.pz2");
  // The file differs from the untouched save exactly where the tables changed.
  std::string expected = untouched;
  auto change = [&expected](const std::string& from, const std::string& to) {
    const std::size_t at = expected.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    expected.replace(at, from.size(), to);
  };
  auto cut = [&expected](const std::string& from, const std::string& upTo) {
    const std::size_t at = expected.find(from), end = expected.find(upTo, at);
    ASSERT_TRUE(at != std::string::npos && end != std::string::npos) << from;
    expected.erase(at, end - at);
  };
  change("k  0  0.5\r\n", "k  0  -0.5\r\n");
  change("\t\t}\r\n\t}\r\nactor head:1",
         "\t\tvalueParm Grin\r\n\t\t\t{\r\n\t\t\tkeys\r\n\t\t\t\t{\r\n\t\t\t\tk  0  "
         "0\r\n\t\t\t\t}\r\n\t\t\t}\r\n"
         "\t\t}\r\n\t}\r\nactor head:1");
  change("name Head", "name Face");
  cut("\t\ttargetGeom Smile", "\t\trotateX xrot");
  cut("\t\ttargetGeom Fist", "\t\trotateY yrot");
  change("k  0  1\r\n", "k  0  2.5\r\n");
  EXPECT_EQ(saved, expected);

  // Read back, the file gives the same tables.
  Open(program.file("edited.pz2"));
  EXPECT_EQ(Tables(), tables);

  // New morphs for BODY and head, head current: a blank or cancelled name
  // makes none; a name keeps its blanks, each actor gets its own type, and
  // one row is listed, the current actor's.
  Click(actors, 0);
  Click(actors, 1, Qt::ControlModifier);
  const std::size_t bodyDials = gActors[0].Dials.size();
  ui->clear();
  for (const std::optional<std::string>& nothing :
       {std::optional<std::string>("   "), std::optional<std::string>()}) {
    ui->AnswerInput(nothing);
    P().cmdCreateDial->click();
  }
  EXPECT_EQ(ui->requestsOf(UiRequest::Input).at(0).text, "Enter name for the new morph");
  EXPECT_EQ(gActors[0].Dials.size(), bodyDials);
  gState.Dirty = false;
  ui->AnswerInput(" Wide ");
  P().cmdCreateDial->click();
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(gActors[0].Dials.back().ChannelType + "|" + gActors[0].Dials.back().Name, "valueParm| Wide ");
  EXPECT_EQ(Texts(dials), (std::vector<std::string>{"xrot/rotateX", " Wide /targetGeom"}));
  // Zero everything: every value 0, the box shows it, the document changed.
  gState.Dirty = false;
  P().cmdZerAll_Click();
  for (const ActorRec& a : gActors)
    for (const DialRec& d : a.Dials) EXPECT_EQ(d.Value, 0) << a.Name << " " << d.Name;
  EXPECT_EQ(P().txtDialProperties[0]->text(), "0");
  EXPECT_TRUE(gState.Dirty);
}

TEST_F(ChannelsPaneTest, DisplayNamesThatWouldNotReadBackAreRefused) {
  Open(DataFile("pane/morphs.pz2"));
  Click(P().lstActors, 1);
  Click(P().lstDials, 0);
  const std::string actorName = gActors[1].Props().ExtName.str(),
                    dialName = gActors[1].Dials[0].ExtName.str();
  for (const char* refused :
       {"Left } Arm", "Blink } {", "{", "two\nlines", "Head channels", "Eye\tchannels  "}) {
    for (const bool actor : {true, false}) {
      ui->clear();
      Type(actor ? P().txtActorProperties[0] : P().txtDialProperties[1], refused);
      (actor ? P().cmdApplyProperty[0] : P().cmdApplyDial[1])->click();
      const auto messages = ui->requestsOf(UiRequest::Message);
      ASSERT_EQ(messages.size(), 1u) << refused;
      EXPECT_EQ(messages[0].text, std::string(actor ? "An actor" : "A dial") +
                                      " name cannot contain \"{\", \"}\" or a line break, or end in the word "
                                      "\"channels\"");
      EXPECT_EQ(messages[0].icon, MsgIcon::Exclamation);
    }
    EXPECT_EQ(gActors[1].Props().ExtName, actorName) << refused;
    EXPECT_EQ(gActors[1].Dials[0].ExtName, dialName) << refused;
  }
  // Names that are keys of a block elsewhere are kept, saved and read back.
  ui->clear();
  Type(P().txtActorProperties[0], "hidden");
  P().cmdApplyProperty[0]->click();
  const char* dialNames[] = {"keys", "hidden", "channels of the head"};
  for (int j = 0; j < 3; ++j) {
    Click(P().lstDials, j);
    if (!P().chkEnableDial[1]->isChecked()) P().chkEnableDial[1]->click();
    Type(P().txtDialProperties[1], dialNames[j]);
    P().cmdApplyDial[1]->click();
  }
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
  auto names = [] {
    std::string out = gActors[1].Props().ExtName + ":";
    for (const DialRec& d : gActors[1].Dials) out += " [" + d.Name + "=" + d.ExtName + "]";
    return out;
  };
  const std::string applied = names();
  EXPECT_EQ(applied, "hidden: [Smile=keys] [Blink=hidden] [xrot=channels of the head]");
  const std::string tables = Tables();
  SaveAs("names.pz2");
  Open(program.file("names.pz2"));
  EXPECT_EQ(names(), applied);
  EXPECT_EQ(Tables(), tables);
}

}  // namespace
}  // namespace vandrel::test
