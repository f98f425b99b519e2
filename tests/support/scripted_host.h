// A host for core tests that run without the dialogs: it records every
// message and answers from a script, then with the default of its buttons.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/host.h"

namespace vandrel::test {

class ScriptedHost : public QuietHost {
 public:
  struct Shown {
    std::string text, title;
    MsgButtons buttons;
    MsgIcon icon;
  };
  void Answer(MsgResult answer) { answers_.push_back(answer); }
  MsgResult Message(const std::string& text, const std::string& title, MsgButtons buttons,
                    MsgIcon icon) override {
    shown.push_back({text, title, buttons, icon});
    if (answers_.empty()) return QuietHost::Message(text, title, buttons, icon);
    const MsgResult answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const Shown& s : shown) titles.push_back(s.title);
    return titles;
  }
  std::vector<Shown> shown;

 private:
  std::deque<MsgResult> answers_;
};

}  // namespace vandrel::test
