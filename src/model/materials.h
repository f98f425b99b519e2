// The material table: one group per object that carries materials (the
// figure, each prop, each actor with its own materials), each with its
// materials in file order.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/compact_text.h"
#include "model/shared_records.h"

namespace vandrel {

inline constexpr const char* kNoMap = "NO_MAP";

// One RGB colour: red, green, blue, each the file's value times 255. Stored
// in int, not a 16-bit type, so that overflow checks are explicit.
using ColorRec = std::array<int, 3>;

struct MaterialRec {
  CompactText Name;
  ColorRec ObjectColor{0, 0, 0};      // KdColor
  ColorRec HighlightColor{0, 0, 0};   // KsColor
  ColorRec AmbientColor{0, 0, 0};     // KaColor
  ColorRec ReflectiveColor{0, 0, 0};  // ReflectionColor
  int HighlightSize = 1;              // 101 minus NsExponent
  int TransparencyMin = 0;            // percent
  int TransparencyMax = 0;            // percent
  float TransparencyFalloff = 0.0f;   // two decimals
  CompactText TextureMap = kNoMap;
  CompactText BumpMap = kNoMap;
  CompactText ReflectionMap = kNoMap;
  CompactText TransparencyMap = kNoMap;
  CompactText TextureStrength = "0";  // percent, whole-number text
  CompactText BumpStrength = "0";
  CompactText ReflectionStrength = "0";
  bool KsIgnoreTexture = false;
  bool MultiplyThroughLights = false;
  bool MultiplyThroughKdColor = false;
  // "Saved with the pose" switches, in the order of the editor's panels.
  bool ObjectColorOn = false;
  bool HighlightColorOn = false;
  bool AmbientColorOn = false;
  bool ReflectiveColorOn = false;
  bool HighlightSizeOn = false;
  bool TransparencyMinOn = false;
  bool TransparencyMaxOn = false;
  bool TransparencyFalloffOn = false;
  bool TextureMapOn = false;
  bool BumpMapOn = false;
  bool ReflectionMapOn = false;
  bool TransparencyMapOn = false;
  bool TextureStrengthOn = false;
  bool BumpStrengthOn = false;
  bool ReflectionStrengthOn = false;
  bool KsIgnoreTextureOn = false;
  bool MultiplyThroughLightsOn = false;
  bool MultiplyThroughKdColorOn = false;
  int Skip = 0;  // reserved

  static constexpr int kSwitchCount = 18;
  // The eighteen switches by panel index 0..17.
  bool& SwitchOn(int index);
  bool SwitchOn(int index) const;
};

struct ObjectRec {
  std::string Name;  // "figure", "prop <name>" or "actor <name>"
  std::vector<MaterialRec> Materials;
  std::vector<NameIndexRec> Names;  // reserved: never filled
};

// True when `path` is the absent-map marker, in any case.
bool IsNoMap(std::string_view path);

}  // namespace vandrel
