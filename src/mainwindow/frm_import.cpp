#include "mainwindow/frm_import.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/qt/controls.h"

namespace vandrel {

namespace {
QRadioButton* Option(QWidget* parent, const QString& name, const char* caption) {
  auto* option = new QRadioButton(caption, parent);
  option->setObjectName(name);
  return option;
}
}  // namespace

FrmImport::FrmImport(QWidget* owner) : QDialog(owner) {
  setObjectName("frmImport");
  setWindowTitle("Import materials or morphs and poses");
  setModal(true);

  fraDataType = new QGroupBox("Data type", this);
  fraDataType->setObjectName("fraDataType");
  optDataType[0] = Option(fraDataType, "optDataType(0)", "Materials");
  optDataType[1] = Option(fraDataType, "optDataType(1)", "Morphs and poses");
  chkBody = new QCheckBox("BODY actor only", fraDataType);
  chkBody->setObjectName("chkBody");
  lblInfo[0] = controls::newLabel(fraDataType, "lblInfo(0)",
                                  "The \"BODY actor only\" option applies only to character files");
  lblInfo[1] = controls::newLabel(fraDataType, "lblInfo(1)",
                                  "Select \"Morphs and poses\" to import sub-dividing materials");
  for (QLabel* info : lblInfo) info->setWordWrap(true);
  auto* data = new QVBoxLayout(fraDataType);
  data->addWidget(optDataType[0]);
  data->addWidget(optDataType[1]);
  data->addWidget(chkBody);
  data->addWidget(lblInfo[0]);
  data->addWidget(lblInfo[1]);
  data->addStretch(1);

  fraFileType = new QGroupBox("File type", this);
  fraFileType->setObjectName("fraFileType");
  auto* files = new QGridLayout(fraFileType);
  for (int i = 0; i < kImportTypeCount; ++i) {
    optFileType[static_cast<std::size_t>(i)] =
        Option(fraFileType, QString("optFileType(%1)").arg(i), ImportType(i).Label);
    files->addWidget(optFileType[static_cast<std::size_t>(i)], i % 5, i / 5);
  }

  cmdImport = controls::newButton(this, "cmdImport", "Import");
  cmdCancel = controls::newButton(this, "cmdCancel", "Cancel");
  cmdImport->setDefault(true);
  auto* grid = new QGridLayout(this);
  grid->addWidget(fraDataType, 0, 0);
  grid->addWidget(fraFileType, 0, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdImport);
  buttons->addWidget(cmdCancel);
  grid->addLayout(buttons, 1, 0, 1, 2);
  fraDataType->setMinimumWidth(220);

  {
    const QSignalBlocker a(optDataType[0]), b(optFileType[0]);
    optDataType[0]->setChecked(true);
    optFileType[0]->setChecked(true);
  }
  chkBody->setEnabled(false);
  for (int i = 0; i < 2; ++i)
    controls::bindOption(optDataType[static_cast<std::size_t>(i)], [this, i] { optDataType_Click(i); });
  for (int i = 0; i < kImportTypeCount; ++i)
    controls::bindOption(optFileType[static_cast<std::size_t>(i)], [this, i] { optFileType_Click(i); });
  controls::bindButton(cmdImport, [this] { cmdImport_Click(); });
  // Esc presses Cancel.
  controls::bindButton(cmdCancel, [this] { cmdCancel_Click(); });
}

void FrmImport::optDataType_Click(int index) {
  if (index == 1) {
    chkBody->setEnabled(BodyOnlyAllowed(fileType_));
  } else {
    controls::setChecked(chkBody, false);
    chkBody->setEnabled(false);
  }
}

void FrmImport::optFileType_Click(int index) {
  fileType_ = index;
  controls::setChecked(chkBody, false);
  chkBody->setEnabled(optDataType[1]->isChecked() && BodyOnlyAllowed(index));
}

void FrmImport::cmdImport_Click() { accept(); }
void FrmImport::cmdCancel_Click() { reject(); }

ImportData FrmImport::Data() const {
  return optDataType[1]->isChecked() ? ImportData::MorphsAndPoses : ImportData::Materials;
}

bool FrmImport::BodyOnly() const { return chkBody->isChecked(); }

void FrmImport::Run(DocumentCalls& calls, QWidget* owner) {
  ImportData data;
  int index;
  bool body;
  {
    FrmImport window(owner);
    if (window.exec() != QDialog::Accepted) return;
    data = window.Data();
    index = window.FileTypeIndex();
    body = window.BodyOnly();
  }
  // The window is gone before anything is read.
  UiHost shown;
  RunImport(data, index, body, calls, shown);
}

}  // namespace vandrel
