// The Save Options pane: the refusal to switch both kinds of data off, the
// channel pane following "Don't save morphs or poses", and the version rule.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "platform/qt/controls.h"
#include "window_fixture.h"

namespace vandrel::test {
namespace {

class SaveOptions : public WindowTest {
 public:
  void Load(int fileType, bool withChannels) {
    window->BeginLoad("/poses/Test." + std::string(FileTypeExtension(fileType)), fileType);
    gObjects.assign(1, ObjectRec{"figure", {MaterialRec{}}});
    gObjectList = {"figure"};
    window->EndLoad(fileType);
    gState.EventsOn = true;
    if (withChannels) {
      gActors.assign(1, ActorRec{});
      gActors[0].Name = "BODY:1";
      gActors[0].Kind = "actor";
      gActorList = {{"BODY:1", "actor"}};
      window->ShowChannelsRead();
    }
  }
};

constexpr const char* kRefusal = "Both morph and pose data and material data cannot be disabled";

TEST_F(SaveOptions, BothKindsOfDataCannotBeSwitchedOff) {
  // A character file read without its channels: materials cannot go too.
  Load(kCr2, false);
  gState.Dirty = false;
  window->chkNoMaterialData->click();
  EXPECT_FALSE(window->chkNoMaterialData->isChecked());
  EXPECT_TRUE(gState.Dirty);
  EXPECT_TRUE(gState.EventsOn);
  auto messages = ui->requestsOf(UiRequest::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, kRefusal);
  EXPECT_EQ(messages[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(messages[0].buttons, MsgButtons::OK);
  EXPECT_TRUE(On(window->materials->lstMaterials));  // nothing else changed

  // Materials off first, then channels: the second tick is undone.
  SetUp();
  Load(kPz2, true);
  window->chkNoMaterialData->click();
  EXPECT_TRUE(window->chkNoMaterialData->isChecked());
  window->chkChannels->click();
  EXPECT_FALSE(window->chkChannels->isChecked());
  EXPECT_TRUE(On(window->channelsPane->lstActors));
  ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message)[0].text, kRefusal);
}

TEST_F(SaveOptions, ADocumentWithoutMaterialsMayHaveBothTickedAndClosesWithoutAQuestion) {
  Load(kPz2, false);
  gObjects.assign(1, ObjectRec{});  // no material groups
  window->chkNoMaterialData->click();
  EXPECT_TRUE(window->chkNoMaterialData->isChecked());
  EXPECT_TRUE(window->chkChannels->isChecked());
  EXPECT_TRUE(gState.Dirty);
  EXPECT_TRUE(window->Form_Unload());
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
}

TEST_F(SaveOptions, DontSaveMorphsSwitchesTheChannelPane) {
  Load(kPz2, true);
  controls::setChecked(window->channelsPane->chkDisableThighLength, true);  // no thighLength line was read
  controls::setChecked(window->channelsPane->chkDelChannels[4], true);
  window->chkChannels->click();  // ticked
  for (QWidget* w : std::initializer_list<QWidget*>{
           window->channelsPane->lstActors, window->channelsPane->lstDials,
           window->channelsPane->cmdSelectAllActors, window->channelsPane->txtDialProperties[0],
           window->channelsPane->cmdApplyDial[0], window->channelsPane->chkDisableThighLength,
           window->channelsPane->cmdZerAll, window->channelsPane->cmdCreateDial,
           window->channelsPane->cmbDialProperties, window->channelsPane->cmdDeleteActors,
           window->channelsPane->cmdDeleteDials})
    EXPECT_FALSE(On(w)) << w->objectName().toStdString();
  EXPECT_TRUE(On(window->channelsPane->cmdDelChannels));  // a channel-type box is ticked
  EXPECT_FALSE(On(window->channelsPane->txtThighLength));

  // With "Disable ThighLength" ticked the thigh length box stays off.
  window->chkChannels->click();  // unticked
  EXPECT_TRUE(On(window->channelsPane->lstActors));
  EXPECT_TRUE(On(window->channelsPane->chkDisableThighLength));
  EXPECT_FALSE(On(window->channelsPane->txtThighLength));
  window->channelsPane->chkDisableThighLength->click();
  EXPECT_TRUE(On(window->channelsPane->txtThighLength));
  window->channelsPane->chkDisableThighLength->click();
  window->chkChannels->click();
  window->chkChannels->click();
  EXPECT_FALSE(On(window->channelsPane->txtThighLength));
}

TEST_F(SaveOptions, HandlersIgnoreChangesMadeWhileEventsAreOff) {
  Load(kPz2, true);
  gState.EventsOn = false;
  gState.Dirty = false;
  controls::setChecked(window->chkChannels, true);
  EXPECT_FALSE(gState.Dirty);
  EXPECT_TRUE(On(window->channelsPane->lstActors));
}

struct VersionRow {
  bool setP4, setP5;
  int option;
  const char* before;
  const char* after;
};

TEST_F(SaveOptions, OutputFormatSetsTheRequiredVersionOnlyWhenThePreferenceSaysSo) {
  const VersionRow rows[] = {
      {true, true, 0, "5", "4.01"}, {true, true, 1, "4.01", "5"}, {false, true, 0, "6", "6"},
      {true, false, 1, "6", "6"},   {false, false, 1, "", ""},    {true, false, 0, "4.01", "4.01"},
  };
  for (const VersionRow& r : rows) {
    SetUp();
    gSettings.SetPoserVersion = r.setP4;
    gSettings.SetP5Version = r.setP5;
    gSettings.PVersionNumber = "4.01";
    gSettings.P5VersionNumber = "5";
    controls::setText(window->materials->TXT[0], r.before);
    gState.Dirty = false;
    controls::setOption(window->optPoserFormat[r.option]);
    EXPECT_EQ(window->materials->TXT[0]->text(), r.after) << r.option << " " << r.before;
    EXPECT_EQ(window->Poser5Format(), r.option == 1);
    // The box's change handling marks the document only when the text changed.
    EXPECT_EQ(gState.Dirty, std::string(r.before) != r.after) << r.option << " " << r.before;
  }
}

TEST_F(SaveOptions, RequiredVersionIsTheNumberOfTheBoxInItsShortestForm) {
  const std::pair<const char*, const char*> rows[] = {
      {"4.0", "4"}, {"5", "5"}, {"4.01", "4.01"}, {"", "0"}, {"abc", "0"}, {" 6 .1", "6.1"}, {"4,5", "4"}};
  for (const auto& [text, version] : rows) {
    gState.Dirty = false;
    controls::setText(window->materials->TXT[0], "x");
    controls::setText(window->materials->TXT[0], text);
    EXPECT_EQ(gState.RequiredVersion, version) << text;
    EXPECT_TRUE(gState.Dirty);
  }
}

TEST_F(SaveOptions, ThighLengthBoxKeepsANumberFromZeroToOne) {
  const std::pair<const char*, const char*> rows[] = {{"0,25", "0.25"}, {".5", "0.5"},    {"1.5", "0"},
                                                      {"abc", "0"},     {"0.3x", "0.3x"}, {"", "0"}};
  for (const auto& [typed, shown] : rows) {
    controls::setText(window->channelsPane->txtThighLength, "0.1");
    gState.Dirty = false;
    controls::setText(window->channelsPane->txtThighLength, typed);
    EXPECT_EQ(window->channelsPane->txtThighLength->text(), shown) << typed;
    EXPECT_TRUE(gState.Dirty);
  }
}

}  // namespace
}  // namespace vandrel::test
