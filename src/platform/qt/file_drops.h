// Files dragged from a file manager onto Vandrel's windows.
#pragma once

#include <string>
#include <vector>

class QDropEvent;
class QMimeData;

namespace vandrel {

// Accepts a drag (enter, move) or a drop of files as a copy: Vandrel only
// reads what is dropped, so the source must never delete its files as after
// a move. A source that offers no copy is refused (the event ignored, false).
bool AcceptFilesAsCopy(QDropEvent* event);

// The local files among the dropped URLs, in the order of the drop (native
// paths in UTF-8).
std::vector<std::string> DroppedLocalFiles(const QMimeData* data);

}  // namespace vandrel
