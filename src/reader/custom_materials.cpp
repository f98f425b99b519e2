#include "reader/custom_materials.h"

#include <algorithm>
#include <vector>

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "reader/channel_scan.h"
#include "reader/material_parser.h"
#include "reader/read_fault.h"
#include "reader/text_scan.h"

namespace vandrel {

int CustomMaterialCount(std::string_view text, std::size_t at) {
  std::string line = Mid(text, at, 20);
  for (char& c : line) {
    if (c == '\r') c = '\n';
    if (c == '\t') c = ' ';
  }
  line = Replace(line, "  ", " ");
  const std::size_t blank = InStr(line, " ");
  std::size_t lineEnd = InStr(line, "\n");
  if (lineEnd == 0) lineEnd = line.size() + 1;  // the count runs to the end of the twenty
  if (lineEnd <= blank) return 0;               // no number before the line end
  return ToInteger(LeadingNumber(Mid(line, blank + 1, lineEnd - blank - 1)));
}

void ReadCustomMaterials(std::string_view text) {
  const std::size_t cm = InStr(text, "customMaterial");
  if (cm == 0) return;
  const int count = CustomMaterialCount(text, cm);
  if (count < 1) return;
  // A material begins at a line start: "material " inside a map path or a
  // name starts nothing.
  const auto nextMaterial = [&](std::size_t from) {
    return FindAtLineStart(text, "material ", from, 1, true);
  };
  std::size_t matPos = nextMaterial(cm + 9);
  if (matPos == 0) return;

  if (!gObjects[0].Name.empty()) gObjects.emplace_back();
  const int group = static_cast<int>(gObjects.size() - 1);
  gObjects[group] = ObjectRec{};
  // The records come as their blocks are found: a count far above the
  // blocks the text can hold takes no memory of its own.
  std::vector<MaterialRec>& materials = gObjects[group].Materials.Edit();
  materials.reserve(std::min(static_cast<std::size_t>(count), text.size() / 9 + 1));
  for (int m = 0; m < count; ++m) {
    if (m > 0) matPos = nextMaterial(matPos + 9);
    // Fewer blocks than the count: the group keeps the materials found.
    if (matPos == 0) break;
    materials.emplace_back();
    const std::size_t close = InStr(matPos, text, "}");
    std::string block(text.substr(matPos - 1, close == 0 ? std::string_view::npos : close - matPos));
    CrToLf(block);
    ParseMaterialBlock(block, group, m);
    const std::size_t lineEnd = InStr(block, "\n");
    materials[m].Name = lineEnd == 0 ? Mid(block, 10) : Mid(block, 10, lineEnd >= 10 ? lineEnd - 10 : 0);
  }
}

}  // namespace vandrel
