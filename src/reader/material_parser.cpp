#include "reader/material_parser.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <utility>

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "reader/channel_scan.h"
#include "reader/read_fault.h"
#include "reader/text_scan.h"

namespace vandrel {
namespace {

MaterialMapHook& MapHook() {
  static MaterialMapHook hook;
  return hook;
}

}  // namespace

class MaterialKeyIndex {
 public:
  MaterialKeyIndex(std::string_view text, std::function<void()> yield)
      : text_(text), yield_(std::move(yield)) {}

  // InStr(block, key) for a block that is a stretch of the text.
  std::size_t Find(std::string_view block, std::string_view key) {
    const std::size_t offset = static_cast<std::size_t>(block.data() - text_.data());
    if (key.empty() || block.size() < key.size()) return 0;
    // The last place in the block where the key can begin, 1-based.
    const std::size_t last = offset + block.size() - key.size() + 1;
    auto it = keys_.find(key);
    if (it == keys_.end()) it = keys_.emplace(std::string(key), Key{}).first;
    Key& k = it->second;
    const std::size_t from = offset + 1;
    if (from < k.from) {
      // A block before the last one asked about: looked at alone.
      const std::size_t at = Search(it->first, from, last);
      return at != 0 ? at - offset : 0;
    }
    if (k.hit == 0 ? from >= k.upTo || last >= k.upTo : k.hit < from) {
      // Not yet known: looked for through the block and a stretch beyond, so
      // that a key most blocks lack is looked for once a stretch, not once a block.
      const std::size_t begin = k.hit == 0 ? std::max(from, k.upTo) : from;
      const std::size_t end = std::min(std::max(last, begin + kAhead), text_.size() - it->first.size() + 1);
      k.hit = begin <= end ? Search(it->first, begin, end) : 0;
      k.upTo = end + 1;
    }
    k.from = from;
    return k.hit != 0 && k.hit <= last ? k.hit - offset : 0;
  }

 private:
  // What is known of one key: its first place at or after `from` (1-based),
  // when it begins before `upTo`; 0 = none there.
  struct Key {
    std::size_t from = 0;
    std::size_t hit = 0;
    std::size_t upTo = 1;
  };

  // The first place from `begin` to `end` (1-based, both included) where
  // `key` begins; 0 = none. A long stretch is looked through in pieces, with
  // a yield to the windows between them.
  std::size_t Search(const std::string& key, std::size_t begin, std::size_t end) const {
    for (std::size_t piece = begin; piece <= end; piece += kPiece) {
      const std::size_t pieceEnd = std::min(end, piece + kPiece - 1);
      const std::size_t at = InStr(piece, text_.substr(0, pieceEnd - 1 + key.size()), key);
      if (at != 0) return at;
      if (pieceEnd < end && yield_) yield_();
    }
    return 0;
  }

  static constexpr std::size_t kAhead = std::size_t{1} << 16;
  static constexpr std::size_t kPiece = std::size_t{4} << 20;
  std::string_view text_;
  std::function<void()> yield_;
  std::map<std::string, Key, std::less<>> keys_;
};

MaterialKeyIndex* NewMaterialKeyIndex(std::string_view text, std::function<void()> yield) {
  return new MaterialKeyIndex(text, std::move(yield));
}
void DeleteMaterialKeyIndex(MaterialKeyIndex* index) { delete index; }

void LowerCaseFinder::Load(std::size_t begin) {
  windowBegin_ = begin;
  // A key that begins in the window is found whole in it.
  window_.assign(text_.substr(begin, kWindow + key_.size() - 1));
  for (char& c : window_)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  loaded_ = true;
}

std::size_t LowerCaseFinder::Find(std::size_t start) {
  if (key_.empty()) return InStr(start, text_, key_);
  std::size_t from = std::max<std::size_t>(start, 1) - 1;  // 0-based
  while (from + key_.size() <= text_.size()) {
    if (!loaded_ || from < windowBegin_ || from >= windowBegin_ + kWindow) Load(from);
    const std::size_t at = InStr(from - windowBegin_ + 1, window_, key_);
    if (at != 0) return windowBegin_ + at;
    from = windowBegin_ + kWindow;
    if (yield_ && from + key_.size() <= text_.size()) yield_();
  }
  return 0;
}

namespace {

// The index of the blocks being parsed, while ParseMaterialBlock runs with one.
MaterialKeyIndex* gKeyIndex = nullptr;

// 1-based position of the character after `key`, 0 when the key is absent;
// records the absence in gState.KeyMissing.
std::size_t ValueStart(std::string_view block, std::string_view key) {
  const std::size_t p = gKeyIndex != nullptr ? gKeyIndex->Find(block, key) : InStr(block, key);
  gState.KeyMissing = p == 0;
  return p == 0 ? 0 : p + key.size();
}

// The text from `start` to the next LF (not included); a value without its
// LF fails the read as the original's Mid did.
std::string LineFrom(std::string_view block, std::size_t start) {
  const std::size_t lf = InStr(start, block, "\n");
  return MidChecked(block, static_cast<long long>(start),
                    static_cast<long long>(lf) - static_cast<long long>(start));
}

// A colour component: the number held as a Single, times 255 in single
// precision, rounded half to even into a 16-bit integer.
int ColorComponent(std::string_view number) {
  const double value = Val(number);
  if (!(std::fabs(value) <= std::numeric_limits<float>::max())) throw OverflowFault();
  const float product = static_cast<float>(value) * 255.0f;
  const double rounded = std::nearbyint(static_cast<double>(product));
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) throw OverflowFault();
  return static_cast<int>(rounded);
}

ColorRec* ColorField(MaterialRec& m, std::string_view key) {
  if (key == "KdColor ") return &m.ObjectColor;
  if (key == "KaColor ") return &m.AmbientColor;
  if (key == "KsColor ") return &m.HighlightColor;
  if (key == "ReflectionColor ") return &m.ReflectiveColor;
  return nullptr;
}

}  // namespace

void SetMaterialMapHook(MaterialMapHook hook) { MapHook() = std::move(hook); }

void ParseMaterialColor(std::string_view block, std::string_view key, int group, int material) {
  std::size_t pos = ValueStart(block, key);
  if (pos == 0) return;
  ColorRec color{};
  for (int i = 0; i < 3; ++i) {
    const std::size_t blank = InStr(pos, block, " ");
    const std::string number = MidChecked(block, static_cast<long long>(pos),
                                          static_cast<long long>(blank) - static_cast<long long>(pos));
    // Within the 16 bits of a component: ColorComponent refuses the rest.
    color[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(ColorComponent(number));
    pos = blank + 1;
  }
  MaterialRec& m =
      gObjects.at(static_cast<std::size_t>(group)).Materials.Edit().at(static_cast<std::size_t>(material));
  if (ColorRec* field = ColorField(m, key)) *field = color;
}

int ParseMaterialNumber(std::string_view block, std::string_view key) {
  const std::size_t start = ValueStart(block, key);
  if (start == 0) return 0;
  const std::string value = CleanLine(LineFrom(block, start));
  double result;
  if (key == "TextureColor ") {
    result = RoundHalfEven(FiniteNumber(Val(Mid(value, InStrRev(value, " ") + 1))) * 100.0);
  } else if (key == "NsExponent ") {
    result = RoundHalfEven(101.0 - FiniteNumber(Val(value)));
  } else if (key == "ksIgnoreTexture " || key == "reflectThruLights " || key == "reflectThruKd ") {
    result = FiniteNumber(Val(value));
  } else {
    result = RoundHalfEven(FiniteNumber(Val(value)) * 100.0);
  }
  if (!(result >= -1000.0 && result <= 1000.0)) return 0;
  return static_cast<int>(RoundHalfEven(result));
}

std::string ParseMaterialPath(std::string_view block, std::string_view key) {
  const std::size_t start = ValueStart(block, key);
  if (start == 0) return {};
  return CleanLine(RemoveChar(LineFrom(block, start), '"'));
}

void ParseMaterialBlock(std::string_view block, int group, int material, MaterialKeys& keys) {
  struct Using {
    explicit Using(MaterialKeyIndex* index) { gKeyIndex = index; }
    ~Using() { gKeyIndex = nullptr; }
  } current(keys.index);
  ParseMaterialBlock(block, group, material);
}

void ParseMaterialBlock(std::string_view block, int group, int material) {
  auto rec = [&]() -> MaterialRec& {
    return gObjects.at(static_cast<std::size_t>(group))
        .Materials.Edit()
        .at(static_cast<std::size_t>(material));
  };
  rec().KsIgnoreTexture = false;
  rec().MultiplyThroughLights = false;
  rec().MultiplyThroughKdColor = false;

  struct ColorKey {
    const char* key;
    int on;  // the switch's panel
  };
  for (const ColorKey& c :
       {ColorKey{"KdColor ", MaterialRec::kObjectColor}, ColorKey{"KaColor ", MaterialRec::kAmbientColor},
        ColorKey{"KsColor ", MaterialRec::kHighlightColor},
        ColorKey{"ReflectionColor ", MaterialRec::kReflectiveColor}}) {
    ParseMaterialColor(block, c.key, group, material);
    if (!gState.KeyMissing) rec().SwitchOn(c.on) = true;
  }

  struct StrengthKey {
    const char* key;
    CompactText MaterialRec::*field;
    int on;
  };
  for (const StrengthKey& s :
       {StrengthKey{"TextureColor ", &MaterialRec::TextureStrength, MaterialRec::kTextureStrength},
        StrengthKey{"bumpStrength ", &MaterialRec::BumpStrength, MaterialRec::kBumpStrength},
        StrengthKey{"reflectionStrength ", &MaterialRec::ReflectionStrength,
                    MaterialRec::kReflectionStrength}}) {
    const int value = ParseMaterialNumber(block, s.key);
    rec().*s.field = FormatInt(value);
    if (!gState.KeyMissing) rec().SwitchOn(s.on) = true;
  }

  // A size of 0 (absent key, exponent 101, out of range) is kept as 1 and
  // leaves the switch as it was.
  const int size = ParseMaterialNumber(block, "NsExponent ");
  if (size != 0) {
    rec().HighlightSize = size;
    rec().HighlightSizeOn = true;
  } else {
    rec().HighlightSize = 1;
  }

  rec().TransparencyMin = ParseMaterialNumber(block, "tMin ");
  if (!gState.KeyMissing) rec().TransparencyMinOn = true;
  rec().TransparencyMax = ParseMaterialNumber(block, "tMax ");
  if (!gState.KeyMissing) rec().TransparencyMaxOn = true;
  rec().TransparencyFalloff = static_cast<float>(ParseMaterialNumber(block, "tExpo ") / 100.0);
  if (!gState.KeyMissing) rec().TransparencyFalloffOn = true;

  // Each of the three is on only for a value that rounds to 1.
  if (ParseMaterialNumber(block, "ksIgnoreTexture ") == 1) rec().KsIgnoreTexture = true;
  if (!gState.KeyMissing) rec().KsIgnoreTextureOn = true;
  if (ParseMaterialNumber(block, "reflectThruLights ") == 1) rec().MultiplyThroughLights = true;
  if (!gState.KeyMissing) rec().MultiplyThroughLightsOn = true;
  if (ParseMaterialNumber(block, "reflectThruKd ") == 1) rec().MultiplyThroughKdColor = true;
  if (!gState.KeyMissing) rec().MultiplyThroughKdColorOn = true;

  struct MapKey {
    const char* key;
    CompactText MaterialRec::*field;
    int on;
  };
  for (const MapKey& k :
       {MapKey{"textureMap ", &MaterialRec::TextureMap, MaterialRec::kTextureMap},
        MapKey{"bumpMap ", &MaterialRec::BumpMap, MaterialRec::kBumpMap},
        MapKey{"reflectionMap ", &MaterialRec::ReflectionMap, MaterialRec::kReflectionMap},
        MapKey{"transparencyMap ", &MaterialRec::TransparencyMap, MaterialRec::kTransparencyMap}}) {
    std::string path = ParseMaterialPath(block, k.key);
    const bool missing = gState.KeyMissing;
    if (gSettings.MainThumb && !missing && MapHook()) MapHook()(path);
    rec().*k.field = missing ? std::string_view(kNoMap) : std::string_view(path);
    if (!missing) rec().SwitchOn(k.on) = true;
  }
}

}  // namespace vandrel
