#include "tools/qt/frm_templates.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/encoding.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "platform/ui_services.h"

namespace vandrel {

namespace {

QStringList Texts(const std::vector<std::string>& names) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(names.size()));
  for (const std::string& n : names) texts.push_back(FromPoserText(n));
  return texts;
}

// The names of the selected rows, in row order, as the list was filled from
// `names` (the bytes themselves: a shown name need not come back the same).
std::vector<std::string> SelectedNames(QListWidget* list, const std::vector<std::string>& names) {
  std::vector<std::string> selected;
  for (int row = 0; row < list->count() && row < static_cast<int>(names.size()); ++row)
    if (list->item(row)->isSelected()) selected.push_back(names[static_cast<std::size_t>(row)]);
  return selected;
}

// A combo box as wide as its layout gives, not as its longest name.
void KeepNarrow(QComboBox* list) {
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  list->setMinimumContentsLength(16);
}

void Refill(QListWidget* list, const QStringList& texts) {
  controls::clear(list);
  controls::addItems(list, texts);
}

}  // namespace

FrmTemplates::FrmTemplates(QWidget* parent, std::function<void()> onClose)
    : QDialog(parent), onClose_(std::move(onClose)) {
  setObjectName("frmTemplates");
  setWindowTitle("Selection template creator");
  setModal(true);
  Build();
  Form_Load();
}

void FrmTemplates::Build() {
  auto* layout = new QVBoxLayout(this);
  auto* menus = new QMenuBar(this);
  QMenu* file = menus->addMenu("&File");
  file->setObjectName("mnuFile");
  mnuOpen = file->addAction("Open template");
  mnuOpen->setObjectName("mnuOpen");
  mnuSaveAs = file->addAction("Save template as...");
  mnuSaveAs->setObjectName("mnuSaveAs");
  file->addSeparator();
  mnuExit = file->addAction("Exit");
  mnuExit->setObjectName("mnuExit");
  layout->setMenuBar(menus);

  auto* grid = new QGridLayout;
  grid->addWidget(controls::newLabel(this, "lblObject", "Object"), 0, 0);
  Combo1 = new QComboBox(this);
  Combo1->setObjectName("Combo1");
  Combo1->setToolTip("Select an object (figure, prop or body part)");
  KeepNarrow(Combo1);
  grid->addWidget(Combo1, 1, 0);
  grid->addWidget(controls::newLabel(this, "lblMaterials", "All object's materials"), 2, 0);
  lstMaterials = new QListWidget(this);
  lstMaterials->setObjectName("lstMaterials");
  lstMaterials->setToolTip("Double-click a material to add it to the selected group");
  lstMaterials->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grid->addWidget(lstMaterials, 3, 0);

  grid->addWidget(controls::newLabel(this, "lblGroups", "Selection groups"), 0, 2);
  cmbGroups = new QComboBox(this);
  cmbGroups->setObjectName("cmbGroups");
  cmbGroups->setToolTip("Select a selection group");
  KeepNarrow(cmbGroups);
  grid->addWidget(cmbGroups, 1, 2);
  grid->addWidget(controls::newLabel(this, "lblMatInGroup", "Materials in selected group"), 2, 2);
  lstMatInGroup = new QListWidget(this);
  lstMatInGroup->setObjectName("lstMatInGroup");
  lstMatInGroup->setToolTip("Double-click a material to remove it from the group");
  lstMatInGroup->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grid->addWidget(lstMatInGroup, 3, 2);

  auto* buttons = new QVBoxLayout;
  cmdCreate = controls::newButton(this, "cmdCreate", "Create new group", "Create a new selection group");
  cmdDelete = controls::newButton(this, "cmdDelete", "Delete group", "Delete selected selection group");
  cmdMove = controls::newButton(this, "cmdMove", "Add to selected group",
                                "Add selected material(s) to the selected group");
  cmdDeleteMaterials = controls::newButton(this, "cmdDeleteMaterials", "Remove material(s)",
                                           "Remove selected material(s) from the group");
  for (QPushButton* b : {cmdCreate, cmdDelete, cmdMove, cmdDeleteMaterials}) buttons->addWidget(b);
  buttons->addStretch(1);
  grid->addLayout(buttons, 3, 1);
  layout->addLayout(grid);

  StatusBar1 = new QLabel(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setFrameShape(QFrame::StyledPanel);
  StatusBar1->setTextFormat(Qt::PlainText);  // a file name is never markup
  layout->addWidget(StatusBar1);

  cmdDelete->setEnabled(false);
  cmdMove->setEnabled(false);
  cmdDeleteMaterials->setEnabled(false);

  controls::bindClick(Combo1, [this] { Combo1_Click(); });
  controls::bindClick(cmbGroups, [this] { cmbGroups_Click(); });
  controls::bindButton(cmdCreate, [this] { cmdCreate_Click(); });
  controls::bindButton(cmdDelete, [this] { cmdDelete_Click(); });
  controls::bindButton(cmdMove, [this] { cmdMove_Click(); });
  controls::bindButton(cmdDeleteMaterials, [this] { cmdDeleteMaterials_Click(); });
  connect(lstMaterials, &QListWidget::itemDoubleClicked, this, [this] { cmdMove_Click(); });
  connect(lstMatInGroup, &QListWidget::itemDoubleClicked, this, [this] { cmdDeleteMaterials_Click(); });
  controls::bindMenu(mnuOpen, [this] { mnuOpen_Click(); });
  controls::bindMenu(mnuSaveAs, [this] { mnuSaveAs_Click(); });
  controls::bindMenu(mnuExit, [this] { mnuExit_Click(); });
  resize(560, 420);
}

void FrmTemplates::Form_Load() {
  if (!gObjects.empty() && !gObjects[0].Name.empty()) {
    QStringList names;
    for (const ObjectRec& o : gObjects) names.push_back(FromPoserText(o.Name));
    for (const QString& name : names) controls::addItem(Combo1, name);
    controls::setListIndex(Combo1, 0);
  }
  if (gState.FileGiven) mnuOpen_Click();
}

// The material names of the object chosen in Combo1, as lstMaterials lists them.
std::vector<std::string> FrmTemplates::ObjectMaterialNames() const {
  const int i = Combo1->currentIndex();
  std::vector<std::string> names;
  if (i >= 0 && i < static_cast<int>(gObjects.size()))
    for (const MaterialRec& m : gObjects[static_cast<std::size_t>(i)].Materials)
      names.push_back(m.Name.str());
  return names;
}

void FrmTemplates::Combo1_Click() { Refill(lstMaterials, Texts(ObjectMaterialNames())); }

void FrmTemplates::cmbGroups_Click() { FillGroupMaterialList(); }

void FrmTemplates::FillGroupMaterialList() {
  const int g = cmbGroups->currentIndex();
  Refill(lstMatInGroup, g >= 0 && g < static_cast<int>(groups_.Groups.size())
                            ? Texts(groups_.Groups[static_cast<std::size_t>(g)].Members)
                            : QStringList{});
}

void FrmTemplates::SetGroupCommands(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(cmdMove), static_cast<QWidget*>(cmdDelete)}) w->setEnabled(on);
  mnuSaveAs->setEnabled(on);
  if (!on) cmdDeleteMaterials->setEnabled(false);
}

void FrmTemplates::ShowGroups(int chosen) {
  std::vector<std::string> names;
  for (const SelectionGroup& g : groups_.Groups) names.push_back(g.Name);
  controls::clear(cmbGroups);
  for (const QString& name : Texts(names)) controls::addItem(cmbGroups, name);
  controls::setListIndex(cmbGroups, chosen);
  FillGroupMaterialList();
}

bool FrmTemplates::CreateGroup(const std::string& name) {
  if (!groups_.AddGroup(name)) {
    Ui().MessageBox("Group with that name already exists", "", MsgButtons::OK, MsgIcon::Exclamation);
    return false;
  }
  ShowGroups(static_cast<int>(groups_.Groups.size()) - 1);
  SetGroupCommands(true);
  return true;
}

void FrmTemplates::cmdCreate_Click() {
  const std::optional<std::string> answer =
      Ui().InputBox("Enter selection group's name", "Create new group", "");
  if (!answer || answer->empty()) return;
  CreateGroup(*answer);  // the box answers in the Poser files' code page
}

void FrmTemplates::cmdDelete_Click() {
  const int g = cmbGroups->currentIndex();
  if (g < 0) return;
  groups_.DeleteGroup(static_cast<std::size_t>(g));
  if (!groups_.Groups.empty()) {
    ShowGroups(0);
  } else {
    ShowGroups(-1);
    SetGroupCommands(false);
  }
}

void FrmTemplates::cmdMove_Click() {
  const int g = cmbGroups->currentIndex();
  if (lstMaterials->count() == 0 || cmbGroups->count() == 0 || g < 0) return;
  groups_.AddMembers(static_cast<std::size_t>(g), SelectedNames(lstMaterials, ObjectMaterialNames()));
  FillGroupMaterialList();
  cmdDeleteMaterials->setEnabled(true);
}

void FrmTemplates::cmdDeleteMaterials_Click() {
  const int g = cmbGroups->currentIndex();
  if (lstMatInGroup->count() > 0 && g >= 0 && g < static_cast<int>(groups_.Groups.size())) {
    const std::vector<std::string> members = groups_.Groups[static_cast<std::size_t>(g)].Members;
    groups_.RemoveMembers(static_cast<std::size_t>(g), SelectedNames(lstMatInGroup, members));
    FillGroupMaterialList();
  }
  if (lstMatInGroup->count() == 0) cmdDeleteMaterials->setEnabled(false);
}

void FrmTemplates::mnuOpen_Click() {
  std::string path;
  if (gState.FileGiven) {
    path = gState.FileName;
  } else {
    FileDialogRequest request;
    request.title = "Open selection template";
    request.defaultExt = "cfg";
    request.filter = "Selection templates|*.cfg|All files|*.*";
    request.initDir = TemplatesFolder();
    request.flags = kOfnOpenDefault;
    const FileDialogResult chosen = Ui().ShowOpen(request);
    if (chosen.cancelled) return;
    path = chosen.path;
  }
  gState.FileGiven = false;

  // The file is read whole first: a damaged one leaves the groups as they are.
  SelectionTemplate read;
  const std::string error = ReadTemplateFile(path, read);
  if (!error.empty()) {
    Ui().MessageBox(error, "", MsgButtons::OK, MsgIcon::Exclamation);
    return;
  }
  // Groups whose names differ only in case become one, keeping every member.
  read.MergeGroupsEqualButForCase();
  StatusBar1->setText("Current template: " + FromUtf8(FileNameOf(path)));
  const bool hadGroups = !groups_.Groups.empty();
  groups_ = std::move(read);
  if (groups_.Groups.empty()) {
    ShowGroups(-1);
    if (hadGroups) SetGroupCommands(false);
    return;
  }
  ShowGroups(static_cast<int>(groups_.Groups.size()) - 1);
  SetGroupCommands(true);
  cmdDeleteMaterials->setEnabled(true);
}

void FrmTemplates::mnuSaveAs_Click() {
  const std::optional<std::string> answer = Ui().InputBox("Enter template's name", "Save template as...", "");
  if (!answer || answer->empty()) return;
  if (HasForbiddenTemplateChar(*answer)) {
    Ui().MessageBox(kForbiddenTemplateCharsMessage, "", MsgButtons::OK, MsgIcon::None);
    return;
  }
  // The box answers in the Poser files' code page; file names are UTF-8.
  bool exists = false;
  const std::string path = TemplateSavePath(TemplateBaseName(PoserTextToUtf8(*answer)), exists);
  if (exists && Ui().MessageBox("A template with that name already exists. Overwrite?", "", MsgButtons::YesNo,
                                MsgIcon::None) != MsgResult::Yes)
    return;
  const std::string error = WriteTemplateFile(path, groups_);
  if (!error.empty()) {
    Ui().MessageBox(error, "", MsgButtons::OK, MsgIcon::Exclamation);
    return;
  }
  if (!groups_.Groups.empty()) ShowGroups(static_cast<int>(groups_.Groups.size()) - 1);
  StatusBar1->setText("Current template: " + FromUtf8(FileNameOf(path)));
  Ui().MessageBox("Template saved succesfully", "", MsgButtons::OK, MsgIcon::None);
}

void FrmTemplates::mnuExit_Click() { close(); }

void FrmTemplates::done(int result) {
  if (!closed_) {
    closed_ = true;
    if (onClose_) onClose_();
  }
  QDialog::done(result);
}

}  // namespace vandrel
