#include "model/channel_edits.h"

#include <cmath>
#include <limits>
#include <string_view>
#include <unordered_set>

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"

namespace vandrel {

int gCurrentActor = 0;
int gCurrentDial = 0;
bool gSelectingActors = false;
bool gSelectingDials = false;

void ResetChannelSelection() {
  gCurrentActor = gCurrentDial = 0;
  gSelectingActors = gSelectingDials = false;
}

const std::vector<std::string>& ChannelFamily(int box) {
  static const std::array<std::vector<std::string>, kChannelFamilyCount> kFamilies = {{
      {"rotateX", "rotateY", "rotateZ"},
      {"translateX", "translateY", "translateZ"},
      {"propagatingScale", "propagatingScaleX", "propagatingScaleY", "propagatingScaleZ", "smoothScale",
       "smoothScaleX", "smoothScaleY", "smoothScaleZ", "scale", "scaleX", "scaleY", "scaleZ"},
      {"geomChan", "targetGeom", "handSpread", "thumbGrasp", "handGrasp"},
      {"valueParm"},
      {"translateX", "translateY", "translateZ"},
      {"zOffsetA", "yOffsetA", "xOffsetA", "xOffsetB", "yOffsetB", "zOffsetB"},
      {"twistX", "twistY", "twistZ"},
      {"jointX", "jointY", "jointZ"},
      {"taperX", "taperY", "taperZ"},
      {"focal"},
      {"hither"},
      {"camAutoScale"},
      {"camAutoCenterX", "camAutoCenterY", "camAutoCenterZ"},
      {"camAutoFocal"},
      {"liteFalloffStart", "liteFalloffEnd"},
      {"liteAttenStart", "liteAttenEnd"},
      {"depthMapStrength"},
      {"depthMapSize"},
      {"kdIntensity"},
      {"kdRed"},
      {"kdGreen"},
      {"kdBlue"},
  }};
  return kFamilies.at(static_cast<std::size_t>(box));
}

bool ActorIsEmpty(std::size_t k) {
  const ActorRec& a = gActors[k];
  const ActorProperties& p = a.Props();
  if (!p.StorageOffset.empty() || !p.DepthCamera.empty() || !p.Port.empty() || !p.CameraModel.empty() ||
      !p.ObjFileGeom.empty())
    return false;
  if (p.GeomResource != 0 || p.LightType != 0) return false;
  const int switched[7] = {
      p.ExtName.empty() ? 0 : 1, p.OnOff, p.Hidden, p.Locked, p.DoShadow, p.DepthMapSize, p.LightOn};
  for (std::size_t i = 0; i < 7; ++i)
    if (switched[i] != 0 && a.PropertyOn[i]) return false;
  return true;
}

bool DialIsEmpty(std::size_t k, std::size_t j) {
  const DialRec& d = gActors[k].Dials[j];
  return !d.ValueOn && !(!d.ExtName.empty() && d.ExtNameOn) && !(d.HiddenOn && d.Hidden != 0);
}

bool HasNoChannels(std::size_t k) {
  const DialList& dials = gActors[k].Dials;
  return dials.empty() || dials[0].Name.empty();
}

std::string DialValueText(double value) {
  std::string text = FormatDouble(value);
  if (StartsWith(text, ".")) text = "0" + text;
  if (StartsWith(text, "-.")) text = "-0" + text.substr(1);
  return text;
}

std::optional<double> AcceptedDialValue(const std::string& text) {
  const double value = LeadingNumber(text);
  // The plain form of the number has no "0" before a leading point.
  std::string plain = FormatDouble(value);
  if (StartsWith(plain, "0."))
    plain.erase(0, 1);
  else if (StartsWith(plain, "-0."))
    plain.erase(1, 1);
  std::string typed = Trim(text);
  if (StartsWith(typed, "0."))
    typed.erase(0, 1);
  else if (StartsWith(typed, "-0."))
    typed.erase(1, 1);
  if (typed != plain || !(value >= -10000 && value <= 10000)) return std::nullopt;
  return value;
}

bool IsSavableDisplayName(const std::string& name) {
  if (name.find_first_of("{}\r\n") != std::string::npos) return false;
  const std::size_t end = name.find_last_not_of(" \t");
  if (end == std::string::npos) return true;
  const std::size_t blank = name.find_last_of(" \t", end);
  const std::size_t start = blank == std::string::npos ? 0 : blank + 1;
  return name.compare(start, end + 1 - start, "channels") != 0;
}

std::optional<int> StoredDepthMapSize(const std::string& text) {
  const double stored = RoundHalfEven(LeadingNumber(text) + 1);
  if (!(stored >= std::numeric_limits<short>::min() && stored <= std::numeric_limits<short>::max()))
    return std::nullopt;
  return static_cast<int>(stored);
}

void RemoveDials(std::size_t k, const std::vector<bool>& remove) {
  DialList& dials = gActors[k].Dials;
  std::vector<DialRec> kept;
  kept.reserve(dials.size());
  for (std::size_t j = 0; j < dials.size(); ++j)
    if (j >= remove.size() || !remove[j]) kept.push_back(std::move(dials[j]));
  if (kept.empty())
    dials.SetBlank();
  else
    dials = std::move(kept);
}

void EmptyDials(std::size_t k) { gActors[k].Dials.SetBlank(); }

bool RemoveActors(const std::vector<bool>& remove) {
  std::vector<ActorRec> kept;
  std::vector<ActorListItem> listed;
  kept.reserve(gActors.size());
  for (std::size_t k = 0; k < gActors.size(); ++k) {
    if (k < remove.size() && remove[k]) continue;
    kept.push_back(std::move(gActors[k]));
    if (k < gActorList.size()) listed.push_back(std::move(gActorList[k]));
  }
  const bool none = kept.empty();
  if (none) {
    kept.emplace_back();
    listed.clear();
  }
  gActors = std::move(kept);
  gActorList = std::move(listed);
  return none;
}

ChannelDeletion DeleteChannelFamilies(const std::vector<bool>& selectedActors,
                                      const std::array<bool, kChannelFamilyCount>& ticked) {
  std::unordered_set<std::string_view> types;
  for (int box = 0; box < kChannelFamilyCount; ++box)
    if (ticked[static_cast<std::size_t>(box)])
      for (const std::string& type : ChannelFamily(box)) types.insert(type);

  ChannelDeletion result;
  result.actorsToGo.assign(gActors.size(), false);
  std::vector<bool> allMatched(gActors.size(), false);
  std::vector<bool> matched;
  for (std::size_t k = 0; k < gActors.size() && k < selectedActors.size(); ++k) {
    if (!selectedActors[k] || HasNoChannels(k)) continue;
    const DialList& dials = gActors[k].Dials;
    matched.assign(dials.size(), false);
    std::size_t count = 0;
    for (std::size_t j = 0; j < dials.size(); ++j) {
      if (types.contains(dials[j].ChannelType.view())) {
        matched[j] = true;
        ++count;
      }
    }
    if (count == 0) continue;
    result.anyMatched = true;
    result.channels += static_cast<long long>(count);
    if (count == dials.size()) {
      allMatched[k] = true;
    } else {
      RemoveDials(k, matched);
      gState.Dirty = true;
    }
  }
  for (std::size_t k = 0; k < gActors.size(); ++k) {
    if (!allMatched[k]) continue;
    if (ActorIsEmpty(k)) {
      result.actorsToGo[k] = true;
      ++result.actorCount;
    } else {
      EmptyDials(k);
      gState.Dirty = true;
    }
  }
  return result;
}

std::string NewMorphType(const std::string& actorName) {
  return StartsWith(actorName, "BODY") ? "valueParm" : "targetGeom";
}

void AddMorphChannel(const std::vector<bool>& selectedActors, const std::string& name) {
  for (std::size_t k = 0; k < gActors.size() && k < selectedActors.size(); ++k) {
    if (!selectedActors[k] || gActors[k].Name.empty()) continue;
    DialList& dials = gActors[k].Dials;
    if (!HasNoChannels(k) || dials.empty()) dials.emplace_back();
    DialRec& dial = dials.back();
    dial = DialRec{};
    dial.Name = name;
    dial.ChannelType = NewMorphType(gActors[k].Name.str());
  }
}

void ZeroAllDials() {
  // A shared blank channel is zero already (and stays shared).
  for (ActorRec& actor : gActors)
    if (actor.Dials.Owned())
      for (DialRec& dial : actor.Dials) dial.Value = 0;
}

}  // namespace vandrel
