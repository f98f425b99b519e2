// The actor and dial lists of the channels pane and the property rows that
// show and change the current actor and dial: item clicks, Select All, the
// "saved with the pose" switches and the Apply buttons.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "common/numbers.h"
#include "mainwindow/channels_pane.h"
#include "model/channel_edits.h"
#include "model/model.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"

namespace vandrel {

namespace {

QString ValueText(double value) { return QString::fromStdString(DialValueText(value)); }

}  // namespace

// ---- Helpers -------------------------------------------------------------------------

bool ChannelsPane::CurrentActorIndex(std::size_t& k) const {
  if (gCurrentActor < 1 || gCurrentActor > lstActors->topLevelItemCount() ||
      gCurrentActor > static_cast<int>(gActors.size()))
    return false;
  k = static_cast<std::size_t>(gCurrentActor - 1);
  return true;
}

std::vector<bool> ChannelsPane::SelectedActors() const {
  std::vector<bool> rows = controls::selectedRows(lstActors);
  rows.resize(std::min(rows.size(), gActors.size()));
  return rows;
}

std::vector<bool> ChannelsPane::SelectedDials() const {
  std::size_t k = 0;
  if (!CurrentActorIndex(k) || HasNoChannels(k)) return {};
  std::vector<bool> rows = controls::selectedRows(lstDials);
  rows.resize(std::min(rows.size(), gActors[k].Dials.size()));
  return rows;
}

void ChannelsPane::SelectOnly(QTreeWidget* view, int row) {
  std::vector<bool> rows(static_cast<std::size_t>(view->topLevelItemCount()), false);
  if (row >= 0 && row < view->topLevelItemCount()) rows[static_cast<std::size_t>(row)] = true;
  controls::selectRows(view, rows);
}

QWidget* ChannelsPane::ActorValueControl(int row) const {
  QWidget* value[7] = {txtActorProperties[0], cmbActorProperties[0], cmbActorProperties[1],
                       cmbActorProperties[2], cmbActorProperties[3], txtActorProperties[1],
                       cmbActorProperties[4]};
  return value[row];
}

QWidget* ChannelsPane::DialValueControl(int row) const {
  QWidget* value[3] = {txtDialProperties[0], txtDialProperties[1], cmbDialProperties};
  return value[row];
}

// ---- The lists ---------------------------------------------------------------------------

void ChannelsPane::FillDialList() {
  std::vector<std::pair<QString, QString>> items;
  std::size_t k = 0;
  if (CurrentActorIndex(k)) {
    items.reserve(gActors[k].Dials.size());
    for (const DialRec& dial : gActors[k].Dials)
      if (!dial.Name.empty())
        items.emplace_back(FromPoserText(dial.Name.str()), FromPoserText(dial.ChannelType));
  }
  controls::setItems(lstDials, items);
  // The dial rows may go on showing the earlier dial, but never one outside the list.
  if (gCurrentDial > lstDials->topLevelItemCount()) gCurrentDial = 0;
}

void ChannelsPane::lstActors_ItemClick(int item) {
  if (item < 1 || item > lstActors->topLevelItemCount() || item > static_cast<int>(gActors.size())) return;
  gCurrentActor = item;
  const controls::EventsOff eventsOff;  // given back as they were when the click ends
  controls::setSelected(lstActors, item - 1, true);
  controls::setCurrentRow(lstActors, item - 1);
  cmdDeleteActors->setEnabled(true);
  if (AnyDelChannelChecked()) cmdDelChannels->setEnabled(true);
  if (!gSelectingDials) {
    FillDialList();
    ShowActorProperties();
    if (lstDials->topLevelItemCount() > 0) {
      cmdDeleteDials->setEnabled(false);
      gSelectingActors = true;
      controls::setSelected(lstDials, 0, true);
      controls::setCurrentRow(lstDials, 0);
      gSelectingActors = false;
    }
  }
  const std::size_t k = static_cast<std::size_t>(item - 1);
  if (lstDials->topLevelItemCount() == 0 || HasNoChannels(k))
    cmdDeleteDials->setEnabled(false);
  else
    controls::setText(txtDialProperties[0], ValueText(gActors[k].Dials[0].Value));
}

void ChannelsPane::lstDials_ItemClick(int item) {
  std::size_t k = 0;
  if (!CurrentActorIndex(k) || HasNoChannels(k)) return;
  if (item < 1 || item > lstDials->topLevelItemCount() || item > static_cast<int>(gActors[k].Dials.size()))
    return;
  gCurrentDial = item;
  const controls::EventsOff eventsOff;  // given back as they were when the click ends
  controls::setCurrentRow(lstDials, item - 1);
  controls::setText(txtDialProperties[0],
                    ValueText(gActors[k].Dials[static_cast<std::size_t>(item - 1)].Value));
  ShowDialProperties();
  const int n = controls::selectedCount(lstDials);
  cmdDeleteDials->setEnabled(n > 0 || gSelectingActors);
  if (!gSelectingActors && controls::selectedCount(lstActors) >= 2) {
    // Dial work is on one actor: the actor selection narrows to the current one.
    gSelectingDials = true;
    SelectOnly(lstActors, gCurrentActor - 1);
    gSelectingDials = false;
  }
  const std::vector<bool> rows = controls::selectedRows(lstDials);
  if (!rows[static_cast<std::size_t>(item - 1)] && n > 1) {
    // Deselected with Ctrl: the first selected dial becomes current.
    const int first = static_cast<int>(std::find(rows.begin(), rows.end(), true) - rows.begin());
    lstDials_ItemClick(first + 1);
  }
}

void ChannelsPane::cmdSelectAllActors_Click() {
  const int count = lstActors->topLevelItemCount();
  if (count == 0) return;
  controls::selectAll(lstActors);
  lstActors_ItemClick(count);
}

void ChannelsPane::cmdSelectAllDials_Click() {
  const int count = lstDials->topLevelItemCount();
  if (count == 0) return;
  SelectOnly(lstActors, gCurrentActor - 1);
  controls::selectAll(lstDials);
  lstDials_ItemClick(count);
}

// ---- Showing the properties ----------------------------------------------------------------

void ChannelsPane::ShowRowSwitch(QCheckBox* box, QLabel* caption, QWidget* value, QPushButton* apply,
                                 bool on) {
  controls::setChecked(box, on);
  caption->setEnabled(on);
  value->setEnabled(on);
  apply->setEnabled(on);
}

void ChannelsPane::ShowActorProperties() {
  std::size_t k = 0;
  if (!CurrentActorIndex(k)) return;
  const ActorRec& a = gActors[k];
  const ActorProperties& p = a.Props();
  if (!p.ExtName.empty()) controls::setText(txtActorProperties[0], FromPoserText(p.ExtName.str()));
  const int listed[5] = {p.OnOff, p.Hidden, p.Locked, p.DoShadow, p.LightOn};
  for (int i = 0; i < 5; ++i)
    if (listed[i] > 0) controls::setListIndex(cmbActorProperties[i], listed[i] - 1);
  if (p.DepthMapSize > 0) controls::setText(txtActorProperties[1], QString::number(p.DepthMapSize - 1));
  for (int i = 0; i < 7; ++i)
    ShowRowSwitch(chkEnable[i], lblActorProperty[i], ActorValueControl(i), cmdApplyProperty[i],
                  a.PropertyOn[i]);
}

void ChannelsPane::ShowDialProperties() {
  std::size_t k = 0;
  if (!CurrentActorIndex(k) || gCurrentDial < 1 || gCurrentDial > static_cast<int>(gActors[k].Dials.size()))
    return;
  const DialRec& d = gActors[k].Dials[static_cast<std::size_t>(gCurrentDial - 1)];
  if (!d.ExtName.empty()) controls::setText(txtDialProperties[1], FromPoserText(d.ExtName.str()));
  if (d.Hidden > 0) controls::setListIndex(cmbDialProperties, d.Hidden - 1);
  const bool on[3] = {d.ValueOn, d.ExtNameOn, d.HiddenOn};
  for (int i = 0; i < 3; ++i)
    ShowRowSwitch(chkEnableDial[i], lblDialProperty[i], DialValueControl(i), cmdApplyDial[i], on[i]);
}

// ---- Switches ---------------------------------------------------------------------------------

void ChannelsPane::chkEnable_Click(int index) {
  if (!gState.EventsOn) return;
  const bool ticked = chkEnable[index]->isChecked();
  ActorValueControl(index)->setEnabled(ticked);
  lblActorProperty[index]->setEnabled(ticked);
  const std::vector<bool> selected = SelectedActors();
  std::vector<bool> marked(gActors.size(), false);
  bool anyMarked = false;
  for (std::size_t k = 0; k < gActors.size(); ++k) {
    // A blank placeholder record is never switched or marked.
    if (gActors[k].Name.empty()) continue;
    if (k < selected.size() && selected[k]) gActors[k].PropertyOn[static_cast<std::size_t>(index)] = ticked;
    if (!ticked && HasNoChannels(k) && ActorIsEmpty(k)) anyMarked = marked[k] = true;
  }
  cmdApplyProperty[index]->setEnabled(ticked);
  gState.Dirty = true;
  if (anyMarked) {
    // An actor with nothing left to write goes, selected or not.
    controls::selectRows(lstActors, marked);
    cmdDeleteActors_Click();
  }
}

void ChannelsPane::chkEnableDial_Click(int index) {
  if (!gState.EventsOn) return;
  const bool ticked = chkEnableDial[index]->isChecked();
  DialValueControl(index)->setEnabled(ticked);
  lblDialProperty[index]->setEnabled(ticked);
  cmdApplyDial[index]->setEnabled(ticked);
  std::size_t k = 0;
  if (!CurrentActorIndex(k) || HasNoChannels(k)) return;
  const std::vector<bool> selected = SelectedDials();
  DialList& dials = gActors[k].Dials;
  std::vector<bool> marked(dials.size(), false);
  bool anyMarked = false;
  for (std::size_t j = 0; j < dials.size(); ++j) {
    if (j < selected.size() && selected[j]) {
      if (index == 0)
        dials[j].ValueOn = ticked;
      else if (index == 1)
        dials[j].ExtNameOn = ticked;
      else
        dials[j].HiddenOn = ticked;
    }
    if (!ticked && DialIsEmpty(k, j)) anyMarked = marked[j] = true;
  }
  gState.Dirty = true;
  if (anyMarked) {
    controls::selectRows(lstDials, marked);
    cmdDeleteDials_Click();
  }
}

// ---- Apply ---------------------------------------------------------------------------------------

namespace {

// The number each property row but the name's sets, by ActorSwitch.
int ActorProperties::*const kPropertyNumbers[kActorSwitchCount] = {nullptr,
                                                                   &ActorProperties::OnOff,
                                                                   &ActorProperties::Hidden,
                                                                   &ActorProperties::Locked,
                                                                   &ActorProperties::DoShadow,
                                                                   &ActorProperties::DepthMapSize,
                                                                   &ActorProperties::LightOn};

// Refuses a display name that would not read back from the saved pose, with a
// message; true when the name can be written.
bool NameCanBeSaved(const std::string& name, const char* whose) {
  if (IsSavableDisplayName(name)) return true;
  Ui().MessageBox(std::string(whose) +
                      " name cannot contain \"{\", \"}\" or a line break, or end in the word \"channels\"",
                  "", MsgButtons::OK, MsgIcon::Exclamation);
  return false;
}

}  // namespace

void ChannelsPane::cmdApplyProperty_Click(int index) {
  const std::vector<bool> selected = SelectedActors();
  int stored = 0;
  if (index == 5) {
    const std::optional<int> size = StoredDepthMapSize(ToPoserText(txtActorProperties[1]->text()));
    if (!size) {
      // Too large for the file's 16-bit field: nothing changes, the box shows the current value.
      std::size_t k = 0;
      const bool present = CurrentActorIndex(k) && gActors[k].Props().DepthMapSize > 0;
      controls::setText(txtActorProperties[1],
                        present ? QString::number(gActors[k].Props().DepthMapSize - 1) : QString());
      return;
    }
    stored = *size;
  } else if (index != 0) {
    const int combo = index == 6 ? 4 : index - 1;
    stored = cmbActorProperties[combo]->currentIndex() + 1;
  }
  const std::string extName = ToPoserText(txtActorProperties[0]->text());
  if (index == 0 && !NameCanBeSaved(extName, "An actor")) return;
  for (std::size_t k = 0; k < selected.size(); ++k) {
    if (!selected[k]) continue;
    ActorProperties& p = gActors[k].EditProps();
    if (index == kExtNameSwitch)
      p.ExtName = extName;
    else
      p.*kPropertyNumbers[index] = stored;
  }
  gState.Dirty = true;
}

void ChannelsPane::cmdApplyDial_Click(int index) {
  double value = 0;
  if (index == 0) {
    const std::optional<double> accepted = AcceptedDialValue(ToPoserText(txtDialProperties[0]->text()));
    if (!accepted) {
      Ui().MessageBox("Use a value between -10000 and 10000", "", MsgButtons::OK, MsgIcon::Exclamation);
      return;
    }
    value = *accepted;
  }
  std::size_t k = 0;
  if (!CurrentActorIndex(k) || HasNoChannels(k)) return;
  const std::vector<bool> selected = SelectedDials();
  const std::string extName = ToPoserText(txtDialProperties[1]->text());
  if (index == 1 && !NameCanBeSaved(extName, "A dial")) return;
  const int hidden = cmbDialProperties->currentIndex() + 1;
  for (std::size_t j = 0; j < selected.size(); ++j) {
    if (!selected[j]) continue;
    DialRec& d = gActors[k].Dials[j];
    if (index == 0)
      d.Value = value;
    else if (index == 1)
      d.ExtName = extName;
    else
      d.Hidden = hidden;
  }
  gState.Dirty = true;
}

}  // namespace vandrel
