// The tools' core on large inputs: reading a 1 MB selection template of
// 10,000 groups, choosing a group of 2,500 members in a list of 5,000
// materials, and the statistics of a figure the size of the 100 MB
// benchmark character. Each figure is printed with its ratio to one plain
// pass over the same bytes in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "model/model.h"
#include "tools/file_statistics.h"
#include "tools/selection_templates.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// One plain pass: count the line ends of the bytes.
double PlainPass(const std::string& bytes) {
  const auto start = Clock::now();
  benchmark::DoNotOptimize(std::count(bytes.begin(), bytes.end(), '\n'));
  return Seconds(Clock::now() - start);
}

template <typename F>
double Best(F f) {
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
    const auto start = Clock::now();
    f();
    best = std::min(best, Seconds(Clock::now() - start));
  }
  return best;
}

std::string BigTemplate() {
  vandrel::SelectionTemplate t;
  for (int g = 0; g < 10000; ++g) {
    vandrel::SelectionGroup group{"Group number " + std::to_string(g), {}};
    for (int m = 0; m < 7; ++m)
      group.Members.push_back("material_" + std::to_string(g) + "_" + std::to_string(m));
    t.Groups.push_back(std::move(group));
  }
  return vandrel::FormatTemplate(t);
}

// Tables about as large as those of the 100 MB benchmark character: 80
// actors of 410 channels, 400 groups of 12 materials with their maps.
void FillBigFigure() {
  using namespace vandrel;
  ResetModel();
  gObjects.clear();
  gObjectList.clear();
  for (int g = 0; g < 400; ++g) {
    ObjectRec group;
    group.Name = g < 320 ? "prop Prop_" + std::to_string(g) : "act" + std::to_string(g) + ":1";
    for (int m = 0; m < 12; ++m) {
      MaterialRec mat;
      mat.Name = "mat" + std::to_string(m);
      mat.TextureMap = ":Runtime:Textures:tex" + std::to_string((g * 12 + m) % 900) + ".jpg";
      mat.BumpMap = m % 2 ? "NO_MAP" : ":Runtime:Textures:bump" + std::to_string(g) + ".jpg";
      group.Materials.Edit().push_back(std::move(mat));
    }
    gObjectList.push_back(g < 320 ? group.Name : "actor " + group.Name);
    gObjects.push_back(std::move(group));
  }
  gActors.clear();
  for (int a = 0; a < 80; ++a) {
    ActorRec actor;
    actor.Name = "act" + std::to_string(a + 320) + ":1";
    for (int c = 0; c < 410; ++c) {
      DialRec d;
      d.Name = "PBMChannel" + std::to_string(c);
      d.ChannelType = c % 3 == 0 ? "targetGeom" : c % 3 == 1 ? "valueParm" : "rotateX";
      actor.Dials.push_back(std::move(d));
    }
    gActors.push_back(std::move(actor));
  }
}

// The bytes the statistics look at.
std::string FigureBytes() {
  using namespace vandrel;
  std::string bytes;
  for (const ObjectRec& o : gObjects) {
    bytes += o.Name + "\n";
    for (const MaterialRec& m : o.Materials)
      bytes += m.TextureMap + "\n" + m.BumpMap + "\n" + m.ReflectionMap + "\n" + m.TransparencyMap + "\n";
  }
  for (const ActorRec& a : gActors) {
    bytes += a.Name + "\n";
    for (const DialRec& d : a.Dials) bytes += d.ChannelType + "\n";
  }
  return bytes;
}

void BM_ParseTemplate(benchmark::State& state) {
  const std::string text = BigTemplate();
  for (auto _ : state) {
    vandrel::SelectionTemplate t;
    benchmark::DoNotOptimize(vandrel::ParseTemplate(text, t));
  }
}
BENCHMARK(BM_ParseTemplate)->Unit(benchmark::kMillisecond);

void BM_CollectFileInfo(benchmark::State& state) {
  FillBigFigure();
  for (auto _ : state) vandrel::CollectFileInfo();
}
BENCHMARK(BM_CollectFileInfo)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();

  const std::string text = BigTemplate();
  const double parse = Best([&] {
    vandrel::SelectionTemplate t;
    vandrel::ParseTemplate(text, t);
  });
  std::printf(
      "\ntemplate of %zu bytes, 10000 groups: parse %.4f s, plain pass %.5f s, ratio %.1f (target 0.05 s)\n",
      text.size(), parse, PlainPass(text), parse / PlainPass(text));

  vandrel::SelectionGroup group{"half", {}};
  std::vector<std::string> rows;
  std::string rowBytes;
  for (int i = 0; i < 5000; ++i) {
    rows.push_back("material number " + std::to_string(i));
    rowBytes += rows.back() + "\n";
    if (i % 2 == 0) group.Members.push_back(rows.back());
  }
  const double select = Best([&] { benchmark::DoNotOptimize(vandrel::GroupSelection(group, rows)); });
  std::printf("group of 2500 members in 5000 rows: %.5f s, plain pass %.6f s, ratio %.1f\n", select,
              PlainPass(rowBytes), select / PlainPass(rowBytes));

  FillBigFigure();
  const std::string figure = FigureBytes();
  const double stats = Best([] { vandrel::CollectFileInfo(); });
  std::printf(
      "statistics of %zu groups, %zu actors (%zu bytes looked at): %.4f s, plain pass %.5f s, ratio %.1f "
      "(target 0.01 s)\n",
      vandrel::gObjects.size(), vandrel::gActors.size(), figure.size(), stats, PlainPass(figure),
      stats / PlainPass(figure));
  return 0;
}
