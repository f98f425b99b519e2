// Text between the screen (QString) and the program's bytes. Poser text goes
// through the rules of common/encoding.h; file names and text composed for
// the screen in UTF-8 go as UTF-8. Nothing else converts.
#pragma once

#include <string>

class QString;

namespace vandrel {

// Poser text shown on screen: UTF-8 when it is written so, else Windows-1252.
QString FromPoserText(const std::string& bytes);
// Text the user typed, entering Poser text: Windows-1252 where it can be, else UTF-8.
std::string ToPoserText(const QString& text);

// A file name from the disk, or text composed in UTF-8, shown as it is.
QString FromUtf8(const std::string& utf8);
// A name on screen (a dropped or chosen file, a template name) for the disk.
std::string ToUtf8(const QString& text);

}  // namespace vandrel
