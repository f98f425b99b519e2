#include "platform/program_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/files.h"

namespace vandrel {

namespace {

std::mutex gOverrideMutex;
std::string gOverride;

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// An XDG base folder variable counts only when it holds an absolute path.
std::string AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  return value;
}

std::string HomeFolder() {
  std::string home = AbsoluteEnv("HOME");
  if (!home.empty()) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) return pw->pw_dir;
  return {};
}

}  // namespace

std::string UserDataFolder() {
  std::string base = AbsoluteEnv("XDG_DATA_HOME");
  if (base.empty()) {
    std::string home = HomeFolder();
    if (home.empty()) return {};
    base = JoinPath(home, ".local/share");
  }
  std::string folder = WithoutTrailingSlash(JoinPath(WithoutTrailingSlash(base), "vandrel"));
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return folder;
}

std::string ExecutableFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  std::string folder = FolderOf(exe.string());
  return folder.empty() ? "/" : folder;
}

std::string ProgramFolder() {
  {
    std::lock_guard lock(gOverrideMutex);
    if (!gOverride.empty()) return gOverride;
  }
  // A folder named in the environment wins (portable copies and test runs).
  if (const char* home = std::getenv("VANDREL_HOME"); home != nullptr && *home == '/')
    return WithoutTrailingSlash(home);
  std::string exeFolder = ExecutableFolder();
  if (!exeFolder.empty() && ::access(exeFolder.c_str(), W_OK) == 0) return exeFolder;
  std::string data = UserDataFolder();
  // With no home to fall back on, the executable's folder is still the best answer.
  return data.empty() ? exeFolder : data;
}

void SetProgramFolder(const std::string& folder) {
  std::lock_guard lock(gOverrideMutex);
  gOverride = WithoutTrailingSlash(folder);
}

}  // namespace vandrel
