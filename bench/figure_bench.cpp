// The figure chooser on a large character file: a generated .cr2 of about
// 100 MB with 20 figures (each with its geometry actors, its channels with
// deltas and its materials). Prints the time to list the figures and the
// time to cut and read the chosen one, each with its ratio to one plain pass
// over the same bytes in the same run, and the peak memory against the
// file's size.
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
#include "reader/morph_pose_file.h"
#include "reader/poser_file_reader.h"
#include "tools/figure_file.h"

namespace {

constexpr int kFigures = 20;
constexpr int kActors = 30;

// Appends CR LF lines to a file through a buffer of about a megabyte.
class LineFile {
 public:
  explicit LineFile(const std::string& path) : out_(std::fopen(path.c_str(), "wb")) {}
  ~LineFile() {
    Drain();
    std::fclose(out_);
  }
  LineFile& operator()(int tabs, const std::string& text) {
    pending_.append(static_cast<std::size_t>(tabs), '\t').append(text).append("\r\n");
    if (pending_.size() >= (1u << 20)) Drain();
    return *this;
  }
  std::size_t size() const { return done_ + pending_.size(); }

 private:
  void Drain() {
    std::fwrite(pending_.data(), 1, pending_.size(), out_);
    done_ += pending_.size();
    pending_.clear();
  }
  std::FILE* out_;
  std::string pending_;
  std::size_t done_ = 0;
};

std::string Actor(int figure, int actor) {
  return actor == 0 ? "BODY:" + std::to_string(figure + 1)
                    : "limb" + std::to_string(actor) + ":" + std::to_string(figure + 1);
}

void SecondPart(LineFile& f, int figure, std::size_t stop) {
  f(0, "figureResFile :Runtime:Geometries:Bench:fig" + std::to_string(figure) + ".obj");
  for (int a = 0; a < kActors; ++a) {
    f(0, "actor " + Actor(figure, a))(1, "{")(1, "name Limb " + std::to_string(a))(1, "channels")(2, "{");
    const std::size_t actorStop =
        f.size() + (stop - std::min(stop, f.size())) / static_cast<std::size_t>(kActors - a);
    for (int c = 0; f.size() < actorStop; ++c) {
      const std::string morph = "Morph" + std::to_string(c);
      f(2, "targetGeom " + morph)(3, "{")(3, "name " + morph)(3, "keys")(4, "{")(4, "k  0  0.25")(4, "}");
      f(3, "deltas")(4, "{");
      for (int d = 0; d < 20; ++d) f(4, "d " + std::to_string(d * 3) + " 0.00123 -0.00045 0.00067");
      f(4, "}")(3, "}");
    }
    f(2, "}")(1, "setGeomHandlerOffset 0 0.1 0")(1, "}");
  }
  f(0, "figure")(1, "{")(1, "name    Figure " + std::to_string(figure + 1))(
      1, "root BODY:" + std::to_string(figure + 1));
  f(1, "figureType 1");
  for (int m = 0; m < 40; ++m) {
    f(1, "material Mat" + std::to_string(m))(2, "{")(2, "KdColor 0.8 0.6 0.5 1")(2, "KsColor 1 1 1 1");
    f(2, "NsExponent 30")(2, "textureMap :Runtime:Textures:Bench:mat" + std::to_string(m) + ".jpg")(3, "0 0");
    f(2, "}");
  }
  f(1, "}");
}

void WriteFigures(const std::string& path, std::size_t target) {
  LineFile f(path);
  f(0, "{")(0, "version")(1, "{")(1, "number 4.01")(1, "}");
  for (int figure = 0; figure < kFigures; ++figure) {
    f(0, "figureResFile :Runtime:Geometries:Bench:fig" + std::to_string(figure) + ".obj");
    for (int a = 0; a < kActors; ++a)
      f(0, "actor " + Actor(figure, a))(1, "{")(1, "storageOffset 0 0.2 0")(1, "}");
  }
  const std::size_t share = (target - f.size()) / kFigures;
  for (int figure = 0; figure < kFigures; ++figure) SecondPart(f, figure, f.size() + share);
  f(0, "}");
}

using vandrel::bench::PeakMegabytes;
using vandrel::bench::PlainPassSeconds;
using vandrel::bench::Seconds;

void BM_ChooseFigure(benchmark::State& state) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("vandrel-figure-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "figures.cr2").string();
  WriteFigures(path, std::size_t(state.range(0)) << 20);
  const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
  const double plain = PlainPassSeconds(path);
  const double before = PeakMegabytes();
  vandrel::QuietHost host;
  double list = 0, read = 0;
  std::size_t figures = 0, materials = 0, dials = 0;
  for (auto _ : state) {
    vandrel::ResetModel();
    vandrel::FigureFile file;
    auto start = std::chrono::steady_clock::now();
    if (vandrel::ReadFigureFile(path, host, file) != vandrel::FigureListOutcome::Listed)
      state.SkipWithError("not listed");
    list += Seconds(std::chrono::steady_clock::now() - start);
    figures = file.Figures.size();
    start = std::chrono::steady_clock::now();
    vandrel::OpenFileOptions options;
    options.fileType = vandrel::kCr2;
    options.path = path;
    const std::string text = vandrel::CutFigure(file, figures / 2);
    options.text = text;
    file = vandrel::FigureFile{};
    const vandrel::OpenFileResult result = vandrel::ReadPoserFile(options, host);
    if (!result.ok) state.SkipWithError(result.errorReport.c_str());
    materials = vandrel::gObjects[0].Materials.size();
    // Its morph and pose data from the same text, as after a Yes to the question.
    vandrel::MorphPoseReadOptions channels;
    channels.FileName = path;
    channels.Text = *options.text;
    if (vandrel::ReadMorphPoseData(channels, host).Outcome != vandrel::MorphPoseOutcome::Read)
      state.SkipWithError("no channels");
    read += Seconds(std::chrono::steady_clock::now() - start);
    dials = 0;
    for (const vandrel::ActorRec& a : vandrel::gActors) dials += a.Dials.size();
  }
  const double n = static_cast<double>(state.iterations());
  const double peak = PeakMegabytes();
  state.counters["list_s"] = list / n;
  state.counters["read_s"] = read / n;
  state.counters["plain_s"] = plain;
  state.counters["peak_MB"] = peak;
  std::printf(
      "cr2 %.0f MB, %zu figures: list %.3f s (ratio %.2f)  read figure %zu (%zu materials, %zu channels): "
      "%.3f s "
      "(ratio %.2f)  "
      "peak %.0f MB = %.2f x file (%.0f MB before)\n",
      fileMb, figures, list / n, list / n / plain, figures / 2 + 1, materials, dials, read / n,
      read / n / plain, peak, peak / fileMb, before);
  vandrel::ResetModel();
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

BENCHMARK(BM_ChooseFigure)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
