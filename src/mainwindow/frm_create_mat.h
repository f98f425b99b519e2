// The material copying window "Import material(s)": materials of one group
// of the open document are collected as pending copies for entries of the
// object list, added, renamed and removed there, and copied on OK.
#pragma once

#include <QDialog>
#include <memory>

#include "tools/document_calls.h"
#include "tools/material_copy.h"

class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;

namespace vandrel {

class FrmCreateMat : public QDialog {
  Q_OBJECT

 public:
  FrmCreateMat(DocumentCalls& calls, QWidget* owner);
  ~FrmCreateMat() override;

  // Shows the window modally over `owner`.
  static void Run(DocumentCalls& calls, QWidget* owner);

  QGroupBox* fraSource = nullptr;
  QComboBox* cmbFigures1 = nullptr;
  QListWidget* lstMaterials1 = nullptr;
  QGroupBox* fraDestination = nullptr;
  QComboBox* cmbFigures2 = nullptr;
  QListWidget* lstMaterials2 = nullptr;
  QPushButton* cmdAdd = nullptr;
  QPushButton* cmdRemove = nullptr;
  QPushButton* cmdRename = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;

  void Form_Load();
  void cmbFigures1_Click();
  void cmbFigures2_Click();
  void cmdAdd_Click();
  void cmdRemove_Click();
  void cmdRename_Click();
  void cmdOK_Click();
  void cmdCancel_Click();

 private:
  DocumentCalls& calls_;
  std::unique_ptr<MaterialCopyPlan> mDest;
};

}  // namespace vandrel
