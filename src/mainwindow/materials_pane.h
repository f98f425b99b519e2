// The Materials pane of the main window: the object and material lists, the
// selection templates, the eighteen property panels with their editors and
// the map thumbnails, with the procedures that fill, show and edit them.
//
// The pane is split by feature over several files:
//   materials_pane.cpp            construction of the controls
//   materials_pane_states.cpp     enabling, greying out and the panels' two faces
//   materials_pane_lists.cpp      the object and material lists and the selection
//   materials_pane_display.cpp    showing the current material
//   materials_pane_editing.cpp    number boxes, Apply buttons, swatches, check boxes
//   materials_pane_switches.cpp   switching properties off and on
//   materials_pane_maps.cpp       the map rows: No Map, Open, "...", Apply, drops
//   materials_pane_fix.cpp        the Fix buttons and the map reference check
//   materials_pane_templates.cpp  the selection templates (Combo1, Combo2)
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace vandrel {

class FrmMain;
class Host;
struct MaterialRec;
struct ObjectRec;

// One of the eighteen property panels of the Materials pane: its caption
// label and editors (the on face) and its Disabled label (the off face).
struct PropertyPanel {
  QLabel* caption = nullptr;
  std::vector<QWidget*> editors;
  QLabel* disabled = nullptr;
};

// Panel indices, in the order of the material's saved-with-the-pose switches.
enum PanelIndex {
  kObjectColorPanel,
  kHighlightColorPanel,
  kAmbientColorPanel,
  kReflectiveColorPanel,
  kHighlightSizePanel,
  kTransparencyMinPanel,
  kTransparencyMaxPanel,
  kTransparencyFalloffPanel,
  kTextureMapPanel,
  kBumpMapPanel,
  kReflectionMapPanel,
  kTransparencyMapPanel,
  kTextureStrengthPanel,
  kBumpStrengthPanel,
  kReflectionStrengthPanel,
  kApplyTexturePanel,
  kMultiplyThroughLightsPanel,
  kMultiplyThroughKdColorPanel,
  kPanelCount
};

// A number text written with "." shown with the user's decimal sign.
QString ShownDecimal(const std::string& pointText);

class MaterialsPane : public QWidget {
  Q_OBJECT

 public:
  // `main` is the window that owns the pane; the pane reads its save options
  // and menus.
  explicit MaterialsPane(FrmMain& main);
  ~MaterialsPane() override;

  // ---- The elements of the control arrays. ----------------------------------
  // Value rows i: 0 highlight size, 1 transparency min, 2 max, 3 falloff,
  // 4 texture, 5 bump and 6 reflection strength. Map rows j: 0 texture,
  // 1 bump, 2 reflection, 3 transparency. Colours (swatches) k: 0 object,
  // 1 highlight, 2 ambient, 3 reflective.
  static constexpr int kValueRowCount = 7;
  static constexpr int kMapRowCount = 4;
  static constexpr int kSwatchCount = 4;
  static constexpr int kSelectAllButton = 0;     // cmd(0)
  static constexpr int kDeleteObjectButton = 1;  // cmd(1)
  // cmd(14)..cmd(17) and cmd(22)..cmd(24).
  static constexpr int ValueApplyButton(int i) { return i < 4 ? 14 + i : 18 + i; }
  static constexpr int NoMapButton(int j) { return 2 + j; }       // cmd(2)..cmd(5)
  static constexpr int OpenMapButton(int j) { return 6 + j; }     // cmd(6)..cmd(9)
  static constexpr int BrowseMapButton(int j) { return 10 + j; }  // cmd(10)..cmd(13), "..."
  static constexpr int ApplyMapButton(int j) { return 18 + j; }   // cmd(18)..cmd(21)
  static constexpr int FixMapButton(int j) { return 25 + j; }     // cmd(25)..cmd(28)
  static constexpr int kLastButton = 28;                          // the last Fix button
  static constexpr int kRequiredVersionBox = 0;                   // TXT(0)
  static constexpr int ValueBox(int i) { return 1 + i; }          // TXT(1)..TXT(7)
  static constexpr int PathBox(int j) { return 8 + j; }           // TXT(8)..TXT(11)
  static constexpr int kLastBox = 11;                             // the last path box

  // ---- Controls, by their documented names. --------------------------------
  QLabel* lblObject = nullptr;
  QComboBox* cmbFigures = nullptr;
  QPushButton* cmdNewMat = nullptr;
  QPushButton* cmdCreateMat = nullptr;
  QLabel* lblMaterials = nullptr;
  QListWidget* lstMaterials = nullptr;
  QPushButton* cmdInvertSel = nullptr;
  QPushButton* cmdDeleteMaterials = nullptr;
  QLabel* lblTemplate = nullptr;
  QComboBox* Combo1 = nullptr;  // the selection templates
  QLabel* lblSelGroup = nullptr;
  QComboBox* Combo2 = nullptr;  // the groups of the template chosen in Combo1
  QPushButton* cmdEditTemplate = nullptr;
  QPushButton* cmdDelTemplate = nullptr;
  // The control arrays keep their documented indices (and objectNames such
  // as "cmd(25)"); code names the element it means with the indices below.
  std::array<QPushButton*, 29> cmd{};
  // TXT(0), the required version, lies on the Save Options pane (the main
  // window puts it here); it is enabled with the material editors.
  std::array<QLineEdit*, 12> TXT{};
  std::array<QScrollBar*, kValueRowCount> SCR{};  // SCR(i): the bar of value row i
  std::array<QPushButton*, kSwatchCount> SHP{};   // SHP(i): the swatch of colour i
  QCheckBox* chkApplyTextures = nullptr;
  QCheckBox* chkMultiplyThroughLights = nullptr;
  QCheckBox* chkMultiplyThroughKdColor = nullptr;
  QCheckBox* chkTexture = nullptr;
  QLabel* lblUseFullPath = nullptr;
  std::array<PropertyPanel, kPanelCount> panels{};
  std::array<QLabel*, 4> imgThumb{};
  std::array<QLabel*, 4> lblThumb{};
  QLabel* Picture1 = nullptr;       // Picture1(0): invisible template of the preview picture
  QCheckBox* chkPreview = nullptr;  // chkPreview(0): invisible template of the preview switch

  // ---- The collected selection. ---------------------------------------------
  // Rows of the selected materials in ascending order; only the first
  // selectedMaterialCount are valid (an empty selection leaves the rows before).
  std::vector<int> selectedMaterialRows;
  int selectedMaterialCount = 0;
  // Fills selectedMaterialRows and selectedMaterialCount from lstMaterials.
  void GetSelectedMaterials();
  // The group chosen in cmbFigures, or nullptr when nothing (or an "actor "
  // item without a group) is chosen.
  ObjectRec* ChosenGroup() const;
  // The records of the collected selection in the chosen group (a stale
  // index is left out); collects the selection first.
  std::vector<MaterialRec*> SelectedMaterials();
  // The material of the current item to show, or nullptr. Showing does not
  // give a group that shares its materials records of its own.
  const MaterialRec* CurrentMaterial() const;

  // ---- The object list. -----------------------------------------------------
  // Inserts Name into the object list (gObjectList and cmbFigures): Position 1
  // or more inserts at Position - 1; below 1, a name that is not an actor's,
  // light's or camera's goes before the first such entry, anything else at
  // the end.
  void AddFigureListItem(const std::string& name, int position);
  // Rebuilds cmbFigures from gObjectList, keeping the chosen index.
  void MirrorObjectList();

  // ---- Lists and the display. -----------------------------------------------
  // Lists the materials of the chosen object, selecting the first.
  void FillMaterialList();
  // Shows the current material in the editors and brings every panel into the
  // face of its switches.
  void ShowMaterial();
  void cmbFigures_Click();
  void lstMaterials_Click();
  void cmdInvertSel_Click();
  void cmdDeleteMaterials_Click();
  void cmdNewMat_Click();

  // ---- Editing. -------------------------------------------------------------
  // The buttons cmd(0) to cmd(28).
  void CMD_Click(int index);
  // Number boxes TXT(1)..TXT(7) (TXT(0) is the main window's) and their bars.
  void TXT_Change(int index);
  void SCR_Change(int index);
  void SHP_Click(int index);
  void chkApplyTextures_Click();
  void chkMultiplyThroughLights_Click();
  void chkMultiplyThroughKdColor_Click();

  // ---- Finding maps (materials_pane_fix.cpp). -------------------------------
  // The Fix button cmd(index), 25 to 28 (texture, bump, reflection,
  // transparency), for the selected materials; true when a map path changed.
  bool FixMaps(int index, const std::vector<MaterialRec*>& selected);
  // After a load, when AutoCorrect is on: every object's maps fixed under
  // the progress window, the first object shown at the end.
  void CheckMapReferences();

  // ---- Switches. ------------------------------------------------------------
  // A caption label double-clicked (the property off for every selected
  // material) or a Disabled label (on).
  void SwitchOff(int panel);
  void SwitchOn(int panel);

  // ---- States. --------------------------------------------------------------
  // What the main window's reset does to the pane before the document is emptied.
  void ResetControls();
  void EnableMaterialControlsAfterLoad();
  void EnableMaterialControls();
  void DisableMaterialControls();
  void ClearMaterialPanel();
  // ---- Selection templates (materials_pane_templates.cpp). -------------------
  // Lists the selection templates (Templates/*.cfg) in Combo1.
  void FillTemplateList();
  // Lists the groups of Combo1's template `index` in Combo2.
  void FillTemplateGroupList(int index);
  void Combo1_Click();
  // Selects exactly the materials the chosen group names.
  void Combo2_Click();
  void cmdDelTemplate_Click();
  // Opens the chosen template in the template editor.
  void cmdEditTemplate_Click();
  // Flips one property panel to its other face and marks the document changed.
  void TogglePanel(int panel);
  // True while the panel shows its off face (its Disabled label is enabled).
  bool PanelIsOff(int panel) const;
  // Every panel back to its on face.
  void AllPanelsOn();
  void ClearThumbnails();
  // Material and caption controls that the enabling procedures switch together.
  std::vector<QWidget*> MaterialEditors() const;
  std::vector<QWidget*> CaptionLabels() const;

  // ---- The swatches and thumbnails. --------------------------------------------
  void SetSwatch(int index, const QColor& color);
  QColor SwatchColor(int index) const;
  // The thumbnail of a map in imgThumb(index), when one was loaded.
  void ShowMapThumbnail(int index, const std::string& poserPath);
  // Thumbnails made meanwhile replace "Loading" in the current material's boxes.
  void ShowArrivedThumbnails();

  // ---- The map rows (materials_pane_maps.cpp). ------------------------------
  // The map buttons of CMD_Click, for map j = 0 texture, 1 bump, 2 reflection,
  // 3 transparency: cmd(2 + j) "No Map", cmd(6 + j) "Open", cmd(10 + j) "..."
  // and cmd(18 + j) "Apply". They are bound to MapRowButton_Click, which
  // runs the whole press (selection, every selected material, display).
  static bool IsMapRowButton(int index);
  void MapRowButton_Click(int index);
  // Files dropped on the path box TXT(index), 8 to 11: the first one is put
  // into the box and applied.
  void TXT_OLEDragDrop(int index, const std::vector<std::string>& files);

 private:
  void Build();
  void Connect();
  void ConnectMapRows();
  void SelectAllMaterials();
  // cmd(1): false when the last group went (the handler ends there).
  bool RemoveChosenGroup();
  // The three material check boxes: inverts the field of every selected material.
  void InvertSelected(void (*invert)(MaterialRec&));
  bool eventFilter(QObject* watched, QEvent* event) override;
  void ConnectTemplates();
  // The file of Combo1's item `index`, "" for none.
  std::string TemplateFileAt(int index) const;

  std::vector<std::string> templateFiles_;  // the files of Combo1's items

  std::array<QColor, 4> swatchColors_{};

  // The progress of the map reference check while it runs.
  Host* passHost_ = nullptr;
  long long passMax_ = 0, passValue_ = 0;

  FrmMain& main_;
};

}  // namespace vandrel
