// The UiServices of a run that must never wait for a person (the "-s"
// command line): messages go to standard error, every question takes its
// default answer and every dialog counts as cancelled. Each message is one
// "vandrel: " line naming the file it is about, its further lines indented.
#pragma once

#include <ostream>
#include <string>
#include <utility>

#include "platform/scripted_ui.h"

namespace vandrel {

class ConsoleUi : public ScriptedUi {
 public:
  // `file`: the file the run works on, named in every message ("" = none).
  explicit ConsoleUi(std::ostream& out, std::string file = {}) : out_(out), file_(std::move(file)) {}
  MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                       MsgIcon icon) override;

 private:
  std::ostream& out_;
  std::string file_;
};

}  // namespace vandrel
