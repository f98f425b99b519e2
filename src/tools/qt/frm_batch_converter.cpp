#include "tools/qt/frm_batch_converter.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include "model/model.h"
#include "platform/files.h"
#include "platform/qt/controls.h"
#include "platform/qt/file_drops.h"
#include "platform/qt/poser_text.h"
#include "platform/qt/qt_ui.h"
#include "platform/ui_services.h"

namespace vandrel {

namespace {

std::vector<std::string> DroppedFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.push_back(ToUtf8(url.toLocalFile()));
  return paths;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption, const char* tip) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setToolTip(tip);
  return button;
}

QPointer<FrmBatchConverter> gBatchConverter;

// The list row of an item; a long path shows its whole text as a tool tip.
QTreeWidgetItem* Row(const BatchItem& item) {
  auto* row = new QTreeWidgetItem({FromUtf8(item.path), FromUtf8(item.operation)});
  row->setToolTip(0, row->text(0));
  return row;
}

}  // namespace

// ---- The list view ----------------------------------------------------------------

BatchFileList::BatchFileList(QWidget* parent) : QTreeWidget(parent) {
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
}

// The converter only reads the dropped files: it takes them as a copy, so
// that a file manager never deletes them as after a move.
void BatchFileList::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) AcceptFilesAsCopy(event);
}

void BatchFileList::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls()) AcceptFilesAsCopy(event);
}

void BatchFileList::dropEvent(QDropEvent* event) {
  const std::vector<std::string> paths = DroppedFiles(event->mimeData());
  if (paths.empty() || !AcceptFilesAsCopy(event)) return;
  if (onDrop) onDrop(paths);
}

// ---- The window --------------------------------------------------------------------

FrmBatchConverter::FrmBatchConverter(QWidget* owner, std::unique_ptr<BatchDocument> document,
                                     ProgressFactory progress)
    : QWidget(owner, Qt::Tool), document_(std::move(document)), progress_(std::move(progress)) {
  setObjectName("frmBatchConverter");
  setWindowTitle("P4 <-> P5 batch converter");

  ListView1 = new BatchFileList(this);
  ListView1->setObjectName("ListView1");
  ListView1->setColumnCount(2);
  ListView1->setHeaderLabels({"File name", "Operation"});
  ListView1->setRootIsDecorated(false);
  ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView1->setUniformRowHeights(true);
  ListView1->setTextElideMode(Qt::ElideMiddle);
  ListView1->header()->resizeSection(0, 380);
  ListView1->onDrop = [this](const std::vector<std::string>& paths) { ListView1_OLEDragDrop(paths); };

  Label1 = new QLabel("Operation for selected file(s):", this);
  Label1->setObjectName("Label1");
  auto* options = new QGridLayout;
  options->addWidget(Label1, 0, 0, 1, 2);
  for (int i = 0; i < kBatchOperationCount; ++i) {
    // The option's own caption is hidden; the label beside it carries the text.
    Option[i] = new QRadioButton(this);
    Option[i]->setObjectName(QString("Option%1").arg(i + 1));
    Option[i]->setToolTip(kBatchOperations[i].toolTip);
    lblOption[i] = new QLabel(kBatchOperations[i].label, this);
    lblOption[i]->setObjectName(QString("lblOption%1").arg(i + 1));
    lblOption[i]->setToolTip(kBatchOperations[i].toolTip);
    controls::clickThroughCaption(lblOption[i], Option[i]);
    options->addWidget(Option[i], i + 1, 0);
    options->addWidget(lblOption[i], i + 1, 1);
    connect(Option[i], &QRadioButton::clicked, this, [this, i] { Option_Click(i); });
  }
  options->setColumnStretch(1, 1);
  Option[0]->setChecked(true);

  Command1 = Button(this, "Command1", "Add file(s)...", "Add file(s) to the list");
  Command2 = Button(this, "Command2", "Remove selected file(s)", "Remove selected files from the list");
  Command3 = Button(this, "Command3", "Select all", "Select all files");
  Command4 = Button(this, "Command4", "Run Batch", "Execute batch operations");
  Command5 = Button(this, "Command5", "Cancel", "Exit without running the batch conversion");
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });

  auto* side = new QVBoxLayout;
  side->addLayout(options);
  side->addSpacing(12);
  for (QPushButton* b : {Command1, Command2, Command3}) side->addWidget(b);
  side->addStretch(1);
  side->addWidget(Command4);
  side->addWidget(Command5);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(ListView1, 1);
  layout->addLayout(side);
  resize(900, 420);

  EnableListCommands(false);
  Form_Load();
}

FrmBatchConverter::~FrmBatchConverter() = default;

void FrmBatchConverter::Form_Load() { dialogFolder_ = gSettings.Poser; }

void FrmBatchConverter::EnableListCommands(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{Command2, Command3, Command4}) w->setEnabled(on);
  for (QRadioButton* option : Option) option->setEnabled(on);
  for (QLabel* label : lblOption) label->setEnabled(on);
}

void FrmBatchConverter::FillList() {
  // The list is rebuilt in one go: one add of every item.
  ListView1->clear();
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(list_.items().size()));
  for (const BatchItem& item : list_.items()) rows.append(Row(item));
  ListView1->addTopLevelItems(rows);
}

std::vector<int> FrmBatchConverter::SelectedRows() const {
  std::vector<int> rows;
  for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
    if (ListView1->topLevelItem(i)->isSelected()) rows.push_back(i);
  return rows;
}

void FrmBatchConverter::AddFiles(const std::vector<std::string>& paths) {
  const std::size_t before = list_.items().size();
  UiHost shown;
  list_.Add(paths, shown);
  QList<QTreeWidgetItem*> rows;
  for (std::size_t i = before; i < list_.items().size(); ++i) rows.append(Row(list_.items()[i]));
  ListView1->addTopLevelItems(rows);
}

void FrmBatchConverter::Command1_Click() {
  if (running_) return;
  const DialogOwner dialogs(this);
  FileDialogRequest request;
  request.filter = "Pose files|*.pz2;*.cm2;*.lt2;*.hd2;*.fc2|All files|*.*";
  request.flags = kOfnExplorer | kOfnAllowMultiSelect | kOfnLongNames | kOfnHideReadOnly;
  // The remembered folder, else the preferences' pose folder; a folder that
  // does not exist leaves the dialog where it was.
  const std::string wanted = rememberedFolder_.empty() ? gSettings.PZ2 : rememberedFolder_;
  if (FolderExists(wanted)) dialogFolder_ = wanted;
  request.initDir = dialogFolder_;
  const FileDialogResult chosen = Ui().ShowOpen(request);
  if (chosen.cancelled || chosen.paths.empty()) return;
  rememberedFolder_ = FolderOf(chosen.paths.front());
  AddFiles(chosen.paths);
  EnableListCommands(!list_.empty());
}

void FrmBatchConverter::ListView1_OLEDragDrop(const std::vector<std::string>& paths) {
  if (running_) return;
  const DialogOwner dialogs(this);
  AddFiles(paths);
  EnableListCommands(!list_.empty());
}

void FrmBatchConverter::Command2_Click() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  list_.Remove(rows);
  FillList();
  if (list_.empty()) EnableListCommands(false);
}

void FrmBatchConverter::Command3_Click() { ListView1->selectAll(); }

void FrmBatchConverter::Option_Click(int index) {
  const std::vector<int> rows = SelectedRows();
  list_.SetOperation(rows, kBatchOperations[index].text);
  const QString text = kBatchOperations[index].text;
  for (int row : rows) ListView1->topLevelItem(row)->setText(1, text);
}

void FrmBatchConverter::Command4_Click() {
  if (running_ || list_.empty()) return;
  const DialogOwner dialogs(this);
  running_ = true;
  setEnabled(false);
  // The selected option, not each file's operation, decides the question.
  const bool askPartial = Option[0]->isChecked() || Option[2]->isChecked();
  const BatchProgressFactory progress = [this]() -> std::unique_ptr<Host> {
    if (progress_) return progress_(this);
    return std::make_unique<QuietHost>();
  };
  // A copy: the list stays as it is whatever the run does.
  const std::vector<BatchItem> items = list_.items();
  UiHost shown;
  RunBatch(items, askPartial, *document_, progress, shown);
  setEnabled(true);
  running_ = false;
}

void FrmBatchConverter::Command5_Click() {
  if (running_) return;
  close();
}

void FrmBatchConverter::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    Command5->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void FrmBatchConverter::closeEvent(QCloseEvent* event) {
  if (running_)
    event->ignore();
  else
    event->accept();
}

FrmBatchConverter& ShowBatchConverter(QWidget* owner,
                                      std::function<std::unique_ptr<BatchDocument>()> document,
                                      FrmBatchConverter::ProgressFactory progress) {
  if (!gBatchConverter) {
    gBatchConverter = new FrmBatchConverter(owner, document(), std::move(progress));
    gBatchConverter->setAttribute(Qt::WA_DeleteOnClose);
  }
  gBatchConverter->show();
  gBatchConverter->raise();
  gBatchConverter->activateWindow();
  return *gBatchConverter;
}

}  // namespace vandrel
