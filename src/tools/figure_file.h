// The figures of a character file. A file with several figures holds a head
// before its first "figureResFile " line; then one first part per figure
// (its geometry actors), each beginning with the figure's "figureResFile "
// line; then one second part per figure (its full actors and its "figure"
// block with the figure's "name"), each beginning with that line again.
// Listing finds the figures; cutting puts the head, one figure's first part
// and its second part together as a file of one figure.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/host.h"

namespace vandrel {

inline constexpr const char* kNotCharacterFile = "Not a valid Character file";

struct FigureEntry {
  std::string Name;      // the "name" line of its figure block; "" when it has none
  std::string Geometry;  // the geometry file's name, without folders
  // Positions (0-based) in the file's text.
  std::size_t First = 0;      // its first part: its first "figureResFile " line
  std::size_t FirstEnd = 0;   // where the next part begins
  std::size_t Second = 0;     // its second part
  std::size_t SecondEnd = 0;  // the next part, or the end of the text
  bool SecondIsLast = false;  // its second part runs to the end of the file
};

struct FigureFile {
  // The file's text with LF line ends and without "deltas" blocks.
  std::string Text;
  std::size_t HeadEnd = 0;  // the head is Text[0, HeadEnd)
  std::vector<FigureEntry> Figures;
};

// OutOfMemory: the memory ran out while the file was read (kOutOfMemoryReport).
enum class FigureListOutcome { Listed, NotValid, Cancelled, OutOfMemory };

// What the chooser tells when the memory runs out in its reads.
inline constexpr const char* kOutOfMemoryReport = "Out of memory, error number 7";

// Lists the figures of `file.Text` (LF line ends, deltas removed). NotValid
// for fewer than two or an odd number of "figureResFile " lines, a figure
// whose second part or "figure" block cannot be found.
FigureListOutcome ListFigures(FigureFile& file);

// Reads `path` whole, turns CR LF and CR line ends into LF, removes the
// deltas (Esc in the progress window cancels) and lists the figures. The
// progress goes through `host` ("Reading file...", three steps).
FigureListOutcome ReadFigureFile(const std::string& path, Host& host, FigureFile& file);

// The text of one figure: the head, its first part and its second part; a
// second part that does not end the file is closed with
// TAB "setGeomHandlerOffset 0 0 0" LF "}".
std::string CutFigure(const FigureFile& file, std::size_t index);
// The same made within the file's text, which it takes; `file` is left empty.
std::string CutFigure(FigureFile&& file, std::size_t index);

// Every CR LF and every lone CR becomes LF, in one pass.
void ToLfLineEnds(std::string& text);

}  // namespace vandrel
