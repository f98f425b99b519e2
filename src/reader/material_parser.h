// Turns the text of one Poser 4 material block into a MaterialRec of the
// material table.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace vandrel {

// The block text: lines end in LF; it runs from before the material's first
// property to the first "}" after it. Keys carry their trailing blank
// ("KdColor ") and are matched case-sensitively, first occurrence anywhere in
// the block. Each of the three key readers sets gState.KeyMissing.

// Reads the three colour numbers after `key` into the colour field that
// belongs to the key ("KdColor ", "KaColor ", "KsColor ", "ReflectionColor ")
// of gObjects[group].Materials[material]. A product too large for a 16-bit
// integer fails the read (ReadFault 6).
void ParseMaterialColor(std::string_view block, std::string_view key, int group, int material);

// The scaled whole number for `key`, 0 when it is absent; results outside
// -1000..1000 give 0.
int ParseMaterialNumber(std::string_view block, std::string_view key);

// The path after `key` without its double quotes, "" when the key is absent.
std::string ParseMaterialPath(std::string_view block, std::string_view key);

// Fills every field of gObjects[group].Materials[material] but Name and Skip.
void ParseMaterialBlock(std::string_view block, int group, int material);

// The next position of every key in a text that holds many material blocks:
// the blocks of one group or object, read from the first to the last, each a
// stretch of `text`. A key that a block lacks is then not looked for again
// to the block's end, which may lie far away ("}" shared by many blocks).
class MaterialKeyIndex;
// `yield`, when given, is called between the pieces of a long look ahead.
MaterialKeyIndex* NewMaterialKeyIndex(std::string_view text, std::function<void()> yield);
void DeleteMaterialKeyIndex(MaterialKeyIndex* index);
struct MaterialKeys {
  explicit MaterialKeys(std::string_view text, std::function<void()> yield = {})
      : index(NewMaterialKeyIndex(text, std::move(yield))) {}
  ~MaterialKeys() { DeleteMaterialKeyIndex(index); }
  MaterialKeys(const MaterialKeys&) = delete;
  MaterialKeys& operator=(const MaterialKeys&) = delete;
  MaterialKeyIndex* index;
};
// ParseMaterialBlock for a block that is a stretch of the index's text; the
// result is the same.
void ParseMaterialBlock(std::string_view block, int group, int material, MaterialKeys& keys);

// InStr(start, LCase(text), key) for a long text and a lower-case key,
// without a lower-cased copy of the whole text: the text is lower-cased a
// window at a time, each window once while the places asked for grow.
// `yield`, when given, is called between windows.
class LowerCaseFinder {
 public:
  LowerCaseFinder(std::string_view text, std::string key, std::function<void()> yield = {})
      : text_(text), key_(std::move(key)), yield_(std::move(yield)) {}
  std::size_t Find(std::size_t start);

 private:
  void Load(std::size_t begin);

  static constexpr std::size_t kWindow = std::size_t{1} << 20;
  std::string_view text_;
  std::string key_;
  std::function<void()> yield_;
  std::string window_;  // the text from windowBegin_ (0-based) on, lower-cased
  std::size_t windowBegin_ = 0;
  bool loaded_ = false;
};

// Called for each map path a block names while the MainThumb preference is
// on, so that the window side can load the map's thumbnail when the file
// exists. Empty = nothing to do (the core alone, tests).
using MaterialMapHook = std::function<void(const std::string& poserPath)>;
void SetMaterialMapHook(MaterialMapHook hook);

}  // namespace vandrel
