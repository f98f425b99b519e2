#include "platform/console_ui.h"

#include "common/text.h"

namespace vandrel {

MsgResult ConsoleUi::MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                                MsgIcon icon) {
  const std::string lines = Replace(Replace(text, "\r\n", "\n"), "\r", "\n");
  out_ << "vandrel: " << (title.empty() ? std::string() : title + ": ") << Replace(lines, "\n", "\n  ") << '\n';
  out_.flush();
  return ScriptedUi::MessageBox(text, title, buttons, icon);
}

}  // namespace vandrel
