// The Materials pane: object and material lists, selection templates, the
// eighteen property panels with their editors, and the map thumbnails.
#include "mainwindow/materials_pane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "mainwindow/frm_main.h"
#include "model/model.h"
#include "platform/qt/controls.h"

namespace vandrel {

namespace {

using controls::newButton;
using controls::newLabel;

struct ValueRow {
  const char* caption;
  const char* captionName;
  const char* disabledName;
  const char* tip;
  int low, high, barLow, barHigh;
  const char* text;
  int bar;
  const char* applyTip;
};

// TXT(1)..TXT(7) with SCR(0)..SCR(6) and their Apply buttons.
constexpr ValueRow kValueRows[MaterialsPane::kValueRowCount] = {
    {"Highlight Size", "lblHighlightSub", "lblCloseHighlight", "Type a value between 1 and 100", 1, 100, 1,
     100, "100", 100, "Apply Highlight Size for selected material(s)"},
    {"Transparency Min", "lblTransparencyMinSub", "lblCloseTransparencyMin", "Type a value between 0 and 100",
     0, 100, 0, 100, "0", 0, "Apply Transparency Min for selected material(s)"},
    {"Transparency Max", "lblTransparencyMaxSub", "lblCloseTransparencyMax", "Type a value between 0 and 100",
     0, 100, 0, 100, "0", 0, "Apply Transparency Max for selected material(s)"},
    {"Transparency Falloff", "lblTransparencyFalloffSub", "lblCloseTransparencyFalloff",
     "Type a value between 0 and 10", 0, 10, 0, 1000, "0", 0,
     "Apply Transparency Falloff for selected material(s)"},
    {"Texture Strength", "lblTextureStrengthSub", "lblCloseTextureStrength", "Type a value between 0 and 100",
     0, 100, 0, 100, "100", 100, "Apply Texture Strength for selected material(s)"},
    {"Bump Strength", "lblBumpStrengthSub", "lblCloseBumpStrength", "Type a value between -100 and 100", -100,
     100, -100, 100, "100", 100, "Apply Bump Strength for selected material(s)"},
    {"Reflection Strength", "lblReflectionStrengthSub", "lblCloseReflectionStrength",
     "Type a value between 0 and 100", 0, 100, 0, 100, "100", 100,
     "Apply Reflection Strength for selected material(s)"},
};

struct MapRow {
  const char* caption;  // "Texture Map"
  const char* captionName;
  const char* disabledName;
  const char* word;  // "TextureMap" in the Apply tool tip
};

constexpr MapRow kMapRows[MaterialsPane::kMapRowCount] = {
    {"Texture Map", "lblTexturePath", "lblCloseTextureMap", "TextureMap"},
    {"Bump Map", "lblBumpPath", "lblCloseBumpMap", "BumpMap"},
    {"Reflection Map", "lblReflectionPath", "lblCloseReflectionMap", "ReflectionMap"},
    {"Transparency Map", "lblTransparencyPath", "lblCloseTransparencyMap", "TransparencyMap"},
};

struct ColorRow {
  const char* caption;
  const char* captionName;
  const char* disabledName;
};

constexpr ColorRow kColorRows[MaterialsPane::kSwatchCount] = {
    {"Object Color", "lblObjectColor", "lblCloseObjectColor"},
    {"Highlight Color", "lblHighlightColor", "lblCloseHighlightColor"},
    {"Ambient Color", "lblAmbientColor", "lblCloseAmbientColor"},
    {"Reflective Color", "lblReflectiveColor", "lblCloseReflectiveColor"},
};

// The caption label of a panel and its Disabled label, which lies over the
// same cells of the grid and starts hidden and disabled.
void MakePanelLabels(PropertyPanel& panel, QWidget* parent, const char* caption, const char* captionName,
                     const char* disabledName) {
  panel.caption = newLabel(parent, captionName, caption, "Double-click to disable");
  panel.disabled = newLabel(parent, disabledName, QString(caption) + " Disabled", "Double-click to enable");
  QFont bold = panel.disabled->font();
  bold.setBold(true);
  panel.disabled->setFont(bold);
  panel.disabled->setHidden(true);
  panel.disabled->setEnabled(false);
}

}  // namespace

MaterialsPane::MaterialsPane(FrmMain& main) : main_(main) {
  Build();
  Connect();
}

MaterialsPane::~MaterialsPane() = default;

void MaterialsPane::Build() {
  QWidget* pane = this;
  auto* top = new QVBoxLayout(pane);

  // Object, materials and templates.
  auto* lists = new QGridLayout;
  lblObject = newLabel(pane, "lblObject", "Object");
  cmbFigures = new QComboBox(pane);
  cmbFigures->setObjectName("cmbFigures");
  cmbFigures->setToolTip("Choose the object (figure, prop, hair or body part) you want to modify");
  cmd[kDeleteObjectButton] = newButton(pane, "cmd(1)", "Delete", "Remove selected object from the pose");
  cmdNewMat = newButton(pane, "cmdNewMat", "Create new material", "Create a new material from scratch");
  cmdCreateMat = newButton(pane, "cmdCreateMat", "Add materials to object");
  lists->addWidget(lblObject, 0, 0);
  lists->addWidget(cmbFigures, 0, 1, 1, 3);
  lists->addWidget(cmd[kDeleteObjectButton], 0, 4);
  lists->addWidget(cmdNewMat, 1, 1);
  lists->addWidget(cmdCreateMat, 1, 2);

  lblMaterials = newLabel(pane, "lblMaterials", "Materials");
  lstMaterials = new QListWidget(pane);
  lstMaterials->setObjectName("lstMaterials");
  lstMaterials->setToolTip("Select the material(s) you want to edit");
  lstMaterials->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstMaterials->setUniformItemSizes(true);
  {
    // Exactly six whole rows in view (a row's height as the style draws it).
    lstMaterials->addItem("X");
    const int row = lstMaterials->sizeHintForRow(0);
    delete lstMaterials->takeItem(0);
    lstMaterials->setFixedHeight(6 * row + 2 * lstMaterials->frameWidth());
  }
  cmd[kSelectAllButton] = newButton(pane, "cmd(0)", "Select all", "Select all materials");
  cmdInvertSel = newButton(pane, "cmdInvertSel", "Invert sel");
  cmdDeleteMaterials = newButton(pane, "cmdDeleteMaterials", "Delete", "Delete selected materials");
  lists->addWidget(lblMaterials, 2, 0);
  lists->addWidget(lstMaterials, 2, 1, 4, 2);
  lists->addWidget(cmd[kSelectAllButton], 2, 3);
  lists->addWidget(cmdInvertSel, 3, 3);
  lists->addWidget(cmdDeleteMaterials, 4, 3);

  lblTemplate = newLabel(pane, "lblTemplate", "Template");
  Combo1 = new QComboBox(pane);
  Combo1->setObjectName("Combo1");
  Combo1->setToolTip("Choose a material selection template");
  lblSelGroup = newLabel(pane, "lblSelGroup", "Sel. grp.");
  Combo2 = new QComboBox(pane);
  Combo2->setObjectName("Combo2");
  Combo2->setToolTip("Choose a selection group");
  cmdEditTemplate = newButton(pane, "cmdEditTemplate", "Edit", "Edit selected template");
  cmdDelTemplate = newButton(pane, "cmdDelTemplate", "Delete", "Delete selected template");
  lists->addWidget(lblTemplate, 6, 0);
  lists->addWidget(Combo1, 6, 1);
  lists->addWidget(cmdEditTemplate, 6, 2);
  lists->addWidget(cmdDelTemplate, 6, 3);
  lists->addWidget(lblSelGroup, 7, 0);
  lists->addWidget(Combo2, 7, 1);
  top->addLayout(lists);

  // Colour panels: a swatch above its caption.
  auto* colours = new QGridLayout;
  colours->setHorizontalSpacing(10);
  const char* swatchTips[kSwatchCount] = {
      "Select Object Color for selected material(s)", "Select Highlight Color for selected material(s)",
      "Select Ambient Color for selected material(s)", "Select Reflective Color for selected material(s)"};
  for (int i = 0; i < kSwatchCount; ++i) {
    PropertyPanel& panel = panels[kObjectColorPanel + i];
    MakePanelLabels(panel, pane, kColorRows[i].caption, kColorRows[i].captionName,
                    kColorRows[i].disabledName);
    SHP[i] = newButton(pane, QString("SHP(%1)").arg(i), "", swatchTips[i]);
    SHP[i]->setFlat(true);
    SHP[i]->setAutoFillBackground(true);
    SHP[i]->setMinimumSize(56, 22);
    panel.editors = {SHP[i]};
    // The caption with its swatch beside it; the Disabled label over both.
    colours->addWidget(panel.caption, 0, 2 * i);
    colours->addWidget(SHP[i], 0, 2 * i + 1);
    colours->addWidget(panel.disabled, 0, 2 * i, 1, 2);
    colours->setColumnStretch(2 * i + 1, 1);
  }
  top->addLayout(colours);

  // Value and strength panels: caption, box, bar, Apply.
  auto* values = new QGridLayout;
  const int valuePanel[kValueRowCount] = {
      kHighlightSizePanel,   kTransparencyMinPanel, kTransparencyMaxPanel,   kTransparencyFalloffPanel,
      kTextureStrengthPanel, kBumpStrengthPanel,    kReflectionStrengthPanel};
  for (int i = 0; i < kValueRowCount; ++i) {
    const ValueRow& row = kValueRows[i];
    PropertyPanel& panel = panels[valuePanel[i]];
    MakePanelLabels(panel, pane, row.caption, row.captionName, row.disabledName);
    QLineEdit*& box = TXT[ValueBox(i)];
    box = new QLineEdit(row.text, pane);
    box->setObjectName(QString("TXT(%1)").arg(ValueBox(i)));
    box->setToolTip(row.tip);
    SCR[i] = new QScrollBar(Qt::Horizontal, pane);
    SCR[i]->setObjectName(QString("SCR(%1)").arg(i));
    SCR[i]->setRange(row.barLow, row.barHigh);
    SCR[i]->setValue(row.bar);
    QPushButton*& apply = cmd[ValueApplyButton(i)];
    apply = newButton(pane, QString("cmd(%1)").arg(ValueApplyButton(i)), "Apply", row.applyTip);
    panel.editors = {box, SCR[i], apply};
    values->addWidget(panel.caption, i, 0);
    values->addWidget(box, i, 1);
    values->addWidget(SCR[i], i, 2);
    values->addWidget(apply, i, 3);
    values->addWidget(panel.disabled, i, 0, 1, 4);
  }
  values->setColumnStretch(2, 1);
  // Rows close together, as the laptop screen needs them (spacing left to
  // the layout grows with the Disabled labels, which keep their room).
  values->setVerticalSpacing(0);
  // The captions' column keeps its width whichever panels are off.
  const int captionWidth = pane->fontMetrics().horizontalAdvance("Transparency Falloff") + 12;
  values->setColumnMinimumWidth(0, captionWidth);
  top->addLayout(values);

  // Map panels: caption, No Map, Open, Fix, ..., path box, Apply.
  auto* maps = new QGridLayout;
  const auto named = [](const char* array, int index) { return QString("%1(%2)").arg(array).arg(index); };
  for (int j = 0; j < kMapRowCount; ++j) {
    const MapRow& row = kMapRows[j];
    PropertyPanel& panel = panels[kTextureMapPanel + j];
    MakePanelLabels(panel, pane, row.caption, row.captionName, row.disabledName);
    const QString what = row.caption;
    QPushButton*& noMap = cmd[NoMapButton(j)];
    QPushButton*& open = cmd[OpenMapButton(j)];
    QPushButton*& fix = cmd[FixMapButton(j)];
    QPushButton*& browse = cmd[BrowseMapButton(j)];
    QLineEdit*& path = TXT[PathBox(j)];
    QPushButton*& apply = cmd[ApplyMapButton(j)];
    noMap = newButton(pane, named("cmd", NoMapButton(j)), "No Map",
                      "Do not use a " + what + " with selected material(s)");
    open = newButton(pane, named("cmd", OpenMapButton(j)), "Open",
                     "Open the " + what + " with the associated program");
    fix = newButton(pane, named("cmd", FixMapButton(j)), "Fix",
                    "Try to correct a false path or toggle formatting between full and shortened path");
    browse = newButton(pane, named("cmd", BrowseMapButton(j)), "...",
                       "Browse a " + what + " for selected material(s)");
    path = new QLineEdit(pane);
    path->setObjectName(named("TXT", PathBox(j)));
    path->setToolTip("Type path and name of the " + what + " for selected material(s)");
    apply = newButton(pane, named("cmd", ApplyMapButton(j)), "Apply",
                      QString("Apply %1 for selected material(s)").arg(row.word));
    panel.editors = {noMap, open, browse, fix, path, apply};
    maps->addWidget(panel.caption, j, 0);
    maps->addWidget(noMap, j, 1);
    maps->addWidget(open, j, 2);
    maps->addWidget(fix, j, 3);
    maps->addWidget(browse, j, 4);
    maps->addWidget(path, j, 5);
    maps->addWidget(apply, j, 6);
    maps->addWidget(panel.disabled, j, 0, 1, 7);
  }
  maps->setColumnStretch(5, 1);
  maps->setVerticalSpacing(0);
  maps->setColumnMinimumWidth(0, captionWidth);
  top->addLayout(maps);

  // Check-box panels: the box and its separate caption label.
  auto* switches = new QGridLayout;
  struct BoxRow {
    QCheckBox** box;
    const char* name;
    int panel;
    const char* caption;
    const char* captionName;
    const char* disabledName;
    const char* tip;
  };
  const BoxRow boxes[3] = {
      {&chkApplyTextures, "chkApplyTextures", kApplyTexturePanel, "Apply texture to highlight",
       "lblApplyTexture", "lblCloseApplyToHighlight",
       "Check to apply texture to highlight. In P5 the image map node will be connected to specular color"},
      {&chkMultiplyThroughLights, "chkMultiplyThroughLights", kMultiplyThroughLightsPanel,
       "Multiply through lights", "lblMultiplyThroughLights", "lblCloseMultiplyThroughLights", ""},
      {&chkMultiplyThroughKdColor, "chkMultiplyThroughKdColor", kMultiplyThroughKdColorPanel,
       "Multiply through Object Color", "lblMultiplyThroughKdColor", "lblCloseMultiplyThroughKd", ""},
  };
  for (int i = 0; i < 3; ++i) {
    PropertyPanel& panel = panels[boxes[i].panel];
    MakePanelLabels(panel, pane, boxes[i].caption, boxes[i].captionName, boxes[i].disabledName);
    auto* box = new QCheckBox(pane);
    box->setObjectName(boxes[i].name);
    if (*boxes[i].tip) box->setToolTip(boxes[i].tip);
    *boxes[i].box = box;
    panel.editors = {box};
    controls::clickThroughCaption(panel.caption, box);
    switches->addWidget(box, i, 0);
    switches->addWidget(panel.caption, i, 1);
    switches->addWidget(panel.disabled, i, 0, 1, 2);
  }
  chkTexture = new QCheckBox(pane);
  chkTexture->setObjectName("chkTexture");
  chkTexture->setToolTip(
      "Use absolute file references with textures, bumps, reflection maps and transparency maps");
  lblUseFullPath = newLabel(pane, "lblUseFullPath", "Use full map paths");
  controls::clickThroughCaption(lblUseFullPath, chkTexture);
  switches->addWidget(chkTexture, 0, 2);
  switches->addWidget(lblUseFullPath, 0, 3);
  // Spanning Disabled labels widen the caption column, not the box column.
  switches->setColumnStretch(1, 1);
  switches->setColumnStretch(3, 1);
  switches->setRowStretch(3, 1);
  // The check boxes and the thumbnails share a band, which keeps the window
  // within a laptop screen.
  auto* band = new QHBoxLayout;
  band->addLayout(switches, 1);

  // Map thumbnails.
  auto* thumbs = new QGridLayout;
  const char* thumbCaptions[4] = {"Texture map", "Bump map", "Reflection map", "Transparency map"};
  for (int i = 0; i < 4; ++i) {
    imgThumb[i] = newLabel(pane, QString("imgThumb(%1)").arg(i), "");
    imgThumb[i]->setFixedSize(96, 96);
    imgThumb[i]->setFrameShape(QFrame::Box);
    imgThumb[i]->setAlignment(Qt::AlignCenter);
    lblThumb[i] = newLabel(pane, QString("lblThumb(%1)").arg(i), thumbCaptions[i]);
    thumbs->addWidget(imgThumb[i], 0, i);
    thumbs->addWidget(lblThumb[i], 1, i);
  }
  band->addLayout(thumbs);
  top->addLayout(band);
  top->addStretch(1);

  // Both faces of a panel take the same room: a hidden control keeps its
  // place, so no row or swatch moves when a panel flips.
  for (const PropertyPanel& panel : panels) {
    std::vector<QWidget*> widgets = panel.editors;
    widgets.push_back(panel.caption);
    widgets.push_back(panel.disabled);
    for (QWidget* w : widgets) {
      QSizePolicy policy = w->sizePolicy();
      policy.setRetainSizeWhenHidden(true);
      w->setSizePolicy(policy);
    }
  }

  // Templates of the preview box and switch that an open dialog takes in;
  // never in view.
  Picture1 = newLabel(pane, "Picture1(0)", "");
  Picture1->setHidden(true);
  chkPreview = new QCheckBox("Show preview", pane);
  chkPreview->setObjectName("chkPreview(0)");
  chkPreview->setHidden(true);
}

void MaterialsPane::Connect() {
  controls::bindClick(cmbFigures, [this] { cmbFigures_Click(); });
  controls::bindClick(lstMaterials, [this] { lstMaterials_Click(); });
  controls::bindButton(cmdInvertSel, [this] { cmdInvertSel_Click(); });
  controls::bindButton(cmdDeleteMaterials, [this] { cmdDeleteMaterials_Click(); });
  controls::bindButton(cmdNewMat, [this] { cmdNewMat_Click(); });
  // The value and strength rows and the Fix buttons; the map rows are
  // connected by the map editing.
  std::vector<int> buttons = {kSelectAllButton, kDeleteObjectButton};
  for (int i = 0; i < kValueRowCount; ++i) buttons.push_back(ValueApplyButton(i));
  for (int j = 0; j < kMapRowCount; ++j) buttons.push_back(FixMapButton(j));
  for (int index : buttons) controls::bindButton(cmd[index], [this, index] { CMD_Click(index); });
  for (int i = 0; i < kValueRowCount; ++i) {
    const int box = ValueBox(i);
    controls::bindText(TXT[box], [this, box] { TXT_Change(box); });
    controls::bindValue(SCR[i], [this, i] { SCR_Change(i); });
  }
  for (int k = 0; k < kSwatchCount; ++k) controls::bindButton(SHP[k], [this, k] { SHP_Click(k); });
  controls::bindCheckBox(chkApplyTextures, [this] { chkApplyTextures_Click(); });
  controls::bindCheckBox(chkMultiplyThroughLights, [this] { chkMultiplyThroughLights_Click(); });
  controls::bindCheckBox(chkMultiplyThroughKdColor, [this] { chkMultiplyThroughKdColor_Click(); });
  // The captions and Disabled labels take double-clicks.
  for (const PropertyPanel& p : panels) {
    p.caption->installEventFilter(this);
    p.disabled->installEventFilter(this);
  }
  ConnectTemplates();
  ConnectMapRows();
}

}  // namespace vandrel
