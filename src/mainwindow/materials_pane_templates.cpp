// The Materials pane's selection templates: Combo1 lists the templates,
// Combo2 the chosen one's groups, and choosing a group selects exactly the
// materials it names. Every choice reads the template file again.
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <filesystem>

#include "mainwindow/frm_main.h"
#include "mainwindow/materials_pane.h"
#include "model/model.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "platform/ui_services.h"
#include "tools/selection_templates.h"

namespace vandrel {

namespace {

void Warn(const std::string& text) { Ui().MessageBox(text, "", MsgButtons::OK, MsgIcon::Exclamation); }

}  // namespace

void MaterialsPane::ConnectTemplates() {
  controls::bindClick(Combo1, [this] { Combo1_Click(); });
  controls::bindClick(Combo2, [this] { Combo2_Click(); });
  controls::bindButton(cmdDelTemplate, [this] { cmdDelTemplate_Click(); });
  controls::bindButton(cmdEditTemplate, [this] { cmdEditTemplate_Click(); });
}

std::string MaterialsPane::TemplateFileAt(int index) const {
  if (index < 0 || index >= static_cast<int>(templateFiles_.size())) return {};
  return templateFiles_[static_cast<std::size_t>(index)];
}

void MaterialsPane::FillTemplateList() {
  controls::clear(Combo1);
  controls::clear(Combo2);
  for (QWidget* w : {static_cast<QWidget*>(Combo2), static_cast<QWidget*>(cmdEditTemplate),
                     static_cast<QWidget*>(cmdDelTemplate)})
    w->setEnabled(false);
  templateFiles_.clear();
  for (const TemplateEntry& entry : ListTemplates()) {
    controls::addItem(Combo1, FromUtf8(entry.name));  // a file name
    templateFiles_.push_back(entry.path);
  }
}

void MaterialsPane::FillTemplateGroupList(int index) {
  controls::clear(Combo2);
  SelectionTemplate tpl;
  const std::string error = ReadTemplateFile(TemplateFileAt(index), tpl);
  if (!error.empty()) {
    Warn(error);
    return;
  }
  for (const SelectionGroup& g : tpl.Groups) controls::addItem(Combo2, FromPoserText(g.Name));
  for (QWidget* w : {static_cast<QWidget*>(Combo2), static_cast<QWidget*>(cmdEditTemplate),
                     static_cast<QWidget*>(cmdDelTemplate)})
    w->setEnabled(true);
}

void MaterialsPane::Combo1_Click() { FillTemplateGroupList(Combo1->currentIndex()); }

void MaterialsPane::Combo2_Click() {
  const int chosen = Combo2->currentIndex();
  if (chosen < 0) return;
  SelectionTemplate tpl;
  const std::string error = ReadTemplateFile(TemplateFileAt(Combo1->currentIndex()), tpl);
  if (!error.empty()) {
    Warn(error);
    return;
  }
  // The group at the chosen place, or the first of its name when the file
  // changed since it was listed.
  const QString name = Combo2->currentText();
  const SelectionGroup* group = nullptr;
  const auto at = static_cast<std::size_t>(chosen);
  if (at < tpl.Groups.size() && FromPoserText(tpl.Groups[at].Name) == name) group = &tpl.Groups[at];
  for (std::size_t i = 0; group == nullptr && i < tpl.Groups.size(); ++i)
    if (FromPoserText(tpl.Groups[i].Name) == name) group = &tpl.Groups[i];
  if (group == nullptr) {
    Warn("The selection group \"" + ToUtf8(name) + "\" is no longer in the template.");
    return;
  }
  std::vector<std::string> rows;
  rows.reserve(static_cast<std::size_t>(lstMaterials->count()));
  for (int row = 0; row < lstMaterials->count(); ++row)
    rows.push_back(ToUtf8(lstMaterials->item(row)->text()));
  const std::vector<bool> selection = GroupSelection(*group, rows);
  controls::setSelection(lstMaterials, selection);
  // The group's first material comes into view, wherever the list stood.
  const auto first = std::find(selection.begin(), selection.end(), true);
  if (first != selection.end())
    lstMaterials->scrollToItem(lstMaterials->item(static_cast<int>(first - selection.begin())),
                               QAbstractItemView::PositionAtTop);
}

void MaterialsPane::cmdDelTemplate_Click() {
  const int chosen = Combo1->currentIndex();
  if (chosen < 0) return;
  const std::string name = ToUtf8(Combo1->currentText());  // a file name
  if (Ui().MessageBox("Are you sure you want to delete template\r\n" + name + "?", "Delete template?",
                      MsgButtons::YesNo, MsgIcon::None) != MsgResult::Yes)
    return;
  std::error_code ec;
  if (!std::filesystem::remove(TemplateFileAt(chosen), ec))
    Warn("The selection template " + TemplateFileAt(chosen) + " could not be deleted" +
         (ec ? ": " + ec.message() : " (it is gone already)."));
  FillTemplateList();
}

void MaterialsPane::cmdEditTemplate_Click() {
  const std::string path = TemplateFileAt(Combo1->currentIndex());
  if (path.empty()) return;
  // The editor opens the file named in gState.FileName; the document's name
  // comes back afterwards, so that the next Save writes the pose, not the template.
  const std::string kept = gState.FileName;
  gState.FileGiven = true;
  gState.FileName = path;
  main_.mnuSelSets_Click();
  gState.FileGiven = false;
  gState.FileName = kept;
}

}  // namespace vandrel
