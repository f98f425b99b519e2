// What the material writers share: the line end and format chosen for a
// pose file, and the number forms written into pose and .mtl files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vandrel {

inline constexpr const char* kCrLf = "\r\n";
inline constexpr const char* kLoneCr = "\r";

// How the material blocks of one pose file are written.
struct MaterialFormat {
  std::string Eol = kCrLf;  // CR LF (DOS/Windows) or a lone CR (UNIX/Macintosh)
  bool Poser5 = false;      // add the Poser 5 shader tree to every material
  bool BatchMode = false;   // a batch conversion: fully transparent materials get no falloff
};

// The line end of a pose file: a lone CR for "UNIX/Macintosh", else CR LF.
inline std::string LineEnd(bool macLineEnds) { return macLineEnds ? kLoneCr : kCrLf; }

// A double in its general form (15 significant digits) with a decimal point.
std::string PoseNumber(double value);
// A single-precision value in its general form (7 significant digits).
std::string PoseNumber(float value);
// value rounded to six decimals, halves to even, in its general form.
std::string Rounded6(double value);
// A colour component 0..255 as a fraction of 255, six decimals.
std::string ColorFraction(int component);
// "r g b" of a colour, each as ColorFraction.
template <class Color>
std::string ColorFractions(const Color& c) {
  return ColorFraction(c[0]) + " " + ColorFraction(c[1]) + " " + ColorFraction(c[2]);
}

// The number held by a strength text ("100", " 12.5", "7,5"); nullopt when the
// text is not a number as a whole.
std::optional<double> StrengthNumber(std::string_view text);

// A strength text divided by `divisor` and rounded to six decimals; on a text
// that is not a number, `error` receives a message naming the material and
// the result is empty.
std::string StrengthFraction(std::string_view text, double divisor, std::string_view what,
                             std::string_view material, std::string& error);

// "Image_Map" for a counter of 1 or less, else "Image_Map_" and the counter.
std::string ImageMapNodeName(int counter);

// A map that is saved: its switch is on and its path is not the absent-map marker.
bool MapPresent(bool switchOn, std::string_view path);

// A bump map read as a gradient bump map: its path ends in ".bum" in any case.
bool IsGradientBump(std::string_view path);

}  // namespace vandrel
