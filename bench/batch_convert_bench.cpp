// The batch converter's run over 1,000 pose files of about 20 KB, each saved
// as a Poser 5 copy, through the converter window and the main window as a
// user runs it (offscreen). Prints the whole run, the first and the last
// hundred files, the resident memory as the run goes, and the ratio to one
// plain pass over the same bytes (read each file and count its line ends).
#include <fcntl.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mainwindow/batch_document.h"
#include "mainwindow/frm_main.h"
#include "model/model.h"
#include "platform/program_folder.h"
#include "platform/scripted_ui.h"
#include "tools/qt/frm_batch_converter.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A pose of about 20 KB: a figure with 42 fully set materials, an actor with
// channels and a prop.
std::string PoseText(int n) {
  std::string t =
      "{\r\nversion\r\n\t{\r\n\tnumber 4.01\r\n\t}\r\nactor BODY:1\r\n\t{\r\n\tchannels\r\n\t\t{\r\n";
  for (int c = 0; c < 12; ++c)
    t += "\t\ttargetGeom Morph" + std::to_string(c) + "\r\n\t\t\t{\r\n\t\t\tname Morph " + std::to_string(c) +
         "\r\n\t\t\tkeys\r\n\t\t\t\t{\r\n\t\t\t\tk 0 0." + std::to_string(n % 10) +
         "\r\n\t\t\t\t}\r\n\t\t\t}\r\n";
  t += "\t\t}\r\n\t}\r\nfigure\r\n\t{\r\n";
  for (int m = 0; m < 42; ++m) {
    t += "\tmaterial Mat" + std::to_string(m) +
         "\r\n\t\t{\r\n\t\tKdColor 1 0.8 0.7 1\r\n\t\tKaColor 0 0 0 1\r\n\t\tKsColor 1 1 1 1\r\n"
         "\t\tTextureColor 1 1 1 1\r\n\t\tNsExponent 40\r\n\t\ttMin 0\r\n\t\ttMax 0\r\n\t\ttExpo 0.6\r\n"
         "\t\tbumpStrength 1\r\n\t\tksIgnoreTexture 0\r\n\t\treflectThruLights 1\r\n\t\treflectThruKd 0\r\n"
         "\t\ttextureMap \":Runtime:Textures:Bench:skin" +
         std::to_string(m) +
         ".jpg\"\r\n"
         "\t\tbumpMap \":Runtime:Textures:Bench:bump" +
         std::to_string(m) +
         ".bum\"\r\n"
         "\t\treflectionMap NO_MAP\r\n\t\ttransparencyMap NO_MAP\r\n\t\tReflectionColor 1 1 1 1\r\n"
         "\t\treflectionStrength 1\r\n\t\t}\r\n";
  }
  t += "\t}\r\n}\r\n";
  return t;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

// The progress window of the run: the time and memory as each file ends.
struct Marks {
  std::vector<Clock::time_point> done;
  std::vector<long> rss;
};

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(200, std::atoi(argv[1])) : 1000;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const fs::path dir = fs::temp_directory_path() / ("vandrel-batch-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir / "home");
  vandrel::SetProgramFolder((dir / "home").string());
  std::vector<std::string> paths;
  std::size_t bytes = 0;
  for (int i = 0; i < count; ++i) {
    const std::string path = (dir / ("pose" + std::to_string(i) + ".pz2")).string();
    const std::string text = PoseText(i);
    std::ofstream(path, std::ios::binary) << text;
    bytes += text.size();
    paths.push_back(path);
  }

  // One plain pass: read every file and count its line ends.
  const auto plainStart = Clock::now();
  std::size_t lines = 0;
  for (const std::string& path : paths) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (char c : text) lines += c == '\n';
  }
  const double plain = std::chrono::duration<double>(Clock::now() - plainStart).count();

  vandrel::ScriptedUi ui;  // the one message at the end is answered with OK
  vandrel::SetUi(&ui);
  vandrel::ResetModel();
  Marks marks;
  {
    vandrel::FrmMain window;
    vandrel::ConnectBatchConverter(window, [&marks](QWidget*) -> std::unique_ptr<vandrel::Host> {
      struct Recorder : vandrel::QuietHost {
        explicit Recorder(Marks& m) : m(m) {}
        void SetValue(long long value) override {
          if (value == 0) return;
          m.done.push_back(Clock::now());
          m.rss.push_back(ResidentKb());
        }
        Marks& m;
      };
      return std::make_unique<Recorder>(marks);
    });
    window.mnuBatchConvert->trigger();
    auto* converter = window.findChild<vandrel::FrmBatchConverter*>("frmBatchConverter");
    converter->ListView1_OLEDragDrop(paths);
    converter->Command3->click();
    converter->Option[2]->click();  // every file: a copy in Poser 5 format
    const auto start = Clock::now();
    converter->Command4->click();
    const double run = std::chrono::duration<double>(Clock::now() - start).count();
    if (static_cast<int>(marks.done.size()) != count) {
      std::fprintf(stderr, "only %zu of %d files were converted\n", marks.done.size(), count);
      return 1;
    }
    auto span = [&](int from, int to) {
      const Clock::time_point begin = from == 0 ? start : marks.done[static_cast<std::size_t>(from - 1)];
      return std::chrono::duration<double>(marks.done[static_cast<std::size_t>(to - 1)] - begin).count();
    };
    const double first = span(0, 100), last = span(count - 100, count);
    std::printf("%d pose files, %.1f KB each, saved as Poser 5 copies through the converter window\n", count,
                bytes / 1024.0 / count);
    std::printf("whole run:        %.2f s (target under 15 s for 1,000 files)\n", run);
    std::printf("first 100 files:  %.3f s\n", first);
    std::printf("last 100 files:   %.3f s  (%.2f times the first hundred; target at most 1.2)\n", last,
                last / first);
    std::printf("resident memory:  %ld KB after 100 files, %ld KB after %d files\n", marks.rss[99],
                marks.rss.back(), count);
    std::printf("plain pass:       %.3f s over the same %zu lines; run / plain pass = %.1f\n", plain, lines,
                run / plain);
  }
  vandrel::SetUi(nullptr);
  fs::remove_all(dir);
  return 0;
}
