#include "app/frm_please_wait.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>

#include "common/ticks.h"
#include "platform/qt/qt_ui.h"
#include "platform/ui_services.h"

namespace vandrel {

namespace {
QPointer<FrmPleaseWait> gPleaseWait;
std::chrono::steady_clock::time_point gLastTurn;

// Lets every pending event run now.
void TurnEventLoop() {
  gLastTurn = std::chrono::steady_clock::now();
  QCoreApplication::processEvents();
}

// Whether kEventTurnMs have passed since the last TurnEventLoop.
bool EventLoopTurnDue() {
  return std::chrono::steady_clock::now() - gLastTurn >= std::chrono::milliseconds(kEventTurnMs);
}
}  // namespace

FrmPleaseWait::FrmPleaseWait(QWidget* owner, std::function<void()> onUnload)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      owner_(owner),
      onUnload_(std::move(onUnload)) {
  setObjectName("frmPleaseWait");
  setWindowTitle(" Please wait");
  // Nothing but this window takes input while it is up; the others still repaint.
  setWindowModality(Qt::ApplicationModal);
  setFocusPolicy(Qt::StrongFocus);

  lblPleaseWait = new QLabel("Please wait while loading...", this);
  lblPleaseWait->setObjectName("lblPleaseWait");
  lblFigure = new QLabel(this);
  lblFigure->setObjectName("lblFigure");
  lblFigure->setMinimumWidth(320);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setTextVisible(false);

  auto* column = new QVBoxLayout(this);
  column->addWidget(lblPleaseWait);
  column->addWidget(lblFigure);
  column->addWidget(ProgressBar1);
}

void FrmPleaseWait::ShowWindow() {
  show();
  raise();
  activateWindow();
  setFocus();
  repaint();
  // The windows below (a question just answered) are drawn again too before
  // the work starts.
  TurnEventLoop();
}

void FrmPleaseWait::ShowElapsedTime() {
  const long long t1 = TickCountMs();
  const long long t2 = TickCountMs();
  setWindowTitle(QString::fromStdString(ElapsedTimeText(t1, t2, StartTime)));
}

bool FrmPleaseWait::Cancelling() const { return lblPleaseWait->text() == QLatin1String(kCancelling); }

void FrmPleaseWait::Form_KeyPress(int keyAscii) {
  if (keyAscii == 27) lblPleaseWait->setText(kCancelling);
}

void FrmPleaseWait::Form_Unload() {
  // Whatever goes wrong here must not stop the unloading.
  try {
    if (onUnload_) {
      onUnload_();
    } else if (owner_) {
      owner_->activateWindow();
      owner_->setFocus();
    }
  } catch (...) {
  }
}

void FrmPleaseWait::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) Form_KeyPress(27);
  event->accept();
}

void FrmPleaseWait::closeEvent(QCloseEvent* event) {
  // Esc is the way to stop an operation; the title bar does not close the window.
  if (event->spontaneous())
    event->ignore();
  else
    event->accept();
}

FrmPleaseWait& frmPleaseWait(QWidget* owner, std::function<void()> onUnload) {
  if (!gPleaseWait) gPleaseWait = new FrmPleaseWait(owner, std::move(onUnload));
  return *gPleaseWait;
}

FrmPleaseWait* LoadedPleaseWait() { return gPleaseWait.data(); }

void UnloadPleaseWait() {
  FrmPleaseWait* window = gPleaseWait.data();
  if (!window) return;
  gPleaseWait = nullptr;
  window->hide();
  window->Form_Unload();
  delete window;
}

FrmPleaseWait& PleaseWaitHost::Window() { return frmPleaseWait(owner_.data()); }

FrmPleaseWait& PleaseWaitHost::Show(const std::string& stage) {
  FrmPleaseWait& window = Window();
  if (window.windowTitle().startsWith("Elapsed time: ")) window.setWindowTitle("Please wait");
  window.lblPleaseWait->setText(FromPoserText(stage));
  window.ShowWindow();
  return window;
}

int PleaseWaitHost::StartOperation(int startTime) {
  FrmPleaseWait& window = Window();
  window.StartTime = startTime > 0 ? startTime : TickSeconds();
  return window.StartTime;
}

void PleaseWaitHost::SetStage(const std::string& text) {
  FrmPleaseWait& window = Window();
  window.lblPleaseWait->setText(FromPoserText(text));
  if (window.isHidden()) window.ShowWindow();
}

void PleaseWaitHost::SetItem(const std::string& text) { Window().lblFigure->setText(FromPoserText(text)); }

void PleaseWaitHost::SetRange(long long max) {
  QProgressBar* bar = Window().ProgressBar1;
  if (max <= 0) {
    bar->hide();
    return;
  }
  bar->setRange(0, static_cast<int>(std::min<long long>(max, INT_MAX)));
  bar->show();
}

void PleaseWaitHost::SetValue(long long value) {
  QProgressBar* bar = Window().ProgressBar1;
  bar->setValue(static_cast<int>(std::clamp<long long>(value, bar->minimum(), bar->maximum())));
}

bool PleaseWaitHost::CancelRequested() {
  // Loops poll often; the events run (repaints, a pending Esc) and the title
  // follows the clock once per turn interval, the status text is read every time.
  const bool turn = EventLoopTurnDue();
  if (turn) {
    // Drawn again at every turn, so that it is seen alive even while its
    // texts and bar stay as they are.
    if (FrmPleaseWait* shown = LoadedPleaseWait(); shown && !shown->isHidden()) shown->update();
    TurnEventLoop();
  }
  FrmPleaseWait* window = LoadedPleaseWait();
  if (!window) return false;
  if (window->Cancelling()) return true;
  if (turn) window->ShowElapsedTime();
  return false;
}

MsgResult PleaseWaitHost::Message(const std::string& text, const std::string& title, MsgButtons buttons,
                                  MsgIcon icon) {
  return Ui().MessageBox(text, title, buttons, icon);
}

}  // namespace vandrel
