// The UiServices of a run that must never wait for a person (the "-s"
// command line): messages go to standard error, every question takes its
// default answer and every dialog counts as cancelled.
#pragma once

#include <ostream>

#include "platform/scripted_ui.h"

namespace vandrel {

class ConsoleUi : public ScriptedUi {
 public:
  explicit ConsoleUi(std::ostream& out) : out_(out) {}
  MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                       MsgIcon icon) override;

 private:
  std::ostream& out_;
};

}  // namespace vandrel
