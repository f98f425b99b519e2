#include "platform/console_ui.h"

#include "common/encoding.h"
#include "common/text.h"

namespace vandrel {

MsgResult ConsoleUi::MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                                MsgIcon icon) {
  // The terminal reads UTF-8; a message may hold Poser text.
  const std::string lines = Replace(Replace(PoserTextToUtf8(text), "\r\n", "\n"), "\r", "\n");
  // The program's own name is said once, at the start; another title tells
  // what the message is about.
  std::string heading = file_.empty() ? std::string() : file_ + ": ";
  if (!title.empty() && LCase(title) != "vandrel") heading += PoserTextToUtf8(title) + ": ";
  out_ << "vandrel: " << heading << Replace(lines, "\n", "\n  ") << '\n';
  out_.flush();
  return ScriptedUi::MessageBox(text, title, buttons, icon);
}

}  // namespace vandrel
