// Opening large character files for their materials, with and without their
// props. A generator writes .cr2 files of 25, 50 and 100 MB (geometry,
// thousands of channels with deltas, props with materials, the figure's
// materials at the end). Each open is printed with its ratio to one plain
// pass over the same bytes (read and count line ends) and the peak memory.
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
#include "reader/poser_file_reader.h"

namespace {

using vandrel::kCr2;

using vandrel::bench::PeakMegabytes;
using vandrel::bench::PlainPassSeconds;
using vandrel::bench::Seconds;
using vandrel::bench::WriteChannel;
using vandrel::bench::WriteHead;
using vandrel::bench::Writer;

void WriteMaterial(Writer& w, int indent, const std::string& name, int n) {
  w.Line(indent, "material " + name);
  w.Line(indent, "{");
  w.Line(indent + 1, "KdColor 0." + std::to_string(100 + n) + " 0.5 0.25 1");
  w.Line(indent + 1, "KaColor 0 0 0 1");
  w.Line(indent + 1, "KsColor 1 1 1 1");
  w.Line(indent + 1, "TextureColor 1 1 1 1");
  w.Line(indent + 1, "NsExponent 40");
  w.Line(indent + 1, "tMin 0");
  w.Line(indent + 1, "tMax 0");
  w.Line(indent + 1, "tExpo 0.6");
  w.Line(indent + 1, "bumpStrength 1");
  w.Line(indent + 1, "ksIgnoreTexture 0");
  w.Line(indent + 1, "reflectThruLights 0");
  w.Line(indent + 1, "reflectThruKd 0");
  w.Line(indent + 1, "textureMap \":Runtime:Textures:Bench:" + name + " texture.jpg\"");
  w.Line(indent + 2, "0 0");
  w.Line(indent + 1, "bumpMap :Runtime:Textures:Bench:" + name + ".bum");
  w.Line(indent + 2, "0 0");
  w.Line(indent + 1, "reflectionMap NO_MAP");
  w.Line(indent + 1, "transparencyMap NO_MAP");
  w.Line(indent + 1, "ReflectionColor 1 1 1 1");
  w.Line(indent + 1, "reflectionStrength 1");
  w.Line(indent, "}");
}

// A character file of about `target` bytes with two props.
void WriteCharacter(const std::string& path, std::size_t target) {
  Writer w(path);
  WriteHead(w);
  w.Line(0, "figureResFile :Runtime:Geometries:Bench:bench.obj");
  constexpr int kActors = 60;
  for (int a = 0; a < kActors; ++a) {
    w.Line(0, a == 0 ? "actor BODY:1" : "actor part" + std::to_string(a) + ":1");
    w.Line(1, "{");
    w.Line(1, "storageOffset 0 0.3487 0");
    w.Line(1, "geomHandlerGeom 13 part" + std::to_string(a));
    w.Line(1, "}");
  }
  // The props' geometry, inline: about a twentieth of the file.
  for (const char* prop : {"prop hat_2", "prop hat"}) {
    w.Line(0, prop);
    w.Line(1, "{");
    w.Line(1, "storageOffset 0 0 0");
    w.Line(1, "geometry");
    w.Line(2, "{");
    const std::size_t stop = w.written() + target / 40;
    for (int v = 0; w.written() < stop; ++v)
      w.Line(2, v % 3 ? "v 0.0123 0.4567 -0.0089"
                      : "f " + std::to_string(v) + " " + std::to_string(v + 1) + " 3");
    w.Line(2, "}");
    w.Line(1, "}");
  }
  // The actors with their channels and deltas fill the file up to its tail.
  const std::size_t body = target - std::min<std::size_t>(target, 60000);
  int channel = 0;
  for (int a = 0; a < kActors || w.written() < body; ++a) {
    w.Line(0, a % kActors == 0 ? "actor BODY:1" : "actor part" + std::to_string(a % kActors) + ":1");
    w.Line(1, "{");
    w.Line(1, "name Part " + std::to_string(a));
    w.Line(1, "on");
    w.Line(1, "bend 1");
    w.Line(1, "channels");
    w.Line(2, "{");
    const std::size_t stop = std::min(body, w.written() + body / 200);
    do {
      WriteChannel(w, "Morph" + std::to_string(channel++), 40);
    } while (w.written() < stop);
    w.Line(2, "}");
    w.Line(1, "displayMode USEPARENT");
    w.Line(1, "customMaterial 0");
    w.Line(1, "setGeomHandlerOffset 0 0.3 0");
    w.Line(1, "}");
    if (a >= kActors && w.written() >= body) break;
  }
  int material = 0;
  for (const char* prop : {"prop hat_2", "prop hat"}) {
    w.Line(0, prop);
    w.Line(1, "{");
    w.Line(1, "name Hat");
    w.Line(1, "channels");
    w.Line(2, "{");
    WriteChannel(w, "HatMorph", 5);
    w.Line(2, "}");
    w.Line(1, "displayMode USEPARENT");
    for (int m = 0; m < 4; ++m) WriteMaterial(w, 1, "Hat" + std::to_string(material++), m);
    w.Line(1, "}");
  }
  w.Line(0, "figure");
  w.Line(1, "{");
  w.Line(1, "name Bench Figure");
  w.Line(1, "root BODY:1");
  for (int a = 1; a < kActors; ++a) w.Line(1, "addChild part" + std::to_string(a) + ":1 BODY:1");
  w.Line(1, "figureType 1");
  for (int m = 0; w.written() < target - 100; ++m) WriteMaterial(w, 1, "Skin" + std::to_string(m), m);
  w.Line(1, "}");
  w.Line(0, "}");
}

// A pose file of about `target` bytes: actors with channels and deltas, then
// the figure's materials.
void WritePose(const std::string& path, std::size_t target) {
  Writer w(path);
  WriteHead(w);
  const std::size_t body = target - std::min<std::size_t>(target, 60000);
  int channel = 0;
  for (int a = 0; w.written() < body; ++a) {
    w.Line(0, "actor part" + std::to_string(a) + ":1");
    w.Line(1, "{");
    w.Line(1, "channels");
    w.Line(2, "{");
    const std::size_t stop = std::min(body, w.written() + body / 100);
    do {
      WriteChannel(w, "Morph" + std::to_string(channel++), 40);
    } while (w.written() < stop);
    w.Line(2, "}");
    w.Line(1, "}");
  }
  w.Line(0, "figure");
  w.Line(1, "{");
  for (int m = 0; w.written() < target - 100; ++m) WriteMaterial(w, 1, "Skin" + std::to_string(m), m);
  w.Line(1, "}");
  w.Line(0, "}");
}

const std::string& Folder() {
  static const std::string folder = vandrel::bench::BenchFolder("reader-bench");
  return folder;
}

std::string FileOfSize(std::size_t megabytes, int type = kCr2) {
  const std::string& folder = Folder();
  const std::string path = folder + "/bench" + std::to_string(megabytes) + (type == kCr2 ? ".cr2" : ".pz2");
  if (!std::filesystem::exists(path)) {
    if (type == kCr2)
      WriteCharacter(path, megabytes << 20);
    else
      WritePose(path, megabytes << 20);
  }
  return path;
}

void OpenFile(benchmark::State& state, int type) {
  const std::size_t megabytes = static_cast<std::size_t>(state.range(0));
  const bool props = state.range(1) != 0;
  const std::string path = FileOfSize(megabytes, type);
  const double plain = PlainPassSeconds(path);  // also warms the cache
  vandrel::QuietHost host;
  vandrel::OpenFileOptions options;
  options.fileType = type;
  options.path = path;
  double total = 0;
  std::size_t groups = 0;
  for (auto _ : state) {
    vandrel::ResetModel();
    vandrel::gState.LoadProps = props;
    const auto start = std::chrono::steady_clock::now();
    const vandrel::OpenFileResult result = vandrel::ReadPoserFile(options, host);
    total += Seconds(std::chrono::steady_clock::now() - start);
    if (!result.ok) state.SkipWithError(result.errorReport.c_str());
    groups = vandrel::gObjects.size();
  }
  const double each = total / static_cast<double>(state.iterations());
  const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
  state.counters["file_MB"] = fileMb;
  state.counters["open_s"] = each;
  state.counters["plain_s"] = plain;
  state.counters["ratio"] = each / plain;
  state.counters["peak_MB"] = PeakMegabytes();
  state.counters["groups"] = static_cast<double>(groups);
  std::printf("%s %3zu MB %-13s open %.3f s  plain pass %.3f s  ratio %.2f  peak %.0f MB (file %.0f MB)\n",
              type == kCr2 ? "cr2" : "pz2", megabytes,
              type != kCr2 ? "whole"
              : props      ? "with props"
                           : "without props",
              each, plain, each / plain, PeakMegabytes(), fileMb);
  vandrel::ResetModel();
}

void BM_OpenCharacter(benchmark::State& state) { OpenFile(state, kCr2); }
// For comparison: a pose file is read whole (its channels are not read here).
void BM_OpenPose(benchmark::State& state) { OpenFile(state, vandrel::kPz2); }

// Sizes in increasing order, so that the peak memory printed after each
// belongs to the largest file read so far.
BENCHMARK(BM_OpenCharacter)
    ->ArgsProduct({{25, 50, 100}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_OpenPose)->Args({100, 0})->Unit(benchmark::kMillisecond)->Iterations(3);

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
