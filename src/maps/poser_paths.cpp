#include "maps/poser_paths.h"

#include "common/text.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/path_case.h"

namespace vandrel {

std::string PoserPathToFilePath(const std::string& path) {
  const std::string lower = LCase(path);
  std::string result = path;
  const auto below = [&](const char* sub) {
    std::string folder = gSettings.Poser;
    if (*sub) folder = JoinPath(folder, sub);
    std::string rest = Replace(path, ":", "/");
    while (StartsWith(rest, "/")) rest.erase(0, 1);
    return JoinPath(folder, rest);
  };
  if (StartsWith(lower, ":runtime:"))
    result = below("");
  else if (StartsWith(lower, ":textures:"))
    result = below("Runtime");
  else if (StartsWith(lower, ":") && InStr(lower, ":runtime:") == 0 && InStr(lower, ":textures:") == 0)
    result = below("Runtime/Textures");
  else
    return path == kNoMap || IsNoMap(path) ? LCase(path) : path;

  const std::string stored = ResolvePathCase(result);
  return stored.empty() ? LCase(result) : stored;
}

}  // namespace vandrel
