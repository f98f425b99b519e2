// The material table: one group per object that carries materials (the
// figure, each prop, each actor with its own materials), each with its
// materials in file order.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/compact_text.h"

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
  // The switches are bits: a table of a million materials holds 21 of them each.
  bool KsIgnoreTexture : 1 = false;
  bool MultiplyThroughLights : 1 = false;
  bool MultiplyThroughKdColor : 1 = false;
  // "Saved with the pose" switches, in the order of the editor's panels.
  bool ObjectColorOn : 1 = false;
  bool HighlightColorOn : 1 = false;
  bool AmbientColorOn : 1 = false;
  bool ReflectiveColorOn : 1 = false;
  bool HighlightSizeOn : 1 = false;
  bool TransparencyMinOn : 1 = false;
  bool TransparencyMaxOn : 1 = false;
  bool TransparencyFalloffOn : 1 = false;
  bool TextureMapOn : 1 = false;
  bool BumpMapOn : 1 = false;
  bool ReflectionMapOn : 1 = false;
  bool TransparencyMapOn : 1 = false;
  bool TextureStrengthOn : 1 = false;
  bool BumpStrengthOn : 1 = false;
  bool ReflectionStrengthOn : 1 = false;
  bool KsIgnoreTextureOn : 1 = false;
  bool MultiplyThroughLightsOn : 1 = false;
  bool MultiplyThroughKdColorOn : 1 = false;
  int Skip = 0;  // reserved

  static constexpr int kSwitchCount = 18;
  // The panel indexes of the switches.
  enum Panel : int {
    kObjectColor = 0,
    kHighlightColor,
    kAmbientColor,
    kReflectiveColor,
    kHighlightSize,
    kTransparencyMin,
    kTransparencyMax,
    kTransparencyFalloff,
    kTextureMap,
    kBumpMap,
    kReflectionMap,
    kTransparencyMap,
    kTextureStrength,
    kBumpStrength,
    kReflectionStrength,
    kKsIgnoreTexture,
    kMultiplyThroughLights,
    kMultiplyThroughKdColor,
  };
  // One of the eighteen switches by panel index 0..17, read and set as a bool.
  class SwitchRef {
   public:
    SwitchRef(MaterialRec& m, int index) : m_(m), index_(index) {}
    operator bool() const { return std::as_const(m_).SwitchOn(index_); }
    SwitchRef& operator=(bool on) {
      m_.SetSwitchOn(index_, on);
      return *this;
    }
    SwitchRef& operator=(const SwitchRef& other) { return *this = static_cast<bool>(other); }

   private:
    MaterialRec& m_;
    int index_;
  };
  SwitchRef SwitchOn(int index) { return {*this, index}; }
  bool SwitchOn(int index) const;
  void SetSwitchOn(int index, bool on);
};

struct ObjectRec {
  std::string Name;  // "figure", "prop <name>" or "actor <name>"
  std::vector<MaterialRec> Materials;
};

// True when `path` is the absent-map marker, in any case.
bool IsNoMap(std::string_view path);

}  // namespace vandrel
