#include "writer/p5_image_maps.h"

#include <optional>

#include "model/model.h"
#include "writer/line_out.h"

namespace vandrel {
namespace {

void NodeInput(std::string& out, const std::string& eol, const char* name, std::string_view value,
               std::string_view file = "\"\"") {
  PutLine(out, 4, std::string("nodeInput ") + Quoted(name), eol);
  PutLine(out, 5, "{", eol);
  PutLine(out, 5, value, eol);
  PutLine(out, 5, "parmR NO_PARM", eol);
  PutLine(out, 5, "parmG NO_PARM", eol);
  PutLine(out, 5, "parmB NO_PARM", eol);
  PutLine(out, 5, "node NO_NODE", eol);
  PutLine(out, 5, std::string("file ") + std::string(file), eol);
  PutLine(out, 5, "}", eol);
}

// One node; `strength` is the Texture_Strength value line, none to leave the input out.
void ImageMapNode(std::string& out, const std::string& eol, int counter, std::string_view path,
                  const std::optional<std::string>& strength) {
  PutLine(out, 3, "node \"image_map\" " + Quoted(ImageMapNodeName(counter)), eol);
  PutLine(out, 4, "{", eol);
  NodeInput(out, eol, "Image_Source", "value 0 0 0", Quoted(path));
  NodeInput(out, eol, "U_Scale", "value 1 -1 1");
  NodeInput(out, eol, "V_Scale", "value 1 -1 1");
  NodeInput(out, eol, "U_Offset", "value 0 0 1");
  NodeInput(out, eol, "V_Offset", "value 0 0 1");
  NodeInput(out, eol, "Texture_Coords", "value 1 0 0");
  NodeInput(out, eol, "Image_Mapped", "value 4 0 0");
  NodeInput(out, eol, "Background", "value 1 1 1");
  NodeInput(out, eol, "Global_Coordinates", "value 0 0 1");
  NodeInput(out, eol, "Mirror_U", "value 0 0 0");
  NodeInput(out, eol, "Mirror_V", "value 0 0 0");
  if (strength) NodeInput(out, eol, "Texture_Strength", *strength);
  PutLine(out, 4, "}", eol);
}

}  // namespace

std::string WriteP5ImageMapNodes(int& counter, const MaterialRec& m, const MaterialFormat& format,
                                 std::string& out) {
  const std::string& eol = format.Eol;
  counter = 1;
  if (MapPresent(m.TextureMapOn, m.TextureMap)) {
    std::optional<std::string> strength;
    if (m.TextureStrengthOn) {
      std::string error;
      strength =
          "value " + StrengthFraction(m.TextureStrength, 100.0, "texture strength", m.Name, error) + " 0 1";
      if (!error.empty()) return error;
    }
    ImageMapNode(out, eol, counter, m.TextureMap, strength);
    ++counter;
  }
  const std::optional<std::string> full = std::string("value 1 0 1");
  if (MapPresent(m.TransparencyMapOn, m.TransparencyMap)) {
    ImageMapNode(out, eol, counter, m.TransparencyMap, full);
    ++counter;
  }
  if (MapPresent(m.ReflectionMapOn, m.ReflectionMap)) {
    ImageMapNode(out, eol, counter, m.ReflectionMap, full);
    ++counter;
  }
  if (MapPresent(m.BumpMapOn, m.BumpMap)) {
    ImageMapNode(out, eol, counter, m.BumpMap, full);
    ++counter;
  }
  return {};
}

std::string WriteP5ImageMapNodes(int& counter, std::size_t group, std::size_t material,
                                 const MaterialFormat& format, std::string& out) {
  return WriteP5ImageMapNodes(counter, gObjects.at(group).Materials.at(material), format, out);
}

}  // namespace vandrel
