// The actor table: every actor, prop, light and camera block of the open
// document with its channels (dials).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "common/compact_text.h"

namespace vandrel {

// A large pose holds a million of these: kept to 48 bytes.
struct DialRec {
  CompactText Name;        // rest of the channel line after its type and one blank
  CompactText ExtName;     // the channel's "name" line
  double Value = 0.0;      // frame 0 key
  int Hidden = 0;          // value + 1; 0 = absent
  SharedName ChannelType;  // "targetGeom", "valueParm", "rotateX", ...
  bool ExtNameOn : 1 = false;
  bool HiddenOn : 1 = false;
  bool ValueOn : 1 = false;
};
static_assert(sizeof(DialRec) <= 48);

// The switches of an actor's properties, in ActorRec::PropertyOn (and the
// channels pane's property rows) in this order: true when the file holds the
// property and the pose is to write it.
enum ActorSwitch : std::size_t {
  kExtNameSwitch,
  kOnOffSwitch,
  kHiddenSwitch,
  kLockedSwitch,
  kDoShadowSwitch,
  kDepthMapSizeSwitch,
  kLightOnSwitch,
  kActorSwitchCount
};

// Numeric properties are stored as the file's value + 1, 0 meaning absent.
// A file may hold a million empty blocks: the texts that only lights and
// cameras have take a pointer each while they are empty.
struct ActorRec {
  CompactText Name;     // text after the header line's first blank ("BODY:1")
  CompactText ExtName;  // the "name" line, trimmed
  std::vector<DialRec> Dials;
  int OnOff = 0;  // 0 none, 1 off, 2 on
  int Hidden = 0;
  int Locked = 0;
  int GeomResource = 0;
  int DepthMapSize = 0;
  int DoShadow = 0;
  int LightOn = 0;
  int LightType = 0;
  SparseText StorageOffset;
  SparseText DepthCamera;
  SparseText Port;
  SparseText CameraModel;
  SparseText ObjFileGeom;
  SharedName Kind;  // "actor", "prop", "light" or "camera"
  // Indexed by ActorSwitch.
  std::array<bool, kActorSwitchCount> PropertyOn{};
};
static_assert(sizeof(ActorRec) <= 144);

// Lights and cameras carry the properties other actors lack (storageOffset,
// depthCamera, port, ...).
inline bool IsLightOrCamera(const ActorRec& a) { return a.Kind == "light" || a.Kind == "camera"; }

}  // namespace vandrel
