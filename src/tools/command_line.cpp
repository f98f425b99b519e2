#include "tools/command_line.h"

#include "common/text.h"
#include "model/state.h"
#include "platform/files.h"

namespace vandrel {

std::string gCommandLine;
std::string gLastArgument;
bool gStarting = false;
bool gEndProgram = false;
bool gSilentSaveWritten = false;

std::string JoinCommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

std::string UnquotedCommandLine(const std::string& commandLine) { return Trim(RemoveChar(commandLine, '"')); }

int CommandLineFileType(const std::string& commandLine) {
  return FileTypeOfExtension(LCase(Right(UnquotedCommandLine(commandLine), 3)));
}

namespace {

bool SwitchGiven(const std::string& commandLine) { return StartsWith(LCase(Trim(commandLine)), "-s "); }

// The path by the rules of the one string.
std::string RulePath(const std::string& commandLine) {
  const std::string unquoted = RemoveChar(commandLine, '"');
  if (SwitchGiven(commandLine)) return Trim(Mid(unquoted, 4));
  return Trim(unquoted);
}

// The last argument is the file: the rules name no existing file, it is one.
bool LastArgumentIsTheFile(const std::string& commandLine, const std::string& lastArgument) {
  return !lastArgument.empty() && !FileExists(RulePath(commandLine)) && FileExists(lastArgument);
}

}  // namespace

bool HasSilentSwitch(const std::string& commandLine, const std::string& lastArgument) {
  if (!SwitchGiven(commandLine)) return false;
  return lastArgument != commandLine || !LastArgumentIsTheFile(commandLine, lastArgument);
}

std::string CommandLinePath(const std::string& commandLine, const std::string& lastArgument) {
  return LastArgumentIsTheFile(commandLine, lastArgument) ? lastArgument : RulePath(commandLine);
}

ProgramRequest RequestOfArguments(const std::vector<std::string>& args) {
  if (args.size() != 1) return ProgramRequest::Run;
  if (args[0] == "--help" || args[0] == "-h") return ProgramRequest::Help;
  if (args[0] == "--version") return ProgramRequest::Version;
  return ProgramRequest::Run;
}

std::string UsageText() {
  return "Usage: vandrel [FILE]\n"
         "       vandrel -s FILE\n"
         "Opens a Poser library file (.cr2 .pz2 .pp2 .hr2 .cm2 .fc2 .hd2 .lt2) in the\n"
         "main window, or starts with an empty one.\n"
         "\n"
         "  -s FILE      writes the material pose of FILE beside it (FILE.pz2; a .pz2\n"
         "               is written over itself) without showing a window, then ends;\n"
         "               exits with 0 only when the file was written\n"
         "  -h, --help   shows this text\n"
         "  --version    shows the version\n";
}

std::string SilentArgumentsError(const std::vector<std::string>& args) {
  if (args.empty() || LCase(args[0]) != "-s") return {};
  if (args.size() == 1) return "-s needs the file whose material pose it writes";
  if (args.size() == 2) return {};
  // Blanks in a name given without quotes split it: such a name is still one file.
  std::string joined;
  for (std::size_t i = 1; i < args.size(); ++i) joined += (i > 1 ? " " : "") + args[i];
  if (FileExists(Trim(RemoveChar(joined, '"')))) return {};
  std::string text = "-s writes the material pose of one file; nothing was written for these " +
                     std::to_string(args.size() - 1) + ":";
  for (std::size_t i = 1; i < args.size(); ++i) text += "\n" + args[i];
  return text;
}

std::string SilentSavePath(const std::string& path) {
  const std::size_t dot = InStrRev(path, ".");
  const std::size_t slash = InStrRev(path, "/");
  if (dot == 0 || dot < slash) return path + ".pz2";
  return Left(path, dot) + "pz2";
}

}  // namespace vandrel
