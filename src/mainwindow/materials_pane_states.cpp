// The states of the Materials pane's controls: enabling after a load,
// greying out, the reset's part, the template list and the property panels'
// two faces.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include "mainwindow/materials_pane.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/program_folder.h"
#include "platform/qt/controls.h"

namespace vandrel {

namespace {

// The control's own enabled state, whatever its ancestors are.
bool OwnEnabled(const QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); }

// The order in which the reset returns the panels to their on face.
constexpr int kResetOrder[kPanelCount] = {kAmbientColorPanel,
                                          kApplyTexturePanel,
                                          kBumpMapPanel,
                                          kBumpStrengthPanel,
                                          kHighlightSizePanel,
                                          kHighlightColorPanel,
                                          kMultiplyThroughKdColorPanel,
                                          kMultiplyThroughLightsPanel,
                                          kObjectColorPanel,
                                          kReflectionMapPanel,
                                          kReflectionStrengthPanel,
                                          kReflectiveColorPanel,
                                          kTextureMapPanel,
                                          kTextureStrengthPanel,
                                          kTransparencyFalloffPanel,
                                          kTransparencyMapPanel,
                                          kTransparencyMaxPanel,
                                          kTransparencyMinPanel};

void SetEnabled(const std::vector<QWidget*>& widgets, bool enabled) {
  for (QWidget* w : widgets) w->setEnabled(enabled);
}

}  // namespace

std::vector<QWidget*> MaterialsPane::MaterialEditors() const {
  std::vector<QWidget*> editors(cmd.begin(), cmd.end());
  editors.insert(editors.end(), SCR.begin(), SCR.end());
  editors.insert(editors.end(), TXT.begin(), TXT.end());
  editors.insert(editors.end(), SHP.begin(), SHP.end());
  return editors;
}

std::vector<QWidget*> MaterialsPane::CaptionLabels() const {
  std::vector<QWidget*> labels;
  for (const PropertyPanel& p : panels) labels.push_back(p.caption);
  labels.insert(labels.end(), {lblObject, lblMaterials, lblTemplate, lblSelGroup});
  return labels;
}

// ---- Property panels ------------------------------------------------------------

void MaterialsPane::TogglePanel(int panel) {
  if (panel < 0 || panel >= kPanelCount) return;
  gState.Dirty = true;
  PropertyPanel& p = panels[static_cast<std::size_t>(panel)];
  std::vector<QWidget*> widgets = p.editors;
  widgets.push_back(p.caption);
  widgets.push_back(p.disabled);
  for (QWidget* w : widgets) {
    w->setHidden(!w->isHidden());
    w->setEnabled(!OwnEnabled(w));
  }
}

bool MaterialsPane::PanelIsOff(int panel) const {
  if (panel < 0 || panel >= kPanelCount) return false;
  return OwnEnabled(panels[static_cast<std::size_t>(panel)].disabled);
}

void MaterialsPane::AllPanelsOn() {
  for (int panel : kResetOrder)
    if (PanelIsOff(panel)) TogglePanel(panel);
}

void MaterialsPane::ClearThumbnails() {
  for (int i = 0; i < 4; ++i) {
    imgThumb[i]->clear();
    imgThumb[i]->setEnabled(false);
    lblThumb[i]->setEnabled(false);
  }
}

// ---- Reset and enabling -------------------------------------------------------------

void MaterialsPane::ResetControls() {
  SetEnabled(MaterialEditors(), false);
  ClearThumbnails();
  SetEnabled({lstMaterials, cmbFigures, cmdCreateMat, cmdNewMat, chkApplyTextures, chkMultiplyThroughKdColor,
              chkMultiplyThroughLights},
             false);
  Combo1->setEnabled(true);
}

void MaterialsPane::EnableMaterialControls() {
  // Every panel in its on face first: enabling the controls of a panel in its
  // off face would leave its caption greyed once it flips back (after an
  // import, for one), and the property could not be switched any more.
  AllPanelsOn();
  SetEnabled(MaterialEditors(), true);
  SetEnabled({lstMaterials, cmbFigures, cmdCreateMat, cmdNewMat, chkApplyTextures, chkMultiplyThroughKdColor,
              chkMultiplyThroughLights, Combo1},
             true);
  SetEnabled(CaptionLabels(), true);
}

void MaterialsPane::EnableMaterialControlsAfterLoad() {
  EnableMaterialControls();
  QCoreApplication::processEvents();
  FillTemplateList();
}

void MaterialsPane::DisableMaterialControls() {
  AllPanelsOn();
  SetEnabled(MaterialEditors(), false);
  ClearThumbnails();
  SetEnabled({lstMaterials, chkApplyTextures, chkMultiplyThroughKdColor, chkMultiplyThroughLights}, false);
  SetEnabled(CaptionLabels(), false);
  SetEnabled({cmdDeleteMaterials, cmdInvertSel, Combo1}, false);
}

void MaterialsPane::ClearMaterialPanel() {
  controls::clear(lstMaterials);
  for (int i = ValueBox(0); i <= kLastBox; ++i) controls::setText(TXT[i], "");
  for (QLabel* thumb : imgThumb) thumb->clear();
  // Nothing is shown, so no swatch or check box keeps the colours and ticks
  // of the material shown before (another object's). The boxes' handlers
  // would invert materials and mark the document: they ignore this.
  for (int k = 0; k < kSwatchCount; ++k) {
    swatchColors_[static_cast<std::size_t>(k)] = QColor();
    SHP[k]->setStyleSheet("QPushButton { border: 1px solid #a0a0a0; }");
  }
  const bool events = gState.EventsOn;
  gState.EventsOn = false;
  for (QCheckBox* box : {chkApplyTextures, chkMultiplyThroughLights, chkMultiplyThroughKdColor})
    controls::setChecked(box, false);
  gState.EventsOn = events;
}

}  // namespace vandrel
