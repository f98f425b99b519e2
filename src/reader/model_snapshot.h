// The part of the model a channel read changes, kept so that a cancelled or
// failed read can put the document back exactly as it was.
#pragma once

#include <string>
#include <vector>

#include "model/model.h"

namespace vandrel {

struct ChannelModelSnapshot {
  std::vector<ActorRec> actors = gActors;
  std::vector<ActorListItem> actorList = gActorList;
  std::vector<ObjectRec> objects = gObjects;
  std::vector<std::string> objectList = gObjectList;
  float thighLength = gThighLength;
  bool actorMaterialsFound = gActorMaterialsFound;

  void Restore() {
    gActors = std::move(actors);
    gActorList = std::move(actorList);
    gObjects = std::move(objects);
    gObjectList = std::move(objectList);
    gThighLength = thighLength;
    gActorMaterialsFound = actorMaterialsFound;
  }
};

}  // namespace vandrel
