#include "tools/figure_read.h"

#include <new>
#include <utility>

#include "model/model.h"

namespace vandrel {

void ClearFigureModes() {
  gFigureMorphsOnly = gFigureMaterialsOnly = gFigureBodyOnly = false;
  gState.LoadProps = false;
}

FigureReadResult ReadChosenFigure(FigureFile& file, std::size_t index, DocumentCalls& calls, Host& host) {
  std::string text;
  FigureReadResult result;
  try {
    std::unique_ptr<Host> progress = calls.ProgressHost();
    progress->SetStage("Reading data...");
    progress->SetRange(5);
    progress->SetValue(0);
    // The whole file is no longer needed: only the figure's text is read.
    text = CutFigure(std::move(file), index);
    progress->SetValue(5);
  } catch (const std::bad_alloc&) {
    // Nothing is read: the open document stays as it is.
    file = FigureFile{};
    host.Message(kOutOfMemoryReport, "", MsgButtons::OK, MsgIcon::Exclamation);
    ClearFigureModes();
    return result;
  }

  gState.FileGiven = true;
  if (!gFigureMorphsOnly) {
    calls.OpenFile(text);
    result.MaterialsRead = !gState.ReadError && !gOpenCancelled;
  }
  gState.FileGiven = false;
  const bool readChannels =
      !calls.DialogFileName().empty() && !gFigureMaterialsOnly && (gFigureMorphsOnly || result.MaterialsRead);
  if (readChannels) {
    bool wanted = gFigureMorphsOnly;
    if (!wanted)
      wanted = host.Message(kFigureMorphQuestion, "", MsgButtons::YesNo, MsgIcon::None) == MsgResult::Yes;
    if (wanted) result.ChannelsRead = calls.ReadMorphPoseFile(gFigureBodyOnly, true, text, false);
  }
  ClearFigureModes();
  return result;
}

}  // namespace vandrel
