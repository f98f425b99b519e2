// Showing the current material: every editor takes its value and every
// property panel the face of the material's switch.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "common/numbers.h"
#include "common/text.h"
#include "mainwindow/materials_pane.h"
#include "maps/poser_paths.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/dialog_preview.h"
#include "platform/files.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/thumbnail_picture.h"

namespace vandrel {

namespace {

QColor ColorOf(const ColorRec& c) { return QColor(c[0] & 255, c[1] & 255, c[2] & 255); }

}  // namespace

QString ShownDecimal(const std::string& pointText) {
  QString text = FromPoserText(pointText);
  const QString sign = QLocale().decimalPoint();
  if (sign != ".") text.replace('.', sign);
  return text;
}

void MaterialsPane::SetSwatch(int index, const QColor& color) {
  swatchColors_[static_cast<std::size_t>(index)] = color;
  SHP[static_cast<std::size_t>(index)]->setStyleSheet(
      QString("QPushButton { background-color: %1; border: 1px solid #404040; }").arg(color.name()));
}

QColor MaterialsPane::SwatchColor(int index) const { return swatchColors_[static_cast<std::size_t>(index)]; }

void MaterialsPane::ShowMapThumbnail(int index, const std::string& poserPath) {
  vandrel::ShowMapThumbnail(poserPath, imgThumb[static_cast<std::size_t>(index)],
                            lblThumb[static_cast<std::size_t>(index)]);
}

void MaterialsPane::ShowArrivedThumbnails() {
  const MaterialRec* m = CurrentMaterial();
  if (!m) return;
  const std::string maps[4] = {m->TextureMap.str(), m->BumpMap.str(), m->ReflectionMap.str(),
                               m->TransparencyMap.str()};
  for (int j = 0; j < 4; ++j) ShowMapThumbnail(j, maps[j]);
}

void MaterialsPane::ShowMaterial() {
  const MaterialRec* m = CurrentMaterial();
  if (!m) return;
  gState.EventsOn = false;
  // Brings a panel into the face of the switch; the editors take the
  // material's value in either face, so the window never shows another
  // record's value.
  auto face = [this, m](int panel) {
    if (m->SwitchOn(panel) == PanelIsOff(panel)) TogglePanel(panel);
  };
  constexpr int kSwatchOrder[4] = {0, 2, 1, 3};
  const ColorRec* colors[4] = {&m->ObjectColor, &m->HighlightColor, &m->AmbientColor, &m->ReflectiveColor};
  for (int i : kSwatchOrder) {
    face(kObjectColorPanel + i);
    SetSwatch(i, ColorOf(*colors[i]));
  }
  const int valuePanels[7] = {kHighlightSizePanel,       kTransparencyMinPanel, kTransparencyMaxPanel,
                              kTransparencyFalloffPanel, kTextureStrengthPanel, kBumpStrengthPanel,
                              kReflectionStrengthPanel};
  const QString values[7] = {
      QString::number(m->HighlightSize),         QString::number(m->TransparencyMin),
      QString::number(m->TransparencyMax),       ShownDecimal(FormatSingle(m->TransparencyFalloff)),
      FromPoserText(m->TextureStrength.str()),   FromPoserText(m->BumpStrength.str()),
      FromPoserText(m->ReflectionStrength.str())};
  const double bars[7] = {double(m->HighlightSize),
                          double(m->TransparencyMin),
                          double(m->TransparencyMax),
                          RoundHalfEven(100.0 * double(m->TransparencyFalloff)),
                          RoundHalfEven(Val(m->TextureStrength)),
                          RoundHalfEven(Val(m->BumpStrength)),
                          RoundHalfEven(Val(m->ReflectionStrength))};
  for (int i = 0; i < 7; ++i) {
    face(valuePanels[i]);
    // The bar first, so that its whole value does not replace a stored
    // fraction ("12.5") in the box; the box's own check then runs on the
    // stored text.
    controls::setValue(SCR[i], static_cast<int>(std::clamp(bars[i], -1000.0, 1000.0)));
    controls::setText(TXT[ValueBox(i)], values[i]);
  }
  const std::string maps[4] = {m->TextureMap.str(), m->BumpMap.str(), m->ReflectionMap.str(),
                               m->TransparencyMap.str()};
  for (int j = 0; j < 4; ++j) {
    face(kTextureMapPanel + j);
    QLineEdit* box = TXT[PathBox(j)];
    const bool missing = !IsNoMap(maps[j]) && !FileExists(PoserPathToFilePath(maps[j]));
    // Red or black while the box is usable; a disabled box keeps the greyed
    // text of every disabled control.
    QPalette palette = box->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
      palette.setColor(group, QPalette::Text, missing ? QColor(255, 0, 0) : QColor(0, 0, 0));
    box->setPalette(palette);
    controls::setText(box, FromPoserText(maps[j]));
    ShowMapThumbnail(j, maps[j]);
  }
  QCheckBox* boxes[3] = {chkApplyTextures, chkMultiplyThroughLights, chkMultiplyThroughKdColor};
  for (QCheckBox* box : boxes) controls::setChecked(box, false);
  const bool ticked[3] = {!m->KsIgnoreTexture, m->MultiplyThroughLights, m->MultiplyThroughKdColor};
  for (int i = 0; i < 3; ++i) {
    face(kApplyTexturePanel + i);
    if (ticked[i]) controls::setChecked(boxes[i], true);
  }
  gState.EventsOn = true;
}

}  // namespace vandrel
