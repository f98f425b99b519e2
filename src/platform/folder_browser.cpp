#include "platform/folder_browser.h"

#include <array>

#include "platform/files.h"
#include "platform/ui_services.h"

namespace vandrel {

namespace {

// In the order of the preferences window's folder boxes.
constexpr std::array<const char*, 11> kFolderLabels = {
    "Default Character folder", "Default Pose folder", "Default Prop folder",      "Default Hair folder",
    "Default Save folder",      "Default Map folder",  "Poser application folder", "Default Camera folder",
    "Default Light folder",     "Default Hand folder", "Default Face folder",
};

}  // namespace

std::string BrowseFolderTitle(int index) {
  std::string title = "Select your ";
  if (index >= 0 && index < static_cast<int>(kFolderLabels.size())) title += kFolderLabels[index];
  return title;
}

std::string BrowseForFolder(int index, const std::string& startFolder) {
  const auto chosen =
      Ui().BrowseFolder(BrowseFolderTitle(index), FolderExists(startFolder) ? startFolder : "");
  return chosen ? *chosen : std::string();
}

std::string RemoveTrailingBackslash(const std::string& path) {
  if (path.size() > 1 && path.back() == '/') return path.substr(0, path.size() - 1);
  return path;
}

}  // namespace vandrel
