// File-system helpers in place of the shared file-system object.
#pragma once

#include <optional>
#include <string>

namespace vandrel {

// True only for a regular file / only for a folder; symbolic links are followed.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

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

// Text after the last "/" (the whole text when there is none).
std::string FileNameOf(const std::string& path);
// Text before the last "/" (empty when there is none).
std::string FolderOf(const std::string& path);
// a + "/" + b, without doubling a "/" at the end of a.
std::string JoinPath(const std::string& a, const std::string& b);

}  // namespace vandrel
