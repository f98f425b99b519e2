#include "platform/earlier_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/files.h"
#include "platform/program_folder.h"

namespace vandrel {

namespace {

namespace fs = std::filesystem;

bool SamePlace(const std::string& a, const std::string& b) {
  std::error_code ec;
  return a == b || fs::equivalent(a, b, ec);
}

// Copies one file to `target` and removes it once the copy is complete. A
// target that already exists is left alone, and so is the old file: it is
// named when it differs from the one in the new place, which is the one used.
void MoveOneFile(const std::string& source, const std::string& target, std::vector<std::string>& problems) {
  std::error_code ec;
  if (!fs::is_regular_file(source, ec) || SamePlace(source, target)) return;
  const auto fail = [&](std::string why) {
    if (!why.empty() && why.back() == '.') why.pop_back();
    problems.push_back(source + " could not be moved to " + target + " (" + why + "); it stays where it is.");
  };
  if (fs::exists(fs::symlink_status(target, ec))) {
    // An old copy the same as the new one (its removal failed once) is no news.
    if (ReadWholeFile(source) != ReadWholeFile(target))
      problems.push_back(
          source + " stays where it is: " + target +
          " is there already, and that one is used. Remove the old file when you no longer need it.");
    return;
  }
  const auto bytes = ReadWholeFile(source);
  if (!bytes) return fail("it cannot be read");
  const std::string folder = FolderOf(target);
  if (!fs::create_directories(folder, ec) && ec)
    return fail("the folder " + folder + " cannot be made: " + ec.message());
  if (!fs::is_directory(folder, ec)) return fail(folder + " is not a folder");
  if (std::string error = WriteFileAtomic(target, *bytes); !error.empty()) return fail(error);
  fs::remove(source, ec);  // a copy that stays behind is never read again
}

// Every file directly inside `folder`, in name order; the folder itself is
// removed once they have all gone.
void MoveFolderFiles(const std::string& folder, const std::string& target,
                     std::vector<std::string>& problems) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec) || SamePlace(folder, target)) return;
  std::vector<std::string> names;
  for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
    if (it->is_regular_file(ec)) names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) MoveOneFile(JoinPath(folder, name), JoinPath(target, name), problems);
  fs::remove(folder, ec);  // only when it is empty now
}

}  // namespace

std::vector<std::string> EarlierProgramFolders() {
  std::vector<std::string> folders;
  if (std::string exe = ExecutableFolder(); !exe.empty()) folders.push_back(exe);
  if (std::string data = XdgDataHome(); !data.empty()) folders.push_back(JoinPath(data, "vandrel"));
  return folders;
}

std::vector<std::string> MoveEarlierFiles(const std::vector<std::string>& oldFolders) {
  std::vector<std::string> problems;
  if (!ProgramFolderOverride().empty()) return problems;
  const std::string config = UserConfigFolder(), data = UserDataFolder(), cache = UserCacheFolder();
  for (const std::string& old : oldFolders) {
    if (old.empty()) continue;
    if (!config.empty()) {
      MoveOneFile(JoinPath(old, "Settings.ini"), JoinPath(config, "Settings.ini"), problems);
      MoveOneFile(JoinPath(old, "Registry.ini"), JoinPath(config, "Registry.ini"), problems);
    }
    if (!data.empty()) MoveFolderFiles(JoinPath(old, "Templates"), JoinPath(data, "Templates"), problems);
    if (!cache.empty()) MoveFolderFiles(JoinPath(old, "Cache"), JoinPath(cache, "Cache"), problems);
  }
  return problems;
}

}  // namespace vandrel
