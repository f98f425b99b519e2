// Editing the selected materials: the buttons cmd(0) to cmd(28), the number
// boxes with their scroll bars, the colour swatches and the three material
// check boxes. Every editor changes all selected materials of the chosen
// group; typed values reach them through the row's Apply button.
#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <cstdint>

#include "common/numbers.h"
#include "common/text.h"
#include "mainwindow/materials_pane.h"
#include "model/model.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"

namespace vandrel {

namespace {

struct Bounds {
  int low, high;
};
// The value rows' boxes TXT(1)..TXT(7): highlight size, transparency min,
// max, falloff, texture, bump and reflection strength.
constexpr Bounds kBounds[MaterialsPane::kValueRowCount] = {{1, 100}, {0, 100},    {0, 100}, {0, 10},
                                                           {0, 100}, {-100, 100}, {0, 100}};
constexpr int kFalloffRow = 3, kBumpStrengthRow = 5;

// The value row whose Apply button is cmd(index), or -1.
int ValueRowOfApplyButton(int index) {
  for (int i = 0; i < MaterialsPane::kValueRowCount; ++i)
    if (MaterialsPane::ValueApplyButton(i) == index) return i;
  return -1;
}

// The text of value row `row`'s box with the user's decimal sign (and, in the
// falloff box, a ",") turned into ".": boxes take both the user's sign and ".".
std::string PointText(const QString& text, int row) {
  QString t = text;
  const QString sign = QLocale().decimalPoint();
  if (sign != ".") t.replace(sign, ".");
  if (row == kFalloffRow) t.replace(',', '.');
  return ToPoserText(t);
}

// True when the whole text, blanks around it aside, is one number.
bool ReadsWhollyAsNumber(const std::string& pointText) {
  static const QRegularExpression number(R"(^ *[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)? *$)");
  return number.match(FromPoserText(pointText)).hasMatch();
}

double BoxNumber(const QLineEdit* box, int row) { return Val(PointText(box->text(), row)); }

}  // namespace

// ---- The buttons ---------------------------------------------------------------

void MaterialsPane::CMD_Click(int index) {
  if (index < 0 || index > kLastButton) return;
  if (IsMapRowButton(index)) return MapRowButton_Click(index);
  // Steps before the selection.
  if (index == kSelectAllButton) SelectAllMaterials();
  if (index == kDeleteObjectButton && !RemoveChosenGroup()) return;
  const std::vector<MaterialRec*> selected = SelectedMaterials();
  if (index == kSelectAllButton || index == kDeleteObjectButton) return;
  if (index >= FixMapButton(0)) {
    FixMaps(index, selected);
    return;
  }
  const int row = ValueRowOfApplyButton(index);
  if (row < 0) return;  // the map rows and Fix buttons are handled with the map editing
  const QLineEdit* text = TXT[ValueBox(row)];
  const double value = BoxNumber(text, row);
  // The box's own check keeps it in range; a text that bypassed it and
  // does not fit the record's 16-bit fields changes nothing.
  if (!(value >= -32768.0 && value <= 32767.0)) return;
  for (MaterialRec* m : selected) {
    switch (row) {
      case 0:
        m->HighlightSize = static_cast<int>(RoundHalfEven(value));
        break;
      case 1:
        m->TransparencyMin = static_cast<int>(RoundHalfEven(value));
        break;
      case 2:
        m->TransparencyMax = static_cast<int>(RoundHalfEven(value));
        break;
      case 3:
        m->TransparencyFalloff = static_cast<float>(value);
        break;
      // Strengths are number texts in the file's form ("." as decimal sign).
      case 4:
        m->TextureStrength = FormatDouble(value);
        break;
      case 5:
        m->BumpStrength = FormatDouble(value);
        break;
      case 6:
        m->ReflectionStrength = FormatDouble(value);
        break;
      default:
        break;
    }
    gState.Dirty = true;
  }
}

// ---- Number boxes and scroll bars --------------------------------------------------------

void MaterialsPane::TXT_Change(int index) {
  if (index < ValueBox(0) || index > ValueBox(kValueRowCount - 1)) return;
  const int row = index - ValueBox(0);
  QLineEdit* box = TXT[index];
  const Bounds b = kBounds[row];
  const QString low = QString::number(b.low);
  // Each step reads the text as the steps before left it; setting the text
  // runs this handling again for the new text first.
  auto point = [&] { return PointText(box->text(), row); };
  if (!ReadsWhollyAsNumber(point()) && row != kBumpStrengthRow) controls::setText(box, low);
  {
    const std::string t = point();
    const bool lateMinus = t.find('-', 1) != std::string::npos;
    if (lateMinus || (row == kBumpStrengthRow && !ReadsWhollyAsNumber(Replace(t, "-", "0"))))
      controls::setText(box, "0");
  }
  const double number = Val(point());
  if (row != kFalloffRow) {
    if (number > b.high || number < b.low) controls::setText(box, low);
  } else if (number < 0 || number > 10) {
    controls::setText(box, "0");
  }
  const double shown = Val(point());
  const double bar = row == kFalloffRow ? RoundHalfEven(100.0 * shown) : RoundHalfEven(shown);
  controls::setValue(SCR[row], static_cast<int>(bar));
}

void MaterialsPane::SCR_Change(int index) {
  if (index < 0 || index >= kValueRowCount) return;
  const int value = SCR[index]->value();
  QLineEdit* box = TXT[ValueBox(index)];
  // A box whose number is already the bar's keeps its text, so that a lone
  // "-" stays while a negative number is typed.
  const double number = Val(PointText(box->text(), index));
  if ((index == kFalloffRow ? RoundHalfEven(number * 100.0) : number) == value) return;
  const QString text =
      index == kFalloffRow ? ShownDecimal(FormatDouble(value / 100.0)) : QString::number(value);
  controls::setText(box, text);
}

// ---- Colour swatches and check boxes ------------------------------------------------------

void MaterialsPane::SHP_Click(int index) {
  if (index < 0 || index >= kSwatchCount) return;
  const QColor shown = SwatchColor(index);
  const std::optional<Rgb> chosen = Ui().ChooseColor({shown.red(), shown.green(), shown.blue()});
  if (!chosen) return;
  const auto component = [&](int i) { return static_cast<std::int16_t>((*chosen)[i] & 255); };
  const ColorRec color{component(0), component(1), component(2)};
  SetSwatch(index, QColor(color[0], color[1], color[2]));
  ColorRec MaterialRec::*fields[kSwatchCount] = {&MaterialRec::ObjectColor, &MaterialRec::HighlightColor,
                                                 &MaterialRec::AmbientColor, &MaterialRec::ReflectiveColor};
  for (MaterialRec* m : SelectedMaterials()) m->*fields[index] = color;
  gState.Dirty = true;
}

void MaterialsPane::InvertSelected(void (*invert)(MaterialRec&)) {
  if (!gState.EventsOn) return;  // the display is filling the boxes
  // Each material's own value is inverted, so materials that differed still differ.
  for (MaterialRec* m : SelectedMaterials()) invert(*m);
  gState.Dirty = true;
}

void MaterialsPane::chkApplyTextures_Click() {
  InvertSelected([](MaterialRec& m) { m.KsIgnoreTexture = !m.KsIgnoreTexture; });
}
void MaterialsPane::chkMultiplyThroughLights_Click() {
  InvertSelected([](MaterialRec& m) { m.MultiplyThroughLights = !m.MultiplyThroughLights; });
}
void MaterialsPane::chkMultiplyThroughKdColor_Click() {
  InvertSelected([](MaterialRec& m) { m.MultiplyThroughKdColor = !m.MultiplyThroughKdColor; });
}

}  // namespace vandrel
