#include "writer/p5_shader_tree.h"

#include <optional>

#include "model/model.h"
#include "writer/line_out.h"

namespace vandrel {
namespace {

constexpr const char* kNoNode = "node NO_NODE";

class RootNodeWriter {
 public:
  RootNodeWriter(std::string& out, const std::string& eol) : out_(out), eol_(eol) {}

  // One input: its name, its value line (none when empty), the three parm
  // lines unless left out, and its link line.
  void Input(const char* name, const std::optional<std::string>& value, const std::string& link,
             bool parms = true) {
    PutLine(out_, 4, std::string("nodeInput ") + Quoted(name), eol_);
    PutLine(out_, 5, "{", eol_);
    if (value) PutLine(out_, 5, *value, eol_);
    if (parms) {
      PutLine(out_, 5, "parmR NO_PARM", eol_);
      PutLine(out_, 5, "parmG NO_PARM", eol_);
      PutLine(out_, 5, "parmB NO_PARM", eol_);
    }
    PutLine(out_, 5, link, eol_);
    PutLine(out_, 5, "file \"\"", eol_);
    PutLine(out_, 5, "}", eol_);
  }
  void Fixed(const char* name, const char* value) { Input(name, std::string(value), kNoNode); }

 private:
  std::string& out_;
  const std::string& eol_;
};

std::string LinkTo(int counter) { return "node " + Quoted(ImageMapNodeName(counter)); }

}  // namespace

std::string WriteP5ShaderTree(int& counter, const MaterialRec& m, const MaterialFormat& format,
                              std::string& out) {
  const std::string& eol = format.Eol;
  const bool texture = MapPresent(m.TextureMapOn, m.TextureMap);
  const bool transparency = MapPresent(m.TransparencyMapOn, m.TransparencyMap);
  const bool reflection = MapPresent(m.ReflectionMapOn, m.ReflectionMap);
  const bool bump = MapPresent(m.BumpMapOn, m.BumpMap);
  const bool gradientBump = m.BumpMapOn && IsGradientBump(m.BumpMap);
  std::string error;

  counter = 1;
  PutLine(out, 2, "shaderTree", eol);
  PutLine(out, 3, "{", eol);
  PutLine(out, 3, "node \"poser\" \"PoserSurface\"", eol);
  PutLine(out, 4, "{", eol);
  RootNodeWriter node(out, eol);

  node.Input("Diffuse_Color", m.ObjectColorOn ? "value " + ColorFractions(m.ObjectColor) : "value 1 1 1",
             texture ? LinkTo(counter) : kNoNode);
  node.Fixed("Diffuse_Value", "value 1 0 10");
  // The highlight takes the texture unless the material ignores it.
  node.Input("Highlight_Color",
             m.HighlightColorOn ? "value " + ColorFractions(m.HighlightColor) : "value 0 0 0",
             texture && m.KsIgnoreTextureOn && !m.KsIgnoreTexture ? LinkTo(counter) : kNoNode);
  if (texture) ++counter;
  node.Fixed("Highlight_Value", "value 1 0 10");
  if (m.HighlightSizeOn)
    node.Input("Roughness", "value " + PoseNumber(m.HighlightSize / 100.0) + " 0 10", kNoNode);
  if (m.AmbientColorOn) {
    node.Input("Ambient_Color", "value " + ColorFractions(m.AmbientColor), kNoNode);
    node.Fixed("Ambient_Value", "value 1 1 10");
  }
  if (m.TransparencyMaxOn)
    node.Input("Transparency_Max", "value " + Rounded6(m.TransparencyMax / 100.0) + " 0 1",
               transparency ? LinkTo(counter) : kNoNode);
  // The transparency map keeps its number even when nothing links to it.
  if (transparency) ++counter;
  if (m.TransparencyMinOn)
    node.Input("Transparency_Min", "value " + Rounded6(m.TransparencyMin / 100.0) + " 0 1", kNoNode);
  if (m.TransparencyFalloffOn) {
    const bool opaqueRule = format.BatchMode && m.TransparencyMin == 100 && m.TransparencyMax == 100;
    node.Input(
        "Transparency_Falloff",
        opaqueRule ? std::string("value 0 0 100") : "value " + PoseNumber(m.TransparencyFalloff) + " 0 100",
        kNoNode);
  }
  node.Fixed("Translucence_Color", "value 0 0 0");
  node.Fixed("Translucence_Value", "value 0 0 10");
  if (m.ReflectiveColorOn || m.ReflectionMapOn) {
    // Without a reflection colour the input carries only its link.
    std::optional<std::string> value;
    if (m.ReflectiveColorOn) value = "value " + ColorFractions(m.ReflectiveColor);
    node.Input("Reflection_Color", value, reflection ? LinkTo(counter) : kNoNode, m.ReflectiveColorOn);
  }
  if (reflection) ++counter;
  if (m.ReflectionStrengthOn) {
    const std::string value =
        StrengthFraction(m.ReflectionStrength, 100.0, "reflection strength", m.Name, error);
    if (!error.empty()) return error;
    node.Input("Reflection_Value", "value " + value + " 0 10", kNoNode);
  }
  node.Fixed("Refraction_Color", "value 1 1 1");
  node.Fixed("Refraction_Value", "value 1 0 10");
  if (bump && !gradientBump) {
    std::optional<std::string> value;
    if (m.BumpStrengthOn) {
      value = "value " + StrengthFraction(m.BumpStrength, 1000.0, "bump strength", m.Name, error) + " 0 10";
      if (!error.empty()) return error;
    }
    node.Input("Bump", value, LinkTo(counter));
    ++counter;
  } else {
    node.Fixed("Bump", "value 1 0 10");
  }
  node.Fixed("Displacement", "value 1 0 10");
  node.Fixed("AlternateDiffuse", "value 1 1 1");
  node.Fixed("AlternateSpecular", "value 1 1 1");
  node.Fixed("ReflectionLiteMult", "value 0 0 1");
  node.Fixed("ReflectionKdMult", "value 0 0 1");
  if (gradientBump) {
    std::optional<std::string> value;
    if (m.BumpStrengthOn) {
      value = "value " + StrengthFraction(m.BumpStrength, 100.0, "bump strength", m.Name, error) + " -1 1";
      if (!error.empty()) return error;
    }
    node.Input("Gradient_Bump", value, LinkTo(counter));
    ++counter;
  } else {
    node.Fixed("Gradient_Bump", "value 1 -1 1");
  }
  PutLine(out, 4, "}", eol);
  return {};
}

std::string WriteP5ShaderTree(int& counter, std::size_t group, std::size_t material,
                              const MaterialFormat& format, std::string& out) {
  return WriteP5ShaderTree(counter, gObjects.at(group).Materials.at(material), format, out);
}

}  // namespace vandrel
