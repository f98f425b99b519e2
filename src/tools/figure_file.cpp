#include "tools/figure_file.h"

#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "common/text.h"
#include "platform/files.h"
#include "reader/delta_removal.h"
#include "reader/file_text.h"
#include "reader/read_fault.h"
#include "reader/text_scan.h"

namespace vandrel {
namespace {

constexpr std::string_view kResFile = "figureResFile ";
constexpr std::string_view kCloseFigure = "\tsetGeomHandlerOffset 0 0 0\n}";

// Every "figureResFile " that begins a line, in file order (0-based).
// The searches go a block of the text at a time: a search by the first
// character alone would stop at every "f" or line end.
std::vector<std::size_t> ResFileLines(std::string_view text) {
  std::vector<std::size_t> at;
  for (std::size_t p = InStr(text, kResFile); p != 0; p = InStr(p + 1, text, kResFile))
    if (p == 1 || text[p - 2] == '\n') at.push_back(p - 1);
  return at;
}

// The geometry path of the "figureResFile " line at `at`.
std::string GeometryPath(std::string_view text, std::size_t at) {
  const std::size_t from = at + kResFile.size();
  const std::size_t eol = text.find('\n', from);
  return CleanLine(text.substr(from, eol == std::string_view::npos ? std::string_view::npos : eol - from));
}

// The file's name: the text after the last ":", then after the last "\".
std::string GeometryName(const std::string& path) {
  std::string name = path.substr(path.rfind(':') + 1);
  return name.substr(name.rfind('\\') + 1);
}

// The figure's "name" within its second part `part`; false when the part has
// no "figure" line.
bool FigureName(std::string_view part, std::string& name) {
  // 1-based positions, 0 for none. Blanks and TABs may end the line.
  const std::size_t line = FindEndingLine(part, "\nfigure", 1);
  if (line == 0) return false;
  name.clear();
  const std::size_t q = InStr(line, part, "name    ");
  if (q == 0) return true;  // a figure without its name line
  const std::size_t from = q - 1 + 8;
  const std::size_t eol = part.find('\n', from);
  name = CleanLine(part.substr(from, eol == std::string_view::npos ? std::string_view::npos : eol - from));
  return true;
}

}  // namespace

void ToLfLineEnds(std::string& text) {
  std::size_t out = 0;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char c = text[i];
    if (c != '\r') {
      text[out++] = c;
    } else {
      text[out++] = '\n';
      if (i + 1 < n && text[i + 1] == '\n') ++i;
    }
  }
  text.resize(out);
}

FigureListOutcome ListFigures(FigureFile& file) {
  file.Figures.clear();
  const std::string_view text(file.Text);
  const std::vector<std::size_t> lines = ResFileLines(text);
  // Each figure names its geometry twice: once for each of its parts.
  if (lines.size() < 2 || lines.size() % 2 != 0) return FigureListOutcome::NotValid;
  const std::size_t count = lines.size() / 2;
  file.HeadEnd = lines[0];

  std::vector<std::string> paths(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) paths[i] = GeometryPath(text, lines[i]);
  // The second parts naming each geometry, in file order.
  std::unordered_map<std::string, std::vector<std::size_t>> seconds;
  for (std::size_t i = count; i < lines.size(); ++i) seconds[paths[i]].push_back(i);
  // Figures sharing one geometry take its second parts in turn.
  std::unordered_map<std::string, std::size_t> taken;

  file.Figures.resize(count);
  for (std::size_t k = 0; k < count; ++k) {
    FigureEntry& figure = file.Figures[k];
    figure.First = lines[k];
    figure.FirstEnd = lines[k + 1];
    figure.Geometry = GeometryName(paths[k]);
    const std::size_t turn = taken[paths[k]]++;
    const auto found = seconds.find(paths[k]);
    if (found == seconds.end() || turn >= found->second.size()) {
      file.Figures.clear();
      return FigureListOutcome::NotValid;
    }
    const std::size_t s = found->second[turn];
    figure.Second = lines[s];
    figure.SecondIsLast = s + 1 == lines.size();
    figure.SecondEnd = figure.SecondIsLast ? text.size() : lines[s + 1];
    if (!FigureName(text.substr(figure.Second, figure.SecondEnd - figure.Second), figure.Name)) {
      file.Figures.clear();
      return FigureListOutcome::NotValid;
    }
  }
  return FigureListOutcome::Listed;
}

namespace {

FigureListOutcome ReadAndList(const std::string& path, Host& host, FigureFile& file) {
  host.SetStage("Reading file...");
  host.SetRange(3);
  host.SetValue(0);
  bool cancelled = false;
  const auto stop = [&] { return cancelled = host.CancelRequested(); };
  // The file is read whole into memory of its own; its text without deltas,
  // with LF line ends, is made there in one pass. It stays there when it
  // kept most of the file; otherwise it is copied out, to give back the
  // room of the deltas.
  std::string bytes;
  try {
    bytes = ReadFileText(path, stop);
  } catch (const ReadFault&) {
    return FigureListOutcome::NotValid;
  }
  if (cancelled) return FigureListOutcome::Cancelled;
  host.SetValue(1);
  std::size_t size = bytes.size();
  if (!StripDeltas(bytes.data(), size, true, host, ProgressMemo{3, 1})) return FigureListOutcome::Cancelled;
  if (size >= bytes.size() / 4 * 3) {
    bytes.resize(size);
    file.Text = std::move(bytes);
  } else {
    file.Text = CopyOfLargeText(std::string_view(bytes.data(), size), stop);
    if (cancelled) {
      file = FigureFile{};
      return FigureListOutcome::Cancelled;
    }
  }
  std::string().swap(bytes);
  host.SetValue(2);
  const FigureListOutcome outcome = ListFigures(file);
  host.SetValue(3);
  return outcome;
}

}  // namespace

FigureListOutcome ReadFigureFile(const std::string& path, Host& host, FigureFile& file) {
  file = FigureFile{};
  try {
    return ReadAndList(path, host, file);
  } catch (const std::bad_alloc&) {
    // Nothing of the file is kept.
    file = FigureFile{};
    return FigureListOutcome::OutOfMemory;
  }
}

std::string CutFigure(const FigureFile& file, std::size_t index) {
  const FigureEntry& figure = file.Figures.at(index);
  const std::string_view text(file.Text);
  std::string out;
  out.reserve(file.HeadEnd + (figure.FirstEnd - figure.First) + (figure.SecondEnd - figure.Second) +
              kCloseFigure.size());
  out.append(text.substr(0, file.HeadEnd));
  out.append(text.substr(figure.First, figure.FirstEnd - figure.First));
  out.append(text.substr(figure.Second, figure.SecondEnd - figure.Second));
  if (!figure.SecondIsLast) out.append(kCloseFigure);
  return out;
}

std::string CutFigure(FigureFile&& file, std::size_t index) {
  const FigureEntry figure = file.Figures.at(index);
  const std::size_t headEnd = file.HeadEnd;
  std::string text = std::move(file.Text);
  file = FigureFile{};
  // The head, the first part and the second part stand in this order: each
  // is moved down behind the one before it, never over what is still to move.
  std::size_t size = headEnd;
  for (const auto& [from, to] :
       {std::pair{figure.First, figure.FirstEnd}, std::pair{figure.Second, figure.SecondEnd}}) {
    if (from != size) std::char_traits<char>::move(text.data() + size, text.data() + from, to - from);
    size += to - from;
  }
  text.resize(size);
  if (!figure.SecondIsLast) text.append(kCloseFigure);
  return text;
}

}  // namespace vandrel
