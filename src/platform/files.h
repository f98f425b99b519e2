// File-system helpers in place of the shared file-system object.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vandrel {

// True only for a regular file / only for a folder; symbolic links are followed.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// The same into `bytes`, read in pieces into memory of the file's size (never
// zero-filled first, backed by large pages where the system allows, made
// present at most a little ahead of what was read): 0, or
// the errno of the failure (EISDIR for anything that is not a regular file).
// `stop`, when given, is asked after every `stopEvery` bytes (a long read
// lets the windows repaint there); true ends the read with what it has.
int ReadWholeFileInto(const std::string& path, std::string& bytes, const std::function<bool()>& stop = {},
                      std::size_t stopEvery = 0);

// Memory about to be filled with a large file is backed by large pages
// where the system allows (only the whole 2 MB pages inside it). The content
// is left as it is.
void AdviseLargePages(void* data, std::size_t size);

// Appends `bytes` to `to` a few megabytes at a time with a call of `stop`
// between: when it answers true the copy ends there, short.
void AppendLargeText(std::string& to, std::string_view bytes, const std::function<bool()>& stop = {});
// A copy of `bytes` in new memory, backed by large pages as above, made as
// AppendLargeText makes it.
std::string CopyOfLargeText(std::string_view bytes, const std::function<bool()>& stop = {});

// Writes `bytes` to a temporary file in the target's folder and renames it
// over the target, so a failure never leaves a half-written file or destroys
// the old one. The new file keeps the old one's permissions; a symbolic link
// stays and the file it points to is replaced. A file the user may not write
// (or that has no write permission at all) is refused, never replaced.
// Returns an error text, empty on success. With `sync` off the data is not
// forced to the disk before the rename (many small files written in a row,
// such as a report's pictures): still never half-written, only not proof
// against a power cut.
std::string WriteFileAtomic(const std::string& path, const std::string& bytes, bool sync = true);

// The same written piece by piece, for output too large to hold whole: the
// pieces go to a temporary file beside the target, which replaces the target
// only on Commit. Until then (and after any failure) the target is untouched;
// an uncommitted temporary file is removed when the object ends.
class AtomicFile {
 public:
  explicit AtomicFile(const std::string& path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  // False once anything failed; the first failure's text stays in Error().
  bool Write(std::string_view bytes);
  // Error text, empty on success.
  std::string Commit(bool sync = true);
  const std::string& Error() const { return error_; }

 private:
  void Abandon();
  std::string path_, folder_, target_, temp_, error_;
  int fd_ = -1;
  bool hadOld_ = false;
  unsigned mode_ = 0;
  std::size_t written_ = 0;   // bytes written so far
  std::size_t flushing_ = 0;  // the bytes before this are on their way to the disk
};

// Text after the last "/" (the whole text when there is none).
std::string FileNameOf(const std::string& path);
// Text before the last "/" (empty when there is none).
std::string FolderOf(const std::string& path);
// a + "/" + b, without doubling a "/" at the end of a.
std::string JoinPath(const std::string& a, const std::string& b);

}  // namespace vandrel
