// The command line: at most one file path, optionally preceded by "-s ".
// It is one string (the arguments joined by single blanks) and every rule
// works on that whole string, with one exception for Linux names: where the
// rules name no existing file but the last argument is one (a name holding a
// double quote or starting with a blank), that argument is the file.
#pragma once

#include <string>
#include <vector>

namespace vandrel {

// What the arguments ask for before anything is started: "--help" or "-h"
// alone gives Help, "--version" alone Version, anything else Run.
enum class ProgramRequest { Run, Help, Version };
ProgramRequest RequestOfArguments(const std::vector<std::string>& args);

// The usage text that --help prints (several lines, each with its line end).
std::string UsageText();

// Why a "-s" command line cannot be run, "" when it can: "-s" with no file,
// or several arguments after it that do not join into the name of one
// existing file (each of them is named). `args` are the arguments after the
// program's name, the switch first.
std::string SilentArgumentsError(const std::vector<std::string>& args);

// The program's arguments after its name joined by single blanks.
std::string JoinCommandLine(int argc, char** argv);

// The command line with every double quote removed, trimmed of blanks.
std::string UnquotedCommandLine(const std::string& commandLine);

// The file-type code taken from the last three characters of the unquoted
// command line in lower case ("cr2" 0 ... "lt2" 7), or -1.
int CommandLineFileType(const std::string& commandLine);

// True when the trimmed, lower-cased command line begins with "-s " at its
// first position (quotes kept: "-s" directly followed by a quote does not count).
// A lone argument that is the file (see above) is never read as the switch.
bool HasSilentSwitch(const std::string& commandLine, const std::string& lastArgument = {});

// The file path the command line names: after a "-s " switch, the unquoted
// command line without its first three characters, trimmed; otherwise the
// unquoted command line. When that is no existing file but `lastArgument` is
// one, `lastArgument`. Not yet case-corrected.
std::string CommandLinePath(const std::string& commandLine, const std::string& lastArgument = {});

// The command line of this run while the start procedure runs (reads that
// find gState.FileGiven set take their path from it); empty afterwards.
extern std::string gCommandLine;
// The last of this run's arguments, as given, while gCommandLine is set.
extern std::string gLastArgument;
extern bool gStarting;
// A silent save ran: the program ends now, nothing more is read or asked.
extern bool gEndProgram;
// The silent save of a "-s" run wrote the material pose.
extern bool gSilentSaveWritten;

// The name a silent save writes: the path up to and including its last "."
// followed by "pz2" (a path without a "." gets ".pz2").
std::string SilentSavePath(const std::string& path);

}  // namespace vandrel
