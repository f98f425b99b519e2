#include "writer/p4_materials.h"

#include "common/numbers.h"
#include "writer/line_out.h"
#include "writer/p5_image_maps.h"
#include "writer/p5_shader_tree.h"

namespace vandrel {

namespace {

// A map line: a saved path in double quotes followed by a line of four TABs
// and "0 0"; the absent-map marker as stored, alone.
void PutP4Map(std::string& out, const char* key, std::string_view path, const std::string& eol) {
  if (IsNoMap(path)) {
    PutLine(out, 2, key, path, eol);
    return;
  }
  PutLine(out, 2, key + Quoted(path), eol);
  PutLine(out, 4, "0 0", eol);
}

}  // namespace

std::string WriteP4Material(const MaterialRec& m, const MaterialFormat& format, std::string& out) {
  const std::string& eol = format.Eol;
  std::string error;
  const auto prop = [&](std::string_view text) { PutLine(out, 2, text, eol); };
  const auto strength = [&](std::string_view text, const char* what) {
    return StrengthFraction(text, 100.0, what, m.Name, error);
  };

  PutLine(out, 1, "material " + m.Name, eol);
  PutLine(out, 2, "{", eol);
  if (m.ObjectColorOn) prop("KdColor " + ColorFractions(m.ObjectColor) + " 1");
  if (m.AmbientColorOn) prop("KaColor " + ColorFractions(m.AmbientColor) + " 1");
  if (m.HighlightColorOn) prop("KsColor " + ColorFractions(m.HighlightColor) + " 1");
  if (m.TextureStrengthOn) {
    const std::string value = strength(m.TextureStrength, "texture strength");
    if (!error.empty()) return error;
    prop("TextureColor 1 1 1 " + value);
  }
  if (m.HighlightSizeOn) prop("NsExponent " + FormatInt(101 - m.HighlightSize));
  if (m.TransparencyMinOn) prop("tMin " + Rounded6(m.TransparencyMin / 100.0));
  if (m.TransparencyMaxOn) prop("tMax " + Rounded6(m.TransparencyMax / 100.0));
  if (m.TransparencyFalloffOn) {
    // A batch conversion gives fully transparent materials no falloff.
    const bool opaqueRule = format.BatchMode && m.TransparencyMin == 100 && m.TransparencyMax == 100;
    prop("tExpo " + (opaqueRule ? std::string("0") : PoseNumber(m.TransparencyFalloff)));
  }
  if (m.BumpStrengthOn) {
    const std::string value = strength(m.BumpStrength, "bump strength");
    if (!error.empty()) return error;
    prop("bumpStrength " + value);
  }
  if (m.KsIgnoreTextureOn) prop(std::string("ksIgnoreTexture ") + (m.KsIgnoreTexture ? "1" : "0"));
  if (m.MultiplyThroughLightsOn)
    prop(std::string("reflectThruLights ") + (m.MultiplyThroughLights ? "1" : "0"));
  if (m.MultiplyThroughKdColorOn)
    prop(std::string("reflectThruKd ") + (m.MultiplyThroughKdColor ? "1" : "0"));
  if (m.TextureMapOn) PutP4Map(out, "textureMap ", m.TextureMap, eol);
  if (m.BumpMapOn) PutP4Map(out, "bumpMap ", m.BumpMap, eol);
  if (m.ReflectionMapOn) PutP4Map(out, "reflectionMap ", m.ReflectionMap, eol);
  if (m.TransparencyMapOn) PutP4Map(out, "transparencyMap ", m.TransparencyMap, eol);
  if (m.ReflectiveColorOn) prop("ReflectionColor " + ColorFractions(m.ReflectiveColor) + " 1");
  if (m.ReflectionStrengthOn) {
    const std::string value = strength(m.ReflectionStrength, "reflection strength");
    if (!error.empty()) return error;
    prop("reflectionStrength " + value);
  }
  if (format.Poser5) {
    int counter = 0;
    error = WriteP5ShaderTree(counter, m, format, out);
    if (!error.empty()) return error;
    error = WriteP5ImageMapNodes(counter, m, format, out);
    if (!error.empty()) return error;
    PutLine(out, 3, "}", eol);
  }
  PutLine(out, 2, "}", eol);
  return {};
}

}  // namespace vandrel
