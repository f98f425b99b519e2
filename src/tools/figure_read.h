// Reading the figure the user chose in the figure chooser, in the chooser's
// three modes (gFigureMorphsOnly, gFigureMaterialsOnly, gFigureBodyOnly).
#pragma once

#include <cstddef>

#include "tools/document_calls.h"
#include "tools/figure_file.h"

namespace vandrel {

inline constexpr const char* kFigureMorphQuestion =
    "Do you want to load morph and pose data also?\r\nIt may take a long time with a large file.";

// Cuts figure `index` out of `file` (whose text is released) and reads it:
// its materials unless gFigureMorphsOnly; then, unless gFigureMaterialsOnly
// or the read failed, its channels (gFigureMorphsOnly: at once, BODY only
// with gFigureBodyOnly; otherwise after the morph question). The morph
// question and the out-of-memory report go to `host`. The modes and
// gState.LoadProps are cleared afterwards.
FigureReadResult ReadChosenFigure(FigureFile& file, std::size_t index, DocumentCalls& calls, Host& host);

// The chooser's modes and gState.LoadProps cleared, as every way out of the
// chooser leaves them.
void ClearFigureModes();

}  // namespace vandrel
