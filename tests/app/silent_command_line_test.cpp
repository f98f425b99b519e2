// Runs the vandrel program itself with "-s": no display, no input, an exit
// code that tells whether the material pose was written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
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
  std::string errors, output;
};

// Runs vandrel with `args` and no display, standard input closed, standard
// error captured; the program folder is `home`, or with `asUser` the home
// folder, as for a user without VANDREL_HOME.
ProgramRun RunVandrel(const std::vector<std::string>& args, const TempDir& home, bool asUser = false) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0 ||
        entry.rfind("QT_QPA_PLATFORM=", 0) == 0 || entry.rfind("VANDREL_HOME=", 0) == 0 ||
        entry.rfind("WINEPREFIX=", 0) == 0 ||
        (asUser && (entry.rfind("HOME=", 0) == 0 || entry.rfind("XDG_", 0) == 0)))
      continue;
    env.push_back(entry);
  }
  env.push_back((asUser ? "HOME=" : "VANDREL_HOME=") + home.path());
  env.push_back("WINEPREFIX=" + home.path() + "/wine");
  const std::string errFile = home.file("stderr.txt"), outFile = home.file("stdout.txt");

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
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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
  run.output = ReadFileBytes(outFile);
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
  // One prefix, then the file, then the reader's report.
  EXPECT_EQ(run.errors.rfind("vandrel: " + path + ": Error in the OpenFile function\n", 0), 0u) << run.errors;
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
    EXPECT_EQ(run.errors.rfind("vandrel: " + path + ": ", 0), 0u) << c.name << ": " << run.errors;
    EXPECT_NE(run.errors.find(c.why), std::string::npos) << c.name << ": " << run.errors;
    EXPECT_EQ(ReadFileBytes(path), c.bytes) << c.name;
  }
  for (const char* length : {"1.25", "2.5", "-1.5", "0.5"}) {
    const std::string pose =
        std::string("{\r\nversion\r\n{\r\nnumber 4.01\r\n}\r\nthighLength ") + length +
        "\r\nactor BODY:1\r\n{\r\nchannels\r\n{\r\nvalueParm v\r\n{\r\nkeys\r\n{\r\nk  0  1\r\n}"
        "\r\n}\r\n}\r\n}\r\n}\r\n";
    const std::string path = library.write("thigh.pz2", pose);
    const ProgramRun run = RunVandrel({"-s", path}, home);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(ReadFileBytes(path).find(std::string("thighLength ") + length + "\r\n"), std::string::npos)
        << length << ":\n"
        << ReadFileBytes(path);
  }
}

// Written over the file it read, the pose would drop what the file holds and
// the tables do not keep: -s leaves such a file, says what it holds and exits
// non-zero. A cut-off file fails the read. A file of kept data only, and a
// pose written beside its file, are written as before.
TEST(SilentCommandLine, LeavesAFileWhoseDataThePoseWouldDrop) {
  TempDir home, library;
  const std::string data = std::string(VANDREL_TEST_DATA) + "/inplace/";
  const std::string pose =
      "{\nversion\n{\nnumber 4.01\n}\nactor rHand:1\n{\nchannels\n{\nrotateX xrot\n{\nkeys\n{\n"
      "k  0  5\n}\n}\n}\n}\nprop ball\n{\nchannels\n{\n}\n}\nfigure\n{\nmaterial Skin\n{\n"
      "KdColor 1 1 1 1\n}\n}\n}\n";
  const auto material = [&pose](const std::string& line) {
    return pose.substr(0, pose.find("KdColor")) + line + "\n" + pose.substr(pose.find("KdColor"));
  };
  // Which material values and which cuts count is the kept-data test's; here
  // one of each shows what the program does with such a file.
  const struct {
    const char* name;
    std::string bytes;
    const char* why;
  } cases[] = {
      {"spot.pz2", ReadFileBytes(data + "spot.lt2"),
       "holds bend, parent, initValue and other data that a material pose does not keep."},
      {"main.pz2", ReadFileBytes(data + "main.cm2"), "holds parent, hither, yon that"},
      {"wave.pz2", ReadFileBytes(data + "wave.hd2"),
       "holds animation keys that a material pose does not keep."},
      {"strong.pz2", material("bumpStrength 12"), "holds bumpStrength that"},
      {"in_keys.pz2", pose.substr(0, pose.find("k  0  5\n") + 8), "The file ends inside a block"},
  };
  for (const auto& c : cases) {
    const std::string path = library.write(c.name, c.bytes);
    const ProgramRun run = RunVandrel({"-s", path}, home);
    EXPECT_NE(run.exitCode, 0) << c.name;
    EXPECT_NE(run.errors.find(c.why), std::string::npos) << c.name << ": " << run.errors;
    EXPECT_EQ(ReadFileBytes(path), c.bytes) << c.name;
    const std::string beside = path.substr(0, path.size() - 3) + "pz2";
    EXPECT_TRUE(beside == path || !FileExists(beside)) << c.name;
  }
  // A file that holds only what the tables keep is rewritten as before.
  const std::string kept = library.write("kept.pz2", ReadFileBytes(data + "kept.pz2"));
  const ProgramRun run = RunVandrel({"-s", kept}, home);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(ReadFileBytes(kept), ReadFileBytes(data + "kept_written.pz2"));
  // The pose of a camera file is written beside it, whatever the file holds.
  const std::string camera = library.write("beside.cm2", material("bumpStrength 12"));
  EXPECT_EQ(RunVandrel({"-s", camera}, home).exitCode, 0);
  EXPECT_NE(ReadFileBytes(library.file("beside.pz2")).find("bumpStrength 0"), std::string::npos);
}

// The one-time move of an earlier run's files names an old file that stays
// because a different one is in its new place.
TEST(SilentCommandLine, AnOldFileThatStaysIsNamed) {
  TempDir home, library;
  const std::string old = home.write(".local/share/vandrel/Settings.ini", "[Folders]\r\nPoser=/older\r\n");
  const std::string now = home.write(".config/vandrel/Settings.ini", "[Folders]\r\nPoser=none\r\n");
  const std::string pose =
      library.write("pose.pz2", ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/reader/props_first.pz2"));
  const ProgramRun run = RunVandrel({"-s", pose}, home, true);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_NE(
      run.errors.find("vandrel: Vandrel keeps its settings, templates and cache in your own folders now.\n"),
      std::string::npos)
      << run.errors;
  EXPECT_NE(run.errors.find(old + " stays where it is: " + now + " is there already, and that one is used."),
            std::string::npos)
      << run.errors;
  EXPECT_EQ(ReadFileBytes(old), "[Folders]\r\nPoser=/older\r\n");
}

// Asked for help or the version, the program prints it and starts nothing;
// arguments that -s cannot run are refused, each file named, nothing written.
TEST(SilentCommandLine, HelpVersionAndArgumentsThatCannotBeRun) {
  TempDir home, library;
  const std::string figure = ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/reader/figure_props.cr2");
  const std::string a = library.write("a.cr2", figure), b = library.write("b.cr2", figure);
  const std::string c = library.file("c.cr2"), folder = library.mkdir("Poses.pz2");
  struct Case {
    std::vector<std::string> args;
    bool ok;
    std::string output, errors;  // what they begin with
  };
  const Case cases[] = {
      {{"--help"}, true, "Usage: vandrel [FILE]\n       vandrel -s FILE\n", ""},
      {{"-h"}, true, "Usage: vandrel [FILE]\n", ""},
      {{"--version"}, true, "Vandrel " + std::string(VANDREL_VERSION) + "\n", ""},
      {{"-s"}, false, "", "vandrel: -s needs the file"},
      {{"-s", a, b, c},
       false,
       "",
       "vandrel: -s writes the material pose of one file; nothing was written for these 3:\n  " + a + "\n  " +
           b + "\n  " + c + "\n"},
      {{"-S", c}, false, "", "vandrel: " + c + ": there is no such file\n"},
      {{"-s", folder}, false, "", "vandrel: " + folder + ": is a folder, not a file\n"},
  };
  for (const Case& k : cases) {
    const ProgramRun run = RunVandrel(k.args, home);
    const std::string what = k.args.front() + " ... (" + std::to_string(k.args.size()) + ")";
    EXPECT_EQ(run.exitCode == 0, k.ok) << what << ": " << run.exitCode << run.errors;
    EXPECT_EQ(run.output.rfind(k.output, 0), 0u) << what << ": " << run.output;
    EXPECT_EQ(run.errors.rfind(k.errors, 0), 0u) << what << ": " << run.errors;
    if (k.errors.empty()) {
      EXPECT_EQ(run.errors, "") << what;
    }
    EXPECT_FALSE(FileExists(home.file("Settings.ini"))) << what;  // nothing started
  }
  EXPECT_FALSE(FileExists(library.file("a.pz2")) || FileExists(library.file("b.pz2")));

  // A name with blanks given without quotes is still the one file.
  library.write("my doll.cr2", figure);
  const ProgramRun run = RunVandrel({"-s", library.file("my"), "doll.cr2"}, home);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(FileExists(library.file("my doll.pz2")));
}

}  // namespace
}  // namespace vandrel
