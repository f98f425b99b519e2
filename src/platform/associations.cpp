#include "platform/associations.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <utility>

#include "common/encoding.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/path_case.h"
#include "platform/program_folder.h"

extern char** environ;

namespace vandrel {

namespace {

constexpr std::string_view kDefaultApplications = "Default Applications";
constexpr std::string_view kAddedAssociations = "Added Associations";

// "cr2" from ".CR2", "cr2", ...
std::string BareExtension(std::string_view ext) {
  if (!ext.empty() && ext.front() == '.') ext.remove_prefix(1);
  return LCase(ext);
}

// The files of one type's registration.
struct TypePaths {
  std::string mimePackage, desktopEntry, poseEntry, icon, mimeApps;
};

TypePaths PathsOf(std::string_view ext, const std::string& data, const std::string& config) {
  const std::string bare = BareExtension(ext);
  return {JoinPath(data, "mime/packages/vandrel-" + bare + ".xml"),
          JoinPath(data, "applications/" + AssociationDesktopId(bare)),
          JoinPath(data, "applications/" + AssociationPoseDesktopId(bare)),
          JoinPath(data, "icons/hicolor/48x48/mimetypes/" + AssociationIconName(bare) + ".png"),
          JoinPath(config, "mimeapps.list")};
}

// Desktop entries are UTF-8 text of single lines.
bool FitsDesktopEntry(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::optional<char32_t> cp = NextCodePoint(text, i);
    if (!cp || *cp < 0x20 || *cp == 0x7f) return false;
  }
  return true;
}

std::optional<std::string> ReadTextFile(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  return ReadWholeFile(path);
}

// Removes one of our files; a file that is not there is no error.
std::string RemoveOwnFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return {};
  return "Cannot remove \"" + path + "\": " + std::strerror(errno);
}

std::string MakeFolder(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec || !FolderExists(folder)) return "Cannot create the folder \"" + folder + "\": " + ec.message();
  return {};
}

// Applies the add or removal of our entries to mimeapps.list, writing only
// when the text changes. A file that exists but cannot be read is left alone.
// Adding makes `desktopId` the type's default and lists it, followed by
// `otherId` (when given), first among the added associations.
std::string EditMimeApps(const std::string& path, std::string_view mimeType, std::string_view desktopId,
                         std::string_view otherId, bool add) {
  std::string text;
  if (FileExists(path)) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) return "Cannot read \"" + path + "\".";
    text = std::move(*bytes);
  } else if (!add) {
    return {};
  }
  std::string edited = EditMimeAppsText(text, kDefaultApplications, mimeType, desktopId, add);
  // Taking out: also an entry an earlier registration may have put there.
  if (!add && !otherId.empty())
    edited = EditMimeAppsText(edited, kDefaultApplications, mimeType, otherId, false);
  if (!otherId.empty()) edited = EditMimeAppsText(edited, kAddedAssociations, mimeType, otherId, add);
  edited = EditMimeAppsText(edited, kAddedAssociations, mimeType, desktopId, add);
  if (edited == text && FileExists(path)) return {};
  if (add) {
    if (std::string error = MakeFolder(FolderOf(path)); !error.empty()) return error;
  }
  return WriteFileAtomic(path, edited);
}

std::string Unregister(const TypePaths& paths, std::string_view ext) {
  std::string errors;
  auto note = [&errors](const std::string& error) {
    if (!error.empty()) errors += (errors.empty() ? "" : "\n") + error;
  };
  // Every claim goes, the material-pose entry of any type included.
  note(EditMimeApps(paths.mimeApps, AssociationMimeType(ext), AssociationDesktopId(ext),
                    AssociationPoseDesktopId(ext), false));
  note(RemoveOwnFile(paths.desktopEntry));
  note(RemoveOwnFile(paths.poseEntry));
  note(RemoveOwnFile(paths.mimePackage));
  note(RemoveOwnFile(paths.icon));
  return errors;
}

std::string Register(const TypePaths& paths, std::string_view ext, const std::string& description,
                     const AssociationProgram& program) {
  // The type's icon, when the program has one.
  std::string iconSource;
  if (!program.iconFolder.empty()) {
    iconSource = JoinPath(program.iconFolder, UCase(BareExtension(ext)) + ".png");
    if (!FileExists(iconSource)) iconSource = ResolvePathCase(iconSource);
    if (!FileExists(iconSource)) iconSource.clear();
  }
  std::string error;
  const std::string entry = DesktopEntryText(ext, description, program.executable,
                                             iconSource.empty() ? "" : AssociationIconName(ext), &error);
  if (entry.empty()) return error;

  for (const std::string* file : {&paths.mimePackage, &paths.desktopEntry}) {
    if (error = MakeFolder(FolderOf(*file)); !error.empty()) return error;
  }
  if (error = WriteFileAtomic(paths.mimePackage, MimePackageText(ext, description)); !error.empty())
    return error;
  if (iconSource.empty()) {
    if (error = RemoveOwnFile(paths.icon); !error.empty()) return error;
  } else {
    auto bytes = ReadWholeFile(iconSource);
    if (!bytes) return "Cannot read the icon \"" + iconSource + "\".";
    if (error = MakeFolder(FolderOf(paths.icon)); !error.empty()) return error;
    if (error = WriteFileAtomic(paths.icon, *bytes); !error.empty()) return error;
  }
  if (error = WriteFileAtomic(paths.desktopEntry, entry); !error.empty()) return error;
  const std::string poseEntry = PoseDesktopEntryText(ext, description, program.executable,
                                                     iconSource.empty() ? "" : AssociationIconName(ext));
  if (poseEntry.empty()) {
    if (error = RemoveOwnFile(paths.poseEntry); !error.empty()) return error;
  } else if (error = WriteFileAtomic(paths.poseEntry, poseEntry); !error.empty()) {
    return error;
  }
  return EditMimeApps(paths.mimeApps, AssociationMimeType(ext), AssociationDesktopId(ext),
                      poseEntry.empty() ? "" : AssociationPoseDesktopId(ext), true);
}

// The full path of an installed program found on PATH, or "".
std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  const std::string_view dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t pos = 0;
  while (pos <= dirs.size()) {
    std::size_t colon = dirs.find(':', pos);
    if (colon == std::string_view::npos) colon = dirs.size();
    const std::string dir(dirs.substr(pos, colon - pos));
    pos = colon + 1;
    if (dir.empty() || dir.front() != '/') continue;  // never the working folder
    const std::string candidate = JoinPath(dir, name);
    if (FileExists(candidate) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

// Runs a program with its output discarded and waits for it; an error text,
// empty when it ended with status 0.
std::string RunQuietly(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string name = FileNameOf(program);
  argv.push_back(name.data());
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return "Cannot run " + program + ": " + std::strerror(rc);

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return "Cannot wait for " + program + ": " + std::strerror(errno);
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
  if (WIFEXITED(status)) return name + " ended with status " + std::to_string(WEXITSTATUS(status)) + ".";
  return name + " was ended by signal " + std::to_string(WTERMSIG(status)) + ".";
}

}  // namespace

AssociationProgram DefaultAssociationProgram() {
  const std::string folder = ExecutableFolder();
  if (folder.empty()) return {};
  return {JoinPath(folder, "vandrel"), JoinPath(folder, "Icons")};
}

std::string AssociationMimeType(std::string_view ext) { return "application/x-poser-" + BareExtension(ext); }
std::string AssociationDesktopId(std::string_view ext) {
  return "vandrel-" + BareExtension(ext) + ".desktop";
}
std::string AssociationPoseDesktopId(std::string_view ext) {
  return "vandrel-" + BareExtension(ext) + "-pose.desktop";
}
std::string AssociationIconName(std::string_view ext) { return "application-x-poser-" + BareExtension(ext); }

std::string MimePackageText(std::string_view ext, const std::string& description) {
  const std::string bare = BareExtension(ext);
  // A file is claimed by its extension alone, in any letter case (globs
  // match without regard to case unless marked case-sensitive). No content
  // rule: one would claim any file that merely starts like Poser text. Where
  // another type claims the extension too (.cr2 is also a camera's raw
  // picture), the content decides between the two: only a text file is one
  // of ours.
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         "  <mime-type type=\"" +
         AssociationMimeType(bare) +
         "\">\n"
         "    <comment>" +
         HtmlEscape(description) +
         "</comment>\n"
         "    <sub-class-of type=\"text/plain\"/>\n"
         "    <glob pattern=\"*." +
         bare +
         "\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n";
}

std::string QuoteExecArgument(const std::string& argument) {
  // Inside a quoted argument " ` $ \ are escaped with "\" and "%" is doubled;
  // then the key file's own escaping doubles every "\" once more.
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$') {
      quoted += "\\\\";
      quoted += c;
    } else if (c == '\\') {
      quoted += "\\\\\\\\";
    } else if (c == '%') {
      quoted += "%%";
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string DesktopEntryText(std::string_view ext, const std::string& description,
                             const std::string& executable, const std::string& iconName, std::string* error) {
  auto fail = [error](std::string text) {
    if (error) *error = std::move(text);
    return std::string();
  };
  if (executable.empty() || executable.front() != '/')
    return fail("The program's own path is not known (\"" + executable + "\").");
  if (!FitsDesktopEntry(executable))
    return fail("The program's path \"" + executable + "\" cannot be written into a desktop entry.");
  const std::string exe = QuoteExecArgument(executable);
  std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Vandrel\n"
      "Comment=" +
      description +
      "\n"
      "Exec=" +
      exe + " %f\n";
  if (!iconName.empty()) text += "Icon=" + iconName + "\n";
  text += "MimeType=" + AssociationMimeType(ext) +
          ";\n"
          "NoDisplay=true\n"
          "Terminal=false\n";
  return text;
}

std::string PoseDesktopEntryText(std::string_view ext, const std::string& description,
                                 const std::string& executable, const std::string& iconName) {
  // Pose files get no such entry: their material pose would overwrite them.
  if (BareExtension(ext) == "pz2") return {};
  if (DesktopEntryText(ext, description, executable, iconName).empty()) return {};
  // An entry of its own (not an action of the other one, which file managers
  // do not offer for a file), so that "Open with" lists it and starts it
  // with the file.
  const std::string exe = QuoteExecArgument(executable);
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" +
         std::string(kWriteMaterialPoseVerb) +
         "\n"
         "GenericName=Vandrel\n"
         "Comment=Writes the material pose of a " +
         description +
         " beside it\n"
         "Exec=" +
         exe + " -s %f\n" + (iconName.empty() ? std::string() : "Icon=" + iconName + "\n") +
         "MimeType=" + AssociationMimeType(ext) +
         ";\n"
         "NoDisplay=true\n"
         "Terminal=false\n";
}

std::string Associate(std::string_view ext, const std::string& description, const AssociationProgram& program,
                      bool remove) {
  const std::string data = XdgDataHome(), config = XdgConfigHome();
  if (data.empty() || config.empty()) return "There is no home folder to register the file type in.";
  const TypePaths paths = PathsOf(ext, data, config);
  if (remove) return Unregister(paths, ext);
  std::string error = Register(paths, ext, description, program);
  if (!error.empty()) Unregister(paths, ext);  // take back what was written
  return error;
}

bool IsAssociated(std::string_view ext) {
  const std::string data = XdgDataHome(), config = XdgConfigHome();
  if (data.empty() || config.empty()) return false;
  const TypePaths paths = PathsOf(ext, data, config);
  if (!FileExists(paths.mimePackage)) return false;
  const auto entry = ReadTextFile(paths.desktopEntry);
  if (!entry) return false;
  const auto exec = KeyFileEntry(*entry, "Desktop Entry", "Exec");
  if (!exec || LCase(*exec).find("vandrel") == std::string::npos) return false;
  const auto apps = ReadTextFile(paths.mimeApps);
  if (!apps) return false;
  const auto defaults = MimeAppsEntries(*apps, kDefaultApplications, AssociationMimeType(ext));
  if (defaults.empty() || defaults.front() != AssociationDesktopId(ext)) return false;
  return BareExtension(ext) == "pz2" || FileExists(paths.poseEntry);
}

bool HasAssociationFiles(std::string_view ext) {
  const std::string data = XdgDataHome(), config = XdgConfigHome();
  if (data.empty() || config.empty()) return false;
  const TypePaths paths = PathsOf(ext, data, config);
  for (const std::string* file : {&paths.mimePackage, &paths.desktopEntry, &paths.poseEntry, &paths.icon})
    if (FileExists(*file)) return true;
  const auto apps = ReadTextFile(paths.mimeApps);
  if (!apps) return false;
  for (std::string_view section : {kDefaultApplications, kAddedAssociations})
    for (const std::string& id : MimeAppsEntries(*apps, section, AssociationMimeType(ext)))
      if (id == AssociationDesktopId(ext) || id == AssociationPoseDesktopId(ext)) return true;
  return false;
}

std::string RefreshDesktopDatabases() {
  const std::string data = XdgDataHome();
  if (data.empty()) return {};
  std::string errors;
  const std::pair<const char*, std::string> tools[] = {
      {"update-mime-database", JoinPath(data, "mime")},
      {"update-desktop-database", JoinPath(data, "applications")},
  };
  for (const auto& [tool, folder] : tools) {
    if (!FolderExists(folder)) continue;
    const std::string program = FindProgram(tool);
    if (program.empty()) continue;
    if (std::string error = RunQuietly(program, {folder}); !error.empty())
      errors += (errors.empty() ? "" : "\n") + error;
  }
  // Icon themes notice new icons by the change time of the theme's folder.
  const std::string theme = JoinPath(data, "icons/hicolor");
  if (FolderExists(theme)) ::utimensat(AT_FDCWD, theme.c_str(), nullptr, 0);
  return errors;
}

}  // namespace vandrel
