// Deleting channels and actors from the channels pane, new morph channels
// and zeroing every value. The tables change first; each list is rebuilt
// once afterwards, and selections are made in one step.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <string>

#include "common/text.h"
#include "mainwindow/channels_pane.h"
#include "mainwindow/frm_main.h"
#include "model/channel_edits.h"
#include "model/model.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"

namespace vandrel {

namespace {

// The boxes of each group of the deletion frame.
constexpr int kGroupFirst[3] = {0, 10, 15};
constexpr int kGroupLast[3] = {9, 14, 22};

}  // namespace

void ChannelsPane::ApplyDelChannelsRule() {
  cmdDelChannels->setEnabled(cmdDeleteActors->isEnabledTo(this) && AnyDelChannelChecked());
}

void ChannelsPane::chkDelChannels_Click(int) { ApplyDelChannelsRule(); }

void ChannelsPane::cmdCheckAll_Click(int index) {
  const bool tick = cmdCheckAll[index]->text() == "Check all";
  for (int box = kGroupFirst[index]; box <= kGroupLast[index]; ++box)
    controls::setChecked(chkDelChannels[box], tick);
  cmdCheckAll[index]->setText(tick ? "Check none" : "Check all");
}

void ChannelsPane::cmdDelChannels_Click() {
  std::array<bool, kChannelFamilyCount> ticked{};
  for (int box = 0; box < kChannelFamilyCount; ++box) ticked[box] = chkDelChannels[box]->isChecked();
  const std::vector<bool> selected = SelectedActors();
  gSelectingActors = true;
  const ChannelDeletion deleted = DeleteChannelFamilies(selected, ticked);
  if (!deleted.anyMatched) {
    // Nothing changed: the last selected actor is shown with no dial selected.
    const auto last = std::find(selected.rbegin(), selected.rend(), true);
    if (last != selected.rend()) {
      lstActors_ItemClick(static_cast<int>(selected.rend() - last));
      gSelectingActors = true;
      controls::selectRows(lstDials, {});
    }
    Ui().MessageBox("0 channels were deleted.", "", MsgButtons::OK, MsgIcon::Information);
  } else {
    // Only the actors left with nothing to write stay selected, and go.
    controls::selectRows(lstActors, deleted.actorsToGo);
    if (deleted.actorCount > 0) cmdDeleteActors_Click();
    if (lstActors->topLevelItemCount() > 0) {
      SelectOnly(lstActors, 0);
      lstActors_ItemClick(1);
    }
    Ui().MessageBox(std::to_string(deleted.channels) + " channels and\r\n" +
                        std::to_string(deleted.actorCount) + " actors were deleted.",
                    "", MsgButtons::OK, MsgIcon::Information);
  }
  ApplyDelChannelsRule();
  gSelectingActors = false;
}

void ChannelsPane::cmdDeleteDials_Click() {
  const int rows = lstDials->topLevelItemCount();
  std::size_t k = 0;
  if (rows == 0 || !CurrentActorIndex(k) || HasNoChannels(k)) return;
  const std::vector<bool> selected = SelectedDials();
  const int count = controls::selectedCount(lstDials);
  if (count == 0) return;  // nothing selected, nothing deleted
  if (count == rows) {
    if (ActorIsEmpty(k)) {
      // Only the actor whose dials these are goes, whatever else is selected.
      SelectOnly(lstActors, static_cast<int>(k));
      cmdDeleteActors_Click();
      return;
    }
    controls::clear(lstDials);
    EmptyDials(k);
    gCurrentDial = 0;
    cmdDeleteDials->setEnabled(false);
  } else {
    RemoveDials(k, selected);
    FillDialList();
    controls::setSelected(lstDials, 0, true);
    lstDials_ItemClick(1);
  }
  gState.Dirty = true;
}

void ChannelsPane::cmdDeleteActors_Click() {
  const std::vector<bool> selected = SelectedActors();
  const int n = lstActors->topLevelItemCount();
  const int s = static_cast<int>(std::count(selected.begin(), selected.end(), true));
  if (s == 0 && n > 0) return;  // nothing selected, nothing deleted
  if (s < n) {
    RemoveActors(selected);
    ListActors();
    controls::setSelected(lstActors, 0, true);
    lstActors_ItemClick(1);
  } else {
    ResetActors();
    ClearActorAndDialLists();
    cmdDeleteActors->setEnabled(false);
    cmdDeleteDials->setEnabled(false);
    // Ticked with its own handling, so that the pane goes out of use.
    {
      const bool events = gState.EventsOn;
      gState.EventsOn = true;
      controls::setChecked(owner_.chkChannels, true);
      gState.EventsOn = events;
    }
    owner_.chkChannels->setEnabled(false);
    if (owner_.chkNoMaterialData->isChecked()) {
      owner_.mnuSave->setEnabled(false);
      owner_.mnuSaveAs->setEnabled(false);
    }
  }
  gState.Dirty = true;
}

void ChannelsPane::cmdCreateDial_Click() {
  const std::optional<std::string> answer = Ui().InputBox("Enter name for the new morph", "", "");
  if (!answer || Trim(*answer).empty()) return;
  if (lstActors->topLevelItemCount() == 0) return;
  const std::vector<bool> selected = SelectedActors();
  AddMorphChannel(selected, *answer);
  std::size_t k = 0;
  if (CurrentActorIndex(k) && k < selected.size() && selected[k] && !gActors[k].Name.empty()) {
    // The new channel is the last record of the current actor's table.
    auto* row =
        new QTreeWidgetItem({FromPoserText(*answer), FromPoserText(gActors[k].Dials.back().ChannelType)});
    const QSignalBlocker block(lstDials);
    lstDials->addTopLevelItem(row);
  }
  gState.Dirty = true;
}

void ChannelsPane::cmdZerAll_Click() {
  ZeroAllDials();
  controls::setText(txtDialProperties[0], "0");
  gState.Dirty = true;
}

}  // namespace vandrel
