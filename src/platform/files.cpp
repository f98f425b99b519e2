#include "platform/files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>

namespace vandrel {

namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

// Writes every byte, retrying short writes and interruptions; 0 or an errno.
int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

// A name for the temporary file that no other writer (thread or process) uses.
std::string TempNameFor(const std::string& folder, const std::string& name) {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 rng{std::random_device{}()};
  return JoinPath(folder, "." + name + ".tmp-" + std::to_string(::getpid()) + "-" +
                              std::to_string(counter.fetch_add(1)) + "-" + std::to_string(rng() % 1000000));
}

// The file a path finally names: a symbolic link is followed, so that the
// link stays and the file it points to is replaced.
std::string FinalTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      std::string result = real;
      std::free(real);
      return result;
    }
  }
  return path;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {
constexpr std::size_t kLargePage = std::size_t{2} << 20;
}  // namespace

void AdviseLargePages(void* data, std::size_t size) {
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t last = (begin + size) & ~(kLargePage - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void AppendLargeText(std::string& to, std::string_view bytes, const std::function<bool()>& stop) {
  constexpr std::size_t kStretch = std::size_t{8} << 20;
  for (std::size_t at = 0; at < bytes.size(); at += kStretch) {
    if (at > 0 && stop && stop()) break;
    to.append(bytes.substr(at, kStretch));
  }
}

std::string CopyOfLargeText(std::string_view bytes, const std::function<bool()>& stop) {
  std::string copy;
  copy.reserve(bytes.size());
  AdviseLargePages(copy.data(), copy.capacity());
  AppendLargeText(copy, bytes, stop);
  return copy;
}

int ReadWholeFileInto(const std::string& path, std::string& bytes, const std::function<bool()>& stop,
                      std::size_t stopEvery) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int err = S_ISREG(st.st_mode) ? errno : EISDIR;
    ::close(fd);
    return err;
  }
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  AdviseLargePages(bytes.data(), bytes.capacity());
  // A piece small enough to stay in the cache between the read and the copy.
  constexpr std::size_t kPiece = std::size_t{256} << 10;
  std::unique_ptr<char[]> piece(new char[kPiece]);
  for (;;) {
    const ssize_t n = ::read(fd, piece.get(), kPiece);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      bytes.clear();
      return err;
    }
    if (n == 0) break;  // a file that shrank meanwhile gives what it holds now
    bytes.append(piece.get(), static_cast<std::size_t>(n));
    if (stop && stopEvery > 0 && bytes.size() % stopEvery < static_cast<std::size_t>(n) && stop()) break;
  }
  ::close(fd);
  return 0;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::string bytes;
  if (ReadWholeFileInto(path, bytes) != 0) return std::nullopt;
  return bytes;
}

AtomicFile::AtomicFile(const std::string& path) : path_(path) {
  if (path.empty()) {
    error_ = "No file name given.";
    return;
  }
  target_ = FinalTarget(path);
  folder_ = FolderOf(target_);
  if (folder_.empty()) folder_ = target_.front() == '/' ? "/" : ".";
  const std::string name = FileNameOf(target_);

  struct stat old {};
  hadOld_ = ::stat(target_.c_str(), &old) == 0;
  mode_ = old.st_mode & 07777;
  if (hadOld_ && S_ISDIR(old.st_mode)) {
    error_ = "Cannot write \"" + path + "\": it is a folder.";
    return;
  }
  // A file the user may not write is never replaced, as a plain write would
  // fail on it: one without any write permission counts as read-only for
  // every user (the super-user too).
  if (hadOld_ &&
      (::access(target_.c_str(), W_OK) != 0 || (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)) {
    error_ = "Cannot write \"" + path + "\": the file is read-only.";
    return;
  }
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = TempNameFor(folder_, name);
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) error_ = "Cannot create a file in \"" + folder_ + "\": " + ErrnoText(errno);
}

AtomicFile::~AtomicFile() { Abandon(); }

void AtomicFile::Abandon() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  ::unlink(temp_.c_str());
}

bool AtomicFile::Write(std::string_view bytes) {
  if (!error_.empty()) return false;
  if (const int err = WriteAll(fd_, bytes.data(), bytes.size())) {
    error_ = "Cannot write \"" + path_ + "\": " + ErrnoText(err);
    Abandon();
    return false;
  }
  written_ += bytes.size();
  // A large file's written part starts on its way to the disk while the
  // rest is made: the sync at the end then waits only for the last of it.
  constexpr std::size_t kFlushEvery = std::size_t{4} << 20;
  if (written_ - flushing_ >= kFlushEvery) {
    ::sync_file_range(fd_, static_cast<off_t>(flushing_), static_cast<off_t>(written_ - flushing_),
                      SYNC_FILE_RANGE_WRITE);
    flushing_ = written_;
  }
  return true;
}

std::string AtomicFile::Commit(bool sync) {
  if (!error_.empty()) return error_;
  int err = 0;
  // The new file keeps the permissions of the one it replaces.
  if (hadOld_ && ::fchmod(fd_, mode_) != 0) err = errno;
  if (!err && sync && ::fsync(fd_) != 0) err = errno;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(temp_.c_str(), target_.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(temp_.c_str());
    error_ = "Cannot write \"" + path_ + "\": " + ErrnoText(err);
    return error_;
  }
  if (!sync) return {};
  // Make the rename itself durable; a failure here loses nothing already written.
  int dirFd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return {};
}

std::string WriteFileAtomic(const std::string& path, const std::string& bytes, bool sync) {
  AtomicFile file(path);
  file.Write(bytes);
  return file.Commit(sync);
}

std::string FileNameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string JoinPath(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  if (a.back() == '/') return a + b;
  return a + "/" + b;
}

}  // namespace vandrel
