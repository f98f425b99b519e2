// Reading the morph and pose data of large character files: generated .cr2
// files of 50, 100 and 200 MB whose morph channels carry deltas. Prints the
// time of each read, its ratio to one plain pass over the same bytes (read
// the file, count its line ends) in the same run, and the peak of heap
// memory during the read against the file's size.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>

#include "common/host.h"
#include "model/model.h"
#include "platform/files.h"
#include "reader/channel_reader.h"
#include "reader/channel_scan.h"
#include "reader/delta_removal.h"
#include "reader/morph_pose_file.h"

// Heap accounting: every allocation carries its size in a header.
namespace {
std::atomic<long long> gHeapNow{0};
std::atomic<long long> gHeapPeak{0};
constexpr std::size_t kHeader = 16;

void* Allocate(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  const long long now = gHeapNow += static_cast<long long>(size);
  long long peak = gHeapPeak.load();
  while (now > peak && !gHeapPeak.compare_exchange_weak(peak, now)) {
  }
  return static_cast<char*>(block) + kHeader;
}

void Release(void* p) {
  if (p == nullptr) return;
  void* block = static_cast<char*>(p) - kHeader;
  gHeapNow -= static_cast<long long>(*static_cast<std::size_t*>(block));
  std::free(block);
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kEol = "\r\n";

std::string Folder() {
  const auto dir = std::filesystem::temp_directory_path() / "vandrel_channel_bench";
  std::filesystem::create_directories(dir);
  return dir.string();
}

// One actor of the channel section: 40 morph channels with deltas of about
// 50 KB each, a few transforms and the actor's tail. About 2 MB.
void AppendActor(std::string& out, int index) {
  const std::string name = "act" + std::to_string(index) + ":1";
  auto line = [&](int tabs, const std::string& text) {
    out.append(static_cast<std::size_t>(tabs), '\t');
    out += text;
    out += kEol;
  };
  line(0, "actor " + name);
  line(1, "{");
  line(1, "name " + name);
  line(1, "on");
  line(1, "bend 1");
  line(1, "channels");
  line(2, "{");
  for (int c = 0; c < 40; ++c) {
    const std::string morph = "PBM" + std::to_string(c);
    line(2, "targetGeom " + morph);
    line(3, "{");
    line(3, "name " + morph);
    line(3, "initValue 0");
    line(3, "hidden  0");
    line(3, "keys");
    line(4, "{");
    line(4, "static  0");
    line(4, "k  0  0." + std::to_string(c % 10 + 1));
    line(4, "}");
    line(3, "indexes 1600");
    line(3, "numbDeltas 5000");
    line(3, "deltas");
    line(4, "{");
    for (int d = 0; d < 1350; ++d) line(4, "d " + std::to_string(d * 3) + " 0.00125 -0.00250 0.00375");
    line(4, "}");
    line(3, "blendType 0");
    line(3, "}");
  }
  for (const char* axis : {"rotateX xrot", "rotateY yrot", "rotateZ zrot", "translateX xtran"}) {
    line(2, axis);
    line(3, "{");
    line(3, "keys");
    line(4, "{");
    line(4, "static  0");
    line(4, "k  0  1.5");
    line(4, "}");
    line(3, "}");
  }
  line(2, "}");
  line(1, "endPoint 0 0.1 0");
  line(1, "locked 0");
  line(1, "doShadow 1");
  line(1, "}");
}

// A character file of about `megabytes` MB: geometry section, channel
// section and the figure block with its materials.
std::string Generate(int megabytes) {
  const std::string path = Folder() + "/gen_" + std::to_string(megabytes) + ".cr2";
  if (std::filesystem::exists(path)) return path;
  const int actors = megabytes / 2;
  std::string out =
      std::string("{") + kEol + "version" + kEol + "\t{" + kEol + "\tnumber 4.01" + kEol + "\t}" + kEol;
  out += std::string("figureResFile :Runtime:Geometries:gen.obj") + kEol;
  for (int i = 0; i < actors; ++i)
    out += "actor act" + std::to_string(i) + ":1" + kEol + "\t{" + kEol + "\tstorageOffset 0 0 0" + kEol +
           "\t}" + kEol;
  out += std::string("figureResFile :Runtime:Geometries:gen.obj") + kEol;
  for (int i = 0; i < actors; ++i) AppendActor(out, i);
  out += std::string("figure") + kEol + "\t{" + kEol + "\troot act0:1" + kEol;
  for (int m = 0; m < 20; ++m)
    out += "\tmaterial Mat" + std::to_string(m) + kEol + "\t\t{" + kEol + "\t\tKdColor 1 1 1 1" + kEol +
           "\t\t}" + kEol;
  out += std::string("\t}") + kEol + "}" + kEol;
  std::ofstream(path, std::ios::binary).write(out.data(), static_cast<std::streamsize>(out.size()));
  return path;
}

// One plain pass: read the file and count its line ends.
double PlainPass(const std::string& path) {
  const auto t0 = Clock::now();
  const auto bytes = vandrel::ReadWholeFile(path);
  const long long lines = bytes ? std::count(bytes->begin(), bytes->end(), '\n') : 0;
  benchmark::DoNotOptimize(lines);
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

struct Row {
  double size = 0, plain = 0, strip = 0, channels = 0, read = 0, peak = 0;
};
std::map<int, Row> gRows;

void BM_MorphPoseRead(benchmark::State& state) {
  const int megabytes = static_cast<int>(state.range(0));
  const std::string path = Generate(megabytes);
  const double size = static_cast<double>(std::filesystem::file_size(path));
  vandrel::QuietHost host;
  double best = 1e9;
  double peak = 0;
  for (auto _ : state) {
    vandrel::ResetModel();
    vandrel::MorphPoseReadOptions options;
    options.FileName = path;
    gHeapPeak = gHeapNow.load();
    const long long base = gHeapNow.load();
    const auto t0 = Clock::now();
    const auto result = vandrel::ReadMorphPoseData(options, host);
    const double t = std::chrono::duration<double>(Clock::now() - t0).count();
    best = std::min(best, t);
    peak = std::max(peak, static_cast<double>(gHeapPeak.load() - base));
    if (result.Outcome != vandrel::MorphPoseOutcome::Read ||
        vandrel::gActors.size() != static_cast<std::size_t>(megabytes / 2))
      state.SkipWithError("the generated file was not read whole");
  }
  double plain = 1e9;
  for (int i = 0; i < 3; ++i) plain = std::min(plain, PlainPass(path));
  // The delta removal alone, on the file's text in memory.
  // and the channel part's cut and read on the stripped text.
  double strip = 1e9;
  double channels = 1e9;
  {
    const std::string text = *vandrel::ReadWholeFile(path);
    for (int i = 0; i < 2; ++i) {
      std::string copy = text;
      const auto t0 = Clock::now();
      if (!vandrel::StripDeltas(copy, host)) state.SkipWithError("the delta removal was cancelled");
      const auto t1 = Clock::now();
      vandrel::ResetModel();
      vandrel::MorphPoseReadOptions given;
      given.FileName = path;
      given.Text = std::move(copy);
      vandrel::ReadMorphPoseData(given, host);
      const auto t2 = Clock::now();
      strip = std::min(strip, std::chrono::duration<double>(t1 - t0).count());
      channels = std::min(channels, std::chrono::duration<double>(t2 - t1).count());
    }
  }
  state.counters["MB"] = size / 1e6;
  state.counters["read_s"] = best;
  state.counters["plain_s"] = plain;
  state.counters["ratio"] = best / plain;
  state.counters["strip_s"] = strip;
  state.counters["channels_s"] = channels;
  state.counters["peak_x_file"] = peak / size;
  gRows[megabytes] = Row{size, plain, strip, channels, best, peak};
}

BENCHMARK(BM_MorphPoseRead)->Arg(50)->Arg(100)->Arg(200)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\n%8s %10s %10s %8s %10s %12s %10s %10s\n", "MB", "read s", "plain s", "ratio", "strip s",
              "channels s", "peak MB", "peak/file");
  for (const auto& [mb, r] : gRows)
    std::printf("%8.1f %10.3f %10.3f %8.2f %10.3f %12.3f %10.1f %10.2f\n", r.size / 1e6, r.read, r.plain,
                r.read / r.plain, r.strip, r.channels, r.peak / 1e6, r.peak / r.size);
  return 0;
}
