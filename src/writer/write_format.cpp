#include "writer/write_format.h"

#include <charconv>
#include <cmath>

#include "common/numbers.h"
#include "common/text.h"
#include "model/materials.h"

namespace vandrel {

std::string PoseNumber(double value) { return CommaToPoint(FormatDouble(value)); }

std::string PoseNumber(float value) { return CommaToPoint(FormatSingle(value)); }

std::string Rounded6(double value) { return PoseNumber(RoundHalfEven(value, 6)); }

std::string ColorFraction(int component) { return Rounded6(static_cast<double>(component) / 255.0); }

std::optional<double> StrengthNumber(std::string_view text) {
  std::string number = Trim(CommaToPoint(text));
  std::string_view digits = number;
  // One sign at most; the parser below takes "-" but not "+".
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
    if (!digits.empty() && digits.front() == '-') return std::nullopt;
  }
  if (digits.empty() || digits.front() == '+') return std::nullopt;
  double value = 0.0;
  const auto [end, ec] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::general);
  if (ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string StrengthFraction(std::string_view text, double divisor, std::string_view what,
                             std::string_view material, std::string& error) {
  const std::optional<double> value = StrengthNumber(text);
  if (!value) {
    error.assign("The ").append(what).append(" \"").append(text).append("\" of the material \"");
    error.append(material).append("\" is not a number.");
    return {};
  }
  return Rounded6(*value / divisor);
}

std::string ImageMapNodeName(int counter) {
  return counter <= 1 ? std::string("Image_Map") : "Image_Map_" + FormatInt(counter);
}

bool MapPresent(bool switchOn, std::string_view path) { return switchOn && !IsNoMap(path); }

bool IsGradientBump(std::string_view path) { return EndsWith(LCase(path), ".bum"); }

}  // namespace vandrel
