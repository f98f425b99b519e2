// The Save Options pane: line ends, output format, required version and the
// two "Don't save" boxes, with the procedures behind them.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/numbers.h"
#include "common/text.h"
#include "mainwindow/channels_pane.h"
#include "mainwindow/frm_main.h"
#include "model/model.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "tools/document_session.h"

namespace vandrel {

using controls::EventsOff;

namespace {

QLabel* Label(QWidget* parent, const QString& name, const QString& caption, const QString& tip = {}) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(name);
  l->setWordWrap(true);
  if (!tip.isEmpty()) l->setToolTip(tip);
  return l;
}

// An option pair in its frame; the buttons' own captions stay empty, their
// labels carry the texts.
void OptionFrame(QGroupBox* frame, std::array<QRadioButton*, 2>& options, std::array<QLabel*, 3>& labels,
                 const QString& name, const QString& labelName, const char* const texts[3]) {
  auto* l = new QGridLayout(frame);
  for (int i = 0; i < 2; ++i) {
    options[i] = new QRadioButton(frame);
    options[i]->setObjectName(QString("%1(%2)").arg(name).arg(i));
    labels[i] = Label(frame, QString("%1(%2)").arg(labelName).arg(i), texts[i]);
    controls::clickThroughCaption(labels[i], options[i]);
    l->addWidget(options[i], i, 0);
    l->addWidget(labels[i], i, 1);
  }
  labels[2] = Label(frame, QString("%1(2)").arg(labelName), texts[2]);
  l->addWidget(labels[2], 2, 0, 1, 2);
  l->setColumnStretch(1, 1);
}

constexpr const char* kBothDisabled = "Both morph and pose data and material data cannot be disabled";

}  // namespace

QWidget* FrmMain::BuildOptionsPane() {
  auto* pane = new QWidget;
  auto* top = new QVBoxLayout(pane);

  fraFileSystem = new QGroupBox("File system", pane);
  fraFileSystem->setObjectName("fraFileSystem");
  const char* const fileSystem[3] = {"DOS/Windows", "UNIX/Macintosh",
                                     "The default file system for Poser is UNIX/MAC but Poser understands "
                                     "DOS format as well. Vandrel reads UNIX "
                                     "format slightly faster."};
  OptionFrame(fraFileSystem, optFileSystem, lblFileSystem, "optFileSystem", "lblFileSystem", fileSystem);
  top->addWidget(fraFileSystem);

  fraPoserFormat = new QGroupBox("File format", pane);
  fraPoserFormat->setObjectName("fraPoserFormat");
  const char* const format[3] = {
      "Poser 4 / Pro Pack", "Poser 5",
      "Poser 5 files contain shader tree nodes and some other additional properties"};
  OptionFrame(fraPoserFormat, optPoserFormat, lblPoserFormat, "optPoserFormat", "lblPoserFormat", format);
  top->addWidget(fraPoserFormat);
  for (int i = 0; i < 2; ++i) controls::bindOption(optPoserFormat[i], [this, i] { optPoserFormat_Click(i); });

  auto* grid = new QGridLayout;
  lblPoserVersion = Label(pane, "lblPoserVersion", "Required Poser version");
  QLineEdit*& required = materials->TXT[MaterialsPane::kRequiredVersionBox];
  required = new QLineEdit(pane);
  required->setObjectName("TXT(0)");
  required->setToolTip(
      "Type the Poser version number the material pose requires. Usually this needs no change.");
  controls::bindText(required, [this] { RequiredVersion_Change(); });
  grid->addWidget(lblPoserVersion, 0, 1);
  grid->addWidget(required, 0, 0);

  chkNoMaterialData = new QCheckBox(pane);
  chkNoMaterialData->setObjectName("chkNoMaterialData");
  chkNoMaterialData->setToolTip("Check if you don't want to include material data in the pose");
  lblNoMaterialData = Label(pane, "lblNoMaterialData", "Don't save materials",
                            "Check if you don't want to include material data in the pose");
  controls::bindCheckBox(chkNoMaterialData, [this] { chkNoMaterialData_Click(); });
  controls::clickThroughCaption(lblNoMaterialData, chkNoMaterialData);
  grid->addWidget(chkNoMaterialData, 1, 0, Qt::AlignRight);
  grid->addWidget(lblNoMaterialData, 1, 1);

  chkChannels = new QCheckBox(pane);
  chkChannels->setObjectName("chkChannels");
  chkChannels->setToolTip("Check if you don't want to include pose or morph data in the pose file");
  lblEnableChannels = Label(pane, "lblEnableChannels", "Don't save morphs or poses",
                            "Check if you don't want to include pose or morph data in the pose file");
  controls::bindCheckBox(chkChannels, [this] { chkChannels_Click(); });
  controls::clickThroughCaption(lblEnableChannels, chkChannels);
  grid->addWidget(chkChannels, 2, 0, Qt::AlignRight);
  grid->addWidget(lblEnableChannels, 2, 1);
  grid->setColumnStretch(1, 1);
  top->addLayout(grid);
  top->addStretch(1);
  return pane;
}

bool FrmMain::DosLineEnds() const { return optFileSystem[0]->isChecked(); }
bool FrmMain::Poser5Format() const { return optPoserFormat[1]->isChecked(); }

void FrmMain::optPoserFormat_Click(int index) {
  if (const std::string* version = FormatVersionText(index == 1))
    controls::setText(materials->TXT[MaterialsPane::kRequiredVersionBox],
                      FromPoserText(OneLineText(*version)));
}

void FrmMain::RequiredVersion_Change() {
  gState.RequiredVersion =
      RequiredVersionOfText(ToPoserText(materials->TXT[MaterialsPane::kRequiredVersionBox]->text()));
  gState.Dirty = true;
}

void FrmMain::chkNoMaterialData_Click() {
  if (!gState.EventsOn) return;
  gState.Dirty = true;
  if (chkNoMaterialData->isChecked()) {
    if (chkChannels->isChecked() && !gObjects.empty() && !gObjects[0].Name.empty()) {
      {
        EventsOff off;
        controls::setChecked(chkNoMaterialData, false);
      }
      // A batch run shows only the converter's own messages.
      if (!BatchRun()) Ui().MessageBox(kBothDisabled, "", MsgButtons::OK, MsgIcon::Exclamation);
      return;
    }
    materials->DisableMaterialControls();
    materials->cmbFigures->setEnabled(false);
    materials->cmdCreateMat->setEnabled(false);
    materials->cmdNewMat->setEnabled(false);
  } else {
    materials->EnableMaterialControls();
    materials->FillTemplateList();
  }
}

void FrmMain::chkChannels_Click() {
  if (!gState.EventsOn) return;
  gState.Dirty = true;
  const bool ticked = chkChannels->isChecked();
  if (ticked && chkNoMaterialData->isChecked() && !gActors.empty() && !gActors[0].Name.empty()) {
    {
      EventsOff off;
      controls::setChecked(chkChannels, false);
    }
    if (!BatchRun()) Ui().MessageBox(kBothDisabled, "", MsgButtons::OK, MsgIcon::Exclamation);
    return;
  }
  channelsPane->EnableChannelControls(!ticked);
}

}  // namespace vandrel
