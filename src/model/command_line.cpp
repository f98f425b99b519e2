#include "model/command_line.h"

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

std::string UnquotedCommandLine(const std::string& commandLine) {
  return Trim(RemoveChar(commandLine, '"'));
}

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

std::string SilentSavePath(const std::string& path) {
  const std::size_t dot = InStrRev(path, ".");
  const std::size_t slash = InStrRev(path, "/");
  if (dot == 0 || dot < slash) return path + ".pz2";
  return Left(path, dot) + "pz2";
}

}  // namespace vandrel
