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

// An environment folder counts only when it holds an absolute path, as the
// XDG base folder rules say.
std::string AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  return WithoutTrailingSlash(value);
}

std::string XdgHome(const char* variable, const char* fallback) {
  std::string base = AbsoluteEnv(variable);
  if (!base.empty()) return base;
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : JoinPath(home, fallback);
}

// `base`/vandrel, or the override when there is one; created when missing.
std::string OwnFolder(const std::string& base) {
  std::string folder = ProgramFolderOverride();
  if (folder.empty()) {
    if (base.empty()) return {};
    folder = JoinPath(base, "vandrel");
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return folder;
}

}  // namespace

std::string HomeFolder() {
  std::string home = AbsoluteEnv("HOME");
  if (!home.empty()) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) return pw->pw_dir;
  return {};
}

std::string XdgDataHome() { return XdgHome("XDG_DATA_HOME", ".local/share"); }
std::string XdgConfigHome() { return XdgHome("XDG_CONFIG_HOME", ".config"); }
std::string XdgCacheHome() { return XdgHome("XDG_CACHE_HOME", ".cache"); }

std::string UserConfigFolder() { return OwnFolder(XdgConfigHome()); }
std::string UserDataFolder() { return OwnFolder(XdgDataHome()); }
std::string UserCacheFolder() { return OwnFolder(XdgCacheHome()); }

std::string ProgramFolderOverride() {
  {
    std::lock_guard lock(gOverrideMutex);
    if (!gOverride.empty()) return gOverride;
  }
  return AbsoluteEnv("VANDREL_HOME");
}

void SetProgramFolder(const std::string& folder) {
  std::lock_guard lock(gOverrideMutex);
  gOverride = WithoutTrailingSlash(folder);
}

std::string ExecutableFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  std::string folder = FolderOf(exe.string());
  return folder.empty() ? "/" : folder;
}

}  // namespace vandrel
