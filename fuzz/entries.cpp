#include "fuzz/entries.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "common/encoding.h"
#include "common/host.h"
#include "common/numbers.h"
#include "common/text.h"
#include "maps/map_cache.h"
#include "maps/map_search.h"
#include "maps/poser_paths.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/path_case.h"
#include "platform/program_folder.h"
#include "reader/channel_literal.h"
#include "reader/channel_reader.h"
#include "reader/delta_removal.h"
#include "reader/material_parser.h"
#include "reader/morph_pose_file.h"
#include "reader/poser_file_reader.h"
#include "reader/read_fault.h"
#include "writer/round_trip_harness.h"
#include "writer/write_format.h"

namespace vandrel::fuzz {
namespace {

constexpr const char* kExtensions[] = {".cr2", ".pz2", ".pp2", ".hr2", ".cm2", ".fc2", ".hd2", ".lt2"};

// A folder of this process for the files the targets read and write.
const std::string& Folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/vandrel-fuzz-XXXXXX";
    const char* made = ::mkdtemp(name);
    return std::string(made ? made : "/tmp");
  }();
  return folder;
}

std::string WriteInput(const std::string& name, std::string_view bytes) {
  const std::string path = Folder() + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

// A host that cancels at a given poll.
class CancellingHost : public QuietHost {
 public:
  explicit CancellingHost(int at) : at_(at) {}
  bool CancelRequested() override { return at_ != 0 && ++polls_ >= at_; }

 private:
  int at_;
  int polls_ = 0;
};

// Everything a read may change.
std::string Document() {
  std::string out = roundtrip::Tables();
  for (const ActorListItem& item : gActorList) out += "list " + item.Text() + "|" + item.Kind() + "\n";
  out += "thigh " + PoseNumber(gThighLength) + (gActorMaterialsFound ? " found\n" : "\n");
  return out;
}

std::string Rest(const std::uint8_t* data, std::size_t size, std::size_t skip) {
  return size <= skip ? std::string() : std::string(reinterpret_cast<const char*>(data) + skip, size - skip);
}

void Clean() {
  ResetModel();
  gState = StateRec{};
  gSettings = SettingsRec{};
}

}  // namespace

std::string PoserFile(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return {};
  const int mode = data[0];
  const int type = mode & 7;
  const std::string text = Rest(data, size, 1);
  Clean();
  gState.LoadProps = (mode & 16) != 0;
  OpenFileOptions options;
  options.fileType = type;
  options.path = Folder() + std::string("/input") + kExtensions[type];
  if (mode & 8)
    WriteInput(std::string("input") + kExtensions[type], text);
  else
    options.text = text;
  options.poser5Format = (mode & 32) != 0;
  options.objectPartReader = [](std::string_view objectText, Host& host) {
    ReadObjectPart(objectText, host);
  };
  QuietHost host;
  const OpenFileResult result = ReadPoserFile(options, host);
  if (!result.ok && !(gObjects.size() == 1 && gObjects[0].Name.empty() && gObjectList.empty()))
    return "a failed read left material groups behind";
  return {};
}

std::string Channels(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return {};
  const int mode = data[0];
  const bool insertOne = (mode & 1) != 0;
  const bool append = (mode & 2) != 0;
  const std::string text = Rest(data, size, 2);
  const std::string prior = "actor P\n{\nchannels\n{\nvalueParm p\n{\nkeys\n{\nk  0  1\n}\n}\n}\n}\n";
  QuietHost quiet;
  const auto prepare = [&] {
    Clean();
    if (insertOne || append) LoadMorphsAndPoses(prior, quiet);
  };

  // The morph and pose read: a cancel, a failure or a file without channels
  // leaves the document as it was.
  prepare();
  const std::string before = Document();
  MorphPoseReadOptions options;
  options.InsertOne = insertOne;
  options.Append = append;
  options.FileName = Folder() + std::string("/channels") + kExtensions[(mode >> 2) & 3];
  if (mode & 16)
    WriteInput(std::string("channels") + kExtensions[(mode >> 2) & 3], text);
  else
    options.Text = text;
  CancellingHost cancelling(data[1]);
  const MorphPoseReadResult read = ReadMorphPoseData(options, cancelling);
  if (read.Outcome != MorphPoseOutcome::Read && Document() != before)
    return "a cancelled or failed morph and pose read changed the document";

  // The channel reader against its literal transcription, on LF text.
  std::string lf = text;
  for (char& c : lf)
    if (c == '\r') c = '\n';
  prepare();
  std::string fast;
  try {
    LoadMorphsAndPoses(lf, quiet, {.InsertOne = insertOne, .Append = append});
    fast = Document();
  } catch (const ReadFault& fault) {
    fast = "fault " + fault.description;
  }
  prepare();
  std::string slow;
  try {
    literal::LoadMorphsAndPoses(lf, insertOne, append);
    slow = Document();
  } catch (const ReadFault& fault) {
    slow = "fault " + fault.description;
  }
  if (fast != slow) return "the channel reader differs from the documented loop:\n" + fast + "\n---\n" + slow;

  // Delta removal against its literal transcription, and cancelled.
  std::string stripped = text;
  if (!StripDeltas(stripped, quiet) || stripped != literal::StripDeltas(text))
    return "delta removal differs from the documented passes";
  std::string cancelled = text;
  CancellingHost stop(data[1]);
  if (!StripDeltas(cancelled, stop, ProgressMemo{6, 1}) && !cancelled.empty())
    return "a cancelled delta removal kept text";
  return {};
}

std::string MaterialBlock(const std::uint8_t* data, std::size_t size) {
  Clean();
  gObjects[0].Materials.Edit().assign(1, MaterialRec{});
  try {
    ParseMaterialBlock(Rest(data, size, 0), 0, 0);
  } catch (const ReadFault&) {
    // A number that does not fit ends the read with its error report.
  }
  return {};
}

std::string RoundTrip(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return {};
  const int mode = data[0];
  Clean();
  const std::string path =
      WriteInput(std::string("roundtrip") + kExtensions[(mode >> 2) & 7], Rest(data, size, 1));
  return roundtrip::CheckRoundTrip(path, Folder(), (mode & 1) != 0, (mode & 2) != 0);
}

namespace {

// The input's Unicode reading as a file name: no "/", NUL, ":" or "\\" (which
// Poser paths take as separators), no line break or double quote (which a
// map path cannot hold), at most 200 bytes, whole characters only.
std::string NameOf(std::string_view text) {
  const std::string unicode = PoserTextToUtf8(text);
  std::string name;
  for (std::size_t i = 0; i < unicode.size();) {
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(unicode[i]);
    if (lead >= 0xF0)
      length = 4;
    else if (lead >= 0xE0)
      length = 3;
    else if (lead >= 0xC0)
      length = 2;
    if (name.size() + length > 200) break;
    const std::string_view piece(unicode.data() + i, std::min(length, unicode.size() - i));
    if (piece.find_first_of(std::string_view("/\0:\\\r\n\"", 7)) == std::string_view::npos) name += piece;
    i += length;
  }
  if (name == "." || name == ".." || IsNoMap(Trim(name)) || Trim(name).empty()) return {};
  return name + ".jpg";
}

}  // namespace

std::string Encoding(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // Text entering Poser text reads back as itself; Poser text that is no
  // UTF-8 keeps its bytes when shown and stored again.
  const std::string shown = PoserTextToUtf8(text);
  if (PoserTextToUtf8(Utf8ToPoserText(shown)) != shown) return "a stored text reads back as other text";
  if (!IsMultiByteUtf8(text) && Utf8ToPoserText(shown) != text) return "Windows-1252 text lost its bytes";
  if (IsMultiByteUtf8(text) && PoserTextToUtf8(Utf8ToPoserText(text)) != text)
    return "a stored UTF-8 text reads back as other text";

  const std::string name = NameOf(text);
  if (name.empty()) return {};
  Clean();
  SetProgramFolder(Folder());
  gSettings.Poser = Folder() + "/Poser";
  const std::string textures = gSettings.Poser + "/Runtime/Textures";
  std::error_code ec;
  std::filesystem::remove_all(gSettings.Poser, ec);
  std::filesystem::create_directories(textures, ec);
  const std::string disk = textures + "/" + name;
  WriteInput("Poser/Runtime/Textures/" + name, "x");
  if (!FileExists(disk)) return {};  // a name the file system refuses

  std::vector<std::string> forms = {name, Utf8ToPoserText(name)};
  if (const std::optional<std::string> single = Utf8ToWindows1252(name)) forms.push_back(*single);
  AddToMapCache(disk);
  std::string finding;
  for (const std::string& form : forms) {
    const std::string colon = ":Runtime:Textures:" + form;
    const std::string full = textures + "/" + form;
    if (FindStoredName(textures, form) != name)
      finding = "the stored name is not found";
    else if (PoserPathToFilePath(colon) != disk)
      finding = "the colon path names no file";
    else if (PoserPathToFilePath(full) != disk)
      finding = "the full path names no file";
    if (!finding.empty()) return finding + ": " + form;
    // Fix with "Use full map paths": a colon path becomes a full path that
    // reads back as the file; a full path naming it keeps its bytes; without
    // the box the colon path names the file again. A missing map is found in
    // the list of pictures seen.
    QuietHost host;
    MapSearchHooks hooks;
    hooks.fullPaths = true;
    std::string fromColon = colon, kept = full, shortened = full, moved = "/elsewhere/" + form;
    FixMapReferences({&fromColon, &kept, &moved}, host, hooks);
    if (PoserTextToUtf8(fromColon) != disk)
      finding = "Fix wrote a full path that reads as other text";
    else if (kept != full)
      finding = "Fix rewrote a full path that names its file";
    else if (PoserPathToFilePath(moved) != disk)
      finding = "the map list lookup missed the file";
    hooks.fullPaths = false;
    FixMapReferences({&shortened}, host, hooks);
    if (finding.empty() && PoserPathToFilePath(shortened) != disk)
      finding = "Fix wrote a colon path naming no file";
    if (!finding.empty()) return finding + ": " + form;
  }
  std::filesystem::remove_all(gSettings.Poser, ec);
  SetProgramFolder("");
  return {};
}

}  // namespace vandrel::fuzz
