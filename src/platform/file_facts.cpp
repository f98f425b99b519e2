#include "platform/file_facts.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

namespace vandrel {

std::optional<FileFacts> FileFactsSource::Facts(const std::string& path) const {
  if (path.empty()) return std::nullopt;
  struct statx st {};
  if (::statx(AT_FDCWD, path.c_str(), 0, STATX_SIZE | STATX_BTIME | STATX_MTIME | STATX_TYPE, &st) != 0)
    return std::nullopt;
  if (!S_ISREG(st.stx_mode)) return std::nullopt;
  FileFacts facts;
  facts.size = st.stx_size;
  const std::time_t when =
      static_cast<std::time_t>((st.stx_mask & STATX_BTIME) != 0 ? st.stx_btime.tv_sec : st.stx_mtime.tv_sec);
  std::tm local{};
  if (::localtime_r(&when, &local) == nullptr) return facts;
  facts.created = LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour,        local.tm_min,     local.tm_sec};
  return facts;
}

const FileFactsSource& DiskFileFacts() {
  static const FileFactsSource disk;
  return disk;
}

}  // namespace vandrel
