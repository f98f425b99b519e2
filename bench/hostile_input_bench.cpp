// Inputs shaped against the readers and the pose writer, each at one and
// ten times a base size: braceless object header lines before the figure
// block, many prop material groups, actors with materials of their own,
// empty actor blocks, a million materials (and 200,000 of the size Poser
// writes, in a pose, a character and a prop, through "-s", the open, the
// morph read and the figure chooser), a deltas block without a later "}",
// and a file holding a NUL byte. Each row is printed with the time of the
// read (and the save, where the shape goes through "-s"), the memory the
// case added to the process at its peak, and the longest time between two
// cancel polls. The ten-times row prints its time and memory as multiples of
// the one-time row's: a linear reader gives about 10.
//
// Run it from a Release build; an argument picks the rows whose name holds it.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/host.h"
#include "model/model.h"
#include "reader/channel_reader.h"
#include "reader/morph_pose_file.h"
#include "reader/poser_file_reader.h"
#include "tools/figure_file.h"
#include "writer/pose_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
using vandrel::bench::PeakMegabytes;
using vandrel::bench::Seconds;
using vandrel::bench::WriteHead;
using vandrel::bench::Writer;

const std::string& Folder() {
  static const std::string folder = vandrel::bench::BenchFolder("hostile-bench");
  return folder;
}

// A window's host: it polls for a cancel (never asked for) and keeps the
// longest time between two polls, from the start of the read to its end.
class GapHost : public vandrel::Host {
 public:
  void Start() { last_ = Clock::now(); }
  void Stop() { Poll(); }
  bool CancelRequested() override {
    Poll();
    return false;
  }
  void SetStage(const std::string& text) override {
    Poll(false);
    stage_ = text;
  }
  vandrel::MsgResult Message(const std::string&, const std::string&, vandrel::MsgButtons,
                             vandrel::MsgIcon) override {
    return vandrel::MsgResult::OK;
  }
  double longest = 0;
  std::string where;  // the stage the longest gap began in

 private:
  void Poll(bool poll = true) {
    const Clock::time_point now = Clock::now();
    if (Seconds(now - last_) > longest) {
      longest = Seconds(now - last_);
      where = stage_;
    }
    if (poll) last_ = now;
  }
  Clock::time_point last_ = Clock::now();
  std::string stage_ = "start";
};

void Material(Writer& w, int indent, const std::string& name) {
  w.Line(indent, "material " + name);
  w.Line(indent, "{");
  w.Line(indent + 1, "KdColor 0.8 0.6 0.5 1");
  w.Line(indent + 1, "textureMap \":Runtime:Textures:" + name + ".jpg\"");
  w.Line(indent, "}");
}

// A material as Poser writes one, every colour, number and map on its line:
// the size of block the tables are laid out for, against the two-line
// blocks above.
void FullMaterial(Writer& w, const std::string& name) {
  w.Line(1, "material " + name);
  w.Line(1, "{");
  for (const char* line : {"KdColor 0.8 0.6 0.5 1", "KaColor 0 0 0 1", "KsColor 1 1 1 1",
                           "TextureColor 1 1 1 1", "NsExponent 40", "tMin 0", "tMax 0", "tExpo 0.6",
                           "bumpStrength 1", "ksIgnoreTexture 0", "reflectThruLights 0", "reflectThruKd 0"})
    w.Line(2, line);
  w.Line(2, "textureMap \":Runtime:Textures:Vendor:Figure:" + name + "_Color.jpg\"");
  w.Line(2, "bumpMap \":Runtime:Textures:Vendor:Figure:" + name + "_Bump.bum\"");
  for (const char* line :
       {"reflectionMap NO_MAP", "transparencyMap NO_MAP", "ReflectionColor 1 1 1 1", "reflectionStrength 1"})
    w.Line(2, line);
  w.Line(1, "}");
}

// An object's channels block holding one morph.
void OneMorph(Writer& w, const std::string& name) {
  w.Line(1, "channels");
  w.Line(2, "{");
  vandrel::bench::WriteChannel(w, name, 10);
  w.Line(2, "}");
}

void FullMaterials(Writer& w, int n) {
  for (int m = 0; m < n; ++m) FullMaterial(w, "Skin" + std::to_string(m));
}

void FigureBlock(Writer& w, int materials) {
  w.Line(0, "figure");
  w.Line(1, "{");
  for (int m = 0; m < materials; ++m) Material(w, 1, "Skin" + std::to_string(m));
  w.Line(1, "}");
}

// Braceless header lines of `keyword` before the figure block.
void HeaderLines(Writer& w, const char* keyword, int n) {
  WriteHead(w);
  for (int i = 0; i < n; ++i) w.Line(0, std::string(keyword) + " p" + std::to_string(i));
  FigureBlock(w, 1);
  w.Line(0, "}");
}

// A character file whose braceless prop lines stand before its actors.
void CharacterHeaderLines(Writer& w, int n) {
  WriteHead(w);
  w.Line(0, "figureResFile :Runtime:Geometries:bench.obj");
  for (int i = 0; i < n; ++i) w.Line(0, "prop p" + std::to_string(i));
  w.Line(0, "actor BODY:1");
  w.Line(1, "{");
  w.Line(1, "setGeomHandlerOffset 0 0.3 0");
  w.Line(1, "}");
  w.Line(0, "figure");
  w.Line(1, "{");
  Material(w, 1, "Skin");
  w.Line(1, "figureType 1");
  w.Line(1, "displayMode USEPARENT");
  w.Line(1, "}");
  w.Line(0, "}");
}

void PropGroups(Writer& w, int n) {
  WriteHead(w);
  for (int i = 0; i < n; ++i) {
    w.Line(0, "prop ball" + std::to_string(i));
    w.Line(1, "{");
    Material(w, 1, "Ball" + std::to_string(i));
    w.Line(1, "}");
  }
  FigureBlock(w, 1);
  w.Line(0, "}");
}

void OwnMaterials(Writer& w, int n) {
  WriteHead(w);
  for (int i = 0; i < n; ++i) {
    w.Line(0, "actor part" + std::to_string(i) + ":1");
    w.Line(1, "{");
    w.Line(1, "channels");
    w.Line(2, "{");
    w.Line(2, "}");
    w.Line(1, "customMaterial 1");
    Material(w, 1, "Own" + std::to_string(i));
    w.Line(1, "}");
  }
  FigureBlock(w, 1);
  w.Line(0, "}");
}

void EmptyBlocks(Writer& w, int n) {
  WriteHead(w);
  for (int i = 0; i < n; ++i) {
    w.Line(0, "actor p" + std::to_string(i) + ":1");
    w.Line(1, "{");
    w.Line(1, "}");
  }
  FigureBlock(w, 1);
  w.Line(0, "}");
}

void ManyMaterials(Writer& w, int n) {
  WriteHead(w);
  FigureBlock(w, n);
  w.Line(0, "}");
}

// A prop file whose prop holds a channel and `n` full materials.
void PropWithFullMaterials(Writer& w, int n) {
  WriteHead(w);
  w.Line(0, "prop ball");
  w.Line(1, "{");
  w.Line(1, "storageOffset 0 0 0");
  w.Line(1, "}");
  w.Line(0, "prop ball");
  w.Line(1, "{");
  w.Line(1, "name Ball");
  OneMorph(w, "Squash");
  w.Line(1, "displayMode USEPARENT");
  FullMaterials(w, n);
  w.Line(1, "}");
  w.Line(0, "doc");
  w.Line(1, "{");
  w.Line(1, "addActor ball");
  w.Line(1, "}");
  w.Line(0, "}");
}

void ManyFullMaterials(Writer& w, int n, bool character = false) {
  WriteHead(w);
  if (character) {
    // A character whose body has a channel: the morph read and the chooser
    // go through the whole file.
    w.Line(0, "figureResFile :Runtime:Geometries:bench.obj");
    w.Line(0, "actor BODY:1");
    w.Line(1, "{");
    OneMorph(w, "Smile");
    w.Line(1, "setGeomHandlerOffset 0 0.3 0");
    w.Line(1, "}");
  }
  w.Line(0, "figure");
  w.Line(1, "{");
  if (character) {
    // Before the materials, where Poser writes them: the quick read of a
    // character reads from here on.
    w.Line(1, "figureType 1");
    w.Line(1, "displayMode USEPARENT");
  }
  FullMaterials(w, n);
  w.Line(1, "}");
  w.Line(0, "}");
}

// A figure's channels whose last deltas block never closes: the text runs to
// its end without a "}" after it.
void OpenDeltas(Writer& w, int megabytes) {
  WriteHead(w);
  w.Line(0, "figureResFile :Runtime:Geometries:bench.obj");
  w.Line(0, "actor BODY:1");
  w.Line(1, "{");
  w.Line(1, "channels");
  w.Line(2, "{");
  const std::size_t stop = static_cast<std::size_t>(megabytes) << 20;
  for (int c = 0; w.written() < stop; ++c) {
    w.Line(2, "targetGeom M" + std::to_string(c));
    w.Line(3, "{");
    w.Line(3, "deltas");
    w.Line(4, "{");
    for (int d = 0; d < 2000; ++d) w.Line(4, "d " + std::to_string(d) + " 0.00123 -0.00045 0.00067");
  }
}

// A text file with one NUL byte a megabyte in.
void NulInside(Writer& w, int megabytes) {
  WriteHead(w);
  const std::size_t stop = static_cast<std::size_t>(megabytes) << 20;
  for (int i = 0; w.written() < stop; ++i) {
    w.Line(0, "prop p" + std::to_string(i) + "                                                    ");
    if (i == 15000) w.Line(0, std::string(1, '\0'));
  }
}

enum class Path { SilentSave, Open, MorphRead, FigureChooser };

struct Shape {
  const char* name;
  const char* ext;
  Path path;
  int base;  // the one-time size: lines, groups, blocks, materials or megabytes
  std::function<void(Writer&, int)> write;
};

// The processor time of the process (its threads' together), which a machine
// busy with other work does not stretch as it does the clock.
double CpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Row {
  double seconds = 0;
  double cpuSeconds = 0;
  double peakMb = 0;
  double gap = 0;
  std::string where;
};

// Reads (and for "-s" saves) the file as the window or the command line does.
Row Run(const Shape& shape, const std::string& path) {
  vandrel::ResetModel();
  vandrel::bench::ResetPeak();
  const double before = PeakMegabytes();
  GapHost host;
  std::string failed;
  const Clock::time_point start = Clock::now();
  const double cpuStart = CpuSeconds();
  host.Start();
  if (shape.path == Path::MorphRead) {
    vandrel::MorphPoseReadOptions options;
    options.FileName = path;
    vandrel::ReadMorphPoseData(options, host);
    host.Stop();
  } else if (shape.path == Path::FigureChooser) {
    vandrel::FigureFile file;
    vandrel::ReadFigureFile(path, host, file);
    host.Stop();
  } else {
    vandrel::OpenFileOptions options;
    const std::string ext = shape.ext;
    options.fileType = ext == "cr2" ? vandrel::kCr2 : ext == "pp2" ? vandrel::kPp2 : vandrel::kPz2;
    options.path = path;
    vandrel::gState.LoadProps = options.fileType == vandrel::kCr2;
    vandrel::ChannelReadResult channels;
    if (shape.path == Path::SilentSave)
      options.objectPartReader = [&](std::string_view text, vandrel::Host& h) {
        channels = vandrel::ReadObjectPart(text, h);
      };
    const vandrel::OpenFileResult read = vandrel::ReadPoserFile(options, host);
    host.Stop();
    if (!read.ok) failed = read.errorDescription;
    if (shape.path == Path::SilentSave && read.ok) {
      vandrel::PoseWriteOptions save;
      save.OutputPath = path + ".out.pz2";
      save.NoChannels = read.channelsOff && !channels.ActorsListed;
      save.NoMaterials = read.noMaterialData;
      save.DisableThighLength = channels.DisableThighLength;
      save.RequiredVersion = vandrel::gState.RequiredVersion;
      if (!vandrel::WritePoseFile(save).Error.empty()) std::printf("  (the save failed)\n");
      std::filesystem::remove(save.OutputPath);
    }
  }
  Row row;
  row.seconds = Seconds(Clock::now() - start);
  row.cpuSeconds = CpuSeconds() - cpuStart;
  row.peakMb = PeakMegabytes() - before;
  row.gap = host.longest;
  row.where = host.where + (failed.empty() ? "" : " (read refused: " + failed + ")");
  vandrel::ResetModel();
  return row;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string only = argc > 1 ? argv[1] : "";
  const std::vector<Shape> shapes = {
      {"prop lines before the figure (-s)", "pz2", Path::SilentSave, 10000,
       [](Writer& w, int n) { HeaderLines(w, "prop", n); }},
      {"actor lines before the figure (-s)", "pz2", Path::SilentSave, 10000,
       [](Writer& w, int n) { HeaderLines(w, "actor", n); }},
      {"light lines before the figure (-s)", "pz2", Path::SilentSave, 10000,
       [](Writer& w, int n) { HeaderLines(w, "light", n); }},
      {"prop lines of a character (open)", "cr2", Path::Open, 10000, CharacterHeaderLines},
      {"prop material groups (-s)", "pz2", Path::SilentSave, 10000, PropGroups},
      {"actors with own materials (-s)", "pz2", Path::SilentSave, 3000, OwnMaterials},
      {"empty actor blocks (-s)", "pz2", Path::SilentSave, 100000, EmptyBlocks},
      {"materials of the figure (-s)", "pz2", Path::SilentSave, 100000, ManyMaterials},
      {"full materials of the figure (-s)", "pz2", Path::SilentSave, 20000,
       [](Writer& w, int n) { ManyFullMaterials(w, n); }},
      {"full materials of a character (morphs)", "cr2", Path::MorphRead, 20000,
       [](Writer& w, int n) { ManyFullMaterials(w, n, true); }},
      {"full materials of a character (chooser)", "cr2", Path::FigureChooser, 20000,
       [](Writer& w, int n) { ManyFullMaterials(w, n, true); }},
      {"full materials of a character (open)", "cr2", Path::Open, 20000,
       [](Writer& w, int n) { ManyFullMaterials(w, n, true); }},
      {"full materials of a prop (open)", "pp2", Path::Open, 20000, PropWithFullMaterials},
      {"full materials of a prop (morphs)", "pp2", Path::MorphRead, 20000, PropWithFullMaterials},
      {"deltas without a later } MB (morphs)", "pz2", Path::MorphRead, 20, OpenDeltas},
      {"deltas without a later } MB (chooser)", "cr2", Path::FigureChooser, 20, OpenDeltas},
      {"a NUL a megabyte in, MB (open)", "pz2", Path::Open, 30, NulInside},
  };
  std::printf("%-40s %5s %8s %8s %8s %8s %9s %7s  %s\n", "shape", "scale", "file MB", "wall s", "cpu s",
              "peak MB", "peak/file", "gap s", "10x / 1x (cpu time, memory); longest gap in");
  for (const Shape& shape : shapes) {
    if (!only.empty() && std::string(shape.name).find(only) == std::string::npos) continue;
    Row first;
    for (int scale : {1, 10}) {
      const std::string path = Folder() + "/shape." + shape.ext;
      {
        Writer w(path);
        shape.write(w, shape.base * scale);
      }
      const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
      const Row row = Run(shape, path);
      std::filesystem::remove(path);
      char ratio[64] = "";
      if (scale == 10 && first.cpuSeconds > 0)
        std::snprintf(ratio, sizeof ratio, "%.1fx, %.1fx", row.cpuSeconds / first.cpuSeconds,
                      first.peakMb > 1 ? row.peakMb / first.peakMb : 0.0);
      std::printf("%-40s %4dx %8.2f %8.3f %8.3f %8.1f %9.2f %7.3f  %-14s %s\n", shape.name, scale, fileMb,
                  row.seconds, row.cpuSeconds, row.peakMb, fileMb > 0 ? row.peakMb / fileMb : 0.0, row.gap,
                  ratio, row.where.c_str());
      std::fflush(stdout);
      if (scale == 1) first = row;
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(Folder(), ignored);
  return 0;
}
