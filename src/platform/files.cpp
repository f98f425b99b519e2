#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
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

std::optional<std::string> ReadWholeFile(const std::string& path) {
  // One read into a string of the file's size: no stream buffers, no copies.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;  // the file shrank meanwhile: what it holds now
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes.resize(done);
  return bytes;
}

std::string WriteFileAtomic(const std::string& path, const std::string& bytes, bool sync) {
  if (path.empty()) return "No file name given.";
  const std::string target = FinalTarget(path);
  std::string folder = FolderOf(target);
  if (folder.empty()) folder = target.front() == '/' ? "/" : ".";
  const std::string name = FileNameOf(target);

  struct stat old {};
  const bool hadOld = ::stat(target.c_str(), &old) == 0;
  if (hadOld && S_ISDIR(old.st_mode)) return "Cannot write \"" + path + "\": it is a folder.";
  // A file the user may not write is never replaced, as a plain write would
  // fail on it: one without any write permission counts as read-only for
  // every user (the super-user too).
  if (hadOld && (::access(target.c_str(), W_OK) != 0 || (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0))
    return "Cannot write \"" + path + "\": the file is read-only.";

  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = TempNameFor(folder, name);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return "Cannot create a file in \"" + folder + "\": " + ErrnoText(errno);

  int err = WriteAll(fd, bytes.data(), bytes.size());
  // The new file keeps the permissions of the one it replaces.
  if (!err && hadOld && ::fchmod(fd, old.st_mode & 07777) != 0) err = errno;
  if (!err && sync && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(temp.c_str());
    return "Cannot write \"" + path + "\": " + ErrnoText(err);
  }
  if (!sync) return {};
  // Make the rename itself durable; a failure here loses nothing already written.
  int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return {};
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
