// The windows during long work on a large character file: a generated .cr2
// (200 MB by default, the first argument in MB) of one figure whose morphs
// carry deltas, opened through the real main window, offscreen.
//
// Printed, each beside one plain pass over the same bytes:
// - File > Open with "Yes" to the morph question: the longest gap between
//   two turns of the event loop, how soon the progress window was painted
//   after each time it was shown and the longest gap between its paints
//   while it was up;
// - the same with Esc pressed at several moments of the morph read: the
//   time from Esc to the end of the read;
// - the time to reach the morph question through File > Open and through
//   the command line (the figure chooser), and their ratio: within this run
//   (best of three, taking turns) and each in a new run of its own (median
//   of three), each timed from the start of the main window.
// A second argument "question" runs only the last part.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/frm_please_wait.h"
#include "app/start.h"
#include "bench_support.h"
#include "mainwindow/frm_main.h"
#include "model/model.h"
#include "platform/program_folder.h"
#include "platform/scripted_ui.h"

namespace {

using Clock = std::chrono::steady_clock;
using vandrel::bench::Seconds;
using vandrel::bench::WriteChannel;
using vandrel::bench::WriteHead;
using vandrel::bench::Writer;

constexpr int kActors = 30;
constexpr const char* kMorphQuestionStart = "Do you want to load morph and pose data also?";

std::string Actor(int a) { return a == 0 ? "BODY:1" : "limb" + std::to_string(a) + ":1"; }

// One figure: the first part, then each actor with morphs of 200 deltas
// until the file reaches `megabytes`, then the figure block.
void WriteCharacter(const std::string& path, std::size_t megabytes) {
  Writer f(path);
  WriteHead(f);
  f.Line(0, "figureResFile :Runtime:Geometries:Bench:big.obj");
  for (int a = 0; a < kActors; ++a) {
    f.Line(0, "actor " + Actor(a));
    f.Line(1, "{");
    f.Line(1, "storageOffset 0 0.2 0");
    f.Line(1, "}");
  }
  f.Line(0, "figureResFile :Runtime:Geometries:Bench:big.obj");
  const std::size_t target = megabytes << 20;
  for (int a = 0; a < kActors; ++a) {
    f.Line(0, "actor " + Actor(a));
    f.Line(1, "{");
    f.Line(1, "name Limb " + std::to_string(a));
    f.Line(1, "channels");
    f.Line(2, "{");
    const std::size_t stop =
        f.written() + (target - std::min(target, f.written())) / std::size_t(kActors - a);
    for (int c = 0; f.written() < stop; ++c) {
      WriteChannel(f, "Morph" + std::to_string(c), 200);
    }
    f.Line(2, "}");
    f.Line(1, "setGeomHandlerOffset 0 0.1 0");
    f.Line(1, "}");
  }
  f.Line(0, "figure");
  f.Line(1, "{");
  f.Line(1, "name    Figure 1");
  f.Line(1, "root BODY:1");
  f.Line(1, "figureType 1");
  for (int m = 0; m < 40; ++m) {
    f.Line(1, "material Mat" + std::to_string(m));
    f.Line(2, "{");
    f.Line(2, "KdColor 0.8 0.6 0.5 1");
    f.Line(2, "KsColor 1 1 1 1");
    f.Line(2, "NsExponent 30");
    f.Line(2, "}");
  }
  f.Line(1, "}");
  f.Line(0, "}");
}

double Since(Clock::time_point from, Clock::time_point to) { return Seconds(to - from); }

// Watches the event loop and the progress window for one operation: the
// turns of the event loop (a timer of 1 ms), the shows, hides and paints of
// the progress window, and the morph question.
class Watch : public QObject {
 public:
  Watch() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Turn(); });
    qApp->installEventFilter(this);
  }
  ~Watch() override { qApp->removeEventFilter(this); }

  void Start() {
    start_ = lastTurn_ = Clock::now();
    maxTurnGap_ = maxWaitGap_ = maxPaintGap_ = maxFirstPaint_ = 0;
    shown_ = false;
    escAt_ = hiddenAfterEsc_ = question_ = Clock::time_point{};
    timer_.start();
  }
  void Stop() {
    Turn();
    timer_.stop();
    end_ = Clock::now();
  }
  // Posts Esc to the progress window this long after the morph question.
  void EscAfterQuestion(double seconds) { escDelay_ = seconds; }
  void Question() { question_ = Clock::now(); }

  double total() const { return Since(start_, end_); }
  double maxTurnGap() const { return maxTurnGap_; }
  // The same while the progress window was up.
  double maxWaitGap() const { return maxWaitGap_; }
  // The progress window's stage text when its longest gap ended.
  const char* gapStage() const { return gapStage_.c_str(); }
  double maxPaintGap() const { return maxPaintGap_; }
  double maxFirstPaint() const { return maxFirstPaint_; }
  double toQuestion() const { return question_ == Clock::time_point{} ? -1 : Since(start_, question_); }
  double escToEnd() const {
    return escAt_ == Clock::time_point{} || hiddenAfterEsc_ == Clock::time_point{}
               ? -1
               : Since(escAt_, hiddenAfterEsc_);
  }
  bool escSent() const { return escAt_ != Clock::time_point{}; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window()->objectName() != "frmPleaseWait") return false;
    const auto now = Clock::now();
    if (widget->isWindow() && event->type() == QEvent::Show) {
      shown_ = true;
      shownAt_ = lastPaint_ = now;
      firstPaintPending_ = true;
    } else if (widget->isWindow() && event->type() == QEvent::Hide) {
      if (shown_) maxPaintGap_ = std::max(maxPaintGap_, Since(lastPaint_, now));
      shown_ = false;
      if (escSent() && hiddenAfterEsc_ == Clock::time_point{}) hiddenAfterEsc_ = now;
    } else if (event->type() == QEvent::Paint && shown_) {
      if (firstPaintPending_) maxFirstPaint_ = std::max(maxFirstPaint_, Since(shownAt_, now));
      firstPaintPending_ = false;
      maxPaintGap_ = std::max(maxPaintGap_, Since(lastPaint_, now));
      lastPaint_ = now;
    }
    return false;
  }

 private:
  void Turn() {
    const auto now = Clock::now();
    vandrel::FrmPleaseWait* wait = vandrel::LoadedPleaseWait();
    const bool waiting = wait && !wait->isHidden();
    if (waiting && Since(lastTurn_, now) > maxWaitGap_) {
      maxWaitGap_ = Since(lastTurn_, now);
      gapStage_ = wait->lblPleaseWait->text().toStdString();
    }
    maxTurnGap_ = std::max(maxTurnGap_, Since(lastTurn_, now));
    lastTurn_ = now;
    // With VANDREL_BENCH_PICTURES set to a folder, the windows as they are
    // drawn a moment into the morph read are saved there.
    if (!pictured_ && question_ != Clock::time_point{} && Since(question_, now) >= 0.15 && waiting &&
        !qEnvironmentVariableIsEmpty("VANDREL_BENCH_PICTURES")) {
      pictured_ = true;
      const QString folder = qEnvironmentVariable("VANDREL_BENCH_PICTURES");
      wait->grab().save(folder + "/progress.png");
      if (QWidget* main = wait->parentWidget()) main->grab().save(folder + "/main.png");
    }
    if (escDelay_ >= 0 && question_ != Clock::time_point{} && escAt_ == Clock::time_point{} &&
        Since(question_, now) >= escDelay_) {
      if (vandrel::FrmPleaseWait* wait = vandrel::LoadedPleaseWait()) {
        escAt_ = now;
        QApplication::postEvent(wait, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
      }
    }
  }

  QTimer timer_;
  Clock::time_point start_, end_, lastTurn_, shownAt_, lastPaint_, question_, escAt_, hiddenAfterEsc_;
  double maxTurnGap_ = 0, maxWaitGap_ = 0, maxPaintGap_ = 0, maxFirstPaint_ = 0, escDelay_ = -1;
  bool shown_ = false, firstPaintPending_ = false, pictured_ = false;
  std::string gapStage_;
};

// The scripted answers, with the moment of the morph question noted.
class TimedUi : public vandrel::ScriptedUi {
 public:
  Watch* watch = nullptr;
  vandrel::MsgResult morphAnswer = vandrel::MsgResult::Yes;
  vandrel::MsgResult MessageBox(const std::string& text, const std::string& title,
                                vandrel::MsgButtons buttons, vandrel::MsgIcon icon) override {
    if (text.rfind(kMorphQuestionStart, 0) == 0) {
      if (watch) watch->Question();
      ScriptedUi::MessageBox(text, title, buttons, icon);
      return morphAnswer;
    }
    return ScriptedUi::MessageBox(text, title, buttons, icon);
  }
};

}  // namespace

// A run of its own for one way to the morph question ("open" or "line"),
// with the file already made: prints the seconds from the start of the
// main window to the question.
int QuestionInNewProcess(int argc, char** argv) {
  const std::string path = argv[1], way = argv[2];
  const std::string folder = std::filesystem::path(path).parent_path().string();
  setenv("WINEPREFIX", (folder + "/wine").c_str(), 1);
  vandrel::SetProgramFolder(folder + "/home");
  QApplication app(argc, argv);
  TimedUi ui;
  vandrel::UiServices* previous = vandrel::SetUi(&ui);
  Watch watch;
  ui.watch = &watch;
  ui.morphAnswer = vandrel::MsgResult::No;
  watch.Start();
  if (way == "open") {
    ui.AnswerOpen(path);
    std::unique_ptr<vandrel::FrmMain> window = vandrel::Main("");
    window->mnuOpenCR2_Click();
  } else {
    std::unique_ptr<vandrel::FrmMain> window = vandrel::Main(path);
  }
  watch.Stop();
  std::printf("%.6f\n", watch.toQuestion());
  vandrel::SetUi(previous);
  return 0;
}

// The seconds a new run of this program takes to the morph question.
double QuestionSeconds(const char* self, const std::string& path, const char* way) {
  const std::string command = std::string(self) + " '" + path + "' " + way + " 2>/dev/null";
  std::FILE* run = ::popen(command.c_str(), "r");
  double seconds = -1;
  if (run != nullptr) {
    if (std::fscanf(run, "%lf", &seconds) != 1) seconds = -1;
    ::pclose(run);
  }
  return seconds;
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc > 2 && std::filesystem::is_regular_file(argv[1])) return QuestionInNewProcess(argc, argv);
  const std::size_t megabytes = argc > 1 ? std::size_t(std::max(1, std::atoi(argv[1]))) : 200;
  const std::string folder = vandrel::bench::BenchFolder("responsiveness");
  std::filesystem::create_directories(folder + "/home");
  std::filesystem::create_directories(folder + "/wine");
  setenv("WINEPREFIX", (folder + "/wine").c_str(), 1);
  vandrel::SetProgramFolder(folder + "/home");
  const std::string path = folder + "/Big.cr2";
  WriteCharacter(path, megabytes);
  const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
  const double plain = vandrel::bench::PlainPassSeconds(path);
  std::printf("character file %.0f MB, one plain pass %.3f s\n", fileMb, plain);

  QApplication app(argc, argv);
  TimedUi ui;
  vandrel::UiServices* previous = vandrel::SetUi(&ui);
  Watch watch;
  ui.watch = &watch;

  // File > Open, Yes to the morph question, with Esc at `escAfter` seconds
  // after the question (below 0: none).
  // The watch starts before the window is made, as for the command line.
  const auto openFile = [&](double escAfter, vandrel::MsgResult answer) {
    vandrel::ResetModel();
    ui.morphAnswer = answer;
    ui.AnswerOpen(path);
    watch.EscAfterQuestion(escAfter);
    watch.Start();
    std::unique_ptr<vandrel::FrmMain> window = vandrel::Main("");
    window->mnuOpenCR2_Click();
    watch.Stop();
    const std::size_t actors = vandrel::gActors.size();
    window.reset();
    return actors;
  };

  const bool questionOnly = argc > 2 && std::string(argv[2]) == "question";
  const std::size_t actors = questionOnly ? 0 : openFile(-1, vandrel::MsgResult::Yes);
  std::printf(
      "File > Open, morphs read (%zu actors), from the window's start: %.2f s (ratio %.1f)\n"
      "  longest gap between event-loop turns while the progress window is up %.3f s (ended in \"%s\"), at "
      "all\n"
      "  %.3f s; progress window painted %.3f s after a show at the latest, longest gap between its paints "
      "%.3f s\n",
      actors, watch.total(), watch.total() / plain, watch.maxWaitGap(), watch.gapStage(), watch.maxTurnGap(),
      watch.maxFirstPaint(), watch.maxPaintGap());
  for (double escAfter : {0.05, 0.2, 0.4, 0.6}) {
    if (questionOnly) break;
    openFile(escAfter, vandrel::MsgResult::Yes);
    std::printf(
        "Esc %.2f s after the morph question: %s %.3f s from Esc to the end of the read; longest gap %.3f "
        "s\n",
        escAfter, watch.escSent() ? "" : "(read ended first)", watch.escToEnd(), watch.maxWaitGap());
  }

  // The morph question, reached through File > Open and through the command
  // line, each from the start of the main window: the best of three rounds,
  // the two ways taking turns (the first read of a process is the slowest).
  double viaOpen = 1e9, viaCommandLine = 1e9;
  for (int round = 0; round < 3; ++round) {
    openFile(-1, vandrel::MsgResult::No);
    viaOpen = std::min(viaOpen, watch.toQuestion());
    vandrel::ResetModel();
    ui.morphAnswer = vandrel::MsgResult::No;
    watch.EscAfterQuestion(-1);
    watch.Start();
    { std::unique_ptr<vandrel::FrmMain> window = vandrel::Main(path); }
    watch.Stop();
    viaCommandLine = std::min(viaCommandLine, watch.toQuestion());
  }
  std::printf(
      "morph question reached, best of 3: File > Open %.3f s (ratio %.1f), command line %.3f s (ratio %.1f); "
      "command line / File > Open %.2f\n",
      viaOpen, viaOpen / plain, viaCommandLine, viaCommandLine / plain, viaCommandLine / viaOpen);

  // The same as a person sees it: each way in a run of its own, the median
  // of three runs each, taking turns.
  std::vector<double> newOpen, newLine;
  for (int round = 0; round < 3; ++round) {
    newOpen.push_back(QuestionSeconds(argv[0], path, "open"));
    newLine.push_back(QuestionSeconds(argv[0], path, "line"));
  }
  std::sort(newOpen.begin(), newOpen.end());
  std::sort(newLine.begin(), newLine.end());
  std::printf(
      "morph question reached in a new run, median of 3: File > Open %.3f s, command line %.3f s; command "
      "line / "
      "File > Open %.2f\n",
      newOpen[1], newLine[1], newLine[1] / newOpen[1]);

  vandrel::SetUi(previous);
  vandrel::ResetModel();
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return 0;
}
