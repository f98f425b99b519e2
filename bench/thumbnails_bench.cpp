// Map thumbnails and colon paths at load time. Prints:
//  - what 20 distinct 4096 x 4096 JPEG maps add to the load of a pose file
//    that names them, with MainThumb on against off, beside one plain pass
//    over the maps' bytes;
//  - one colon-path lookup in a texture folder of 5,000 entries in mixed
//    case: the first one of an operation and the average of the later ones.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/host.h"
#include "maps/poser_paths.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/path_case.h"
#include "reader/material_parser.h"
#include "reader/poser_file_reader.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

const std::string kRoot = (fs::temp_directory_path() / "vandrel-thumbnails-bench").string();
constexpr int kMaps = 20;
constexpr int kSide = 4096;

std::string MapPath(int i) {
  return kRoot + "/Poser/Runtime/Textures/Bench/Map" + std::to_string(i) + ".jpg";
}

// Twenty different pictures with detail everywhere (gradients and lines), as skin maps have.
void WriteMaps() {
  fs::create_directories(kRoot + "/Poser/Runtime/Textures/Bench");
  for (int i = 0; i < kMaps; ++i) {
    if (fs::exists(MapPath(i))) continue;
    QImage image(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < kSide; ++x)
        line[x] = qRgb((x * 7 + i * 13) & 0xFF, (y * 5 + x / 3) & 0xFF, ((x ^ y) + i * 31) & 0xFF);
    }
    image.save(QString::fromStdString(MapPath(i)), "JPEG", 80);
  }
}

std::string WritePose() {
  std::string text = "{\r\nversion\r\n\t{\r\n\tnumber 4.01\r\n\t}\r\nfigure\r\n\t{\r\n";
  for (int i = 0; i < kMaps; ++i)
    text += "\tmaterial M" + std::to_string(i) +
            "\r\n\t\t{\r\n\t\tKdColor 1 1 1 1\r\n\t\ttextureMap \":Runtime:Textures:bench:map" +
            std::to_string(i) + ".JPG\"\r\n\t\t}\r\n";
  text += "\t}\r\n}\r\n";
  const std::string path = kRoot + "/Maps.pz2";
  vandrel::WriteFileAtomic(path, text);
  return path;
}

double gCpuSeconds = 0;  // processor time of the last load, all threads

double LoadSeconds(const std::string& pose, bool thumbs) {
  vandrel::ResetModel();
  vandrel::gSettings.Poser = kRoot + "/Poser";
  vandrel::gSettings.MainThumb = thumbs;
  vandrel::CutMainThumbnailsToStock();
  vandrel::QuietHost host;
  vandrel::OpenFileOptions options;
  options.fileType = vandrel::kPz2;
  options.path = pose;
  const auto start = Clock::now();
  const std::clock_t cpu = std::clock();
  const auto result = vandrel::ReadPoserFile(options, host);
  vandrel::FinishPendingThumbnails();
  const double s = Seconds(start);
  gCpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
  if (!result.ok) std::printf("load failed\n");
  return s;
}

double PlainPassSeconds() {
  const auto start = Clock::now();
  std::size_t sum = 0;
  for (int i = 0; i < kMaps; ++i) sum += vandrel::ReadWholeFile(MapPath(i)).value_or("").size();
  const double s = Seconds(start);
  if (sum == 0) std::printf("no maps read\n");
  return s;
}

void Thumbnails() {
  WriteMaps();
  const std::string pose = WritePose();
  vandrel::SetMaterialMapHook(vandrel::LoadMapReferenceThumbnail);
  const double plain = PlainPassSeconds();  // also brings the maps into the cache
  double off = 1e9, on = 1e9, cpu = 0;
  for (int run = 0; run < 3; ++run) {
    off = std::min(off, LoadSeconds(pose, false));
    if (const double s = LoadSeconds(pose, true); s < on) on = s, cpu = gCpuSeconds;
  }
  const std::size_t loaded = vandrel::ImageList1(0).Count() - vandrel::kStockPictureCount;
  std::printf(
      "%d JPEG maps %dx%d: load %.3f s without thumbnails, %.3f s with (%zu loaded): adds %.3f s; "
      "processor time %.3f s on %d worker threads; plain pass over the maps %.3f s, ratio %.2f\n",
      kMaps, kSide, kSide, off, on, loaded, on - off, cpu, std::max(1, QThread::idealThreadCount() - 1),
      plain, (on - off) / plain);
}

void ColonLookups() {
  const std::string folder = kRoot + "/Poser/Runtime/Textures/Many";
  if (!fs::exists(folder + "/Map4999.JPG")) {
    fs::create_directories(folder);
    for (int i = 0; i < 5000; ++i) std::ofstream(folder + "/Map" + std::to_string(i) + ".JPG") << "x";
  }
  vandrel::gSettings.Poser = kRoot + "/Poser";
  vandrel::ScopedFolderListings listings;
  auto start = Clock::now();
  const std::string first = vandrel::PoserPathToFilePath(":runtime:textures:many:map0.jpg");
  const double firstMs = Seconds(start) * 1000;
  constexpr int kLookups = 20000;
  std::size_t found = 0, stats = 0;
  start = Clock::now();
  for (int i = 0; i < kLookups; ++i)
    found += vandrel::FileExists(
        vandrel::PoserPathToFilePath(":RUNTIME:textures:MANY:map" + std::to_string(i % 5000) + ".jpg"));
  const double eachMs = Seconds(start) * 1000 / kLookups;
  // The plain pass: one stat of each file by its stored name.
  start = Clock::now();
  for (int i = 0; i < kLookups; ++i)
    stats += vandrel::FileExists(folder + "/Map" + std::to_string(i % 5000) + ".JPG");
  const double statMs = Seconds(start) * 1000 / kLookups;
  std::printf(
      "colon path in a folder of 5000 entries: first %.3f ms, then %.4f ms each (%zu found); "
      "a stat by stored name %.4f ms, ratio %.1f\n",
      firstMs, eachMs, found, statMs, eachMs / statMs);
  if (first.empty() || stats != found) std::printf("lookups failed\n");
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  Thumbnails();
  ColonLookups();
  return 0;
}
