// The open document's part of the model, kept aside while a read runs so
// that a read that gives nothing to show, or a cancelled or failed one,
// leaves the document exactly as it was.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/data_not_kept.h"
#include "model/model.h"
#include "reader/poser_file_reader.h"

namespace vandrel {

class ModelSnapshot {
 public:
  // A copy of the tables a channel read changes in place: the actors, the
  // material groups, both lists, the thigh length and whether actors
  // brought materials.
  static ModelSnapshot CopyTables() {
    ModelSnapshot d;
    d.actors_ = gActors;
    d.actorList_ = gActorList;
    d.objects_ = gObjects;
    d.objectList_ = gObjectList;
    d.thighLength_ = gThighLength;
    d.actorMaterialsFound_ = gActorMaterialsFound;
    return d;
  }

  // Takes the whole document out of the model (moved, not copied), which is
  // left as a read of a new file starts it.
  static ModelSnapshot Take() {
    ModelSnapshot d;
    d.objects_ = std::move(gObjects);
    d.objectList_ = std::move(gObjectList);
    d.actors_ = std::move(gActors);
    d.actorList_ = std::move(gActorList);
    d.thighLength_ = gThighLength;
    d.actorMaterialsFound_ = gActorMaterialsFound;
    d.rest_.emplace();
    d.rest_->pictureSizes = std::move(gPictureSizes);
    d.rest_->dataNotKept = std::move(gDataNotKept);
    d.rest_->state = gState;
    d.rest_->hair = gIsHairFile;
    ResetDocument();
    gPictureSizes.assign(1, StringPairRec{});
    return d;
  }

  // Puts what was kept back over what the model holds. Of a whole document
  // with `wholeState` every field of gState is as it was taken; else only
  // those of the document (its name, versions, notes and dirty flag).
  void PutBack(bool wholeState = false) {
    gObjects = std::move(objects_);
    gObjectList = std::move(objectList_);
    gActors = std::move(actors_);
    gActorList = std::move(actorList_);
    if (rest_) {
      gPictureSizes = std::move(rest_->pictureSizes);
      gDataNotKept = std::move(rest_->dataNotKept);
      StateRec& state = rest_->state;
      if (wholeState) {
        gState = std::move(state);
      } else {
        gState.FileName = std::move(state.FileName);
        gState.RequiredVersion = std::move(state.RequiredVersion);
        gState.ReadVersion = std::move(state.ReadVersion);
        gState.FileNotes = std::move(state.FileNotes);
        gState.Dirty = state.Dirty;
      }
      gIsHairFile = rest_->hair;
    }
    gThighLength = thighLength_;
    gActorMaterialsFound = actorMaterialsFound_;
  }

 private:
  ModelSnapshot() = default;

  std::vector<ActorRec> actors_;
  std::vector<ActorListItem> actorList_;
  std::vector<ObjectRec> objects_;
  ObjectList objectList_;
  float thighLength_ = 0.0f;
  bool actorMaterialsFound_ = false;
  // What only a whole document keeps.
  struct Rest {
    std::vector<StringPairRec> pictureSizes;
    DataNotKeptRec dataNotKept;
    StateRec state;
    bool hair;  // set by Take()
  };
  std::optional<Rest> rest_;
};

}  // namespace vandrel
