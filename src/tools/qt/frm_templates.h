// The selection template editor "Selection template creator": groups of
// material names built from the open document's objects, opened from and
// saved to Templates/<name>.cfg.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "tools/selection_templates.h"

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace vandrel {

class FrmTemplates : public QDialog {
  Q_OBJECT

 public:
  // `onClose` runs when the window closes (the main window rebuilds its
  // template list). With gState.FileGiven set the template in
  // gState.FileName is opened at once.
  explicit FrmTemplates(QWidget* parent = nullptr, std::function<void()> onClose = {});

  // The groups as the window holds them.
  const SelectionTemplate& groups() const { return groups_; }

  void Combo1_Click();
  void cmbGroups_Click();
  void FillGroupMaterialList();
  void cmdCreate_Click();
  void cmdDelete_Click();
  void cmdMove_Click();
  void cmdDeleteMaterials_Click();
  void mnuOpen_Click();
  void mnuSaveAs_Click();
  void mnuExit_Click();

  QComboBox* Combo1 = nullptr;
  QListWidget* lstMaterials = nullptr;
  QComboBox* cmbGroups = nullptr;
  QListWidget* lstMatInGroup = nullptr;
  QPushButton *cmdCreate = nullptr, *cmdDelete = nullptr, *cmdMove = nullptr, *cmdDeleteMaterials = nullptr;
  QAction *mnuOpen = nullptr, *mnuSaveAs = nullptr, *mnuExit = nullptr;
  QLabel* StatusBar1 = nullptr;

 protected:
  void done(int result) override;

 private:
  void Build();
  std::vector<std::string> ObjectMaterialNames() const;
  void Form_Load();
  // Appends a group and chooses it; false when the name is taken.
  bool CreateGroup(const std::string& name);
  // Puts the groups into the group list, choosing `chosen` (-1: none).
  void ShowGroups(int chosen);
  void SetGroupCommands(bool on);

  SelectionTemplate groups_;
  std::function<void()> onClose_;
  bool closed_ = false;
};

}  // namespace vandrel
