// The statistics of the open file, counted once after each load (a snapshot:
// later edits do not change them). Counts are plain ints: sums over large
// figures pass 16 bits.
#pragma once

#include <string>
#include <vector>

#include "model/shared_records.h"

namespace vandrel {

struct ActorInfoRec {
  std::string Name;
  int Channels = 0;
  int PoseChannels = 0;
  int MorphChannels = 0;
  int NullChannels = 0;
  int Materials = 0;  // materials of the actor's own group
};

struct FileInfoRec {
  std::string FileName;
  // Figure-level groups: Name and, in Index, the number of materials. One
  // entry with an empty Name when there are none.
  std::vector<NameIndexRec> Figures{NameIndexRec{}};
  // One entry per gActors entry; one with an empty Name when there are none.
  std::vector<ActorInfoRec> Actors{ActorInfoRec{}};
  int TextureMaps = 0;
  int BumpMaps = 0;
  int ReflectionMaps = 0;
  int TransparencyMaps = 0;
};

extern FileInfoRec gFileInfo;

}  // namespace vandrel
