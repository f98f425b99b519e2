// Switching a material property off and on: a double-click on a panel's
// caption label leaves the property out of the saved pose for every selected
// material, one on its Disabled label puts it back.
#include <QCheckBox>
#include <QEvent>
#include <QLabel>

#include "mainwindow/frm_main.h"
#include "mainwindow/materials_pane.h"
#include "model/model.h"
#include "platform/ui_services.h"

namespace vandrel {

void MaterialsPane::SwitchOff(int panel) {
  if (panel < 0 || panel >= kPanelCount) return;
  if ((panel == kObjectColorPanel || panel == kHighlightColorPanel) && main_.Poser5Format()) {
    const char* what = panel == kObjectColorPanel ? "Object" : "Highlight";
    Ui().MessageBox(
        std::string(what) +
            " color cannot be disabled in P5 MATs.\r\nIf no color is applied Poser 5 will use a random "
            "color.",
        "", MsgButtons::OK, MsgIcon::Exclamation);
    return;
  }
  TogglePanel(panel);
  for (MaterialRec* m : SelectedMaterials()) m->SwitchOn(panel) = false;
}

void MaterialsPane::SwitchOn(int panel) {
  if (panel < 0 || panel >= kPanelCount) return;
  TogglePanel(panel);
  for (MaterialRec* m : SelectedMaterials()) m->SwitchOn(panel) = true;
}

bool MaterialsPane::eventFilter(QObject* watched, QEvent* event) {
  // Only a label in view and enabled takes the double-click.
  auto* label = qobject_cast<QWidget*>(watched);
  if (event->type() == QEvent::MouseButtonDblClick && label && label->isEnabled()) {
    for (int panel = 0; panel < kPanelCount; ++panel) {
      const PropertyPanel& p = panels[static_cast<std::size_t>(panel)];
      if (watched == p.caption) {
        // The first click of the double-click ticked or cleared the box
        // beside its caption: undone, so that the value stays as it was.
        auto* box = qobject_cast<QCheckBox*>(p.editors.front());
        if (box && box->isEnabled() && !box->isHidden()) box->click();
        SwitchOff(panel);
        return true;
      }
      if (watched == p.disabled) {
        SwitchOn(panel);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vandrel
