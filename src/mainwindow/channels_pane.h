// The Morph and Pose channels pane: the actor and channel lists, the actor
// and channel property rows, the thigh length and the channel deletion frame,
// with their handlers. The main window owns it as the second page of its
// pane stack and reaches the save options and menus through its owner.
#pragma once

#include <QWidget>
#include <array>
#include <cstddef>
#include <vector>

#include "reader/channel_reader.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace vandrel {

class FrmMain;

class ChannelsPane : public QWidget {
  Q_OBJECT

 public:
  explicit ChannelsPane(FrmMain& owner);

  // ---- Controls, by their documented names. --------------------------------
  QGroupBox* fraActors = nullptr;
  QTreeWidget* lstActors = nullptr;
  QPushButton* cmdSelectAllActors = nullptr;
  QPushButton* cmdDeleteActors = nullptr;
  QGroupBox* fraChannels = nullptr;
  QTreeWidget* lstDials = nullptr;
  QPushButton* cmdSelectAllDials = nullptr;
  QPushButton* cmdDeleteDials = nullptr;
  QGroupBox* fraActorProperties = nullptr;
  std::array<QLabel*, 7> lblActorProperty{};
  std::array<QLineEdit*, 2> txtActorProperties{};
  std::array<QComboBox*, 5> cmbActorProperties{};
  std::array<QCheckBox*, 7> chkEnable{};
  std::array<QLabel*, 7> lblDisable{};
  std::array<QPushButton*, 7> cmdApplyProperty{};
  QGroupBox* fraDialValue = nullptr;
  std::array<QLabel*, 3> lblDialProperty{};
  std::array<QLineEdit*, 2> txtDialProperties{};
  QComboBox* cmbDialProperties = nullptr;
  std::array<QCheckBox*, 3> chkEnableDial{};
  std::array<QLabel*, 3> lblEnableDial{};
  std::array<QPushButton*, 3> cmdApplyDial{};
  QGroupBox* fraThighLength = nullptr;
  QLineEdit* txtThighLength = nullptr;
  QCheckBox* chkDisableThighLength = nullptr;
  QLabel* lblDisableThighLength = nullptr;
  QGroupBox* fraDeleteChannels = nullptr;
  std::array<QCheckBox*, 23> chkDelChannels{};
  std::array<QLabel*, 26> lblChannels{};  // 0..22 beside the boxes, 23..25 the group headings
  std::array<QPushButton*, 3> cmdCheckAll{};
  QPushButton* cmdDelChannels = nullptr;
  QPushButton* cmdCreateDial = nullptr;
  QPushButton* cmdZerAll = nullptr;

  // ---- States. ---------------------------------------------------------------
  // Empties both lists.
  void ClearActorAndDialLists();
  // The pane's part of the window's reset: lists emptied and off, the dial
  // value and thigh length boxes empty and off.
  void ResetPane();
  // Switches the property rows and the deletion frame on or off.
  void EnablePropertyControls(bool enabled);
  // The pane's controls as "Don't save morphs or poses" leaves them: `on`
  // when it is cleared.
  void EnableChannelControls(bool on);
  // True when any channel-type box of the deletion frame is ticked.
  bool AnyDelChannelChecked() const;

  // ---- After channels were read. ---------------------------------------------
  // The thigh length as read.
  void ShowThighLengthRead(const ChannelReadResult& result);
  // Lists gActorList in the actor list (the owner mirrors the object list).
  // False when no actor is listed.
  bool ListActors();
  // Switches the lists and editors on after a read that listed actors.
  void EnableAfterRead();

  // ---- The lists. -------------------------------------------------------------
  // An item of the actor or dial list clicked (1-based), as the user's click
  // (or a move of the current item with the keyboard) runs it.
  void lstActors_ItemClick(int item);
  void lstDials_ItemClick(int item);
  void cmdSelectAllActors_Click();
  void cmdSelectAllDials_Click();
  // Lists the channels of the current actor.
  void FillDialList();

  // ---- Actor and dial properties. ------------------------------------------------
  void ShowActorProperties();
  void ShowDialProperties();
  void chkEnable_Click(int index);
  void chkEnableDial_Click(int index);
  void cmdApplyProperty_Click(int index);
  void cmdApplyDial_Click(int index);
  void chkDisableThighLength_Click();
  void txtThighLength_Change();
  // The thigh length of a file being read is going into its box.
  bool showingRead_ = false;

  // ---- Deletion, new morphs and zeroing. -------------------------------------------
  void chkDelChannels_Click(int index);
  void cmdCheckAll_Click(int index);
  void cmdDelChannels_Click();
  void cmdDeleteDials_Click();
  void cmdDeleteActors_Click();
  void cmdCreateDial_Click();
  void cmdZerAll_Click();

 private:
  void BindHandlers();
  // The value control of actor row i and of dial row i.
  QWidget* ActorValueControl(int row) const;
  QWidget* DialValueControl(int row) const;
  // Enables or disables a property row as its switch says (ticking the switch
  // from code, which its handler ignores while events are off).
  void ShowRowSwitch(QCheckBox* box, QLabel* caption, QWidget* value, QPushButton* apply, bool on);
  // The current actor's table index, when it is a listed actor.
  bool CurrentActorIndex(std::size_t& k) const;
  // One flag per table entry: the selected actors, the current actor's selected dials.
  std::vector<bool> SelectedActors() const;
  std::vector<bool> SelectedDials() const;
  // Selects only `row` (0-based) of a list view.
  static void SelectOnly(QTreeWidget* view, int row);
  // Enables cmdDelChannels exactly when an actor can be deleted and a box is ticked.
  void ApplyDelChannelsRule();

  FrmMain& owner_;
};

}  // namespace vandrel
