// The object list and the material list of the Materials pane: which group
// and which materials the editors work on, and the collected selection.
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>

#include "mainwindow/controls.h"
#include "mainwindow/materials_pane.h"
#include "model/model.h"
#include "model/object_list.h"
#include "platform/qt/qt_ui.h"

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
  for (const std::string& name : gObjectList) controls::addItem(cmbFigures, FromPoserText(name));
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

MaterialRec* MaterialsPane::CurrentMaterial() const {
  ObjectRec* group = ChosenGroup();
  const int i = lstMaterials->currentRow();
  if (!group || i < 0 || i >= static_cast<int>(group->Materials.size())) return nullptr;
  return &group->Materials[static_cast<std::size_t>(i)];
}

void MaterialsPane::GetSelectedMaterials() {
  const int n = lstMaterials->count();
  if (n == 0) {
    gSelCount = 0;
    return;
  }
  // One pass over the rows gives the indices in ascending order, whatever
  // order the user selected them in.
  std::vector<int> selected;
  for (int i = 0; i < n; ++i)
    if (lstMaterials->item(i)->isSelected()) selected.push_back(i);
  gSelCount = static_cast<int>(selected.size());
  if (gSelCount == 0) return;
  gSelMaterials = std::move(selected);
}

std::vector<MaterialRec*> MaterialsPane::SelectedMaterials() {
  GetSelectedMaterials();
  std::vector<MaterialRec*> records;
  ObjectRec* group = ChosenGroup();
  if (!group) return records;
  for (gSelIndex = 0; gSelIndex < gSelCount; ++gSelIndex) {
    const int i = gSelMaterials[static_cast<std::size_t>(gSelIndex)];
    if (i >= 0 && i < static_cast<int>(group->Materials.size()))
      records.push_back(&group->Materials[static_cast<std::size_t>(i)]);
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
  for (const MaterialRec& material : group->Materials) names << FromPoserText(material.Name);
  controls::addItems(lstMaterials, names);
  if (lstMaterials->count() > 0) controls::setSelected(lstMaterials, 0, true);
}

void MaterialsPane::lstMaterials_Click() {
  const QListWidgetItem* current = lstMaterials->currentItem();
  if (!current || !current->isSelected()) {
    for (int i = 0; i < lstMaterials->count(); ++i) {
      if (lstMaterials->item(i)->isSelected()) {
        // The lowest selected item becomes current; its own click shows it.
        controls::setListIndex(lstMaterials, i);
        return;
      }
    }
  }
  ShowMaterial();
  const bool any = !lstMaterials->selectedItems().isEmpty();
  cmdDeleteMaterials->setEnabled(any);
  cmdInvertSel->setEnabled(any);
}

}  // namespace vandrel
