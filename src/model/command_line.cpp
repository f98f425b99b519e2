#include "model/command_line.h"

#include "common/text.h"
#include "model/state.h"

namespace vandrel {

std::string gCommandLine;
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

bool HasSilentSwitch(const std::string& commandLine) {
  return StartsWith(LCase(Trim(commandLine)), "-s ");
}

std::string CommandLinePath(const std::string& commandLine) {
  const std::string unquoted = RemoveChar(commandLine, '"');
  if (HasSilentSwitch(commandLine)) return Trim(Mid(unquoted, 4));
  return Trim(unquoted);
}

std::string SilentSavePath(const std::string& path) {
  const std::size_t dot = InStrRev(path, ".");
  const std::size_t slash = InStrRev(path, "/");
  if (dot == 0 || dot < slash) return path + ".pz2";
  return Left(path, dot) + "pz2";
}

}  // namespace vandrel
