#include "platform/qt/disk_file.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/qt/poser_text.h"

namespace vandrel {

bool OpenDiskFile(QFile& file, const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return true;
  ::close(fd);
  return false;
}

bool QtKeepsName(const std::string& path) { return ToUtf8(FromUtf8(path)) == path; }

}  // namespace vandrel
