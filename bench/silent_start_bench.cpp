// The start of "vandrel -s FILE" on a small pose file, from start to exit,
// beside a program that only creates a Qt Widgets application and ends (the
// floor of every Qt program here). Prints the median of many runs of each,
// their ratio, and whether later starts leave Settings.ini untouched.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Runs the program with `args` and no display; its time in milliseconds.
double RunMs(const std::vector<std::string>& args, const std::string& home) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0 ||
        entry.rfind("VANDREL_HOME=", 0) == 0 || entry.rfind("WINEPREFIX=", 0) == 0)
      continue;
    env.push_back(entry);
  }
  env.push_back("VANDREL_HOME=" + home);
  env.push_back("WINEPREFIX=" + home + "/wine");
  env.push_back("QT_QPA_PLATFORM=offscreen");
  std::vector<std::string> argv = args;
  std::vector<char*> argp, envp;
  for (auto& a : argv) argp.push_back(a.data());
  argp.push_back(nullptr);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  int status = -1;
  if (posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) == 0) waitpid(pid, &status, 0);
  const auto end = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", args[0].c_str());
    std::exit(1);
  }
  return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

ino_t Inode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
  const fs::path dir = fs::temp_directory_path() / ("vandrel-silent-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir / "home");
  const std::string pose = (dir / "small.pz2").string();
  {
    std::ofstream out(pose, std::ios::binary);
    out << "{\r\nversion\r\n\t{\r\n\tnumber 4.01\r\n\t}\r\nactor BODY:1\r\n\t{\r\n\tchannels\r\n\t\t{\r\n"
           "\t\ttargetGeom Smile\r\n\t\t\t{\r\n\t\t\tname Smile\r\n\t\t\tkeys\r\n\t\t\t\t{\r\n"
           "\t\t\t\tk 0 0.5\r\n\t\t\t\t}\r\n\t\t\t}\r\n\t\t}\r\n\t}\r\nfigure\r\n\t{\r\n"
           "\tmaterial Skin\r\n\t\t{\r\n\t\tKdColor 1 0.8 0.7 1\r\n\t\ttextureMap "
           "\":Runtime:Textures:skin.jpg\"\r\n"
           "\t\t}\r\n\t}\r\n}\r\n";
  }
  const std::string home = (dir / "home").string();
  RunMs({VANDREL_EXE, "-s", pose}, home);  // the first start writes Settings.ini
  const ino_t settings = Inode(home + "/Settings.ini");

  std::vector<double> vandrel, floor;
  for (int i = 0; i < runs; ++i) {
    vandrel.push_back(RunMs({VANDREL_EXE, "-s", pose}, home));
    floor.push_back(RunMs({VANDREL_EMPTY_QT_APP}, home));
  }
  const double v = Median(vandrel), f = Median(floor);
  std::printf("vandrel -s small.pz2, start to exit: median %.1f ms over %d runs (target under 50 ms)\n", v,
              runs);
  std::printf("empty Qt Widgets program:           median %.1f ms\n", f);
  std::printf("ratio to the empty program:         %.2f\n", v / f);
  std::printf("Settings.ini rewritten by later starts: %s\n",
              Inode(home + "/Settings.ini") == settings ? "no" : "YES");
  fs::remove_all(dir);
  return 0;
}
