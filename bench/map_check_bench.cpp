// The map check through the main window (offscreen) on a pose file of
// 2,000 materials whose texture maps have moved to another folder below
// the texture folder: each is found through the folder scan's cache and,
// with the main window's thumbnails on, gets its thumbnail. The maps are
// real 1024 x 1024 JPEG pictures, generated here. Prints, each the best of
// three runs: the check with the thumbnails off and on and their ratio
// (target: at most 1.5), the longest the window went without its event loop
// running during the check, and how long after the check the last
// thumbnail was in the list.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "mainwindow/frm_main.h"
#include "mainwindow/materials_pane.h"
#include "maps/poser_paths.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/program_folder.h"
#include "platform/scripted_ui.h"

using namespace vandrel;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kRoot = (fs::temp_directory_path() / "vandrel-map-check-bench").string();
constexpr int kMaps = 2000;
constexpr int kPictures = 40;  // distinct pictures, copied under the 2,000 names
constexpr int kSide = 1024;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string MapPath(int i) { return kRoot + "/Poser/Runtime/Textures/New/Map" + std::to_string(i) + ".jpg"; }

// Skin-like pictures: smooth gradients with some detail, each its own.
void WriteMaps() {
  fs::create_directories(kRoot + "/Poser/Runtime/Textures/New");
  if (fs::exists(MapPath(kMaps - 1))) return;
  for (int p = 0; p < kPictures; ++p) {
    QImage image(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < kSide; ++x)
        line[x] = qRgb((x / 4 + p * 5) & 0xFF, (y / 4 + (x * y >> 14)) & 0xFF,
                       ((x + y) / 8 + p * 11 + (x % 7) * 3) & 0xFF);
    }
    image.save(QString::fromStdString(MapPath(p)), "JPEG", 85);
  }
  for (int i = kPictures; i < kMaps; ++i) fs::copy_file(MapPath(i % kPictures), MapPath(i));
}

std::string WritePose() {
  std::string text = "{\r\nversion\r\n\t{\r\n\tnumber 4.01\r\n\t}\r\nfigure\r\n\t{\r\n";
  for (int i = 0; i < kMaps; ++i)
    text += "\tmaterial M" + std::to_string(i) +
            "\r\n\t\t{\r\n\t\tKdColor 1 1 1 1\r\n\t\ttextureMap \":Runtime:Textures:Old:Map" +
            std::to_string(i) + ".jpg\"\r\n\t\t}\r\n";
  text += "\t}\r\n}\r\n";
  const std::string path = kRoot + "/Moved.pz2";
  WriteFileAtomic(path, text);
  return path;
}

struct Run {
  double check = 0;        // the check itself
  double longestGap = 0;   // the longest time without an event-loop turn during it
  double lastArrival = 0;  // from the check's end until the last thumbnail is in
  std::size_t thumbnails = 0;
};

Run CheckOnce(FrmMain& window, const std::string& pose, bool thumbs) {
  ResetModel();
  gSettings.Poser = kRoot + "/Poser";
  gSettings.MainThumb = thumbs;
  gSettings.AutoCorrect = false;
  window.Form_OLEDragDrop(pose);  // read as it is; the check is timed alone
  gSettings.AutoCorrect = true;

  Run run;
  QElapsedTimer sinceTurn;
  bool checking = true;
  QTimer turns;
  turns.setInterval(0);
  QObject::connect(&turns, &QTimer::timeout, [&] {
    if (checking) run.longestGap = std::max(run.longestGap, sinceTurn.nsecsElapsed() / 1e9);
    sinceTurn.restart();
  });
  turns.start();
  sinceTurn.start();
  const Clock::time_point start = Clock::now();
  window.materials->CheckMapReferences();
  run.check = Seconds(start);
  run.longestGap = std::max(run.longestGap, sinceTurn.nsecsElapsed() / 1e9);
  checking = false;
  const Clock::time_point ended = Clock::now();
  QElapsedTimer timeout;
  timeout.start();
  while (ThumbnailPending(MapPath(kMaps - 1)) && timeout.elapsed() < 600000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  FinishPendingThumbnails();
  run.lastArrival = Seconds(ended);
  run.thumbnails = ImageList1(0).Count() - kStockPictureCount;
  if (PoserPathToFilePath(gObjects[0].Materials[kMaps - 1].TextureMap.str()) != MapPath(kMaps - 1))
    std::printf("map not found: %s\n", gObjects[0].Materials[kMaps - 1].TextureMap.data());
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  fs::remove_all(kRoot + "/home");
  fs::create_directories(kRoot + "/home");
  SetProgramFolder(kRoot + "/home");
  std::printf("writing %d maps of %d x %d...\n", kMaps, kSide, kSide);
  std::fflush(stdout);
  WriteMaps();
  const std::string pose = WritePose();
  ScopedScriptedUi ui;
  FrmMain window;
  window.show();
  CheckOnce(window, pose, false);  // the scan, then the cache serves every run
  Run off, on;
  off.check = on.check = 1e9;
  for (int i = 0; i < 3; ++i) {
    if (const Run r = CheckOnce(window, pose, false); r.check < off.check) off = r;
    if (const Run r = CheckOnce(window, pose, true); r.check < on.check) on = r;
  }
  const double ratio = on.check / off.check;
  std::printf(
      "map check of %d references to %d x %d JPEG maps: thumbnails off %.3f s, on %.3f s, ratio %.2f "
      "(target at most 1.50: %s)\n",
      kMaps, kSide, kSide, off.check, on.check, ratio, ratio <= 1.5 ? "ok" : "SLOW");
  std::printf("longest time without an event-loop turn during the check: off %.1f ms, on %.1f ms\n",
              off.longestGap * 1000, on.longestGap * 1000);
  std::printf("thumbnails on: %zu made, the last one in the list %.2f s after the check ended\n",
              on.thumbnails, on.lastArrival);
  SetProgramFolder("");
  return 0;
}
