#include "writer/round_trip_harness.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "common/host.h"
#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "model/object_list.h"
#include "reader/channel_reader.h"
#include "reader/morph_pose_file.h"
#include "reader/poser_file_reader.h"
#include "writer/write_format.h"

namespace vandrel::roundtrip {
namespace {

// The file type of the extension, -1 for none.
int TypeOfExtension(const std::string& path) {
  const std::string ext = LCase(Right(path, 4));
  const char* exts[] = {".cr2", ".pz2", ".pp2", ".hr2", ".cm2", ".fc2", ".hd2", ".lt2"};
  for (int t = 0; t < kFileTypeCount; ++t)
    if (ext == exts[t]) return t;
  return -1;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Add(std::string& out, const char* key, std::string_view value) {
  out.append(key).append("=").append(value).append(" ");
}
void Add(std::string& out, const char* key, long long value) { Add(out, key, FormatInt(value)); }

std::string Color(const ColorRec& c) {
  return FormatInt(c[0]) + "," + FormatInt(c[1]) + "," + FormatInt(c[2]);
}

// A material's properties; `onlyOn` leaves out those switched off.
std::string Material(const MaterialRec& m, bool onlyOn) {
  std::string out = "  material " + m.Name + " ";
  for (int s = 0; s < MaterialRec::kSwitchCount; ++s) out += m.SwitchOn(s) ? '1' : '0';
  out += " ";
  const auto put = [&](bool on, const char* key, std::string_view value) {
    if (on || !onlyOn) Add(out, key, value);
  };
  put(m.ObjectColorOn, "kd", Color(m.ObjectColor));
  put(m.HighlightColorOn, "ks", Color(m.HighlightColor));
  put(m.AmbientColorOn, "ka", Color(m.AmbientColor));
  put(m.ReflectiveColorOn, "refl", Color(m.ReflectiveColor));
  put(m.HighlightSizeOn, "size", FormatInt(m.HighlightSize));
  put(m.TransparencyMinOn, "tmin", FormatInt(m.TransparencyMin));
  put(m.TransparencyMaxOn, "tmax", FormatInt(m.TransparencyMax));
  put(m.TransparencyFalloffOn, "texpo", PoseNumber(m.TransparencyFalloff));
  put(m.TextureMapOn, "tex", m.TextureMap);
  put(m.BumpMapOn, "bump", m.BumpMap);
  put(m.ReflectionMapOn, "reflmap", m.ReflectionMap);
  put(m.TransparencyMapOn, "transmap", m.TransparencyMap);
  put(m.TextureStrengthOn, "texs", m.TextureStrength);
  put(m.BumpStrengthOn, "bumps", m.BumpStrength);
  put(m.ReflectionStrengthOn, "refls", m.ReflectionStrength);
  put(m.KsIgnoreTextureOn, "ksign", m.KsIgnoreTexture ? "1" : "0");
  put(m.MultiplyThroughLightsOn, "thrulights", m.MultiplyThroughLights ? "1" : "0");
  put(m.MultiplyThroughKdColorOn, "thrukd", m.MultiplyThroughKdColor ? "1" : "0");
  return out + "\n";
}

std::string Group(const ObjectRec& g, bool onlyOn) {
  std::string out = "group " + g.Name + "\n";
  for (const MaterialRec& m : g.Materials) out += Material(m, onlyOn);
  return out;
}

// The groups a save writes: the figure and prop groups unless "Don't save
// materials" is ticked, and the groups of actors (from the first entry of an
// actor, light or camera in the object list on).
std::size_t FirstActorGroup() {
  for (std::size_t i = 0; i < gObjects.size() && i < gObjectList.size(); ++i)
    if (IsOwnMaterialsEntry(gObjectList[i])) return i;
  return gObjects.size();
}

// The name a figure or prop group is written under: a hair file's groups
// are the hair prop.
std::string WrittenName(std::size_t k, std::size_t firstActor) {
  const std::string& name = gObjects[k].Name;
  if (k < firstActor && (gIsHairFile || StartsWith(LCase(name), "prop figurehair"))) return "prop figureHair";
  return name;
}

std::string WrittenGroups(bool noMaterials) {
  const std::size_t firstActor = FirstActorGroup();
  std::string out;
  const bool empty = gObjects.size() == 1 && gObjects[0].Name.empty();
  for (std::size_t k = 0; k < gObjects.size(); ++k) {
    if (k < firstActor && (noMaterials || empty)) continue;
    ObjectRec g = gObjects[k];
    g.Name = WrittenName(k, firstActor);
    out += Group(g, true);
  }
  return out;
}

// Whether a text can stand in a Poser file and be found again by the
// reader's keyword searches: no line breaks, braces or quotes, none of the
// format's keywords inside, no blanks at its ends (and none at all in a
// name that the reader cuts at a blank). A map path stands on a line of its
// own after its key, where only the material keys are still looked for.
bool Carriable(std::string_view text, bool blanksInside, bool mapPath = false, bool channelText = false) {
  if (mapPath && IsNoMap(text)) return true;
  if (text.empty() || text.front() == ' ' || text.back() == ' ') return false;
  for (char c : text)
    if (static_cast<unsigned char>(c) < 32 || (!channelText && (c == '{' || c == '}')) || c == '"' ||
        (!blanksInside && c == ' '))
      return false;
  static const char* const materialKeys[] = {
      "Color ",    "NsExponent ",      "tMin ",       "tMax ", "tExpo ",
      "Strength ", "ksIgnoreTexture ", "reflectThru", "Map ",  "customMaterial"};
  // What else the reader looks for anywhere in a block (not only at a line start).
  static const char* const blockKeys[] = {"actor ",
                                          "prop ",
                                          "light ",
                                          "camera ",
                                          "channels",
                                          "material ",
                                          "number ",
                                          "deltas",
                                          "thighLength ",
                                          "//",
                                          "#",
                                          "'",
                                          "setGeomHandlerOffset",
                                          "addActor",
                                          "displayMode",
                                          "figureResFile",
                                          "figureType"};
  // Inside a channel only a line's own key counts; elsewhere these are
  // still looked for anywhere.
  static const char* const channelKeys[] = {"keys", "name", "hidden", "k  "};
  for (const char* k : materialKeys)
    if (text.find(k) != std::string_view::npos) return false;
  for (const char* k : blockKeys)
    if (!mapPath && text.find(k) != std::string_view::npos) return false;
  for (const char* k : channelKeys)
    if (!mapPath && !channelText && text.find(k) != std::string_view::npos) return false;
  return true;
}

}  // namespace

bool IsPoserFile(const std::string& path) { return TypeOfExtension(path) >= 0; }

std::string Unrepresentable() {
  const std::size_t firstActor = FirstActorGroup();
  for (std::size_t k = 0; k < gObjects.size(); ++k) {
    const ObjectRec& g = gObjects[k];
    // A file without materials has no object list, and its groups are not written.
    if (gObjectList.empty()) break;
    // The figure and prop groups come first, then the groups of actors.
    const std::string written = WrittenName(k, firstActor);
    const bool named =
        written == "figure" || (StartsWith(written, "prop ") && Carriable(written.substr(5), false));
    bool actorGroup = false;
    for (const ActorRec& a : gActors) actorGroup = actorGroup || a.Name == g.Name;
    if (k < firstActor ? !named : !(actorGroup && Carriable(g.Name, false))) return "group " + g.Name;
    for (const MaterialRec& m : g.Materials) {
      if (!Carriable(m.Name, true) && !m.Name.empty()) return "material " + m.Name;
      for (const CompactText* path : {&m.TextureMap, &m.BumpMap, &m.ReflectionMap, &m.TransparencyMap})
        if (!Carriable(*path, true, true)) return "map " + *path;
    }
  }
  for (const ActorRec& a : gActors) {
    if (gActors.size() == 1 && a.Name.empty()) break;
    if (!Carriable(a.Name.str(), false) ||
        (!a.Props().ExtName.empty() && !Carriable(a.Props().ExtName.str(), true)))
      return "actor " + a.Name + " " + a.Props().ExtName;
    for (const SparseText* text : {&a.Props().StorageOffset, &a.Props().DepthCamera, &a.Props().Port,
                                   &a.Props().CameraModel, &a.Props().ObjFileGeom})
      if (!text->empty() && !Carriable(text->str(), true)) return "actor property " + *text;
    for (const DialRec& d : a.Dials) {
      if (a.Dials.size() == 1 && d.Name.empty()) break;
      // Blanks and TABs after the name stay part of it.
      std::string name = d.Name.str();
      while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
      if (!Carriable(d.ChannelType.view(), false) || !Carriable(name, false, false, true) ||
          !Carriable(d.ChannelType + " " + name, true, false, true) ||
          (!d.ExtName.empty() && !Carriable(d.ExtName.str(), true, false, true)))
        return "channel " + d.ChannelType + " " + d.Name + " " + d.ExtName;
    }
  }
  // Two groups, or two channels of one object, under one name are one
  // when read again.
  std::set<std::string> seen;
  for (std::size_t k = 0; k < gObjects.size(); ++k)
    if (!gObjectList.empty() && !seen.insert("group " + WrittenName(k, firstActor)).second)
      return "two groups " + gObjects[k].Name;
  for (const ActorRec& a : gActors) {
    std::set<std::string> lines;
    for (const DialRec& d : a.Dials)
      if (!d.Name.empty() && !lines.insert(d.ChannelType + " " + d.Name).second)
        return "two channels " + d.Name;
  }
  // The notes stand in comment lines before the version block.
  for (std::string_view notes = gState.FileNotes; !notes.empty();) {
    const std::size_t end = notes.find("\r\n");
    std::string line(notes.substr(0, end));
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (!line.empty() && !Carriable(line, true)) return "notes " + line;
    notes = end == std::string_view::npos ? std::string_view() : notes.substr(end + 2);
  }
  if (!Carriable(gState.RequiredVersion, false) && !gState.RequiredVersion.empty())
    return "version " + gState.RequiredVersion;
  return {};
}

ReadOutcome ReadDocument(const std::string& path) {
  ResetModel();
  QuietHost host;
  ReadOutcome outcome;
  const int type = IsPoserFile(path) ? TypeOfExtension(path) : kPz2;
  OpenFileOptions options;
  options.fileType = type;
  options.path = path;
  ChannelReadResult channels;
  bool channelsRead = false;
  options.objectPartReader = [&](std::string_view objectText, Host& h) {
    channels = ReadObjectPart(objectText, h);
    channelsRead = true;
  };
  gState.LoadProps = !IsPoseType(type);
  const OpenFileResult read = ReadPoserFile(options, host);
  if (!read.ok) return outcome;
  outcome.ok = true;
  outcome.noChannels = read.channelsOff;
  outcome.noMaterials = read.noMaterialData;
  if (!IsPoseType(type)) {
    MorphPoseReadOptions morph;
    morph.FileName = path;
    const MorphPoseReadResult r = ReadMorphPoseData(morph, host);
    if (r.Outcome == MorphPoseOutcome::Read) {
      channels = r.Channels;
      channelsRead = true;
    }
  }
  if (channelsRead && !channels.Cancelled) {
    outcome.disableThighLength = channels.DisableThighLength;
    outcome.thighLength = channels.ThighLengthText;
    if (channels.ActorsListed) outcome.noChannels = false;
  }
  return outcome;
}

PoseWriteOptions SaveOptions(const ReadOutcome& read, const std::string& path, bool poser5, bool mac) {
  PoseWriteOptions o;
  o.OutputPath = path;
  o.Poser5 = poser5;
  o.MacLineEnds = mac;
  o.NoMaterials = read.noMaterials;
  o.NoChannels = read.noChannels;
  o.DisableThighLength = read.disableThighLength;
  o.ThighLength = read.thighLength;
  o.RequiredVersion = gState.RequiredVersion;
  return o;
}

std::string Tables() {
  std::string out;
  for (const ObjectRec& g : gObjects) out += Group(g, false);
  for (const CompactText& e : gObjectList) out += "entry " + e + "\n";
  for (const ActorRec& a : gActors) {
    out += a.Kind + " " + a.Name + " ";
    Add(out, "ext", a.Props().ExtName);
    Add(out, "onoff", a.Props().OnOff);
    Add(out, "hidden", a.Props().Hidden);
    Add(out, "locked", a.Props().Locked);
    Add(out, "storage", a.Props().StorageOffset);
    Add(out, "geom", a.Props().GeomResource);
    Add(out, "depth", a.Props().DepthMapSize);
    Add(out, "depthcam", a.Props().DepthCamera);
    Add(out, "shadow", a.Props().DoShadow);
    Add(out, "lighton", a.Props().LightOn);
    Add(out, "port", a.Props().Port);
    Add(out, "model", a.Props().CameraModel);
    Add(out, "lighttype", a.Props().LightType);
    Add(out, "obj", a.Props().ObjFileGeom);
    for (bool on : a.PropertyOn) out += on ? '1' : '0';
    out += "\n";
    for (const DialRec& d : a.Dials) {
      out += "  " + d.ChannelType + " " + d.Name + " ";
      Add(out, "ext", d.ExtName.str());
      Add(out, "value", PoseNumber(d.Value));
      Add(out, "hidden", d.Hidden);
      out += std::string(d.ExtNameOn ? "1" : "0") + (d.HiddenOn ? "1" : "0") + (d.ValueOn ? "1" : "0") + "\n";
    }
  }
  out += "notes " + gState.FileNotes + "\nversion " + gState.RequiredVersion + "\n";
  return out;
}

std::string Essentials(bool noMaterials) {
  std::string out = WrittenGroups(noMaterials);
  for (const ActorRec& a : gActors) {
    if (a.Name.empty()) continue;
    out += a.Kind + " " + a.Name + "\n";
    for (const DialRec& d : a.Dials)
      if (d.ValueOn) out += "  " + d.ChannelType + " " + d.Name + " = " + PoseNumber(d.Value) + "\n";
  }
  return out;
}

std::string CheckRoundTrip(const std::string& input, const std::string& folder, bool poser5, bool mac) {
  const std::string what = std::string(poser5 ? "Poser 5" : "Poser 4") + (mac ? ", CR: " : ", CR LF: ");
  ReadOutcome read = ReadDocument(input);
  if (!read.ok || !Unrepresentable().empty())
    return "";  // nothing to write, or names no Poser file can carry
  std::string essentials, tables, bytes;
  for (int round = 1; round <= 3; ++round) {
    const std::string out = folder + "/round" + FormatInt(round) + ".pz2";
    const PoseWriteResult written = WritePoseFile(SaveOptions(read, out, poser5, mac));
    if (!written.Error.empty()) return what + "write " + FormatInt(round) + " failed: " + written.Error;
    const std::string writtenEssentials = Essentials(read.noMaterials);
    const std::string file = Bytes(out);
    const std::string eol = mac ? "\r" : "\r\n";
    // Every line ends with the chosen line end, the last one included.
    if (!EndsWith(file, eol) || (mac && file.find('\n') != std::string::npos) ||
        (!mac && Replace(file, "\r\n", "").find_first_of("\r\n") != std::string::npos))
      return what + "write " + FormatInt(round) + " has a line that does not end with the chosen line end";
    read = ReadDocument(out);
    if (!read.ok) return what + "the written file " + FormatInt(round) + " could not be read";
    const std::string readEssentials = Essentials(read.noMaterials);
    if (readEssentials != writtenEssentials)
      return what + "write " + FormatInt(round) + " reads back differently:\nwritten:\n" + writtenEssentials +
             "\nread:\n" + readEssentials + "\nfile:\n" + file;
    if (round == 3) {
      if (file != bytes)
        return what + "the third write differs from the second:\n" + bytes + "\n---\n" + file;
      if (Tables() != tables)
        return what + "the tables of the third read differ:\n" + tables + "\n---\n" + Tables();
    }
    bytes = file;
    tables = Tables();
  }
  return "";
}

std::string CheckEveryFormat(const std::string& input, const std::string& folder) {
  std::string problems;
  for (bool poser5 : {false, true})
    for (bool mac : {false, true}) problems += CheckRoundTrip(input, folder, poser5, mac);
  return problems;
}

}  // namespace vandrel::roundtrip
