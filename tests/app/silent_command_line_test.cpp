// Runs the vandrel program itself with "-s": no display, no input, an exit
// code that tells whether the material pose was written.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "support/temp_dir.h"

extern char** environ;

namespace vandrel {
namespace {

using test::ReadFileBytes;
using test::TempDir;

struct ProgramRun {
  int exitCode = -1;
  std::string errors;
};

// Runs vandrel with `args` and no display, standard input closed, standard
// error captured; the program folder is `home`.
ProgramRun RunVandrel(const std::vector<std::string>& args, const TempDir& home) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0 ||
        entry.rfind("QT_QPA_PLATFORM=", 0) == 0 || entry.rfind("VANDREL_HOME=", 0) == 0 ||
        entry.rfind("WINEPREFIX=", 0) == 0)
      continue;
    env.push_back(entry);
  }
  env.push_back("VANDREL_HOME=" + home.path());
  env.push_back("WINEPREFIX=" + home.path() + "/wine");
  const std::string errFile = home.file("stderr.txt");

  std::vector<std::string> argv{VANDREL_EXE};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> argp, envp;
  for (auto& a : argv) argp.push_back(a.data());
  argp.push_back(nullptr);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  ProgramRun run;
  if (posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  run.errors = ReadFileBytes(errFile);
  return run;
}

TEST(SilentCommandLine, WritesThePoseBesideTheFileAndExitsZero) {
  TempDir home, library;
  const std::string source = ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/reader/figure_props.cr2");
  const std::string path = library.write("My Figure.cr2", source);
  const ProgramRun run = RunVandrel({"-s", path}, home);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(FileExists(library.file("My Figure.pz2")));
  EXPECT_EQ(ReadFileBytes(path), source);  // the file read is left as it was
  EXPECT_TRUE(FileExists(home.file("Settings.ini")));
  // The Help menu's documents stand beside the program.
  EXPECT_TRUE(FileExists(FolderOf(VANDREL_EXE) + "/VDLLicense.txt"));
  EXPECT_TRUE(FileExists(FolderOf(VANDREL_EXE) + "/VHistory.htm"));
  EXPECT_TRUE(FileExists(FolderOf(VANDREL_EXE) + "/VHelp.htm"));
  EXPECT_TRUE(FileExists(FolderOf(VANDREL_EXE) + "/README.md"));

  // A Linux name holding double quotes is the last argument.
  const std::string quoted = library.write("Vicky \"Sunset\".cr2", source);
  const ProgramRun named = RunVandrel({"-s", quoted}, home);
  EXPECT_EQ(named.exitCode, 0) << named.errors;
  EXPECT_TRUE(FileExists(library.file("Vicky \"Sunset\".pz2")));
}

TEST(SilentCommandLine, FailedReadExitsNonZeroWithTheErrorAndWritesNothing) {
  TempDir home, library;
  const std::string path = library.write("Broken.pp2", "{\nversion\n");
  const ProgramRun run = RunVandrel({"-s", path}, home);
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.errors.find("Error in the OpenFile function"), std::string::npos) << run.errors;
  EXPECT_FALSE(FileExists(library.file("Broken.pz2")));

  const ProgramRun notPoser = RunVandrel({"-s", library.write("notes.txt", "x")}, home);
  EXPECT_NE(notPoser.exitCode, 0);
  EXPECT_NE(notPoser.errors.find("not a Poser file"), std::string::npos) << notPoser.errors;
}

// A file that is not Poser text, or that holds nothing to save, is never
// replaced: -s says why and exits non-zero. The file's own thigh length comes
// back as it was.
TEST(SilentCommandLine, NeverReplacesAFileWithNothing) {
  TempDir home, library;
  std::string random(4096, '\0');
  for (std::size_t i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 7919 + 13) % 251);
  struct Refused {
    const char* name;
    std::string bytes;
    const char* why;
  };
  const std::string gzip = std::string("\x1f\x8b\x08\x00", 4) + "pose";
  for (const Refused& c :
       {Refused{"random.pz2", random, "This is not a Poser text file"},
        Refused{"packed.pz2", gzip, "This is a compressed Poser file; uncompress it first"},
        Refused{"empty.pz2", "", "This is not a Poser text file"},
        Refused{"nul.cr2", std::string("{\nversion\n{\nnumber 4\n}\n\0}\n", 26),
                "This is not a Poser text file"},
        Refused{"late_nul.pz2", "{\n" + std::string(100000, ' ') + std::string(1, '\0') + "}\n",
                "This is not a Poser text file"},
        Refused{"nothing.pz2", "{\nversion\n{\nnumber 4.01\n}\n}\n", "Nothing to save"},
        // A character file is read for its materials only.
        Refused{"bare.cr2", ReadFileBytes(VANDREL_TEST_DATA "/tools/bare_figure.cr2"), "Nothing to save"}}) {
    const std::string path = library.write(c.name, c.bytes);
    const ProgramRun run = RunVandrel({"-s", path}, home);
    EXPECT_NE(run.exitCode, 0) << c.name;
    EXPECT_NE(run.errors.find(c.why), std::string::npos) << c.name << ": " << run.errors;
    EXPECT_EQ(ReadFileBytes(path), c.bytes) << c.name;
    const std::string beside = path.substr(0, path.size() - 3) + "pz2";
    EXPECT_TRUE(beside == path || !FileExists(beside)) << c.name;
  }
  for (const char* length : {"1.25", "2.5", "-1.5", "0.5"}) {
    const std::string pose = std::string("{\r\nversion\r\n{\r\nnumber 4.01\r\n}\r\nthighLength ") + length +
                             "\r\nactor BODY:1\r\n{\r\nchannels\r\n{\r\nvalueParm v\r\n{\r\nkeys\r\n{\r\nk  0  1\r\n}"
                             "\r\n}\r\n}\r\n}\r\n}\r\n";
    const std::string path = library.write("thigh.pz2", pose);
    const ProgramRun run = RunVandrel({"-s", path}, home);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(ReadFileBytes(path).find(std::string("thighLength ") + length + "\r\n"), std::string::npos)
        << length << ":\n" << ReadFileBytes(path);
  }
}

}  // namespace
}  // namespace vandrel
