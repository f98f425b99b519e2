#include "writer/pose_writer.h"

#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "platform/files.h"
#include "writer/line_out.h"
#include "writer/p4_materials.h"
#include "writer/write_format.h"

namespace vandrel {
namespace {

constexpr const char* kFigureHairGroup = "prop figureHair";
constexpr const char* kFigureHairActor = "figureHair";

bool HasNonBlank(const std::string& text) { return text.find_first_not_of(' ') != std::string::npos; }

// The first group whose object-list entry is that of an actor, light or
// camera with its own materials, or gObjects.size() when there is none.
std::size_t FirstActorGroup() {
  // An empty table has no groups, whatever the list names (the actors of a
  // figure without materials).
  if (gObjects.size() == 1 && gObjects[0].Name.empty() && gObjects[0].Materials.size() <= 1 &&
      (gObjects[0].Materials.empty() || gObjects[0].Materials[0].Name.empty()))
    return gObjects.size();
  for (std::size_t i = 0; i < gObjects.size() && i < gObjectList.size(); ++i)
    if (IsOwnMaterialsEntry(gObjectList[i])) return i;
  return gObjects.size();
}

// "light" or "camera" when the group's object-list entry names a light's or a
// camera's own materials; empty otherwise.
std::string LightOrCameraOf(std::size_t group) {
  if (group >= gObjectList.size()) return {};
  for (const char* kind : {"light", "camera"})
    if (StartsWith(gObjectList[group], std::string(kind) + " ")) return kind;
  return {};
}

// Whether the group holds the own materials of the actor `a`: the names are
// equal, and a light's or camera's group goes only to a block of its kind.
// An actor's group goes to every actor of its name, whatever its kind.
bool BelongsTo(std::size_t group, const ActorRec& a) {
  if (gObjects[group].Name != a.Name) return false;
  const std::string kind = LightOrCameraOf(group);
  return kind.empty() || a.Kind == kind;
}

bool TableIsEmpty(const std::vector<ObjectRec>& t) { return t.size() == 1 && t[0].Name.empty(); }
bool TableIsEmpty(const std::vector<ActorRec>& t) { return t.size() == 1 && t[0].Name.empty(); }

// The groups of actors' own materials by name, and which of them some actor
// takes: found once for all actors, not by comparing every actor with every
// group.
class OwnGroups {
 public:
  explicit OwnGroups(std::size_t firstActor) {
    for (std::size_t k = firstActor; k < gObjects.size(); ++k) byName_[gObjects[k].Name].push_back(k);
    // The kinds of block each name has among the actors.
    struct Kinds {
      bool light = false, camera = false;
    };
    std::unordered_map<std::string_view, Kinds> actors;
    for (const ActorRec& a : gActors) {
      if (!byName_.contains(a.Name.view())) continue;
      Kinds& kinds = actors[a.Name.view()];
      kinds.light = kinds.light || a.Kind == "light";
      kinds.camera = kinds.camera || a.Kind == "camera";
    }
    taken_.assign(gObjects.size(), false);
    for (std::size_t k = firstActor; k < gObjects.size(); ++k) {
      const auto it = actors.find(gObjects[k].Name);
      if (it == actors.end()) continue;
      const std::string kind = LightOrCameraOf(k);
      taken_[k] = kind.empty() || (kind == "light" ? it->second.light : it->second.camera);
    }
  }

  // Whether an actor takes the group into its block.
  bool Taken(std::size_t group) const { return taken_[group]; }

  // The groups that belong to `a`, in table order.
  template <class Each>
  bool ForEachOf(const ActorRec& a, Each each) const {
    const auto it = byName_.find(a.Name.view());
    if (it == byName_.end()) return true;
    for (const std::size_t k : it->second)
      if (BelongsTo(k, a) && !each(k)) return false;
    return true;
  }

 private:
  std::unordered_map<std::string_view, std::vector<std::size_t>> byName_;
  std::vector<bool> taken_;
};

// A group of the actor part written as a block of its own.
bool IsDetached(const PoseWriteOptions& options, const OwnGroups& own, std::size_t group) {
  return options.NoChannels || !own.Taken(group);
}

bool BeginsAsObject(const std::string& name) {
  return StartsWith(name, "prop ") || StartsWith(name, "light ") || StartsWith(name, "camera ");
}

// The name a detached group is written (and kept) under.
std::string DetachedName(const std::string& name) {
  if (BeginsAsObject(name) && InStr(LCase(name), "prop figurehair") > 0) return kFigureHairGroup;
  return name;
}

// The header line of a detached group: a light's or camera's own materials
// stay under their light or camera, any other name is an actor's.
std::string DetachedHeader(std::size_t group) {
  const std::string& name = gObjects[group].Name;
  if (BeginsAsObject(name)) return DetachedName(name);
  const std::string kind = LightOrCameraOf(group);
  return (kind.empty() ? std::string("actor") : kind) + " " + name;
}

std::string ActorWrittenName(std::string_view name) {
  return LCase(name) == "figurehair" ? std::string(kFigureHairActor) : std::string(name);
}

// How much written text is gathered before it goes to the file.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

class PoseBuilder {
 public:
  // With a file, the text goes to it a piece at a time and `out` holds only
  // what is left at the end; without one, `out` receives the whole text.
  PoseBuilder(const PoseWriteOptions& options, LineBuffer& out, AtomicFile* file = nullptr)
      : options_(options), out_(out), file_(file), eol_(LineEnd(options.MacLineEnds)), lines_(eol_) {
    format_.Eol = eol_;
    format_.Poser5 = options.Poser5;
    format_.BatchMode = options.BatchMode;
  }

  std::string Build() {
    const std::size_t firstActor = FirstActorGroup();
    const OwnGroups own(firstActor);
    Header();
    // Actor groups that are not written inside an actor block.
    for (std::size_t k = firstActor; k < gObjects.size(); ++k) {
      if (!IsDetached(options_, own, k)) continue;
      Line(0, DetachedHeader(k));
      Line(1, "{");
      Line(1, "customMaterial " + FormatInt(static_cast<long long>(gObjects[k].Materials.size())));
      if (!Materials(k)) return error_;
      Line(1, "}");
      Spill();
    }
    if (!options_.NoChannels) {
      if (!options_.DisableThighLength)
        Line(0, "thighLength " + PoseNumber(LeadingNumber(options_.ThighLength)));
      if (!TableIsEmpty(gActors)) {
        for (const ActorRec& a : gActors)
          if (!Actor(a, own)) return error_;
      }
    }
    if (!options_.NoMaterials && !TableIsEmpty(gObjects)) {
      // The reader puts "figure" first and takes the props from the last in
      // the file to the first: the figure is written first and the props
      // from the last to the first, so that reading the file again gives
      // the groups in the order they have now.
      std::vector<std::size_t> order;
      for (std::size_t k = 0; k < firstActor; ++k)
        if (gObjects[k].Name == "figure") order.push_back(k);
      for (std::size_t k = firstActor; k-- > 0;)
        if (gObjects[k].Name != "figure") order.push_back(k);
      for (const std::size_t k : order) {
        const std::string& name = gObjects[k].Name;
        Line(0, StartsWith(LCase(name), "prop figurehair") || gIsHairFile ? std::string(kFigureHairGroup)
                                                                          : name);
        Line(1, "{");
        if (!Materials(k)) return error_;
        Line(1, "}");
        Spill();
      }
    }
    Line(0, "}");
    return {};
  }

 private:
  void Line(int tabs, std::string_view text) { PutLine(out_, tabs, text, eol_); }
  void Line(int tabs, std::string_view first, std::string_view second) {
    PutLine(out_, tabs, first, second, eol_);
  }

  // Hands a full piece to the file; after a failed write the text is only
  // built (and dropped), so that an error in the tables is still the one told.
  void Spill() {
    if (file_ == nullptr || out_.size() < kPieceSize) return;
    file_->Write(out_.View());
    out_.clear();
  }

  // The blocks of one group, a material at a time: a group of a million
  // goes to the file in pieces, never held whole. A failed block is kept as
  // far as it was written, and the error told.
  bool Materials(std::size_t group) {
    for (const MaterialRec& m : gObjects.at(group).Materials) {
      materials_.clear();
      error_ = WriteP4Material(m, format_, materials_);
      out_.Append(materials_);
      if (!error_.empty()) return false;
      Spill();
    }
    return true;
  }

  void Header() {
    Line(0, "{");
    const std::string& notes = gState.FileNotes;
    if (!notes.empty()) {
      // One comment line per line of the notes: they are joined by CR LF,
      // and a lone CR or LF typed into them breaks a line as well.
      std::size_t start = 0;
      for (;;) {
        const std::size_t end = notes.find_first_of("\r\n", start);
        Line(0, "# " + notes.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + (notes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
      }
    }
    Line(0, "version");
    Line(1, "{");
    Line(1, "number " + CommaToPoint(options_.RequiredVersion));
    Line(1, "}");
  }

  bool Actor(const ActorRec& a, const OwnGroups& own) {
    const bool lightOrCamera = IsLightOrCamera(a);
    const ActorProperties& p = a.Props();
    Line(0, a.Kind + " ", ActorWrittenName(a.Name));
    Line(1, "{");
    if (lightOrCamera) {
      if (!p.StorageOffset.empty()) Line(1, "storageOffset " + p.StorageOffset);
      if (!p.ObjFileGeom.empty()) Line(1, "objFileGeom " + p.ObjFileGeom);
      if (p.GeomResource > 0) Line(1, "geomResource " + FormatInt(p.GeomResource - 1));
      if (p.LightType > 0) Line(1, "lightType " + FormatInt(p.LightType - 1));
    }
    if (a.PropertyOn[kExtNameSwitch] && !p.ExtName.empty()) Line(1, "name " + p.ExtName);
    if (a.PropertyOn[kOnOffSwitch] && p.OnOff == 2) Line(1, "on");
    if (a.PropertyOn[kOnOffSwitch] && p.OnOff == 1) Line(1, "off");
    if (a.PropertyOn[kHiddenSwitch] && p.Hidden > 0) Line(1, "hidden " + FormatInt(p.Hidden - 1));
    // A block without channels still gets its (empty) channels block: the
    // reader finds the end of the actor part by it, so a prop or camera
    // after it stays an actor when the file is read again.
    Line(1, "channels");
    Line(2, "{");
    if (!a.Dials.empty() && !a.Dials[0].Name.empty())
      for (const DialRec& d : a.Dials) {
        Channel(d);
        Spill();
      }
    Line(2, "}");
    // The actor's own material groups, matched by the name it had before any
    // renaming, the same match that kept them out of the detached blocks.
    const bool written = own.ForEachOf(a, [&](std::size_t k) {
      Line(1, "customMaterial " + FormatInt(static_cast<long long>(gObjects[k].Materials.size())));
      return Materials(k);
    });
    if (!written) return false;
    if (a.PropertyOn[kLockedSwitch] && p.Locked > 0) Line(1, "locked " + FormatInt(p.Locked - 1));
    if (a.PropertyOn[kDepthMapSizeSwitch] && p.DepthMapSize > 0)
      Line(1, "depthMapSize " + FormatInt(p.DepthMapSize - 1));
    if (lightOrCamera && !p.DepthCamera.empty()) Line(1, "depthCamera " + p.DepthCamera);
    if (a.PropertyOn[kDoShadowSwitch] && p.DoShadow > 0) Line(1, "doShadow " + FormatInt(p.DoShadow - 1));
    if (a.PropertyOn[kLightOnSwitch] && p.LightOn > 0) Line(1, "lightOn " + FormatInt(p.LightOn - 1));
    if (lightOrCamera && !p.Port.empty()) Line(1, "port " + p.Port);
    if (lightOrCamera && !p.CameraModel.empty()) Line(1, "cameraModel " + p.CameraModel);
    Line(1, "}");
    // Many blocks without channels go to the file a piece at a time too.
    Spill();
    return true;
  }

  // The lines of a channel block that are the same in every channel, each
  // with its line ends, so that a channel is written with a few copies.
  struct ChannelLines {
    explicit ChannelLines(const std::string& eol)
        : Open(eol + "\t\t\t{" + eol),
          Name("\t\t\tname "),
          Hidden("\t\t\thidden "),
          KeysOpen("\t\t\tkeys" + eol + "\t\t\t\t{" + eol + "\t\t\t\tk  0  "),
          KeysClose(eol + "\t\t\t\t}" + eol),
          Close("\t\t\t}" + eol),
          Room(Open.size() + Name.size() + Hidden.size() + KeysOpen.size() + KeysClose.size() + Close.size() +
               4 + 2 * kNumberRoom + 2 * eol.size()) {}
    std::string Open;       // the end of the channel's first line and its "{" line
    std::string Name;       // the start of its "name" line
    std::string Hidden;     // the start of its "hidden" line
    std::string KeysOpen;   // "keys", "{" and the start of the key line
    std::string KeysClose;  // the end of the key line and the "}" of the keys
    std::string Close;      // the channel's "}" line
    std::size_t Room;       // the room all of them need besides the names
  };

  // One channel block, written in one piece of room: its type and name line,
  // then the name, hidden and key lines it has.
  void Channel(const DialRec& d) {
    const std::string_view type = d.ChannelType.view(), name = d.Name.view(), extName = d.ExtName.view();
    char* p = out_.Room(type.size() + name.size() + extName.size() + lines_.Room);
    p = PutText(PutBytes(p, "\t\t"), type);
    *p++ = ' ';
    p = PutBytes(PutText(p, name), lines_.Open);
    if (d.ExtNameOn && !extName.empty()) p = PutBytes(PutText(PutBytes(p, lines_.Name), extName), eol_);
    if (d.HiddenOn && d.Hidden >= 1) {
      // The number stands in a sign position: a blank when it is not negative.
      const int hidden = d.Hidden - 1;
      p = PutBytes(p, lines_.Hidden);
      if (hidden >= 0) *p++ = ' ';
      p = PutBytes(FormatIntTo(p, hidden), eol_);
    }
    if (d.ValueOn) p = PutBytes(FormatDoubleTo(PutBytes(p, lines_.KeysOpen), d.Value), lines_.KeysClose);
    out_.Commit(PutBytes(p, lines_.Close));
  }

  const PoseWriteOptions& options_;
  LineBuffer& out_;
  AtomicFile* file_;
  std::string eol_;
  ChannelLines lines_;
  MaterialFormat format_;
  std::string materials_;  // one material block, as the material writers give it
  std::string error_;
};

// Keeps in the tables the hair names the file was written with.
void KeepWrittenHairNames(const PoseWriteOptions& options) {
  const std::size_t firstActor = FirstActorGroup();
  std::vector<std::size_t> detached;
  {
    const OwnGroups own(firstActor);
    for (std::size_t k = firstActor; k < gObjects.size(); ++k)
      if (IsDetached(options, own, k)) detached.push_back(k);
  }
  for (const std::size_t k : detached) gObjects[k].Name = DetachedName(gObjects[k].Name);
  if (!options.NoChannels)
    for (ActorRec& a : gActors) a.Name = ActorWrittenName(a.Name);
}

}  // namespace

std::string PoseOutputPath(const PoseWriteOptions& options) {
  if (HasNonBlank(options.GivenPath) && !HasNonBlank(options.OutputPath)) return options.GivenPath;
  return options.OutputPath;
}

std::string BuildPoseFile(const PoseWriteOptions& options, std::string& bytes) {
  LineBuffer out;
  std::string error = PoseBuilder(options, out).Build();
  bytes.assign(out.View());
  return error;
}

PoseWriteResult WritePoseFile(const PoseWriteOptions& options) {
  PoseWriteResult result;
  result.Path = PoseOutputPath(options);
  if (!HasNonBlank(result.Path)) {
    result.Error = "No file name given.";
    return result;
  }
  // The text goes to the file through one buffer of a fixed size, never
  // held whole; the file replaces the old one only when all of it is written.
  AtomicFile file(result.Path);
  LineBuffer rest(kPieceSize + (kPieceSize >> 4));
  result.Error = PoseBuilder(options, rest, &file).Build();
  if (!result.Error.empty()) return result;
  file.Write(rest.View());
  result.Error = file.Commit();
  if (!result.Error.empty()) return result;
  KeepWrittenHairNames(options);
  gState.FileType = kPz2;
  gState.Dirty = false;
  return result;
}

}  // namespace vandrel
