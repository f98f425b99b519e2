// Finding maps in a large texture library. A generator writes 100,000
// picture files in 5,000 folders (100 top folders of 50 each, 20 pictures a
// folder). Printed: the scan of the whole tree with the save of the five
// cache files (warm), against one plain walk listing the same folders; the
// shortest gap between the scan's progress updates and the longest between
// its cancel polls; and the repair of 500 materials x 4 missing maps that the cache
// files know (as in a new run: the in-memory lists empty, no scan), against
// one plain read of the cache files.
#include <dirent.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/host.h"
#include "maps/map_cache.h"
#include "maps/map_search.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/program_folder.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using namespace vandrel;

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

const char* const kExtensions[] = {"jpg", "tif", "bmp", "bum", "png"};

std::string PictureName(int folder, int n) {
  return "Pic" + std::to_string(folder) + "_" + std::to_string(n) + "." + kExtensions[n % 5];
}

void Generate(const std::string& root) {
  for (int top = 0; top < 100; ++top)
    for (int sub = 0; sub < 50; ++sub) {
      const int folder = top * 50 + sub;
      const std::string dir = root + "/Set" + std::to_string(top) + "/Skin" + std::to_string(sub);
      fs::create_directories(dir);
      for (int n = 0; n < 20; ++n)
        std::fclose(std::fopen((dir + "/" + PictureName(folder, n)).c_str(), "wb"));
    }
}

// Records the gaps between progress updates and between cancel polls.
class TimingHost : public QuietHost {
 public:
  void SetItem(const std::string&) override {
    const auto now = Clock::now();
    if (lastItem != Clock::time_point{}) minItemGap = std::min(minItemGap, Ms(lastItem, now));
    lastItem = now;
  }
  bool CancelRequested() override {
    Gap(lastPoll, maxPollGap);
    return false;
  }
  double minItemGap = 1e9, maxPollGap = 0;

 private:
  static void Gap(Clock::time_point& last, double& max) {
    const auto now = Clock::now();
    if (last != Clock::time_point{}) max = std::max(max, Ms(last, now));
    last = now;
  }
  Clock::time_point lastItem{}, lastPoll{};
};

std::size_t PlainWalk(const std::string& folder) {
  std::size_t count = 0;
  if (DIR* dir = ::opendir(folder.c_str())) {
    std::vector<std::string> subs;
    while (const dirent* e = ::readdir(dir)) {
      if (e->d_name[0] == '.') continue;
      if (e->d_type == DT_DIR)
        subs.push_back(folder + "/" + e->d_name);
      else
        ++count;
    }
    ::closedir(dir);
    for (const std::string& s : subs) count += PlainWalk(s);
  }
  return count;
}

}  // namespace

int main() {
  const std::string base = (fs::temp_directory_path() / "vandrel-map-bench").string();
  fs::remove_all(base);
  const std::string poser = base + "/Poser";
  const std::string textures = poser + "/Runtime/Textures";
  Generate(textures);
  SetProgramFolder(base + "/program");
  fs::create_directories(base + "/program");

  // Scan and save, warm: the second of two runs.
  double scanMs = 0, walkMs = 0;
  TimingHost timing;
  for (int run = 0; run < 2; ++run) {
    ResetModel();
    TimingHost host;
    const auto t0 = Clock::now();
    ScanFolder(textures, host);
    SaveMapCache(host);
    const auto t1 = Clock::now();
    const std::size_t files = PlainWalk(textures);
    const auto t2 = Clock::now();
    scanMs = Ms(t0, t1);
    walkMs = Ms(t1, t2);
    timing = host;
    if (files != 100000) std::printf("walk found %zu files\n", files);
  }
  std::size_t listed = gMapLists.JpgFiles.size() + gMapLists.TifFiles.size() + gMapLists.BmpFiles.size() +
                       gMapLists.BumFiles.size() + gMapLists.OtherFiles.size();
  std::printf(
      "scan + cache save of %zu pictures in 5,000 folders: %.1f ms (plain walk %.1f ms, ratio %.2f)\n",
      listed, scanMs, walkMs, scanMs / walkMs);
  std::printf("shortest gap between progress updates %.1f ms, longest gap between cancel polls %.1f ms\n",
              timing.minItemGap, timing.maxPollGap);

  // The check of 500 materials x 4 maps named on another drive, found in the cache files.
  ResetModel();
  gSettings.Poser = poser;
  const auto check = [&](const char* what) {
    gMapLists = MapListsRec{{{}}, {{}}, {{}}, {{}}, {{}}};
    std::vector<std::string> maps;
    for (int i = 0; i < 2000; ++i) {
      const int folder = (i * 37) % 5000, n = (i * 7) % 20;
      maps.push_back("D:\\Other\\Textures\\" + PictureName(folder, n));
    }
    std::vector<std::string*> fields;
    for (std::string& m : maps) fields.push_back(&m);
    QuietHost quiet;
    MapSearchHooks hooks;
    const auto t0 = Clock::now();
    const FixOutcome outcome = FixMapReferences(fields, quiet, hooks);
    const auto t1 = Clock::now();
    std::size_t bytes = 0;
    for (MapKind kind : {MapKind::Bmp, MapKind::Bum, MapKind::Jpg, MapKind::Tif, MapKind::Other})
      bytes += ReadWholeFile(CacheFilePath(kind)).value_or("").size();
    const auto t2 = Clock::now();
    int found = 0;
    for (const std::string& m : maps) found += m.rfind(":Runtime:Textures:", 0) == 0;
    std::printf(
        "map check of 500 materials x 4 maps against a 100,000-entry cache, %s: %.1f ms, %d of %d found, "
        "%s (plain read of %zu cache bytes %.1f ms, ratio %.2f)\n",
        what, Ms(t0, t1), found, outcome.processed, outcome.endedEarly ? "ended early" : "no scan", bytes,
        Ms(t1, t2), Ms(t0, t1) / Ms(t1, t2));
  };
  check("cache files read and indexed");
  check("index kept");
  fs::remove_all(base);
  return 0;
}
