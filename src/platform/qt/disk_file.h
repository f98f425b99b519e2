// Opening a file for Qt by the bytes of its name: a name that came from the
// disk need not be valid UTF-8 (old archives unpacked on Linux), and a
// QString of it would hold U+FFFD where those bytes were.
#pragma once

#include <QFile>
#include <string>

namespace vandrel {

// Opens `path` (the name's bytes as they stand) for reading into `file`;
// false when it cannot be opened.
bool OpenDiskFile(QFile& file, const std::string& path);

// True when `path` comes back byte for byte through a QString, so that Qt
// may be given the name itself.
bool QtKeepsName(const std::string& path);

}  // namespace vandrel
