#include "platform/desktop_open.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

#include "common/text.h"
#include "platform/associations.h"
#include "platform/files.h"

namespace vandrel {

namespace {

// The folders of a colon-separated environment list, or its default.
std::vector<std::string> EnvFolders(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  std::string list = value && *value ? value : fallback;
  std::vector<std::string> folders;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    std::string folder = list.substr(start, end - start);
    if (!folder.empty() && folder.front() == '/') folders.push_back(std::move(folder));
    start = end + 1;
  }
  return folders;
}

std::vector<std::string> ApplicationFolders() {
  std::vector<std::string> folders;
  if (const std::string home = XdgDataHome(); !home.empty())
    folders.push_back(JoinPath(home, "applications"));
  for (const std::string& data : EnvFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
    folders.push_back(JoinPath(data, "applications"));
  return folders;
}

// The mimeapps.list files in the order they count.
std::vector<std::string> MimeAppsFiles(const std::vector<std::string>& applicationFolders) {
  std::vector<std::string> files;
  if (const std::string home = XdgConfigHome(); !home.empty())
    files.push_back(JoinPath(home, "mimeapps.list"));
  for (const std::string& config : EnvFolders("XDG_CONFIG_DIRS", "/etc/xdg"))
    files.push_back(JoinPath(config, "mimeapps.list"));
  for (const std::string& apps : applicationFolders) files.push_back(JoinPath(apps, "mimeapps.list"));
  return files;
}

std::string Read(const std::string& path) {
  if (!FileExists(path)) return {};
  return ReadWholeFile(path).value_or(std::string());
}

bool Hidden(const std::string& entryText) {
  const auto hidden = KeyFileEntry(entryText, "Desktop Entry", "Hidden");
  return hidden && *hidden == "true";
}

// The installed, usable desktop entry of an id; "" when there is none.
std::string EntryFile(const std::string& id, const std::vector<std::string>& applicationFolders) {
  if (id.empty() || id.find('/') != std::string::npos) return {};
  for (const std::string& apps : applicationFolders) {
    const std::string file = JoinPath(apps, id);
    if (!FileExists(file)) continue;
    const std::string text = Read(file);
    return Hidden(text) || !KeyFileEntry(text, "Desktop Entry", "Exec") ? std::string() : file;
  }
  return {};
}

// The Exec line's words with quoting and escapes taken out.
std::vector<std::string> ExecWords(const std::string& exec) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < exec.size()) {
        word += exec[++i];
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

// The program file a command names: itself when it holds a "/", else the
// first executable file of that name on PATH.
std::string ProgramFile(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  std::string list = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    const std::string folder = end > start ? list.substr(start, end - start) : ".";
    const std::string file = JoinPath(folder, name);
    if (FileExists(file) && ::access(file.c_str(), X_OK) == 0) return file;
    start = end + 1;
  }
  return {};
}

// Undoes the key file's own escapes (\s \n \t \r \\) of a value.
std::string Unescape(const std::string& value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    const char c = value[++i];
    out += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
  }
  return out;
}

}  // namespace

ShellResult CheckFileToOpen(const std::string& path) {
  if (path.empty() || path.front() != '/') return ShellResult::PathNotFound;
  if (FileExists(path)) return ShellResult::Opened;
  const std::string folder = FolderOf(path);
  return FolderExists(folder.empty() ? "/" : folder) ? ShellResult::FileNotFound : ShellResult::PathNotFound;
}

bool IsProgramType(const std::vector<std::string>& typeAndParents) {
  static const char* const kPrograms[] = {
      "application/x-executable",
      "application/x-sharedlib",
      "application/x-pie-executable",
      "application/x-desktop",
      "application/x-shellscript",
      "application/x-ms-dos-executable",
      "application/x-msdownload",
      "application/x-ms-shortcut",
      "application/vnd.microsoft.portable-executable",
      "application/x-msi",
      "application/x-bat",
      "application/x-appimage",
      "application/x-perl",
      "text/x-python",
      "text/x-python3",
      "application/x-ruby",
      "application/x-csh",
      "application/x-java-archive",
      "application/x-flatpak",
      "application/vnd.flatpak.ref",
      "application/x-deb",
  };
  for (const std::string& type : typeAndParents)
    for (const char* program : kPrograms)
      if (type == program) return true;
  return false;
}

std::string DesktopEntryFor(const std::vector<std::string>& mimeTypes) {
  const std::vector<std::string> folders = ApplicationFolders();
  std::vector<std::string> lists;
  for (const std::string& file : MimeAppsFiles(folders)) lists.push_back(Read(file));
  std::vector<std::string> caches;
  for (const std::string& apps : folders) caches.push_back(Read(JoinPath(apps, "mimeinfo.cache")));

  for (const std::string& type : mimeTypes) {
    std::vector<std::string> removed;
    for (const std::string& list : lists)
      for (std::string& id : MimeAppsEntries(list, "Removed Associations", type))
        removed.push_back(std::move(id));
    const auto pick = [&](const std::vector<std::string>& ids) -> std::string {
      for (const std::string& id : ids) {
        bool isRemoved = false;
        for (const std::string& r : removed) isRemoved = isRemoved || r == id;
        if (isRemoved) continue;
        if (std::string file = EntryFile(id, folders); !file.empty()) return file;
      }
      return {};
    };
    for (const char* section : {"Default Applications", "Added Associations"})
      for (const std::string& list : lists)
        if (std::string file = pick(MimeAppsEntries(list, section, type)); !file.empty()) return file;
    for (const std::string& cache : caches)
      if (std::string file = pick(MimeAppsEntries(cache, "MIME Cache", type)); !file.empty()) return file;
  }
  return {};
}

std::vector<std::string> DesktopEntryCommand(const std::string& entryText, const std::string& file) {
  if (Hidden(entryText)) return {};
  const auto exec = KeyFileEntry(entryText, "Desktop Entry", "Exec");
  if (!exec) return {};
  std::vector<std::string> command;
  bool named = false;
  for (const std::string& word : ExecWords(Unescape(*exec))) {
    if (word == "%f" || word == "%F" || word == "%u" || word == "%U") {
      if (!named) command.push_back(file);
      named = true;
      continue;
    }
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
      if (word[i] != '%' || i + 1 == word.size()) {
        out += word[i];
        continue;
      }
      const char code = word[++i];
      if (code == '%') out += '%';
      if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
        out += file;
        named = true;
      }
    }
    if (!out.empty()) command.push_back(std::move(out));
  }
  if (command.empty()) return {};
  if (!named) command.push_back(file);
  return command;
}

bool StartDetached(const std::vector<std::string>& command, const std::string& folder) {
  if (command.empty()) return false;
  const std::string program = ProgramFile(command.front());
  if (program.empty()) return false;
  // Everything the child needs is made before the fork: after it, only
  // calls that are safe in a copy of a threaded process.
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  int report[2];  // the grandchild's exec failure, or nothing once exec closes it
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }
  if (child == 0) {
    // The child leaves at once; the program runs in a grandchild that is
    // nobody's child but init's, as a detached start wants.
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
      const int error = errno;
      (void)!::write(report[1], &error, sizeof error);
      ::_exit(127);
    }
    ::execv(program.c_str(), argv.data());
    const int error = errno;
    (void)!::write(report[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

}  // namespace vandrel
