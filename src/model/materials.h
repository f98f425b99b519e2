// The material table: one group per object that carries materials (the
// figure, each prop, each actor with its own materials), each with its
// materials in file order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/compact_text.h"

namespace vandrel {

inline constexpr const char* kNoMap = "NO_MAP";

// One RGB colour: red, green, blue, each the file's value times 255. The
// reader refuses a product outside -32768..32767 (an overflow) and the colour
// chooser gives 0..255, so 16 bits hold every value; nothing computes in
// them (a component is widened to int before any arithmetic).
using ColorRec = std::array<std::int16_t, 3>;

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
static_assert(sizeof(MaterialRec) <= 176);

// The materials of one group. Groups that hold the same materials (the prop
// lines that each take the figure's first material) share one list of
// records: the list is read through const access only, and Edit() gives a
// group records of its own before its first change, so that a change never
// shows in another group.
class GroupMaterials {
 public:
  using value_type = MaterialRec;
  using size_type = std::size_t;
  using const_iterator = std::vector<MaterialRec>::const_iterator;

  GroupMaterials() noexcept = default;
  GroupMaterials(std::initializer_list<MaterialRec> materials)
      : GroupMaterials(std::vector<MaterialRec>(materials)) {}
  GroupMaterials(std::vector<MaterialRec> materials)
      : p_(materials.empty() ? nullptr : std::make_shared<std::vector<MaterialRec>>(std::move(materials))) {}

  const std::vector<MaterialRec>& Records() const noexcept { return p_ ? *p_ : kNone; }
  operator const std::vector<MaterialRec>&() const noexcept { return Records(); }
  std::size_t size() const noexcept { return Records().size(); }
  bool empty() const noexcept { return Records().empty(); }
  const MaterialRec& operator[](std::size_t i) const noexcept { return Records()[i]; }
  const MaterialRec& at(std::size_t i) const { return Records().at(i); }
  const MaterialRec& front() const noexcept { return Records().front(); }
  const MaterialRec& back() const noexcept { return Records().back(); }
  const_iterator begin() const noexcept { return Records().begin(); }
  const_iterator end() const noexcept { return Records().end(); }

  // The group's own records to change, copied from the shared ones first.
  // What it gives stays the group's alone until the list is next copied.
  std::vector<MaterialRec>& Edit() {
    if (!p_)
      p_ = std::make_shared<std::vector<MaterialRec>>();
    else if (p_.use_count() > 1)
      p_ = std::make_shared<std::vector<MaterialRec>>(*p_);
    return *p_;
  }
  // Whether both lists share their records (for tests).
  bool SharesWith(const GroupMaterials& other) const noexcept { return p_ && p_ == other.p_; }

 private:
  static const std::vector<MaterialRec> kNone;
  std::shared_ptr<std::vector<MaterialRec>> p_;  // null while empty
};

struct ObjectRec {
  std::string Name;  // "figure", "prop <name>" or "actor <name>"
  GroupMaterials Materials;
};

// True when `path` is the absent-map marker, in any case.
bool IsNoMap(std::string_view path);

}  // namespace vandrel
