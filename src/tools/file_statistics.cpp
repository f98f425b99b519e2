#include "tools/file_statistics.h"

#include <array>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "common/text.h"
#include "maps/poser_paths.h"
#include "model/model.h"
#include "platform/files.h"

namespace vandrel {

namespace {

const CompactText& MapOf(const MaterialRec& m, MapKind kind) {
  switch (kind) {
    case MapKind::Texture:
      return m.TextureMap;
    case MapKind::Bump:
      return m.BumpMap;
    case MapKind::Reflection:
      return m.ReflectionMap;
    case MapKind::Transparency:
      return m.TransparencyMap;
  }
  return m.TextureMap;
}

constexpr std::array<MapKind, 4> kKinds{MapKind::Texture, MapKind::Bump, MapKind::Reflection,
                                        MapKind::Transparency};

bool IsMapPath(std::string_view path) { return !path.empty() && !IsNoMap(path); }
bool IsPlaceholder(const MaterialRec& m) { return m.Name.empty(); }
bool IsPlaceholder(const DialRec& d) { return d.Name.empty() && d.ChannelType.empty(); }

int MaterialCount(const ObjectRec& group) {
  int n = 0;
  for (const MaterialRec& m : group.Materials) n += IsPlaceholder(m) ? 0 : 1;
  return n;
}

bool IsMorphType(std::string_view type) {
  return type == "targetGeom" || type == "geomChan" || type == "handSpread" || type == "thumbGrasp" ||
         type == "handGrasp";
}

std::string Count(int n) { return std::to_string(n); }

}  // namespace

std::vector<std::string> DistinctMapPaths(MapKind kind) {
  std::vector<std::string> paths;
  std::unordered_set<std::string_view> seen;
  for (const ObjectRec& group : gObjects)
    for (const MaterialRec& m : group.Materials) {
      const CompactText& path = MapOf(m, kind);
      if (IsMapPath(path) && seen.insert(path).second) paths.push_back(path.str());
    }
  return paths;
}

void CollectFileInfo() {
  FileInfoRec info;
  info.FileName = gState.FileName;

  std::array<std::unordered_set<std::string_view>, 4> seen;
  std::array<int*, 4> counts{&info.TextureMaps, &info.BumpMaps, &info.ReflectionMaps, &info.TransparencyMaps};
  std::unordered_map<std::string_view, int> groupMaterials;  // the last group of a name counts
  for (const ObjectRec& group : gObjects) {
    groupMaterials[group.Name] = MaterialCount(group);
    for (const MaterialRec& m : group.Materials)
      for (std::size_t k = 0; k < kKinds.size(); ++k) {
        const CompactText& path = MapOf(m, kKinds[k]);
        if (IsMapPath(path) && seen[k].insert(path).second) ++*counts[k];
      }
  }

  info.Actors.assign(gActors.empty() ? 1 : gActors.size(), ActorInfoRec{});
  for (std::size_t j = 0; j < gActors.size(); ++j) {
    const ActorRec& actor = gActors[j];
    ActorInfoRec& a = info.Actors[j];
    a.Name = actor.Name;
    if (actor.Name.empty()) continue;
    for (const DialRec& d : actor.Dials) {
      if (IsPlaceholder(d)) continue;
      ++a.Channels;
      if (IsMorphType(d.ChannelType.view()))
        ++a.MorphChannels;
      else if (d.ChannelType == "valueParm")
        ++a.NullChannels;
      else
        ++a.PoseChannels;
    }
    if (auto it = groupMaterials.find(actor.Name); it != groupMaterials.end()) a.Materials = it->second;
  }

  // Figure-level groups: those before the first entry of actors, lights and
  // cameras with materials of their own.
  if (!gObjects.empty() && !gObjects[0].Name.empty() && !gObjectList.empty() &&
      !IsOwnMaterialsEntry(gObjectList[0])) {
    const std::size_t figures = std::min(FirstActorListIndex(), gObjects.size());
    info.Figures.clear();
    for (std::size_t m = 0; m < figures; ++m)
      info.Figures.push_back(NameIndexRec{gObjects[m].Name, MaterialCount(gObjects[m]), 0});
    if (info.Figures.empty()) info.Figures.resize(1);
  }
  gFileInfo = std::move(info);
}

std::string FileTypeText(const std::string& path) {
  static const std::unordered_map<std::string, const char*> kTypes{
      {".cr2", "Character (CR2)"}, {".pz2", "Pose (PZ2)"}, {".pp2", "Prop (PP2)"},   {".hr2", "Hair (HR2)"},
      {".hd2", "Hand (HD2)"},      {".fc2", "Face (FC2)"}, {".cm2", "Camera (CM2)"}, {".lt2", "Light (LT2)"}};
  const auto it = kTypes.find(LCase(Right(path, 4)));
  return it == kTypes.end() ? "N/A" : it->second;
}

std::string FileSizeText(std::uint64_t bytes, const DisplayLocale& locale) {
  if (bytes < 1000000) return FormatRoundedQuotient(bytes, 1000, 1, locale) + " KB";
  return MegabytesText(bytes, locale) + " MB";
}

std::string MegabytesText(std::uint64_t bytes, const DisplayLocale& locale) {
  return FormatRoundedQuotient(bytes, 1000000, 2, locale);
}

std::string CreationDateText(const std::string& path, const FileFactsSource& files,
                             const DisplayLocale& locale) {
  const std::optional<FileFacts> facts = files.Facts(path);
  return facts ? FormatDateTime(facts->created, locale) : "N/A";
}

FileInfoLabels FileInfoLabelsOf(const FileInfoRec& info, const FileFactsSource& files,
                                const DisplayLocale& locale) {
  FileInfoLabels l;
  l.FileName = FileNameOf(info.FileName);
  l.FileType = FileTypeText(info.FileName);
  const std::optional<FileFacts> facts = files.Facts(info.FileName);
  l.Size = facts ? FileSizeText(facts->size, locale) : "N/A";

  const bool figures = !info.Figures.empty() && !info.Figures[0].Name.empty();
  l.Figures = l.Materials = "N/A";
  if (figures) {
    int materials = 0;
    for (const NameIndexRec& f : info.Figures) materials += f.Index;
    l.Figures = Count(static_cast<int>(info.Figures.size()));
    l.Materials = Count(materials);
  }
  const bool actors = !info.Actors.empty() && !info.Actors[0].Name.empty();
  l.Actors = l.SdMats = l.Channels = l.Pose = l.Morph = l.Null = "N/A";
  if (actors) {
    ActorInfoRec sum;
    for (const ActorInfoRec& a : info.Actors) {
      sum.Materials += a.Materials;
      sum.Channels += a.Channels;
      sum.PoseChannels += a.PoseChannels;
      sum.MorphChannels += a.MorphChannels;
      sum.NullChannels += a.NullChannels;
    }
    l.Actors = Count(static_cast<int>(info.Actors.size()));
    l.SdMats = Count(sum.Materials);
    l.Channels = Count(sum.Channels);
    l.Pose = Count(sum.PoseChannels);
    l.Morph = Count(sum.MorphChannels);
    l.Null = Count(sum.NullChannels);
  }
  l.Texture = Count(info.TextureMaps);
  l.Bump = Count(info.BumpMaps);
  l.Reflection = Count(info.ReflectionMaps);
  l.Transparency = Count(info.TransparencyMaps);
  return l;
}

}  // namespace vandrel
