// The small interface through which core procedures report to whoever runs
// them: a window, the command line, the batch converter or a test.
#pragma once

#include <string>

namespace vandrel {

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgResult { OK, Cancel, Yes, No, Retry };

class Host {
 public:
  virtual ~Host() = default;
  // Progress window: stage text (status label), item text (object label),
  // a range and a value for the bar.
  virtual void SetStage(const std::string& text) { (void)text; }
  virtual void SetItem(const std::string& text) { (void)text; }
  virtual void SetRange(long long max) { (void)max; }
  virtual void SetValue(long long value) { (void)value; }
  // Polled after each unit of work; true once the user asked to cancel.
  // Work that cannot be cancelled polls too, its answer unused, so that the
  // windows repaint meanwhile.
  virtual bool CancelRequested() { return false; }
  // A message box; a host that shows nothing answers with the default.
  virtual MsgResult Message(const std::string& text, const std::string& title, MsgButtons buttons,
                            MsgIcon icon) = 0;
};

// A host that shows nothing and answers every question with its first button
// (OK / Yes) unless told otherwise; used by batch mode, "-s" and core tests.
class QuietHost : public Host {
 public:
  MsgResult Message(const std::string&, const std::string&, MsgButtons buttons, MsgIcon) override {
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes
                                                                              : MsgResult::OK;
  }
};

}  // namespace vandrel
