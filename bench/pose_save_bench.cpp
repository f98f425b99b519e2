// What "vandrel -s" does with a pose file, without the program's start: read
// the whole file (materials and the object part with every channel) and
// write its material pose. Generated pose files of 25 to 400 MB with 80
// actors of 200 channels (their deltas fill the size) and 40 materials; of
// 25 to 400 MB of actors with 200 short channels each; of 16,000 props, and
// of 16,000 materials (of the figure or of an actor) that share one "}"; and
// the adversarial shapes at one and ten times their size.
// Each is printed with its ratio to one plain pass over the same bytes (read
// and count line ends) in the same run, and the most memory the case added
// to the process at any time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "common/host.h"
#include "model/model.h"
#include "reader/channel_reader.h"
#include "reader/poser_file_reader.h"
#include "writer/pose_writer.h"

namespace {

using vandrel::bench::PeakMegabytes;
using vandrel::bench::PlainPassSeconds;
using vandrel::bench::Seconds;
using vandrel::bench::WriteHead;
using vandrel::bench::Writer;

const std::string& Folder() {
  static const std::string folder = vandrel::bench::BenchFolder("pose-bench");
  return folder;
}

void Material(Writer& w, const std::string& name, bool close) {
  w.Line(1, "material " + name);
  w.Line(1, "{");
  w.Line(2, "KdColor 0.8 0.6 0.5 1");
  w.Line(2, "KsColor 1 1 1 1");
  w.Line(2, "NsExponent 40");
  w.Line(2, "textureMap \":Runtime:Textures:Bench:" + name + ".jpg\"");
  w.Line(3, "0 0");
  if (close) w.Line(1, "}");
}

// Actors of 200 channels each and then 40 figure materials. With
// `perChannel` set, 80 actors whose channels' deltas fill that many bytes
// each; without, short channels (about 126 bytes: 790,000 channels in
// 100 MB) in as many actors as fill `target` bytes.
void WriteActors(const std::string& path, std::size_t target, std::size_t perChannel) {
  Writer w(path);
  WriteHead(w);
  for (int a = 0; perChannel != 0 ? a < 80 : w.written() < target; ++a) {
    w.Line(0, "actor part" + std::to_string(a) + ":1");
    w.Line(1, "{");
    w.Line(1, "name Part " + std::to_string(a));
    w.Line(1, "channels");
    w.Line(2, "{");
    for (int c = 0; c < 200; ++c) {
      const std::size_t stop = w.written() + perChannel;
      w.Line(2, "targetGeom Morph" + std::to_string(c) + (c % 2 ? "Open" : ""));
      w.Line(3, "{");
      w.Line(3, "name Morph " + std::to_string(c));
      w.Line(3, "hidden 0");
      w.Line(3, "keys");
      w.Line(4, "{");
      w.Line(4, "static 0");
      w.Line(4, "k  0  0.25");
      w.Line(4, "}");
      if (perChannel != 0) {
        w.Line(3, "deltas");
        w.Line(4, "{");
        for (int d = 0; w.written() < stop; ++d)
          w.Line(4, "d " + std::to_string(d) + " 0.00123 -0.00045 0.00067");
        w.Line(4, "}");
      }
      w.Line(3, "}");
    }
    w.Line(2, "}");
    w.Line(1, "}");
  }
  w.Line(0, "figure");
  w.Line(1, "{");
  for (int m = 0; m < 40; ++m) Material(w, "Skin" + std::to_string(m), true);
  w.Line(1, "}");
  w.Line(0, "}");
}

// 16,000 props with a channel each, and the figure's materials.
void WriteProps(const std::string& path, int props) {
  Writer w(path);
  WriteHead(w);
  for (int p = 0; p < props; ++p) {
    w.Line(0, "prop ball" + std::to_string(p));
    w.Line(1, "{");
    w.Line(1, "channels");
    w.Line(2, "{");
    w.Line(2, "scale scale");
    w.Line(3, "{");
    w.Line(3, "keys");
    w.Line(4, "{");
    w.Line(4, "k  0  1");
    w.Line(4, "}");
    w.Line(3, "}");
    w.Line(2, "}");
    w.Line(1, "}");
  }
  w.Line(0, "figure");
  w.Line(1, "{");
  Material(w, "Skin", true);
  w.Line(1, "}");
  w.Line(0, "}");
}

// A figure whose materials have no "}" of their own: all end at the one "}"
// after the last of them.
void WriteSharedBrace(const std::string& path, int materials) {
  Writer w(path);
  WriteHead(w);
  w.Line(0, "figure");
  w.Line(1, "{");
  for (int m = 0; m < materials; ++m) Material(w, "Skin" + std::to_string(m), false);
  w.Line(1, "}");
  w.Line(1, "}");
  w.Line(0, "}");
}

// The same for the own materials of an actor.
void WriteSharedBraceOwn(const std::string& path, int materials) {
  Writer w(path);
  WriteHead(w);
  w.Line(0, "actor BODY:1");
  w.Line(1, "{");
  w.Line(1, "channels");
  w.Line(2, "{");
  w.Line(2, "}");
  w.Line(1, "customMaterial " + std::to_string(materials));
  for (int m = 0; m < materials; ++m) Material(w, "Own" + std::to_string(m), false);
  w.Line(1, "}");
  w.Line(1, "}");
  w.Line(0, "figure");
  w.Line(1, "{");
  Material(w, "Skin", true);
  w.Line(1, "}");
  w.Line(0, "}");
}

// Inputs shaped to make a reader go back over text it has passed: object
// header lines without any brace, channel lines run together on one line, and
// empty actor blocks, each at `scale` times a base size (scale 10 gives 40,000
// header lines, 2.6 MB of channels, 300,000 blocks).
void WriteAdversarial(const std::string& path, int shape, int scale) {
  Writer w(path);
  WriteHead(w);
  if (shape == 0) {
    for (int i = 0; i < 4000 * scale; ++i) w.Line(0, "actor a" + std::to_string(i));
  } else if (shape == 1) {
    w.Line(0, "actor BODY:1");
    w.Line(1, "{");
    w.Line(1, "channels");
    w.Line(2, "{");
    std::string line;
    for (int c = 0; c < 4000 * scale; ++c)
      line += "targetGeom M" + std::to_string(c) + " { name M" + std::to_string(c) + " keys { k  0  0.5 } } ";
    w.Line(2, line);
    w.Line(2, "}");
    w.Line(1, "}");
  } else {
    for (int i = 0; i < 30000 * scale; ++i) {
      w.Line(0, "actor p" + std::to_string(i) + ":1");
      w.Line(1, "{");
      w.Line(1, "}");
    }
  }
  w.Line(0, "}");
}

// Reads the pose file whole and writes its material pose beside it; the
// seconds each read and save took.
double ReadAndSave(benchmark::State& state, const std::string& path, const char* what) {
  const double plain = PlainPassSeconds(path);
  const std::string out = path + ".out.pz2";
  vandrel::ResetModel();
  vandrel::bench::ResetPeak();
  // What earlier cases left in the process (the allocator keeps some of
  // what they freed): the case's own peak is what it adds to this.
  const double before = PeakMegabytes();
  double total = 0;
  std::size_t actors = 0, materials = 0;
  for (auto _ : state) {
    vandrel::ResetModel();
    vandrel::QuietHost host;
    vandrel::OpenFileOptions options;
    options.fileType = vandrel::kPz2;
    options.path = path;
    vandrel::ChannelReadResult channels;
    options.objectPartReader = [&](std::string_view text, vandrel::Host& h) {
      channels = vandrel::ReadObjectPart(text, h);
    };
    const auto start = std::chrono::steady_clock::now();
    const vandrel::OpenFileResult read = vandrel::ReadPoserFile(options, host);
    vandrel::PoseWriteOptions save;
    save.OutputPath = out;
    save.NoChannels = read.channelsOff && !channels.ActorsListed;
    save.NoMaterials = read.noMaterialData;
    save.DisableThighLength = channels.DisableThighLength;
    save.RequiredVersion = vandrel::gState.RequiredVersion;
    const vandrel::PoseWriteResult written = vandrel::WritePoseFile(save);
    total += Seconds(std::chrono::steady_clock::now() - start);
    if (!read.ok || !written.Error.empty()) state.SkipWithError("the read or the write failed");
    actors = vandrel::gActors.size();
    materials = vandrel::gObjects.empty() ? 0 : vandrel::gObjects[0].Materials.size();
  }
  const double each = total / static_cast<double>(state.iterations());
  const double mb = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
  state.counters["ratio"] = each / plain;
  const double added = PeakMegabytes() - before;
  std::printf(
      "%-22s %6.1f MB  read+save %.3f s  plain pass %.3f s  ratio %6.2f  peak +%.0f MB (%.2fx the file)  "
      "(%zu objects, %zu materials)\n",
      what, mb, each, plain, each / plain, added, added / mb, actors, materials);
  std::filesystem::remove(out);
  vandrel::ResetModel();
  return each;
}

// Each adversarial shape at one and ten times its base size; the second
// prints its time as a multiple of the first's (linear reading gives about 10).
void BM_Adversarial(benchmark::State& state) {
  static double base[3] = {};
  const int shape = static_cast<int>(state.range(0)), scale = static_cast<int>(state.range(1));
  static const char* const names[] = {"header lines", "one-line channels", "empty blocks"};
  const std::string path =
      Folder() + "/adversarial" + std::to_string(shape) + "-" + std::to_string(scale) + ".pz2";
  if (!std::filesystem::exists(path)) WriteAdversarial(path, shape, scale);
  const std::string what = std::string(names[shape]) + " x" + std::to_string(scale);
  const double each = ReadAndSave(state, path, what.c_str());
  if (scale == 1)
    base[shape] = each;
  else if (base[shape] > 0)
    std::printf("%-22s 10x the input took %.1fx the time\n", names[shape], each / base[shape]);
  std::filesystem::remove(path);
}

void BM_PoseFile(benchmark::State& state) {
  const std::size_t mb = static_cast<std::size_t>(state.range(0));
  const std::string path = Folder() + "/pose" + std::to_string(mb) + ".pz2";
  if (!std::filesystem::exists(path)) WriteActors(path, mb << 20, (mb << 20) / (80 * 200));
  ReadAndSave(state, path, "80 x 200 channels");
  std::filesystem::remove(path);
}

void BM_ManyChannels(benchmark::State& state) {
  const std::size_t mb = static_cast<std::size_t>(state.range(0));
  const std::string path = Folder() + "/many" + std::to_string(mb) + ".pz2";
  if (!std::filesystem::exists(path)) WriteActors(path, mb << 20, 0);
  ReadAndSave(state, path, "200 short channels");
  std::filesystem::remove(path);
}

void BM_Props(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string path = Folder() + "/props" + std::to_string(n) + ".pz2";
  if (!std::filesystem::exists(path)) WriteProps(path, n);
  ReadAndSave(state, path, ("props " + std::to_string(n)).c_str());
}

void BM_SharedBrace(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string path = Folder() + "/brace" + std::to_string(n) + ".pz2";
  if (!std::filesystem::exists(path)) WriteSharedBrace(path, n);
  ReadAndSave(state, path, ("one \"}\" materials " + std::to_string(n)).c_str());
}

void BM_SharedBraceOwn(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string path = Folder() + "/own" + std::to_string(n) + ".pz2";
  if (!std::filesystem::exists(path)) WriteSharedBraceOwn(path, n);
  ReadAndSave(state, path, ("one \"}\" own materials " + std::to_string(n)).c_str());
}

BENCHMARK(BM_Adversarial)
    ->Args({0, 1})
    ->Args({0, 10})
    ->Args({1, 1})
    ->Args({1, 10})
    ->Args({2, 1})
    ->Args({2, 10})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SharedBraceOwn)->Arg(1000)->Arg(4000)->Arg(16000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Props)->Arg(1000)->Arg(4000)->Arg(16000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SharedBrace)->Arg(1000)->Arg(4000)->Arg(16000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PoseFile)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyChannels)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove_all(Folder(), ignored);
  return 0;
}
