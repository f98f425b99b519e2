#include "reader/block_properties.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>

#include "common/byte_scan.h"
#include "common/numbers.h"
#include "common/text.h"
#include "reader/read_fault.h"

namespace vandrel {
namespace {

// The rest of the first line of `part` that begins with `key` after a line
// end; nullopt when there is none.
std::optional<std::string_view> KeyLine(std::string_view part, std::string_view key) {
  const std::string look = "\n" + std::string(key);
  const std::size_t at = part.find(look);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t restAt = at + look.size();
  const std::size_t end = part.find('\n', restAt);
  return part.substr(restAt, end == std::string_view::npos ? std::string_view::npos : end - restAt);
}

// Whether `part` holds a line that is `key` alone, blanks and TABs at its end
// aside.
bool WholeLine(std::string_view part, std::string_view key) {
  const std::string look = "\n" + std::string(key);
  for (std::size_t at = part.find(look); at != std::string_view::npos; at = part.find(look, at + 1)) {
    std::size_t after = at + look.size();
    while (after < part.size() && (part[after] == ' ' || part[after] == '\t')) ++after;
    if (after == part.size() || part[after] == '\n') return true;
  }
  return false;
}

// A line's text without the blanks, TABs and CRs at its end.
std::string_view WithoutTrailingBlanks(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
    line.remove_suffix(1);
  return line;
}

double NumberOf(std::string_view rest) { return FiniteNumber(LeadingNumber(rest)); }

}  // namespace

void ReadHeadProperties(std::string_view head, ActorRec& a) {
  if (WholeLine(head, "on")) {
    a.EditProps().OnOff = 2;
    a.PropertyOn[kOnOffSwitch] = true;
  } else if (WholeLine(head, "off")) {
    a.EditProps().OnOff = 1;
    a.PropertyOn[kOnOffSwitch] = true;
  } else {
    a.PropertyOn[kOnOffSwitch] = false;
  }
  if (auto rest = KeyLine(head, "hidden")) {
    // The value is the line's last character, blanks after it aside.
    const std::string_view line = WithoutTrailingBlanks(*rest);
    const std::string_view last = line.empty() ? std::string_view("n") : line.substr(line.size() - 1);
    a.EditProps().Hidden = ToInteger(NumberOf(last) + 1);
    a.PropertyOn[kHiddenSwitch] = true;
  }
  const bool lc = IsLightOrCamera(a);
  if (lc) {
    if (auto rest = KeyLine(head, "storageOffset")) a.EditProps().StorageOffset = Trim(*rest);
    if (auto rest = KeyLine(head, "geomResource"))
      a.EditProps().GeomResource = ToInteger(NumberOf(*rest) + 1);
    if (auto rest = KeyLine(head, "lightType")) a.EditProps().LightType = ToInteger(NumberOf(*rest) + 1);
  }
  if (auto rest = KeyLine(head, "name")) {
    a.EditProps().ExtName = Trim(*rest);
    a.PropertyOn[kExtNameSwitch] = true;
  }
  if (lc) {
    if (auto rest = KeyLine(head, "objFileGeom")) a.EditProps().ObjFileGeom = Trim(*rest);
  }
}

namespace {

// The keys of a block's tail.
constexpr std::string_view kTailKeys[] = {"depthMapSize", "depthCamera", "doShadow", "lightOn",
                                          "port",         "cameraModel", "locked"};

// The tail as its keys are read from it: each "}" left out, each CR a LF,
// the blanks and TABs after each LF left out. Only the lines that follow a
// line end and begin with a key can be read, so only they are kept, each
// after a LF: a block's tail can hold a whole figure's materials.
std::string TailKeyLines(std::string_view tail, const std::function<void()>& tick) {
  std::string out;
  std::size_t lines = 0;
  // The text before the first line end follows none.
  std::size_t start = std::string_view::npos;
  const auto line = [&](std::size_t end) {
    if (start != std::string_view::npos) {
      std::size_t from = start;
      while (from < end && (tail[from] == '}' || tail[from] == ' ' || tail[from] == '\t')) ++from;
      const auto begins = [&](std::string_view key) { return from < end && tail[from] == key[0]; };
      if (std::any_of(std::begin(kTailKeys), std::end(kTailKeys), begins)) {
        // Kept when, without its "}"s, it begins with a key.
        const std::size_t mark = out.size();
        out += '\n';
        for (std::size_t i = from; i < end; ++i)
          if (tail[i] != '}') out += tail[i];
        const std::string_view text = std::string_view(out).substr(mark + 1);
        const auto keyed = [text](std::string_view key) { return text.starts_with(key); };
        if (std::none_of(std::begin(kTailKeys), std::end(kTailKeys), keyed)) out.resize(mark);
      }
    }
    if (++lines % 65536 == 0 && tick) tick();
  };
  bytes::ForEachLineEnd(tail, 0, [&](std::size_t at) {
    line(at);
    start = at + 1;
  });
  line(tail.size());
  return out;
}

}  // namespace

void ReadTailProperties(std::string_view rawTail, ActorRec& a, const std::function<void()>& tick) {
  const std::string tail = TailKeyLines(rawTail, tick);
  const bool lc = IsLightOrCamera(a);
  if (auto rest = KeyLine(tail, "depthMapSize")) {
    const int value = ToInteger(NumberOf(*rest));
    a.EditProps().DepthMapSize = value != 0 ? ToInteger(value + 1.0) : 0;
    a.PropertyOn[kDepthMapSizeSwitch] = value != 0;
  } else {
    a.PropertyOn[kDepthMapSizeSwitch] = false;
  }
  if (lc) {
    if (auto rest = KeyLine(tail, "depthCamera")) a.EditProps().DepthCamera = Trim(*rest);
  }
  if (auto rest = KeyLine(tail, "doShadow")) {
    a.EditProps().DoShadow = ToInteger(NumberOf(*rest) + 1);
    a.PropertyOn[kDoShadowSwitch] = true;
  }
  if (auto rest = KeyLine(tail, "lightOn")) {
    a.EditProps().LightOn = ToInteger(NumberOf(*rest) + 1);
    a.PropertyOn[kLightOnSwitch] = true;
  }
  if (lc) {
    if (auto rest = KeyLine(tail, "port")) a.EditProps().Port = Trim(*rest);
    if (auto rest = KeyLine(tail, "cameraModel")) a.EditProps().CameraModel = Trim(*rest);
  }
  if (auto rest = KeyLine(tail, "locked")) {
    a.EditProps().Locked = ToInteger(NumberOf(*rest) + 1);
    a.PropertyOn[kLockedSwitch] = true;
  }
}

}  // namespace vandrel
