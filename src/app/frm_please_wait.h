// The progress window of long operations: what is being done, how far it has
// got and the elapsed time in its title. Esc in it turns the status text
// into "Cancelling...", which the working loops poll. While it is up the
// other windows take no input.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "common/host.h"
#include "common/ticks.h"

class QLabel;
class QProgressBar;

namespace vandrel {

inline constexpr const char* kCancelling = "Cancelling...";
// While long work polls, the event loop turns (the windows repaint, Esc is
// seen) once this many milliseconds have passed since its last turn.
inline constexpr long long kEventTurnMs = 25;

class FrmPleaseWait : public QWidget {
  Q_OBJECT

 public:
  // A window owned by `owner`; `onUnload` runs when it is unloaded (by
  // default the owner gets the keyboard focus back).
  explicit FrmPleaseWait(QWidget* owner, std::function<void()> onUnload = {});

  QLabel* lblPleaseWait;
  QLabel* lblFigure;
  QProgressBar* ProgressBar1;
  // Start of the current long operation, in whole seconds of the tick count.
  int StartTime = 0;

  // Shows the window without waiting; the other windows take no input
  // until it is unloaded. The texts are drawn before this returns.
  void ShowWindow();
  // The title becomes the time elapsed since StartTime.
  void ShowElapsedTime();
  bool Cancelling() const;

  void Form_KeyPress(int keyAscii);
  void Form_Unload();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QPointer<QWidget> owner_;
  std::function<void()> onUnload_;
};

// The program's one progress window: created on first use, owned by
// `owner`, the same window until it is unloaded; the next use after that
// gets a fresh one. `onUnload` applies to a window created by this call.
FrmPleaseWait& frmPleaseWait(QWidget* owner, std::function<void()> onUnload = {});
// The window when one is loaded, else nullptr.
FrmPleaseWait* LoadedPleaseWait();
// Unloads the window when one is loaded.
void UnloadPleaseWait();

// The Host of window-side long operations: the stage and item texts and the
// bar go to the progress window, the cancel poll lets pending events run
// (at most once per kEventTurnMs) and reads its status text, messages go to
// Ui().
class PleaseWaitHost : public Host {
 public:
  explicit PleaseWaitHost(QWidget* owner) : owner_(owner) {}

  // The window (created when none is loaded).
  FrmPleaseWait& Window();
  // Shows the window with the title "Please wait" and the given stage text.
  FrmPleaseWait& Show(const std::string& stage);
  // The start of an operation: StartTime = `startTime` when it is above 0,
  // otherwise now. Returns the value set.
  int StartOperation(int startTime = 0);
  void Unload() { UnloadPleaseWait(); }

  void SetStage(const std::string& text) override;
  void SetItem(const std::string& text) override;
  // A maximum of 0 or less hides the bar.
  void SetRange(long long max) override;
  void SetValue(long long value) override;
  bool CancelRequested() override;
  MsgResult Message(const std::string& text, const std::string& title, MsgButtons buttons,
                    MsgIcon icon) override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace vandrel
