#include "maps/poser_paths.h"

#include "common/encoding.h"
#include "common/text.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/path_case.h"
#include "platform/ui_services.h"

namespace vandrel {

namespace {

// The Poser folder as a base for paths: absolute, without trailing "/"; ""
// when there is none ("none", empty, or a path that is not absolute, which
// would otherwise resolve against the working folder).
std::string PoserBase() {
  std::string folder = gSettings.Poser;
  if (folder.empty() || folder.front() != '/' || EqualsNoCase(folder, "none")) return {};
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder == "/" ? std::string() : folder;
}

enum class ColonForm { None, Runtime, Textures, Other };

// Which of the three colon forms `path` has, tested on the text as it is.
ColonForm ColonFormOf(const std::string& path) {
  const std::string lower = LCase(path);
  if (StartsWith(lower, ":runtime:")) return ColonForm::Runtime;
  if (StartsWith(lower, ":textures:")) return ColonForm::Textures;
  if (StartsWith(lower, ":") && InStr(lower, ":runtime:") == 0 && InStr(lower, ":textures:") == 0)
    return ColonForm::Other;
  return ColonForm::None;
}

// The file path of a colon path below `base`, as written (no case resolved).
std::string ColonPathBelow(const std::string& base, ColonForm form, const std::string& path) {
  std::string folder = base;
  if (form == ColonForm::Textures) folder = JoinPath(folder, "Runtime");
  if (form == ColonForm::Other) folder = JoinPath(folder, "Runtime/Textures");
  std::string rest = Replace(path, ":", "/");
  std::size_t skip = 0;
  while (skip < rest.size() && rest[skip] == '/') ++skip;
  return JoinPath(folder, rest.substr(skip));
}

// The stored case of an existing absolute path, else the path unchanged.
std::string StoredOrSame(const std::string& path) {
  if (path.empty() || path.front() != '/') return path;
  const std::string stored = ResolvePathCase(path);
  return stored.empty() ? path : stored;
}

}  // namespace

std::string PoserPathToFilePath(const std::string& path) {
  const ColonForm form = ColonFormOf(path);
  if (form == ColonForm::None) return IsNoMap(path) ? LCase(path) : StoredOrSame(path);
  const std::string base = PoserBase();
  if (base.empty()) return {};
  const std::string file = ColonPathBelow(base, form, path);
  const std::string stored = ResolvePathCase(file);
  return stored.empty() ? LCase(file) : stored;
}

std::string FilePathToPoserPath(const std::string& file, bool useFullPaths) {
  // Worked on in its Unicode form (a found file is named in UTF-8, a typed
  // path may be Poser text), then written back as Poser text.
  const std::string result = PoserTextToUtf8(StoredOrSame(file));
  if (useFullPaths) return Utf8ToPoserText(result);
  const std::string base = PoserBase();
  if (base.empty() || result.size() <= base.size() + 1 || result[base.size()] != '/' ||
      !EqualsNoCase(result.substr(0, base.size()), base))
    return Utf8ToPoserText(result);
  const std::string rest = result.substr(base.size());
  // A name holding ":" would split into other folders.
  if (rest.find(':') != std::string::npos) return Utf8ToPoserText(result);
  // Only a colon path that names this very file is kept: one that does not
  // begin with ":Runtime:" resolves below Runtime/Textures, so a file in
  // <Poser>/Downloads/tex keeps its full path. A file that is not there
  // yet is compared without regard to case, as its colon path resolves.
  const std::string colon = Replace(rest, "/", ":");
  const std::string back = PoserPathToFilePath(colon);
  if (back == result || (!FileExists(result) && EqualsNoCase(back, result))) return Utf8ToPoserText(colon);
  return Utf8ToPoserText(result);
}

std::string GetFileName(const std::string& path) {
  const std::size_t last = path.find_last_of(":\\/");
  return last == std::string::npos ? path : path.substr(last + 1);
}

int ShellOpen(const std::string& file, const ShellOpener& open) {
  switch (open(file)) {
    case ShellResult::Opened:
      return 42;
    case ShellResult::FileNotFound:
      return 2;
    case ShellResult::PathNotFound:
      return 3;
    case ShellResult::Refused:
      return 5;
    case ShellResult::NotStarted:
      return 27;
    case ShellResult::NoAssociation:
      return 31;
  }
  return 0;
}

std::string ShellOpenErrorText(int code) {
  switch (code) {
    case 2:
      return "File not found";
    case 3:
      return "Path not found";
    case 5:
      return "Access denied";
    case 8:
      return "Out of memory";
    case 11:
      return "Invalid EXE file or error in EXE image";
    case 26:
      return "A sharing violation occurred";
    case 27:
      return "Incomplete or invalid file association";
    case 28:
      return "DDE Time out";
    case 29:
      return "DDE transaction failed";
    case 30:
      return "DDE busy";
    case 31:
      return "No association for file extension";
    case 32:
      return "DLL not found";
    default:
      return "Unknown error";
  }
}

void ShellOpenPoserPath(const std::string& path, Host& host, const ShellOpener& open) {
  if (path.empty()) return;
  std::string file = path;
  if (const ColonForm form = ColonFormOf(path); form != ColonForm::None) {
    const std::string base = PoserBase();
    // No Poser folder: the colon path names no file (and never one below the working folder).
    file = base.empty() ? std::string() : StoredOrSame(ColonPathBelow(base, form, path));
  } else {
    file = StoredOrSame(path);
  }
  // Only files are opened: a path that is not absolute (a Windows path, a
  // web address) names nothing here.
  const int code = file.empty() ? 2 : file.front() != '/' ? 3 : ShellOpen(file, open);
  if (code < 33) host.Message(ShellOpenErrorText(code), "", MsgButtons::OK, MsgIcon::None);
}

}  // namespace vandrel
