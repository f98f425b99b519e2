// The object list and the material list of the Materials pane: which group
// and which materials the editors work on, the collected selection, and the
// buttons that select, delete and create materials and remove a group.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <algorithm>
#include <optional>

#include "common/text.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/materials_pane.h"
#include "model/model.h"
#include "model/object_list.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "reader/material_parser.h"

namespace vandrel {

namespace {

// Entry k of the table backs item k of the object list; the nameless entry 0
// of a table without groups backs none (an "actor " item stands there).
bool IsGroup(int k) {
  if (k < 0 || k >= static_cast<int>(gObjects.size())) return false;
  const ObjectRec& group = gObjects[static_cast<std::size_t>(k)];
  return !(group.Name.empty() && group.Materials.empty());
}

}  // namespace

// ---- The object list ------------------------------------------------------------

void MaterialsPane::AddFigureListItem(const std::string& name, int position) {
  // The list's own rule places the entry; the combo box follows it.
  const std::size_t index = AddObjectListItem(name, position);
  controls::insertItem(cmbFigures, static_cast<int>(index), FromPoserText(name));
}

void MaterialsPane::MirrorObjectList() {
  const int chosen = cmbFigures->currentIndex();
  controls::clear(cmbFigures);
  for (const CompactText& name : gObjectList) controls::addItem(cmbFigures, FromPoserText(name.str()));
  if (chosen >= 0 && chosen < cmbFigures->count()) {
    const QSignalBlocker block(cmbFigures);
    cmbFigures->setCurrentIndex(chosen);
  }
}

// ---- The chosen group and the selection -------------------------------------------

ObjectRec* MaterialsPane::ChosenGroup() const {
  const int k = cmbFigures->currentIndex();
  return IsGroup(k) ? &gObjects[static_cast<std::size_t>(k)] : nullptr;
}

const MaterialRec* MaterialsPane::CurrentMaterial() const {
  const ObjectRec* group = ChosenGroup();
  const int i = lstMaterials->currentRow();
  if (!group || i < 0 || i >= static_cast<int>(group->Materials.size())) return nullptr;
  return &group->Materials[static_cast<std::size_t>(i)];
}

void MaterialsPane::GetSelectedMaterials() {
  const int n = lstMaterials->count();
  if (n == 0) {
    selectedMaterialCount = 0;
    return;
  }
  // One pass over the rows gives the indices in ascending order, whatever
  // order the user selected them in.
  const std::vector<bool> rows = controls::selectedRows(lstMaterials);
  std::vector<int> selected;
  for (int i = 0; i < n; ++i)
    if (rows[static_cast<std::size_t>(i)]) selected.push_back(i);
  selectedMaterialCount = static_cast<int>(selected.size());
  if (selectedMaterialCount == 0) return;
  selectedMaterialRows = std::move(selected);
}

std::vector<MaterialRec*> MaterialsPane::SelectedMaterials() {
  GetSelectedMaterials();
  std::vector<MaterialRec*> records;
  ObjectRec* group = ChosenGroup();
  if (!group) return records;
  for (int k = 0; k < selectedMaterialCount; ++k) {
    const int i = selectedMaterialRows[static_cast<std::size_t>(k)];
    if (i >= 0 && i < static_cast<int>(group->Materials.size()))
      records.push_back(&group->Materials.Edit()[static_cast<std::size_t>(i)]);
  }
  return records;
}

// ---- Choosing an object and filling the material list -----------------------------------

void MaterialsPane::cmbFigures_Click() {
  const int k = cmbFigures->currentIndex();
  if (k < 0) return;  // nothing chosen: nothing to show
  if (IsGroup(k)) {
    if (!lstMaterials->isEnabledTo(window())) EnableMaterialControls();
    FillMaterialList();
  } else {
    // An "actor " item without a group; "Create new material" stays usable.
    DisableMaterialControls();
    ClearMaterialPanel();
  }
}

void MaterialsPane::FillMaterialList() {
  controls::clear(lstMaterials);
  const ObjectRec* group = ChosenGroup();
  if (!group) return;
  QStringList names;
  names.reserve(static_cast<qsizetype>(group->Materials.size()));
  for (const MaterialRec& material : group->Materials) names << FromPoserText(material.Name.str());
  controls::addItems(lstMaterials, names);
  if (lstMaterials->count() > 0) controls::setSelected(lstMaterials, 0, true);
}

void MaterialsPane::lstMaterials_Click() {
  const std::vector<bool> rows = controls::selectedRows(lstMaterials);
  const auto first = std::find(rows.begin(), rows.end(), true);
  const bool any = first != rows.end();
  const int current = lstMaterials->currentRow();
  if (any &&
      (current < 0 || current >= static_cast<int>(rows.size()) || !rows[static_cast<std::size_t>(current)])) {
    // The lowest selected item becomes current; its own click shows it.
    controls::setListIndex(lstMaterials, static_cast<int>(first - rows.begin()));
    return;
  }
  ShowMaterial();
  cmdDeleteMaterials->setEnabled(any);
  cmdInvertSel->setEnabled(any);
}

// ---- Select all, invert, delete ---------------------------------------------------

void MaterialsPane::SelectAllMaterials() {
  controls::setSelection(lstMaterials,
                         std::vector<bool>(static_cast<std::size_t>(lstMaterials->count()), true));
}

void MaterialsPane::cmdInvertSel_Click() {
  std::vector<bool> rows = controls::selectedRows(lstMaterials);
  rows.flip();
  controls::setSelection(lstMaterials, rows);
}

void MaterialsPane::cmdDeleteMaterials_Click() {
  const std::vector<bool> rows = controls::selectedRows(lstMaterials);
  const auto selected = static_cast<std::size_t>(std::count(rows.begin(), rows.end(), true));
  if (rows.empty() || selected == rows.size()) {
    // Every material goes: the whole group is removed.
    CMD_Click(kDeleteObjectButton);
    return;
  }
  ObjectRec* group = ChosenGroup();
  if (!group) return;
  std::vector<MaterialRec> kept;
  kept.reserve(group->Materials.size());
  for (std::size_t i = 0; i < group->Materials.size(); ++i)
    if (i >= rows.size() || !rows[i]) kept.push_back(std::move(group->Materials[i]));
  group->Materials = std::move(kept);
  // The list is rebuilt once; its first material is selected and shown.
  FillMaterialList();
  gState.Dirty = true;
}

// ---- A new material ---------------------------------------------------------------

void MaterialsPane::cmdNewMat_Click() {
  const std::optional<std::string> answer =
      Ui().InputBox("Enter a name for the new material", "New material", "");
  if (!answer || Trim(*answer).empty()) return;
  const int chosen = cmbFigures->currentIndex();
  if (chosen < 0 || chosen >= static_cast<int>(gObjectList.size())) return;
  const std::string& name = *answer;
  if (name.find_first_of("{}\r\n") != std::string::npos) {
    // Braces and line breaks would end the material's block in the saved pose.
    Ui().MessageBox("A material name cannot contain \"{\", \"}\" or a line break", "", MsgButtons::OK,
                    MsgIcon::Exclamation);
    return;
  }
  int k = chosen;
  if (!IsGroup(chosen)) {
    // An "actor " item without a group: the actor's group is created and its
    // item moved to the group's place in the list.
    if (IsGroup(0) || gObjects.empty()) gObjects.emplace_back();
    k = static_cast<int>(gObjects.size()) - 1;
    ObjectRec& group = gObjects.back();
    group.Materials.Edit().assign(1, MaterialRec{});
    group.Materials.Edit()[0].Name = "";
    const std::string item = gObjectList[static_cast<std::size_t>(chosen)].str();
    gObjectList.erase(gObjectList.begin() + chosen);
    gObjectList.insert(gObjectList.begin() + k, item);
    controls::removeItem(cmbFigures, chosen);
    controls::insertItem(cmbFigures, k, FromPoserText(item));
    group.Name = StartsWith(item, "actor ") ? item.substr(6) : item;
  } else {
    const std::string wanted = LCase(name);
    for (const MaterialRec& m : gObjects[static_cast<std::size_t>(k)].Materials) {
      if (LCase(m.Name) == wanted) {
        Ui().MessageBox("A material with that name already exists", "", MsgButtons::OK, MsgIcon::Exclamation);
        return;
      }
    }
  }
  ObjectRec& group = gObjects[static_cast<std::size_t>(k)];
  if (group.Materials.empty() || !group.Materials[0].Name.empty()) group.Materials.Edit().emplace_back();
  const int last = static_cast<int>(group.Materials.size()) - 1;
  // The record the reader makes of a block without lines: no maps, valid
  // numbers, every property switched off.
  ParseMaterialBlock("", k, last);
  group.Materials.Edit().back().Name = name;
  // A new material is a change of the document.
  gState.Dirty = true;
  if (cmbFigures->currentIndex() == k)
    cmbFigures_Click();
  else
    controls::setListIndex(cmbFigures, k);
}

// ---- Removing a group --------------------------------------------------------------

bool MaterialsPane::RemoveChosenGroup() {
  const int k = cmbFigures->currentIndex();
  if (k < 0) return false;
  if (gObjects.size() > 1) {
    if (k < static_cast<int>(gObjects.size())) gObjects.erase(gObjects.begin() + k);
    if (k < static_cast<int>(gObjectList.size())) gObjectList.erase(gObjectList.begin() + k);
    controls::setListIndex(cmbFigures, -1);
    controls::removeItem(cmbFigures, k);
    if (cmbFigures->count() > 0) controls::setListIndex(cmbFigures, 0);
    if (cmbFigures->count() == 0) cmd[kDeleteObjectButton]->setEnabled(false);
    gState.Dirty = true;
    return true;
  }
  // The last group: nothing of the materials is left to save.
  gObjects.assign(1, ObjectRec{});
  {
    // Ticked as the user would tick it: its own click handling runs.
    const bool events = gState.EventsOn;
    gState.EventsOn = true;
    controls::setChecked(main_.chkNoMaterialData, true);
    gState.EventsOn = events;
  }
  main_.chkNoMaterialData->setEnabled(false);
  ClearMaterialPanel();
  gObjectList.clear();
  controls::clear(cmbFigures);
  main_.mnuExportMTL->setEnabled(false);
  if (main_.chkChannels->isChecked()) {
    main_.mnuSave->setEnabled(false);
    main_.mnuSaveAs->setEnabled(false);
  }
  return false;
}

}  // namespace vandrel
