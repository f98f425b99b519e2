// A temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace vandrel::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(const std::string& name) const;
  // Writes bytes to path()/name (folders created); returns the full path.
  std::string write(const std::string& name, const std::string& bytes) const;
  // Creates path()/name as a folder (and its parents); returns the full path.
  std::string mkdir(const std::string& name) const;

 private:
  std::string path_;
};

// Reads a whole file; "" when it cannot be read.
std::string ReadFileBytes(const std::string& path);

}  // namespace vandrel::test
