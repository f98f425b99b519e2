// What the file information and the report show of a file on disk: its size
// and creation date, through a layer that tests replace to fix them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vandrel {

// A date and time in the user's time zone.
struct LocalDateTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0;
};

struct FileFacts {
  std::uint64_t size = 0;
  // The file's birth time where the file system records one, else the time
  // it was last modified.
  LocalDateTime created;
};

class FileFactsSource {
 public:
  virtual ~FileFactsSource() = default;
  // nullopt when `path` is no readable regular file.
  virtual std::optional<FileFacts> Facts(const std::string& path) const;
};

// The real file system.
const FileFactsSource& DiskFileFacts();

}  // namespace vandrel
