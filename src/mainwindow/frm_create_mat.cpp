#include "mainwindow/frm_create_mat.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/model.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"

namespace vandrel {

namespace {

QComboBox* ObjectCombo(QWidget* parent, const char* name, const char* tip) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->setToolTip(tip);
  combo->setMinimumWidth(220);
  return combo;
}

QListWidget* MaterialList(QWidget* parent, const char* name) {
  auto* list = new QListWidget(parent);
  list->setObjectName(name);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  return list;
}

// The selected rows in ascending order.
std::vector<int> SelectedRows(const QListWidget* list) {
  std::vector<int> rows;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) rows.push_back(i);
  return rows;
}

void FillList(QListWidget* list, const std::vector<std::string>& names) {
  QStringList texts;
  for (const std::string& name : names) texts << FromPoserText(name);
  controls::clear(list);
  controls::addItems(list, texts);
}

}  // namespace

FrmCreateMat::FrmCreateMat(DocumentCalls& calls, QWidget* owner) : QDialog(owner), calls_(calls) {
  setObjectName("frmCreateMat");
  setWindowTitle("Import material(s)");
  setModal(true);

  fraSource = new QGroupBox("Source", this);
  fraSource->setObjectName("fraSource");
  cmbFigures1 =
      ObjectCombo(fraSource, "cmbFigures1", "Choose the source object (figure, prop, hair or body part)");
  lstMaterials1 = MaterialList(fraSource, "lstMaterials1");
  auto* source = new QVBoxLayout(fraSource);
  source->addWidget(cmbFigures1);
  source->addWidget(lstMaterials1);

  fraDestination = new QGroupBox("Destination", this);
  fraDestination->setObjectName("fraDestination");
  cmbFigures2 = ObjectCombo(fraDestination, "cmbFigures2",
                            "Choose the destination object (figure, prop, hair or body part)");
  lstMaterials2 = MaterialList(fraDestination, "lstMaterials2");
  auto* dest = new QVBoxLayout(fraDestination);
  dest->addWidget(cmbFigures2);
  dest->addWidget(lstMaterials2);

  cmdAdd = controls::newButton(this, "cmdAdd", "-->", "Add selected material(s)");
  cmdRemove = controls::newButton(this, "cmdRemove", "Remove", "Remove selected material(s)");
  cmdRename = controls::newButton(this, "cmdRename", "Rename", "Rename the last selected material");
  cmdOK = controls::newButton(this, "cmdOK", "OK");
  cmdCancel = controls::newButton(this, "cmdCancel", "Cancel");

  auto* middle = new QVBoxLayout;
  middle->addStretch(1);
  middle->addWidget(cmdAdd);
  middle->addWidget(cmdRemove);
  middle->addWidget(cmdRename);
  middle->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  auto* grid = new QGridLayout(this);
  grid->addWidget(fraSource, 0, 0);
  grid->addLayout(middle, 0, 1);
  grid->addWidget(fraDestination, 0, 2);
  grid->addLayout(buttons, 1, 0, 1, 3);
  resize(640, 420);

  controls::bindClick(cmbFigures1, [this] { cmbFigures1_Click(); });
  controls::bindClick(cmbFigures2, [this] { cmbFigures2_Click(); });
  controls::bindButton(cmdAdd, [this] { cmdAdd_Click(); });
  controls::bindButton(cmdRemove, [this] { cmdRemove_Click(); });
  controls::bindButton(cmdRename, [this] { cmdRename_Click(); });
  controls::bindButton(cmdOK, [this] { cmdOK_Click(); });
  controls::bindButton(cmdCancel, [this] { cmdCancel_Click(); });
  Form_Load();
}

FrmCreateMat::~FrmCreateMat() = default;

void FrmCreateMat::Form_Load() {
  mDest.reset();
  for (const ObjectRec& group : gObjects) controls::addItem(cmbFigures1, FromPoserText(group.Name));
  if (cmbFigures1->count() > 0) controls::setListIndex(cmbFigures1, 0);
  for (const CompactText& entry : gObjectList) controls::addItem(cmbFigures2, FromPoserText(entry.str()));
  // The entry chosen in the main window; the first when none is.
  const int chosen = calls_.ChosenObject();
  if (cmbFigures2->count() > 0)
    controls::setListIndex(cmbFigures2, chosen >= 0 && chosen < cmbFigures2->count() ? chosen : 0);
  mDest = std::make_unique<MaterialCopyPlan>();
  cmbFigures2_Click();
}

void FrmCreateMat::cmbFigures1_Click() {
  const int k = cmbFigures1->currentIndex();
  std::vector<std::string> names;
  if (k >= 0 && k < static_cast<int>(gObjects.size()))
    for (const MaterialRec& m : gObjects[static_cast<std::size_t>(k)].Materials)
      names.push_back(m.Name.str());
  FillList(lstMaterials1, names);
  if (lstMaterials1->count() > 0) controls::setSelected(lstMaterials1, 0, true);
}

void FrmCreateMat::cmbFigures2_Click() {
  const int d = cmbFigures2->currentIndex();
  if (!mDest || d < 0) return controls::clear(lstMaterials2);
  FillList(lstMaterials2, mDest->Lines(static_cast<std::size_t>(d)));
}

void FrmCreateMat::cmdAdd_Click() {
  const int d = cmbFigures2->currentIndex();
  if (!mDest || d < 0) return;
  mDest->Add(static_cast<std::size_t>(d), cmbFigures1->currentIndex(), SelectedRows(lstMaterials1));
  cmbFigures2_Click();
}

void FrmCreateMat::cmdRemove_Click() {
  const int d = cmbFigures2->currentIndex();
  if (!mDest || d < 0) return;
  mDest->Remove(static_cast<std::size_t>(d), SelectedRows(lstMaterials2));
  cmbFigures2_Click();
}

void FrmCreateMat::cmdRename_Click() {
  const int d = cmbFigures2->currentIndex();
  if (!mDest || d < 0) return;
  const std::optional<std::string> answer = Ui().InputBox(kRenamePrompt, kRenameTitle, "");
  if (!answer || answer->empty()) return;
  const RenameOutcome outcome =
      mDest->Rename(static_cast<std::size_t>(d), lstMaterials2->currentRow(), *answer);
  if (outcome == RenameOutcome::Exists) {
    Ui().MessageBox(kMaterialExists, "", MsgButtons::OK, MsgIcon::Exclamation);
    return;
  }
  if (outcome == RenameOutcome::Renamed) cmbFigures2_Click();
}

void FrmCreateMat::cmdOK_Click() {
  if (mDest) mDest->Apply();
  accept();
}

void FrmCreateMat::cmdCancel_Click() { reject(); }

void FrmCreateMat::Run(DocumentCalls& calls, QWidget* owner) {
  bool applied = false;
  {
    FrmCreateMat window(calls, owner);
    applied = window.exec() == QDialog::Accepted;
  }
  if (applied) calls.ShowObjectList();
}

}  // namespace vandrel
